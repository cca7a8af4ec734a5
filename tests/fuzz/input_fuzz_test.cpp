// Random and mutated input for every parser of outside data: files, typed numbers, frames from
// the line, requests reaching the simulator. Each case checks what must hold for any input
// (no crash, no partial result, round trips stay exact); run under ASan/UBSan for memory faults.
#include <gtest/gtest.h>

#include <QByteArray>
#include <random>

#include "device_link/crc16.h"
#include "device_link/modbus_frames.h"
#include "device_link/modbus_master.h"
#include "device_link/pause.h"
#include "device_link/port_map.h"
#include "device_link/serial_link.h"
#include "devsim/simulator.h"
#include "parameters/value_codec.h"
#include "support/pty_pair.h"
#include "support/recording_prompts.h"
#include "texts/language_pack.h"
#include "texts/program_settings.h"
#include "texts/text_record.h"
#include "texts/texts.h"

namespace kvn {
namespace {

constexpr int kRounds = 3000;

QByteArray RandomBytes(std::mt19937& rng, int maxLength) {
  QByteArray out(static_cast<int>(rng() % static_cast<unsigned>(maxLength + 1)), '\0');
  for (char& c : out) c = static_cast<char>(rng());
  return out;
}

// Characters an engineer could type or a damaged file could hold, weighted to digits.
QString RandomText(std::mt19937& rng, int maxLength) {
  static const QString alphabet = QStringLiteral("0123456789012345678901234567890.,-+ eE|\x1a\xe4x");
  QString out;
  const int n = static_cast<int>(rng() % static_cast<unsigned>(maxLength + 1));
  for (int i = 0; i < n; ++i) out += alphabet[static_cast<int>(rng() % static_cast<unsigned>(alphabet.size()))];
  return out;
}

TEST(FuzzTextRecord, DamagedFilesDecodeToNothingOrToWhatWasWritten) {
  std::mt19937 rng(1);
  for (int i = 0; i < kRounds; ++i) {
    const QString text = RandomText(rng, 80);
    const QByteArray good = EncodeTextRecord(text);
    if (!text.contains(QChar(26))) {
      EXPECT_EQ(DecodeTextRecord(good), text);
    }
    QByteArray bad = good;
    if (!bad.isEmpty()) bad[static_cast<int>(rng() % static_cast<unsigned>(bad.size()))] ^= static_cast<char>(1 + rng() % 255);
    const QString decoded = DecodeTextRecord(bad);
    EXPECT_TRUE(decoded.isEmpty() || decoded.size() <= bad.size());
    (void)DecodeTextRecord(RandomBytes(rng, 120));
  }
}

// Any one byte of a sound pack changed: refused with a log line (a changed unit changes the
// sum, a changed line end the line count). Cut short: taken only when nothing but the last
// line end was cut. Noise: refused, and never more lines than units.
TEST(FuzzLanguagePack, DamagedPacksAreRefusedWithTheirLogLine) {
  std::mt19937 rng(7);
  QStringList lines(kTextRowCount);
  for (QString& line : lines) line = RandomText(rng, 6);
  lines << ChecksumText(PackChecksum(lines));
  const QByteArray good = EncodePackLines(lines);
  ASSERT_TRUE(CheckPackBytes(good).Accepted());
  for (int i = 0; i < kRounds / 10; ++i) {
    QByteArray bad = good;
    const int at = 2 + static_cast<int>(rng() % static_cast<unsigned>(bad.size() - 2));
    bad[at] = static_cast<char>(bad[at] ^ (1 + rng() % 255));
    const PackCheck changed = CheckPackBytes(bad);
    EXPECT_FALSE(changed.Accepted()) << at;
    EXPECT_FALSE(changed.LogLine().isEmpty());
    const bool onlyLineEndCut = at == good.size() - 4 || at == good.size() - 2;
    EXPECT_EQ(CheckPackBytes(good.left(at)).Accepted(), onlyLineEndCut) << at;
    const QByteArray noise = RandomBytes(rng, 400);
    const PackCheck check = CheckPackBytes(noise);
    EXPECT_FALSE(check.Accepted());
    EXPECT_LE(check.lines.size(), noise.size() / 2);
  }
}

TEST(FuzzSettingsText, AnyTextGivesFieldsInTheirRanges) {
  std::mt19937 rng(2);
  for (int i = 0; i < kRounds; ++i) {
    LocSetupRec setup;
    ApplySettingsText(RandomText(rng, 200), setup);
    EXPECT_GE(setup.baud, 0);
    EXPECT_LE(setup.baud, 5);
    EXPECT_GE(setup.addr, 1);
    EXPECT_LE(setup.addr, 254);
    EXPECT_GE(setup.parity, 0);
    EXPECT_LE(setup.parity, 2);
    for (int k = 0; k < 5; ++k) {
      EXPECT_GE(setup.diag_max_thk[k], 0);
      EXPECT_LE(setup.diag_max_thk[k], 3);
      EXPECT_GE(setup.diag_min_thk[k], 0);
      EXPECT_LE(setup.diag_min_thk[k], 3);
    }
    // What was taken is what is written again.
    LocSetupRec again;
    ApplySettingsText(BuildSettingsText(setup), again);
    EXPECT_EQ(BuildSettingsText(again), BuildSettingsText(setup));
  }
}

TEST(FuzzTypedNumbers, ParsedValuesFormatBackToThemselves) {
  std::mt19937 rng(3);
  for (const QChar separator : {QLatin1Char('.'), QLatin1Char(',')}) {
    const NumberFormat numbers(separator);
    for (int i = 0; i < kRounds; ++i) {
      const QString text = RandomText(rng, 14);
      const int decimals = static_cast<int>(rng() % 4);
      const ScaledValue v = numbers.ParseScaled(text, decimals);
      if (v.ok) {
        const ScaledValue back = numbers.ParseScaled(numbers.FormatScaled(v.value, decimals), decimals);
        EXPECT_TRUE(back.ok);
        EXPECT_EQ(back.value, v.value) << text.toStdString();
      }
      if (const auto f = numbers.ParseFloat(text)) {
        EXPECT_TRUE(std::isfinite(*f)) << text.toStdString();
      }
    }
  }
}

TEST(FuzzSimulatorRequests, AnyFrameIsAnsweredWithAValidFrameOrNotAtAll) {
  std::mt19937 rng(4);
  devsim::Simulator sim;
  int answered = 0;
  for (int i = 0; i < kRounds; ++i) {
    std::vector<uint8_t> frame;
    if (rng() % 2) {
      // A well-formed request to random registers, often for this slave.
      const int function = std::array{3, 4, 16, 6, 1}[rng() % 5];
      const int start = static_cast<int>(rng() % 11000);
      const int count = static_cast<int>(rng() % 130);
      if (function == 16) {
        std::vector<int32_t> cells(static_cast<size_t>(count), static_cast<int32_t>(rng()));
        frame = BuildWriteRequest(1, start, count, cells.data());
      } else {
        frame = BuildReadRequest(function, 1, start, count);
      }
    } else {
      const QByteArray b = RandomBytes(rng, 40);
      frame.assign(b.begin(), b.end());
    }
    const auto reply = sim.HandleFrame(frame);
    if (!reply || reply->bytes.size() < 4) continue;
    ++answered;
    const auto& bytes = reply->bytes;
    EXPECT_TRUE(FrameCrcMatches(bytes.data(), static_cast<int>(bytes.size()) - 2));
  }
  EXPECT_GT(answered, kRounds / 4) << "the well-formed half is answered, if only with exceptions";
}

// Garbage on the line: the master must never take it as data.
TEST(FuzzLineNoise, GarbageNeverBecomesData) {
  test::PtyPair pty;
  test::PortsFolder folder;
  folder.Link(1, pty.SlavePath());
  InterfaceSettings setup;
  setup.com_num = "COM1";
  setup.baud = 5;
  Texts texts;
  RecordingPrompts prompts;
  Pause pause;
  PortMap ports(folder.Path());
  SerialLink link(setup, ports, pause);
  ModbusMaster master(link, texts, prompts);
  ASSERT_TRUE(link.Open());
  std::mt19937 rng(5);
  for (int i = 0; i < 15; ++i) {
    // Random bytes that start with the slave address, so the master collects them.
    QByteArray noise = RandomBytes(rng, 30);
    noise.prepend('\x01');
    pty.Send(std::vector<uint8_t>(noise.begin(), noise.end()));
    int32_t cells[2] = {-7, -7};
    const ModbusResult r = master.ReadRegisters(3, 1, 0, {cells, 2});
    pty.Receive(5);  // the request
    if (r != ModbusResult::Ok) {
      EXPECT_EQ(cells[0], -7);
      EXPECT_EQ(cells[1], -7);
    }
  }
}

}  // namespace
}  // namespace kvn
