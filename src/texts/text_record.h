#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

#include "texts/guarded_file.h"

namespace kvn {

class Prompts;

// The checksummed text record: the text one byte per character ("?" for a code above 255), the
// separator SUB (26), then the checksum as signed decimal digits, nothing after them. The
// configuration file, the program settings file and the start-up log all use it.
inline constexpr char kRecordSeparator = 26;

// Sum of (code XOR 0x7171) over the characters, wrapping as a signed 32-bit integer.
int32_t TextRecordChecksum(QStringView text);

// The bytes of a record file for text.
QByteArray EncodeTextRecord(QStringView text);

// The text of a record file, or an empty text when the bytes are not a valid record (no SUB,
// anything but a decimal integer after it, or a checksum that does not match).
QString DecodeTextRecord(const QByteArray& bytes);

// A decimal integer that fits 32 bits: an optional sign and digits, nothing else.
std::optional<int32_t> ParseDecimalInt(QStringView text);

// Creates or replaces the file. The new content goes to a temporary file in the same folder
// first and only replaces the old file once completely written, so a crash or a full disk
// never costs the previous version. Returns 0 on success, 1 after showing the system's error
// text in a plain message box.
int WriteTextRecord(const QString& path, QStringView text, Prompts& prompts);

// The record's text; empty when the file is missing (no message) or invalid (no message). A file
// that cannot be read, or is no regular file, or is larger than maxBytes shows the reason in a
// plain message box and also gives an empty text.
QString ReadTextRecord(const QString& path, Prompts& prompts,
                       qint64 maxBytes = file_cap::kConfiguration);

// As ReadTextRecord, but shows nothing: the reason a file was refused is only handed back
// through ioError (left empty when the file is missing or merely invalid).
QString ReadTextRecordQuiet(const QString& path, qint64 maxBytes, QString* ioError = nullptr);

}  // namespace kvn
