#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "texts/text_table.h"

namespace kvn {

class Prompts;
class StartupErrors;
class Texts;

// A language pack: one line per text-table row, in row order, then the checksum line.
// UTF-16 little-endian, byte-order mark optional, CR LF, lone CR or lone LF as line ends.
inline constexpr int kPackLineCount = kTextRowCount + 1;
inline constexpr int kChecksumLine = kTextRowCount;

// Sum over the text lines 0..634 (fewer when fewer are given) of every UTF-16 code unit
// XOR (line number × position), positions counted from 1, all modulo 2^32.
quint32 PackChecksum(const QStringList& lines);
// Eight upper-case hexadecimal digits, as the checksum line must read.
QString ChecksumText(quint32 sum);

// Decodes a pack's bytes into its lines. A line end after the last line adds no line. False,
// with the reason, for an odd number of bytes (no UTF-16 text can have one).
bool DecodePackLines(const QByteArray& bytes, QStringList* lines, QString* error);
// Byte-order mark, then every line followed by CR LF.
QByteArray EncodePackLines(const QStringList& lines);

// What the program makes of one pack.
struct PackCheck {
  enum class Verdict { Accepted, Unreadable, CountMismatch, ChecksumBad };
  Verdict verdict = Verdict::Unreadable;
  QStringList lines;         // every decoded line, whatever their number
  QString reason;            // Unreadable: the file layer's or the decoder's reason
  QString checksumDue;       // the checksum line the texts need (when there are 636 lines)

  bool Accepted() const { return verdict == Verdict::Accepted; }
  // The start-up log line of a pack that is not taken (without the line end); empty if taken.
  QString LogLine() const;
};

PackCheck CheckPackBytes(const QByteArray& bytes);
// Through the guarded reader: a file far larger than any pack is refused unread.
PackCheck CheckPackFile(const QString& path);

// Replaces all current texts at once when the pack is sound; otherwise changes nothing and
// appends the reason to errors. True when the texts were replaced.
bool ReadLanguagePack(const QString& path, Texts& texts, StartupErrors& errors);

// The pack the program takes from folder: the first "*.lngpack" entry in name order (stable,
// whatever order the file system lists them in). Empty when there is none.
QString FindLanguagePack(const QString& folder);

// Start-up step: finds and reads the pack. True when the texts were replaced and must be
// written into the window; then *taken (when given) is the pack's path.
bool LoadLanguagePack(const QString& folder, Texts& texts, StartupErrors& errors, QString* taken = nullptr);

// The translator's template: the current texts and "00000000" in place of the checksum.
inline constexpr char kBaseLanguageFile[] = "kvn_basic_lng.txt";
QByteArray BaseLanguageBytes(const Texts& texts);
// Writes kvn_basic_lng.txt into folder, replacing an older one only once the new one is
// complete. A failure is shown with the system's reason. True when written.
bool ExportBaseLanguage(const QString& folder, const Texts& texts, Prompts& prompts);

}  // namespace kvn
