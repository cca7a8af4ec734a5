#include "ui/live_data.h"

#include <QCheckBox>
#include <QLocale>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>

#include "device_link/block_table.h"
#include "device_link/block_transfer.h"
#include "device_link/serial_link.h"
#include "operations/device_poll.h"
#include "ui/connection_display.h"
#include "parameters/value_codec.h"
#include "texts/setup_record.h"
#include "texts/locale_separators.h"
#include "texts/texts.h"

namespace kvn {
namespace {

constexpr int kGoodInterval = 500;
constexpr int kFailedInterval = 1000;

enum Msg { kMsgNotUsed = 13, kMsgInactive = 14, kMsgActive = 15, kMsgOpen = 16, kMsgClosed = 17 };


uint32_t Word32(const RegisterImage& image, int r) {
  return static_cast<uint32_t>(ReadInt32(image, r));
}

// A 16-character text as the status labels show it: one character per byte, not trimmed.

// The locale's time pattern reduced to hours, minutes and seconds with its own separator.
QString TimeFormat() { return QStringLiteral("HH%1mm%1ss").arg(SeparatorsOf(QLocale()).time); }

// Process-data page: (label, register) in the speed format.
struct ValueLabel {
  const char* name;
  int reg;
};
constexpr ValueLabel kSpeedLabels[] = {
    {"lbl_proc_speed_val", pd::Speed},      {"lbl_proc_speed_min", pd::SpeedMin},
    {"lbl_proc_speed_max", pd::SpeedMax},   {"lbl_proc_acc_val", pd::Acceleration},
    {"lbl_proc_acc_min", pd::AccelerationMin}, {"lbl_proc_acc_max", pd::AccelerationMax},
};
constexpr ValueLabel kTwoDecimalProcessLabels[] = {
    {"lbl_proc_freq_val", pd::Frequency},
    {"lbl_proc_aout_val", pd::AnalogOutput},
    {"lbl_proc_aofb_val", pd::AnalogFeedback},
};
constexpr ValueLabel kDeviceStatusLabels[] = {
    {"lbl_stat_mst_vcc", pd::CpuVcc},
    {"lbl_stat_temp", reg::CpuTemperature},
    {"lbl_stat_rail_v", pd::RailSupply},
    {"lbl_stat_main_v", pd::MainSupply},
    {"lbl_stat_vcc_curr", pd::SlaveVcc},
    {"lbl_stat_vcc_min", pd::SlaveVccMin},
    {"lbl_stat_vcc_max", pd::SlaveVccMax},
    {"lbl_stat_suppl_min", pd::SensorSupplyMin},
    {"lbl_stat_suppl_max", pd::SensorSupplyMax},
    {"lbl_stat_vsens_min_1", pd::SensorVoltage1Min},
    {"lbl_stat_vsens_max_1", pd::SensorVoltage1Max},
    {"lbl_stat_vsens_min_2", pd::SensorVoltage2Min},
    {"lbl_stat_vsens_max_2", pd::SensorVoltage2Max},
    {"lbl_stat_isens_min_1", pd::SensorCurrent1Min},
    {"lbl_stat_isens_max_1", pd::SensorCurrent1Max},
    {"lbl_stat_isens_min_2", pd::SensorCurrent2Min},
    {"lbl_stat_isens_max_2", pd::SensorCurrent2Max},
    {"lbl_stat_freq_speed", pd::Frequency},
    {"lbl_stat_freq_acc", pd::FrequencyAcceleration},
};

// Output table rows: label stem and the function bit of the output configuration.
struct OutputRow {
  const char* stem;
  int bit;
};
constexpr OutputRow kOutputRows[] = {
    {"lbl_proc_vmax_", 4}, {"lbl_proc_vmin_", 8}, {"lbl_proc_acc_", 16},
    {"lbl_proc_diag_", 64}, {"lbl_proc_ppt_", 128},
};
constexpr int kDiagnosticsBit = 64;
constexpr int kOutputs = 5;

}  // namespace

ErrorLists::ErrorLists(QDateTime programStart) { FirstSeenTime.fill(programStart); }

void ErrorLists::Update(uint32_t current, uint32_t memory, const QDateTime& now) {
  current_.clear();
  memory_.clear();
  for (int i = 0; i < kErrorBits; ++i) {
    if (!(current >> i & 1)) continue;
    if (!(previous_ >> i & 1)) FirstSeenTime[static_cast<size_t>(i)] = now;
    current_.push_back({i, FirstSeenTime[static_cast<size_t>(i)]});
  }
  previous_ = current;
  for (int i = 0; i < kErrorBits; ++i)
    if (memory >> i & 1) memory_.push_back({i, FirstSeenTime[static_cast<size_t>(i)]});
}

LiveData::LiveData(Services services) : s_(std::move(services)), timeFormat_(TimeFormat()) {}

void LiveData::PollDevice() {
  if (!s_.controls.Root().isVisible() || s_.setup.offline_mode != 0) return;
  // A port lost through a failure (an unplugged USB device) is tried again on every poll, so
  // the window reconnects by itself when the device comes back.
  PollState& poll = s_.poll;
  PollDeviceOnce(s_.link, s_.blocks, s_.images, poll);
  const PollPhase previous = poll.PollPhase;
  ShowProcessData(previous);
  if (s_.redrawPlot) s_.redrawPlot();
  if (poll.LinkOk) {
    s_.timer.setInterval(kGoodInterval);
    poll.PollPhase = PollPhase::AfterGoodPoll;
    poll.ConfigBlocksPolled = true;
  } else {
    s_.timer.setInterval(kFailedInterval);
    if (previous == PollPhase::AfterFailedPoll) poll.ConfigBlocksPolled = false;
    poll.PollPhase = PollPhase::AfterFailedPoll;
  }
  if (s_.polled) s_.polled();
}

bool LiveData::StopTicked() const {
  auto* box = qobject_cast<QCheckBox*>(s_.controls.Find(QStringLiteral("chk_stop_acq"), container::ProcessData));
  return box && box->isChecked();
}

void LiveData::ShowProcessData(PollPhase previousPhase) {
  if (!StopTicked() && s_.feedPlot)
    s_.feedPlot(s_.poll.LinkOk, previousPhase == PollPhase::AfterFailedPoll, ReadFloat(s_.images.DeviceImage, reg::Speed));
  s_.display.ShowLinkStatus(previousPhase);
  if (!s_.poll.LinkOk) return;
  ShowIdentification();
  ShowProcessValues();
  ShowOutputTable();
  ShowDeviceStatus();
  UpdateErrorLists();
}

void LiveData::ShowIdentification() {
  const RegisterImage& d = s_.images.DeviceImage;
  auto& c = s_.controls;
  c.SetText(QStringLiteral("lbl_serial_num"), container::Status, ReadText(d, reg::SerialNumber, 8));
  c.SetText(QStringLiteral("lbl_tag_number"), container::Status, ReadText(d, reg::TagNumber, 8));
  c.SetText(QStringLiteral("lbl_fw_ver"), container::DeviceStatus, s_.codec.FormatScaled(Cell(d, reg::Firmware), 2));
  c.SetText(QStringLiteral("lbl_rom_crc"), container::DeviceStatus, CrcText(Cell(d, reg::FirmwareCrc)));
  c.SetText(QStringLiteral("lbl_hw_ver"), container::DeviceStatus, ReadText(d, reg::HardwareVersion, 8));
  c.SetText(QStringLiteral("lbl_err_hex"), container::DeviceStatus,
            QStringLiteral("%1").arg(Word32(d, reg::ErrorStatus), 8, 16, QLatin1Char('0')).toUpper());
  c.SetText(QStringLiteral("lbl_emem_hex"), container::DeviceStatus,
            QStringLiteral("%1").arg(Word32(d, reg::ErrorMemory), 8, 16, QLatin1Char('0')).toUpper());
}

void LiveData::ShowProcessValues() {
  const RegisterImage& d = s_.images.DeviceImage;
  for (const ValueLabel& v : kSpeedLabels)
    s_.controls.SetText(QLatin1String(v.name), container::ProcessData,
                        s_.codec.FormatFloat(ReadFloat(d, v.reg), kAutoDecimalsDevice));
  for (const ValueLabel& v : kTwoDecimalProcessLabels)
    s_.controls.SetText(QLatin1String(v.name), container::ProcessData, s_.codec.FormatFloat(ReadFloat(d, v.reg), 2));
  s_.controls.SetText(QStringLiteral("lbl_ppt_input_stat"), container::ProcessData,
                      s_.texts.GetMessageText(Cell(d, reg::RemoteTestInput) == 0 ? kMsgOpen : kMsgClosed));
}

void LiveData::ShowOutputTable() {
  const RegisterImage& d = s_.images.DeviceImage;
  for (int i = 0; i < kOutputs; ++i) {
    const int config = Cell(d, reg::OutputConfig + i);
    const int active = Cell(d, reg::ActiveAlarms + i);
    const QString column = QString::number(i + 1);
    for (const OutputRow& row : kOutputRows) {
      // The diagnostics alarm of the two safety relays is always configured.
      const bool configured = (config & row.bit) || (row.bit == kDiagnosticsBit && i < 2);
      const int msg = !configured ? kMsgNotUsed : (active & row.bit) ? kMsgActive : kMsgInactive;
      s_.controls.SetText(QLatin1String(row.stem) + column, container::ProcessData, s_.texts.GetMessageText(msg));
    }
    const bool closed = Cell(d, reg::Contacts) >> i & 1;
    s_.controls.SetText(QStringLiteral("lbl_proc_out_") + column, container::ProcessData,
                        s_.texts.GetMessageText(closed ? kMsgClosed : kMsgOpen));
  }
}

void LiveData::ShowDeviceStatus() {
  for (const ValueLabel& v : kDeviceStatusLabels)
    s_.controls.SetText(QLatin1String(v.name), container::DeviceStatus,
                        s_.codec.FormatFloat(ReadFloat(s_.images.DeviceImage, v.reg), 2));
}

void LiveData::SetErrorBar(const char* barName, int entries) {
  auto* bar = qobject_cast<QScrollBar*>(s_.controls.Find(QLatin1String(barName), container::DeviceStatus));
  if (!bar) return;
  if (entries > kErrorLinesShown) {
    bar->setEnabled(true);
    const int maximum = entries - kErrorLinesShown;
    if (bar->maximum() != maximum) bar->setMaximum(maximum);
  } else {
    bar->setEnabled(false);
  }
}

void LiveData::UpdateErrorLists() {
  const RegisterImage& d = s_.images.DeviceImage;
  errors_.Update(Word32(d, reg::ErrorStatus), Word32(d, reg::ErrorMemory), QDateTime::currentDateTime());
  SetErrorBar("scr_err_lab", static_cast<int>(errors_.Current().size()));
  SetErrorBar("scr_emem_lab", static_cast<int>(errors_.Memory().size()));
  scr_err_labChange();
  scr_emem_labChange();
}

void LiveData::DrawErrorList(const std::vector<ErrorLists::Entry>& list, const char* labelStem,
                             const char* barName) {
  auto* bar = qobject_cast<QScrollBar*>(s_.controls.Find(QLatin1String(barName), container::DeviceStatus));
  const int position = bar && bar->isEnabled() ? bar->value() : 0;
  for (int k = 0; k < kErrorLinesShown; ++k) {
    const size_t index = static_cast<size_t>(position + k);
    QString text;
    if (index < list.size())
      text = list[index].firstSeen.toString(timeFormat_) + QStringLiteral("  ") +
             s_.texts.GetErrorText(list[index].bit);
    s_.controls.SetText(QLatin1String(labelStem) + QString::number(k + 1), container::DeviceStatus, text);
  }
}

void LiveData::scr_err_labChange() { DrawErrorList(errors_.Current(), "lbl_err_text_", "scr_err_lab"); }

void LiveData::scr_emem_labChange() { DrawErrorList(errors_.Memory(), "lbl_emem_text_", "scr_emem_lab"); }

}  // namespace kvn
