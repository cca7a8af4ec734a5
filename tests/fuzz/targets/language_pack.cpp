// A language pack's bytes: UTF-16 lines and the checksum line.
#include "fuzz/targets/fuzz_property.h"
#include "texts/language_pack.h"

using namespace kvn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const PackCheck check = CheckPackBytes(bytes);
  if (check.Accepted()) {
    FUZZ_REQUIRE(check.lines.size() == kPackLineCount);
    FUZZ_REQUIRE(check.LogLine().isEmpty());
    FUZZ_REQUIRE(check.lines[kChecksumLine] == ChecksumText(PackChecksum(check.lines.mid(0, kTextRowCount))));
  } else {
    FUZZ_REQUIRE(!check.LogLine().isEmpty());
    if (check.verdict != PackCheck::Verdict::Unreadable && check.lines.size() == kPackLineCount)
      FUZZ_REQUIRE(check.verdict == PackCheck::Verdict::ChecksumBad);
  }
  if (check.verdict == PackCheck::Verdict::Unreadable) return 0;
  // The lines read are the lines written: encoded again they decode to themselves, and a
  // pack made from them is judged the same.
  QStringList again;
  QString error;
  FUZZ_REQUIRE(DecodePackLines(EncodePackLines(check.lines), &again, &error));
  FUZZ_REQUIRE(again == check.lines);
  FUZZ_REQUIRE(CheckPackBytes(EncodePackLines(check.lines)).verdict == check.verdict);
  // Never more lines than the bytes could hold.
  FUZZ_REQUIRE(check.lines.size() <= bytes.size() / 2 + 1);
  return 0;
}
