#include <gtest/gtest.h>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "device_link/crc16.h"
#include "device_link/modbus_master.h"
#include "device_link/pause.h"
#include "device_link/port_map.h"
#include "device_link/serial_link.h"
#include "support/recording_prompts.h"
#include "texts/texts.h"

namespace kvn {
namespace {

TEST(BlockTableShape, FourteenRowsParameterBlocksFirst) {
  ASSERT_EQ(BlockTable.size(), 14u);
  int parameterBlocks = 0;
  for (const auto& b : BlockTable) parameterBlocks += b.is_parameter;
  EXPECT_EQ(parameterBlocks, 9);
  EXPECT_EQ(FindBlock(7)->start, 5500);
  EXPECT_EQ(FindBlock(7)->CrcRegister(), 5649);
  EXPECT_EQ(FindBlock(0)->CrcRegister(), 1009);
  EXPECT_EQ(FindBlock(14), nullptr);
  EXPECT_EQ(BlockTable[9].id, BlockId::Identification);
}

// A block transfer with a link that is never opened: enough for the CRC functions.
struct OfflineTransfer {
  LocSetupRec setup;
  Texts texts;
  RecordingPrompts prompts;
  Pause pause;
  PortMap ports{QString()};
  SerialLink link{setup, ports, pause};
  ModbusMaster master{link, texts, prompts};
  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  BlockTransfer blocks{master, *images, setup};
};

TEST(ImageCrcTest, RegistersContributeLowByteFirst) {
  auto images = MakeRegisterImages();
  // "12" "34" "56" "78" "9" as registers, first character in the low byte.
  RegisterImage& img = images->EditImage;
  img[10] = '1' | '2' << 8;
  img[11] = '3' | '4' << 8;
  img[12] = '5' | '6' << 8;
  img[13] = '7' | '8' << 8;
  EXPECT_EQ(ImageCrc(img, 10, 4), ComputeCrc16(reinterpret_cast<const uint8_t*>("12345678"), 8).Value());
  // Sign-extended cells contribute only their low 16 bits.
  img[20] = -1;
  img[21] = 0xFFFF;
  EXPECT_EQ(ImageCrc(img, 20, 1), ImageCrc(img, 21, 1));
}

class BlockCrcEveryParameterBlock : public ::testing::TestWithParam<int> {};

TEST_P(BlockCrcEveryParameterBlock, ValidAfterUpdateInvalidAfterAnyChange) {
  OfflineTransfer t;
  const BlockDescriptor& b = BlockTable[static_cast<size_t>(GetParam())];
  for (int r = b.start; r < b.start + b.count - 1; ++r) t.images->EditImage[static_cast<size_t>(r)] = (r * 7919) % 65536 - 32768;
  const uint16_t crc = t.blocks.UpdateBlockCrc(b);
  EXPECT_EQ(t.images->EditImage[static_cast<size_t>(b.CrcRegister())], crc) << "stored as the non-negative value";
  EXPECT_TRUE(t.blocks.CheckBlockCrc(b.id));
  for (int r : {b.start, b.start + b.count / 2, b.start + b.count - 2}) {
    t.images->EditImage[static_cast<size_t>(r)] ^= 0x0100;
    EXPECT_FALSE(t.blocks.CheckBlockCrc(b.id)) << "register " << r;
    t.images->EditImage[static_cast<size_t>(r)] ^= 0x0100;
  }
  EXPECT_TRUE(t.blocks.CheckBlockCrc(b.id));
}

INSTANTIATE_TEST_SUITE_P(Rows, BlockCrcEveryParameterBlock, ::testing::Range(0, 9));

TEST(BlockCrcCheck, UnknownIdIsFalse) {
  OfflineTransfer t;
  EXPECT_FALSE(t.blocks.CheckBlockCrc(static_cast<BlockId>(42)));
}

TEST(ClosedLink, EveryOperationIsHarmless) {
  OfflineTransfer t;
  int32_t cell = 77;
  uint8_t buf[4];
  EXPECT_FALSE(t.link.Write(buf, 4));
  EXPECT_EQ(t.link.ReadAvailable(buf, 4), 0);
  EXPECT_EQ(t.link.NextByte(), -1);
  t.link.Purge();
  EXPECT_EQ(t.master.ReadRegisters(3, 1, 0, {&cell, 1}), ModbusResult::NoResponse);
  EXPECT_EQ(cell, 77);
  EXPECT_FALSE(t.blocks.PollBlock(Block(BlockId::Identification)));
  EXPECT_TRUE(t.prompts.NothingShown()) << t.prompts.Describe().toStdString();
}

}  // namespace
}  // namespace kvn
