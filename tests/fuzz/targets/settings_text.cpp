// The program settings text (Kvn_Config.cfg), as its record gives it: any characters 0..255
// but the record separator.
#include "fuzz/targets/fuzz_property.h"
#include "texts/program_settings.h"
#include "texts/text_record.h"

using namespace kvn;

namespace {

bool Within(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (const qsizetype separator = bytes.indexOf(kRecordSeparator); separator >= 0) bytes.truncate(separator);
  LocSetupRec setup;
  ApplySettingsText(QString::fromLatin1(bytes), setup);
  // Whatever the file says, the fields the program indexes with stay in their ranges.
  FUZZ_REQUIRE(Within(setup.baud, 0, 5));
  FUZZ_REQUIRE(Within(setup.addr, 1, 254));
  FUZZ_REQUIRE(Within(setup.parity, 0, 2));
  FUZZ_REQUIRE(Within(setup.diag_speed_thk, 0, 3) && Within(setup.diag_rated_thk, 0, 3));
  for (int k = 0; k < 5; ++k)
    FUZZ_REQUIRE(Within(setup.diag_min_thk[k], 0, 3) && Within(setup.diag_max_thk[k], 0, 3));
  // Saved on quitting, the settings come back the same at the next start.
  const QString text = BuildSettingsText(setup);
  FUZZ_REQUIRE(text.count(QLatin1Char('|')) == kSettingsFieldCount);
  LocSetupRec restarted;
  ApplySettingsText(DecodeTextRecord(EncodeTextRecord(text)), restarted);
  FUZZ_REQUIRE(BuildSettingsText(restarted) == text);
  return 0;
}
