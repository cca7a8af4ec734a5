#include "texts/language_pack.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cerrno>

#include "texts/atomic_file.h"
#include "texts/guarded_file.h"
#include "texts/program_settings.h"
#include "texts/prompts.h"
#include "texts/texts.h"
#include "texts/tr_context.h"

namespace kvn {
namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
constexpr char kByteOrderMark[] = "\xFF\xFE";
constexpr char kPackPattern[] = "*.lngpack";

KVN_TR_CONTEXT(kvn::LanguagePack)

// Splits at CR LF, lone CR and lone LF; a line end at the very end closes the last line
// without opening another.
QStringList SplitLines(QStringView text) {
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c != kCr && c != kLf) continue;
    lines << text.mid(start, i - start).toString();
    if (c == kCr && i + 1 < text.size() && text[i + 1].unicode() == kLf) ++i;
    start = i + 1;
  }
  if (start < text.size()) lines << text.mid(start).toString();
  return lines;
}

PackCheck Unreadable(QString reason) {
  PackCheck check;
  check.reason = std::move(reason);
  return check;
}

}  // namespace

quint32 PackChecksum(const QStringList& lines) {
  quint32 sum = 0;
  const int textLines = std::min<int>(lines.size(), kTextRowCount);
  for (int line = 0; line < textLines; ++line) {
    const QString& text = lines[line];
    for (qsizetype i = 1; i <= text.size(); ++i)
      sum += quint32(text[i - 1].unicode()) ^ (quint32(line) * quint32(i));
  }
  return sum;
}

QString ChecksumText(quint32 sum) {
  return QStringLiteral("%1").arg(sum, 8, 16, QLatin1Char('0')).toUpper();
}

bool DecodePackLines(const QByteArray& bytes, QStringList* lines, QString* error) {
  if (bytes.size() % 2 != 0) {
    *error = Tr("Odd number of bytes, not UTF-16 text");
    return false;
  }
  QByteArrayView body(bytes);
  if (body.startsWith(QByteArrayView(kByteOrderMark, 2))) body = body.sliced(2);
  // Decoded unit by unit, so that no byte sequence is altered: the checksum is over the units
  // exactly as the file holds them.
  QString text(body.size() / 2, Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i)
    text[i] = QChar(char16_t(quint8(body[2 * i]) | (quint8(body[2 * i + 1]) << 8)));
  *lines = SplitLines(text);
  return true;
}

QByteArray EncodePackLines(const QStringList& lines) {
  QByteArray bytes(kByteOrderMark, 2);
  for (const QString& line : lines) {
    const QString ended = line + QStringLiteral("\r\n");
    for (QChar c : ended) {
      bytes.append(char(c.unicode() & 0xFF));
      bytes.append(char(c.unicode() >> 8));
    }
  }
  return bytes;
}

QString PackCheck::LogLine() const {
  switch (verdict) {
    case Verdict::Accepted: return {};
    case Verdict::Unreadable: return reason + QStringLiteral(". Language file read failed!");
    case Verdict::CountMismatch:
      return QStringLiteral("Language file read failed! Captions count mismatch!");
    case Verdict::ChecksumBad: return QStringLiteral("Language file read failed! Check sum bad!");
  }
  return {};
}

PackCheck CheckPackBytes(const QByteArray& bytes) {
  PackCheck check;
  if (!DecodePackLines(bytes, &check.lines, &check.reason)) return check;
  if (check.lines.size() != kPackLineCount) {
    check.verdict = PackCheck::Verdict::CountMismatch;
    return check;
  }
  check.checksumDue = ChecksumText(PackChecksum(check.lines));
  // Exactly as written: "0000012a" is not "0000012A".
  check.verdict = check.lines[kChecksumLine] == check.checksumDue ? PackCheck::Verdict::Accepted
                                                                  : PackCheck::Verdict::ChecksumBad;
  return check;
}

PackCheck CheckPackFile(const QString& path) {
  const FileRead file = ReadGuardedFile(path, file_cap::kLanguagePack);
  // The pack was listed a moment ago: gone now, it is a read failure like any other.
  if (file.Missing()) return Unreadable(qt_error_string(ENOENT));
  if (!file.Ok()) return Unreadable(file.error);
  return CheckPackBytes(file.bytes);
}

bool ReadLanguagePack(const QString& path, Texts& texts, StartupErrors& errors) {
  PackCheck check = CheckPackFile(path);
  if (!check.Accepted()) {
    errors.Append(check.LogLine());
    return false;
  }
  check.lines.removeLast();
  texts.CurrentTexts = std::move(check.lines);
  return true;
}

QString FindLanguagePack(const QString& folder) {
  const QDir dir(folder);
  QStringList names = dir.entryList({QString::fromLatin1(kPackPattern)},
                                    QDir::AllEntries | QDir::Hidden | QDir::System |
                                        QDir::NoDotAndDotDot,
                                    QDir::NoSort);
  if (names.isEmpty()) return {};
  std::sort(names.begin(), names.end());
  return dir.filePath(names.front());
}

bool LoadLanguagePack(const QString& folder, Texts& texts, StartupErrors& errors, QString* taken) {
  const QString pack = FindLanguagePack(folder);
  if (pack.isEmpty()) {
    errors.Append(QStringLiteral("language pack file not found"));
    return false;
  }
  if (!ReadLanguagePack(pack, texts, errors)) return false;
  if (taken) *taken = pack;
  return true;
}

QByteArray BaseLanguageBytes(const Texts& texts) {
  return EncodePackLines(texts.CurrentTexts + QStringList{QStringLiteral("00000000")});
}

bool ExportBaseLanguage(const QString& folder, const Texts& texts, Prompts& prompts) {
  QString error;
  if (WriteFileAtomically(QDir(folder).filePath(QString::fromLatin1(kBaseLanguageFile)),
                          BaseLanguageBytes(texts), &error))
    return true;
  prompts.ShowError(error);
  return false;
}

}  // namespace kvn
