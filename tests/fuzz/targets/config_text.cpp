// The configuration file's text: 372 register fields, checked block by block by their CRCs.
#include "device_link/block_table.h"
#include "fuzz/targets/fuzz_property.h"
#include "parameters/config_file.h"

using namespace kvn;

namespace {

// The images the program keeps live for the length of a run; one allocation for all inputs.
struct Images {
  RegisterImage loaded{};
  RegisterImage again{};
};

bool InStoredBlock(int r) {
  for (const BlockDescriptor& b : BlockTable)
    if (IsStoredBlock(b) && r >= b.start && r < b.start + b.count) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto* images = new Images;
  // A record's body: one character per byte.
  const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (!ReadConfigurationText(text, images->loaded)) return 0;
  // A loaded set touches nothing outside the stored blocks, and the relay words never keep
  // the device's own bit.
  for (int r = 0; r < kRegisterCount; ++r)
    if (!InStoredBlock(r)) FUZZ_REQUIRE(images->loaded[static_cast<size_t>(r)] == 0);
  for (int r = reg::OutputConfig; r < reg::OutputConfig + 5; ++r)
    FUZZ_REQUIRE((images->loaded[static_cast<size_t>(r)] & 0x20) == 0);
  // Saved again, the set loads again, register for register as the file carries them.
  const QString saved = ConfigurationText(images->loaded);
  FUZZ_REQUIRE(saved.count(QLatin1Char('|')) == 372);
  FUZZ_REQUIRE(ReadConfigurationText(saved, images->again));
  for (int r = 0; r < kRegisterCount; ++r) {
    const auto at = static_cast<size_t>(r);
    FUZZ_REQUIRE(images->again[at] == (images->loaded[at] & 0xFFFF));
  }
  FUZZ_REQUIRE(ConfigurationText(images->again) == saved);
  return 0;
}
