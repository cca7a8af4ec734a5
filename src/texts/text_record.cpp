#include "texts/text_record.h"

#include "texts/atomic_file.h"
#include "texts/guarded_file.h"
#include "texts/prompts.h"

namespace kvn {

int32_t TextRecordChecksum(QStringView text) {
  // Unsigned arithmetic wraps by definition; the result is read back as signed 32 bits.
  uint32_t sum = 0;
  for (const QChar c : text) sum += static_cast<uint32_t>(c.unicode() ^ 0x7171u);
  return static_cast<int32_t>(sum);
}

// A record holds one byte per character: what a byte cannot hold (a system error text in
// another script, say) becomes "?" in the bytes and in the checksum alike, so the record
// still reads back.
QByteArray EncodeTextRecord(QStringView text) {
  QString stored;
  stored.reserve(text.size());
  for (const QChar c : text) stored.append(c.unicode() > 0xFF ? QChar(u'?') : c);
  QByteArray bytes;
  bytes.reserve(stored.size() + 12);
  for (const QChar c : stored) bytes.append(static_cast<char>(c.unicode()));
  bytes.append(kRecordSeparator);
  bytes.append(QByteArray::number(TextRecordChecksum(stored)));
  return bytes;
}

std::optional<int32_t> ParseDecimalInt(QStringView text) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return std::nullopt;
    magnitude = magnitude * 10 + (c - u'0');
    if (magnitude > int64_t{1} << 31) return std::nullopt;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

QString DecodeTextRecord(const QByteArray& bytes) {
  const qsizetype separator = bytes.indexOf(kRecordSeparator);
  if (separator < 0) return QString();
  // Each byte is one character with that code, so Latin-1 is the exact inverse of the writer.
  const QString text = QString::fromLatin1(bytes.constData(), separator);
  const QString checksum = QString::fromLatin1(bytes.mid(separator + 1));
  const std::optional<int32_t> stored = ParseDecimalInt(checksum);
  if (!stored || *stored != TextRecordChecksum(text)) return QString();
  return text;
}

int WriteTextRecord(const QString& path, QStringView text, Prompts& prompts) {
  QString error;
  if (WriteFileAtomically(path, EncodeTextRecord(text), &error)) return 0;
  prompts.ShowMessage(error);
  return 1;
}

QString ReadTextRecordQuiet(const QString& path, qint64 maxBytes, QString* ioError) {
  FileRead read = ReadGuardedFile(path, maxBytes);
  if (ioError) *ioError = read.error;
  return read.Ok() ? DecodeTextRecord(read.bytes) : QString();
}

QString ReadTextRecord(const QString& path, Prompts& prompts, qint64 maxBytes) {
  QString ioError;
  const QString text = ReadTextRecordQuiet(path, maxBytes, &ioError);
  if (!ioError.isEmpty()) prompts.ShowMessage(ioError);
  return text;
}

}  // namespace kvn
