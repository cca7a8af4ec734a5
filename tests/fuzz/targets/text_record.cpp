// The checksummed text record (configuration file, settings file, start-up log), read from
// a file's bytes.
#include "fuzz/targets/fuzz_property.h"
#include "texts/text_record.h"

using namespace kvn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString text = DecodeTextRecord(bytes);
  const qsizetype separator = bytes.indexOf(kRecordSeparator);
  if (!text.isEmpty()) {
    // What was taken is the file's body, and saving it gives a file that reads back the same.
    FUZZ_REQUIRE(separator == text.size());
    FUZZ_REQUIRE(EncodeTextRecord(text).left(separator + 1) == bytes.left(separator + 1));
    FUZZ_REQUIRE(DecodeTextRecord(EncodeTextRecord(text)) == text);
    FUZZ_REQUIRE(ParseDecimalInt(QString::fromLatin1(bytes.mid(separator + 1))) == TextRecordChecksum(text));
  }
  // Any body without the separator survives writing and reading; an empty one reads as empty.
  const QString body = QString::fromLatin1(separator < 0 ? bytes : bytes.left(separator));
  FUZZ_REQUIRE(DecodeTextRecord(EncodeTextRecord(body)) == body);
  // The checksum digits: a number taken prints as digits that read back as the same number.
  const QString digits = QString::fromLatin1(bytes.left(12));
  if (const std::optional<int32_t> n = ParseDecimalInt(digits)) {
    FUZZ_REQUIRE(ParseDecimalInt(QString::number(*n)) == n);
    FUZZ_REQUIRE(digits.toLongLong() == *n);
  }
  return 0;
}
