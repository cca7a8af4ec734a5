#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "device_link/block_table.h"
#include "parameters/parameter_table.h"

namespace kvn {
namespace {

int CountRows(bool (*pred)(const ParameterDescriptor&)) {
  int n = 0;
  for (const auto& row : ParameterTable) n += pred(row) ? 1 : 0;
  return n;
}

std::string Name(const ParameterDescriptor& row) { return std::string(row.name); }

TEST(ParameterTable, HasUniqueNames) {
  std::set<std::string_view> names;
  for (const auto& row : ParameterTable) EXPECT_TRUE(names.insert(row.name).second) << row.name;
  EXPECT_EQ(names.size(), 155u);
}

// The control prefix must match the kind of control the field type needs.
TEST(ParameterTable, NamePrefixMatchesFieldType) {
  for (const auto& row : ParameterTable) {
    const std::string name = Name(row);
    const std::string prefix = name.substr(0, name.find('_') + 1);
    switch (row.fieldType) {
      case FieldType::Int16:
      case FieldType::Int32:
      case FieldType::Text:
      case FieldType::Password:
      case FieldType::Float:
      case FieldType::OffsetLevel: EXPECT_EQ(prefix, "txt_") << name; break;
      case FieldType::Choice: EXPECT_EQ(prefix, "cmb_") << name; break;
      case FieldType::Bit:
      case FieldType::InvertedBit:
      case FieldType::Bit32:
      case FieldType::FixedOn: EXPECT_EQ(prefix, "chk_") << name; break;
      case FieldType::CrcLabel:
      case FieldType::ResponseTime: EXPECT_EQ(prefix, "lbl_") << name; break;
      case FieldType::NotAssigned: ADD_FAILURE() << name << " uses the unassigned field type"; break;
    }
  }
}

TEST(ParameterTable, FieldCountsMatchTheFilters) {
  EXPECT_EQ(CountRows([](const ParameterDescriptor& r) { return IsEditField(r.fieldType); }), 82);
  EXPECT_EQ(CountRows([](const ParameterDescriptor& r) {
              return r.fieldType == FieldType::Text || r.fieldType == FieldType::Password;
            }),
            9);
  EXPECT_EQ(CountRows([](const ParameterDescriptor& r) {
              return r.fieldType == FieldType::Int16 && r.detail == 0;
            }),
            6);
  EXPECT_EQ(CountRows([](const ParameterDescriptor& r) {
              return (r.fieldType == FieldType::Int16 && r.detail > 0) || r.fieldType == FieldType::Int32 ||
                     r.fieldType == FieldType::Float || r.fieldType == FieldType::OffsetLevel;
            }),
            67);
  EXPECT_EQ(CountRows([](const ParameterDescriptor& r) { return r.fieldType == FieldType::Choice; }), 9);
  EXPECT_EQ(CountRows([](const ParameterDescriptor& r) { return r.fieldType == FieldType::Bit32; }), 18);
}

TEST(ParameterTable, RegistersLieInsideTheirBlockAndOffTheCrc) {
  const std::set<int> rowBlocks = {0, 1, 2, 4, 5, 7};
  for (const auto& row : ParameterTable) {
    ASSERT_TRUE(rowBlocks.count(static_cast<int>(row.blockId))) << row.name;
    const BlockDescriptor& block = Block(row.blockId);
    const int first = RegisterOf(row);
    const int last = first + std::max(RegisterCountOf(row), 1) - 1;
    EXPECT_EQ(first, block.start + row.offset) << row.name;
    EXPECT_GE(first, block.start) << row.name;
    if (row.fieldType == FieldType::CrcLabel) {
      EXPECT_EQ(first, block.CrcRegister()) << row.name;
      EXPECT_EQ(RegisterCountOf(row), 1) << row.name;
    } else {
      EXPECT_LT(last, block.CrcRegister()) << row.name;
    }
  }
}

TEST(ParameterTable, EveryBlockWithRowsHasOneCrcLabel) {
  std::map<BlockId, int> crcRows;
  for (const auto& row : ParameterTable) {
    crcRows.try_emplace(row.blockId, 0);
    if (row.fieldType == FieldType::CrcLabel) ++crcRows[row.blockId];
  }
  EXPECT_EQ(crcRows.size(), 6u);
  for (const auto& [block, n] : crcRows) EXPECT_EQ(n, 1) << "block " << static_cast<int>(block);
}

// Value registers of different rows never overlap; only bit rows share a word, one bit each.
TEST(ParameterTable, RowsShareRegistersOnlyAsDistinctBits) {
  std::map<int, std::string> valueOwner;
  std::map<std::pair<int, int>, std::string> bitOwner;
  for (const auto& row : ParameterTable) {
    const int first = RegisterOf(row);
    const bool isBit = row.fieldType == FieldType::Bit || row.fieldType == FieldType::InvertedBit ||
                       row.fieldType == FieldType::Bit32 || row.fieldType == FieldType::FixedOn;
    if (isBit) {
      const auto [it, fresh] = bitOwner.try_emplace({first, row.detail}, Name(row));
      EXPECT_TRUE(fresh) << row.name << " shares its bit with " << it->second;
      continue;
    }
    for (int r = first; r < first + RegisterCountOf(row); ++r) {
      const auto [it, fresh] = valueOwner.try_emplace(r, Name(row));
      EXPECT_TRUE(fresh) << row.name << " overlaps " << it->second << " at " << r;
    }
  }
  for (const auto& [key, name] : bitOwner)
    EXPECT_FALSE(valueOwner.count(key.first)) << name << " shares a word with a value row";
}

// Each relay word carries latch, invert, overspeed, underspeed, acceleration, diagnostics and
// test-and-reset bits; bit 5 has no control.
TEST(ParameterTable, RelayWordsCarryTheirBits) {
  for (int output = 1; output <= 5; ++output) {
    std::set<int> bits;
    for (const auto& row : ParameterTable)
      if (row.blockId == BlockId::Output && RegisterOf(row) == 5500 + output - 1) bits.insert(row.detail);
    EXPECT_EQ(bits, (std::set<int>{0, 1, 2, 3, 4, 6, 7})) << "output " << output;
  }
}

TEST(ParameterTable, DynamicLimitsLieInTheFactoryBlocks) {
  for (const auto& row : ParameterTable) {
    if (row.rangeSource == RangeSource::Static) {
      EXPECT_EQ(row.minRegister, 0) << row.name;
      EXPECT_EQ(row.maxRegister, 0) << row.name;
      continue;
    }
    EXPECT_TRUE(row.fieldType == FieldType::Int32 || row.fieldType == FieldType::Float) << row.name;
    for (int r : {row.minRegister, row.maxRegister}) {
      const BlockDescriptor* block = nullptr;
      for (int id : {6, 8}) {
        const BlockDescriptor* b = FindBlock(id);
        if (r >= b->start && r + 1 < b->CrcRegister()) block = b;
      }
      EXPECT_NE(block, nullptr) << row.name << " limit register " << r;
    }
  }
}

struct KnownRow {
  const char* name;
  FieldType type;
  RangeSource source;
  int detail;
  int intMin;
  int intMax;
  float floatMin;
  float floatMax;
  int reg;
  int minRegister;
  int maxRegister;
  int rowNumber;
};

class KnownRows : public ::testing::TestWithParam<KnownRow> {};

TEST_P(KnownRows, MatchTheTable) {
  const KnownRow& k = GetParam();
  ASSERT_EQ(FindParameterRow(k.name), k.rowNumber);
  const ParameterDescriptor* row = FindParameter(k.name);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row, &ParameterRow(k.rowNumber));
  EXPECT_EQ(row->fieldType, k.type);
  EXPECT_EQ(row->rangeSource, k.source);
  EXPECT_EQ(row->detail, k.detail);
  EXPECT_EQ(row->intMin, k.intMin);
  EXPECT_EQ(row->intMax, k.intMax);
  EXPECT_EQ(row->floatMin, k.floatMin);  // exact single-precision values
  EXPECT_EQ(row->floatMax, k.floatMax);
  EXPECT_EQ(RegisterOf(*row), k.reg);
  EXPECT_EQ(row->minRegister, k.minRegister);
  EXPECT_EQ(row->maxRegister, k.maxRegister);
}

using T = FieldType;
using S = RangeSource;
INSTANTIATE_TEST_SUITE_P(
    ParameterTable, KnownRows,
    ::testing::Values(
        KnownRow{"txt_usr_tag1", T::Text, S::Static, 16, 0, 0, 0, 0, 2000, 0, 0, 1},
        KnownRow{"txt_usr_comment", T::Text, S::Static, 32, 0, 0, 0, 0, 2024, 0, 0, 4},
        KnownRow{"txt_mod_addr", T::Int16, S::Static, 0, 1, 254, 0, 0, 2040, 0, 0, 5},
        KnownRow{"lbl_val_crc_dev_usr", T::CrcLabel, S::Static, 0, 0, 1, 0, 0, 2045, 0, 0, 9},
        KnownRow{"txt_password", T::Password, S::Static, 16, 0, 0, 0, 0, 1000, 0, 0, 16},
        KnownRow{"lbl_val_pass_crc", T::CrcLabel, S::Static, 0, 0, 0, 0, 0, 1009, 0, 0, 17},
        KnownRow{"txt_module", T::Int16, S::Static, 1, 0, 1000, 0, 0, 4015, 0, 0, 20},
        KnownRow{"txt_rated_sp", T::Float, S::Static, -1, 0, 0, 0.0f, 2100000.0f, 4008, 0, 0, 22},
        KnownRow{"txt_level_u", T::OffsetLevel, S::Static, 2, 0, 0, 0.0f, 24.0f, 4012, 0, 0, 26},
        KnownRow{"lbl_val_resp_time", T::ResponseTime, S::Static, 0, 0, 0, 0, 0, 4000, 0, 0, 32},
        KnownRow{"chk_invert_2", T::FixedOn, S::Static, 1, 0, 0, 0, 0, 5501, 0, 0, 40},
        KnownRow{"txt_oneshot_5", T::Int32, S::Static, 3, 1, 1000000, 0, 0, 5514, 0, 0, 48},
        KnownRow{"txt_vmax_lim_1", T::Float, S::Dynamic, -1, 0, 0, 0, 0, 5556, 6006, 6004, 74},
        KnownRow{"txt_amax_hyst_5", T::Float, S::DynamicMax, -1, 0, 0, 0, 0, 5624, 6010, 6008, 103},
        KnownRow{"txt_amax_del_5", T::Int32, S::Static, 3, 0, 1000000, 0, 0, 5544, 0, 0, 118},
        KnownRow{"txt_aout_min", T::Float, S::Static, 2, 0, 0, 3.6f, 21.0f, 5644, 0, 0, 122},
        KnownRow{"txt_aout_err_val", T::Float, S::Static, 2, 0, 0, 0.0f, 3.6f, 5646, 0, 0, 124},
        KnownRow{"txt_sens_lim_i_max", T::Float, S::Dynamic, 2, 0, 0, 0, 0, 4502, 5036, 5034, 127},
        KnownRow{"txt_bad_pulse", T::Int32, S::DynamicOrZero, 3, 0, 0, 0, 0, 4500, 5048, 5046, 130},
        KnownRow{"chk_latch_slv_errwdg", T::Bit32, S::Static, 24, 0, 0, 0, 0, 4512, 0, 0, 149},
        KnownRow{"chk_usb_act", T::InvertedBit, S::Static, 0, 0, 0, 0, 0, 4515, 0, 0, 151},
        KnownRow{"chk_dis_init_safe", T::Bit, S::Static, 2, 0, 0, 0, 0, 4516, 0, 0, 154},
        KnownRow{"lbl_val_crc_diag", T::CrcLabel, S::Static, 0, 0, 0, 0, 0, 4517, 0, 0, 155}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterTable, UnknownNameIsNotFound) {
  EXPECT_EQ(FindParameter("txt_no_such_field"), nullptr);
  EXPECT_EQ(FindParameterRow(""), 0);
  EXPECT_EQ(FindParameterRow("txt_usr_tag"), 0);  // a prefix of a real name
}

}  // namespace
}  // namespace kvn
