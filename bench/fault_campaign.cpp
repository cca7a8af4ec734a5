// Fault campaign: the program's own Modbus master and block transfers against the simulator on
// a pseudo-terminal (USB line, paced at 115200 baud), every kind of transaction the program
// makes, with one answer spoiled at random in about one transaction in seven:
//   fault_campaign [TRANSACTIONS] [SEED]     (default 2000 transactions)
// Every wrong or stale answer the simulator sends carries 0xDEAD in each register it returns,
// so poison found in any image means a wrong answer was taken for data. Per fault kind:
//   injected   faults injected
//   refused    the spoiled answer was not taken: the transaction failed or asked again
//   accepted   the spoiled answer was taken: poison in an image, or a write reported done on
//              its spoiled answer without asking again (target 0)
//   next ok    the transaction right after the faulted one succeeded (target: all)
// Transactions follow one another at once, except that a poll read after a failed one waits
// for the poll timer's interval after a failure (from the failed poll's end), as in the program.
// The exit status is 1 when any spoiled answer was accepted or any next transaction failed.
#include <QCoreApplication>
#include <QThread>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <thread>
#include <vector>

#include "devsim/pty_device.h"
#include "sim_device.h"
#include "operations/event_log.h"
#include "support/master_stack.h"
#include "support/recording_prompts.h"

namespace {

using namespace kvn;
using devsim::AnswerFault;
using event_log::kRegistersPerRequest;

constexpr int kTimeOutMs = static_cast<int>(ModbusMaster::kFirstByteMs);
constexpr int kFaultOneIn = 7;
// Polls come from the poll timer: after a failed poll ends the next one starts this much later.
constexpr int kFailedPollIntervalMs = 1000;
constexpr int32_t kPoisonCell = static_cast<int16_t>(devsim::kPoison);

enum class Tx { Identification, Poll, ParameterRead, BlockWrite, Command, EventLogRead };
constexpr const char* kTxNames[] = {"identification read", "poll read", "parameter block read",
                                    "block write", "single-register command", "event-log read"};
constexpr int kTxKinds = 6;

// One kind of fault. A late answer is sent lateMs after the request: past the time-out.
struct FaultKind {
  const char* name;
  std::optional<AnswerFault> spoil;  // none: the device disconnects and is plugged in again
  int lateMs = 0;
  bool reads = true, writes = true;  // transactions it applies to
};
const FaultKind kFaults[] = {
    {"corrupted byte", AnswerFault::CorruptByte},
    {"wrong function", AnswerFault::WrongFunction},
    {"wrong byte count", AnswerFault::WrongByteCount, 0, true, false},
    {"wrong echo", AnswerFault::WrongEcho, 0, false, true},
    {"wrong slave address", AnswerFault::WrongAddress},
    {"exception", AnswerFault::Exception},
    {"late, time-out + 50 ms", AnswerFault::Late, kTimeOutMs + 50},
    {"late, time-out + 150 ms", AnswerFault::Late, kTimeOutMs + 150},
    {"late, time-out + 300 ms", AnswerFault::Late, kTimeOutMs + 300},
    {"late, time-out + 500 ms", AnswerFault::Late, kTimeOutMs + 500},
    {"late, time-out + 700 ms", AnswerFault::Late, kTimeOutMs + 700},
    {"late, time-out + 900 ms", AnswerFault::Late, kTimeOutMs + 900},
    {"noise before the answer", AnswerFault::Noise},
    {"truncated answer", AnswerFault::Truncated},
    {"silence", AnswerFault::Silence},
    {"disconnect + reconnect", std::nullopt},
};
constexpr int kFaultKinds = sizeof kFaults / sizeof kFaults[0];

struct Counts {
  int injected = 0, refused = 0, accepted = 0, nextOk = 0, nextFailed = 0;
};

class Campaign {
 public:
  explicit Campaign(uint32_t seed) : random_(seed) {
    line_.setup.usb = true;
    line_.setup.addr = 1;
    line_.setup.com_num = "COM1";
    PlugIn();
    line_.link.Open();
    line_.blocks.ReadBlock(BlockId::UserConfig, false, ImageSelector::Edit);
  }

  void Run(int transactions);
  bool Report(int transactions, double seconds) const;

 private:
  void PlugIn() {
    device_ = std::make_unique<devsim::PtyDevice>(bench::UsbDevice());
    line_.folder.Link(1, QString::fromStdString(device_->SlavePath()));
  }
  void Unplug();
  Tx PickTransaction();
  int PickFault(Tx tx);
  int Requests(Tx tx) const;
  bool Execute(Tx tx);
  bool FindPoison();
  bool Programming() { return device_->WithModel([](devsim::DeviceModel& m) { return m.Programming(); }); }
  int Pick(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }

  test::MasterStack<RecordingPrompts> line_;
  std::unique_ptr<devsim::PtyDevice> device_;
  std::mt19937 random_;
  const BlockDescriptor* readBlock_ = nullptr;
  std::array<int32_t, kRegistersPerRequest> logBlock_{};
  Counts counts_[kFaultKinds];
  int transactionsFailed_ = 0, cleanFailed_ = 0, poisonWithoutFault_ = 0;
  int perKind_[kTxKinds] = {};
};

// The device closes its side of the line and comes back as a new device on the same COM
// name, the way a USB adapter is pulled and plugged in again.
void Campaign::Unplug() {
  device_->SetFault(devsim::Fault::Disconnect);
  for (int i = 0; i < 50 && !device_->Disconnected(); ++i) QThread::msleep(5);
}

Tx Campaign::PickTransaction() {
  Tx tx = static_cast<Tx>(Pick(kTxKinds));
  // Blocks are written in programming mode only; the command that enters it comes first.
  if (tx == Tx::BlockWrite && !Programming()) tx = Tx::Command;
  if (tx == Tx::ParameterRead) {
    std::vector<const BlockDescriptor*> parameters;
    for (const BlockDescriptor& b : BlockTable)
      if (b.is_parameter) parameters.push_back(&b);
    readBlock_ = parameters[static_cast<size_t>(Pick(static_cast<int>(parameters.size())))];
  } else if (tx == Tx::Poll) {
    std::vector<const BlockDescriptor*> polled;
    for (const BlockDescriptor& b : BlockTable)
      if (!b.is_parameter) polled.push_back(&b);
    readBlock_ = polled[static_cast<size_t>(Pick(static_cast<int>(polled.size())))];
  }
  return tx;
}

int Campaign::PickFault(Tx tx) {
  const bool write = tx == Tx::BlockWrite || tx == Tx::Command;
  for (;;) {
    const int k = Pick(kFaultKinds);
    if (write ? kFaults[k].writes : kFaults[k].reads) return k;
  }
}

// Requests a transaction makes on a clean line.
int Campaign::Requests(Tx tx) const {
  if (tx != Tx::ParameterRead) return 1;
  return (readBlock_->count + kMaxReadCount - 1) / kMaxReadCount;
}

bool Campaign::Execute(Tx tx) {
  // As the poll does: a port lost through a failure is opened again on that device.
  if (line_.link.ShouldReopen()) line_.link.Reopen();
  const int addr = line_.setup.addr;
  switch (tx) {
    case Tx::Identification: return line_.blocks.ReadBlock(BlockId::Identification, false, ImageSelector::Edit);
    case Tx::Poll: return line_.blocks.PollBlock(*readBlock_);
    case Tx::ParameterRead: return line_.blocks.ReadBlock(readBlock_->id, false, ImageSelector::Device);
    case Tx::BlockWrite: return line_.blocks.WriteBlock(Block(BlockId::UserConfig));
    case Tx::Command: {
      const bool enter = !Programming();
      const int32_t value = enter ? cmd::EnterProgramming : 1;
      return line_.master.WriteWithRetry(addr, enter ? reg::ProgCommand : reg::ClearCommand, {&value, 1});
    }
    case Tx::EventLogRead:
      return line_.master.ReadWithRetry(kFnReadInput, addr, kRegistersPerRequest * Pick(4), false, logBlock_);
  }
  return false;
}

// Two neighbouring poisoned cells anywhere: a poisoned answer was stored. Real data has such a
// pair once in four billion. The cells are cleared so each finding counts once.
bool Campaign::FindPoison() {
  bool found = false;
  auto scan = [&](std::span<int32_t> cells) {
    for (size_t i = 0; i + 1 < cells.size(); ++i) {
      if (cells[i] != kPoisonCell || cells[i + 1] != kPoisonCell) continue;
      found = true;
      for (size_t j = i; j < cells.size() && cells[j] == kPoisonCell; ++j) cells[j] = 0;
    }
  };
  RegisterImages& images = *line_.images;
  scan(images.DeviceImage);
  scan(images.EditImage);
  scan(images.VerifyImage);
  scan(logBlock_);
  return found;
}

void Campaign::Run(int transactions) {
  int pending = -1;  // the fault whose next transaction is still to come
  int lastFault = -1;
  Tx faultedTx = Tx::Poll;
  bool previousPollFailed = false;
  std::chrono::steady_clock::time_point previousPollEnd;
  for (int i = 0; i < transactions; ++i) {
    const Tx tx = PickTransaction();
    ++perKind_[static_cast<int>(tx)];
    const int fault = pending < 0 && Pick(kFaultOneIn) == 0 ? PickFault(tx) : -1;
    if (fault >= 0) {
      const FaultKind& f = kFaults[fault];
      if (f.spoil) device_->faults().SpoilAnswer(1 + Pick(Requests(tx)), *f.spoil, f.lateMs);
      else Unplug();
    }
    if (tx == Tx::Poll && previousPollFailed) {
      const auto due = previousPollEnd + std::chrono::milliseconds(kFailedPollIntervalMs);
      std::this_thread::sleep_until(due);
    }
    device_->ClearRequests();
    const bool ok = Execute(tx);
    previousPollFailed = tx == Tx::Poll && !ok;
    previousPollEnd = std::chrono::steady_clock::now();
    const int asked = static_cast<int>(device_->Requests().size());
    device_->faults().spoilAnswerCountdown = 0;
    const bool poison = FindPoison();
    if (!ok) ++transactionsFailed_;
    if (fault >= 0) {
      Counts& c = counts_[fault];
      ++c.injected;
      const bool refused = !ok || asked > Requests(tx);
      const bool goodAnswer = kFaults[fault].spoil == AnswerFault::Noise;
      if (refused) ++c.refused;
      if (poison || (!refused && !goodAnswer)) ++c.accepted;
      if (!kFaults[fault].spoil) PlugIn();
      pending = lastFault = fault;
      faultedTx = tx;
      continue;
    }
    if (pending >= 0) {
      ++(ok ? counts_[pending].nextOk : counts_[pending].nextFailed);
      if (!ok)
        std::fprintf(stderr, "  transaction %d: %s failed after a %s fault on a %s\n", i, kTxNames[static_cast<int>(tx)],
                     kFaults[pending].name, kTxNames[static_cast<int>(faultedTx)]);
      pending = -1;
    } else if (!ok) {
      ++cleanFailed_;
    }
    if (poison) {
      if (lastFault >= 0) ++counts_[lastFault].accepted;
      else ++poisonWithoutFault_;
    }
  }
}

bool Campaign::Report(int transactions, double seconds) const {
  std::printf("fault_campaign: %d transactions in %.0f s, a fault in about 1 of %d (USB line, 115200 baud)\n",
              transactions, seconds, kFaultOneIn);
  std::printf("  transactions by kind:");
  for (int k = 0; k < kTxKinds; ++k) std::printf(" %s %d%s", kTxNames[k], perKind_[k], k + 1 < kTxKinds ? "," : "\n");
  std::printf("  %-26s %9s %9s %9s %9s\n", "fault", "injected", "refused", "accepted", "next ok");
  Counts total;
  for (int k = 0; k < kFaultKinds; ++k) {
    const Counts& c = counts_[k];
    std::printf("  %-26s %9d %9d %9d %5d/%-4d\n", kFaults[k].name, c.injected, c.refused, c.accepted, c.nextOk,
                c.nextOk + c.nextFailed);
    total.injected += c.injected;
    total.refused += c.refused;
    total.accepted += c.accepted;
    total.nextOk += c.nextOk;
    total.nextFailed += c.nextFailed;
  }
  std::printf("  %-26s %9d %9d %9d %5d/%-4d\n", "all", total.injected, total.refused, total.accepted, total.nextOk,
              total.nextOk + total.nextFailed);
  std::printf("  failed transactions %d; on a clean line with no fault just before: %d; poison with no fault: %d\n",
              transactionsFailed_, cleanFailed_, poisonWithoutFault_);
  return total.accepted == 0 && total.nextFailed == 0 && cleanFailed_ == 0 && poisonWithoutFault_ == 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int transactions = argc > 1 ? std::atoi(argv[1]) : 2000;
  const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::atol(argv[2])) : 18;
  Campaign campaign(seed);
  const auto start = std::chrono::steady_clock::now();
  campaign.Run(transactions);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return campaign.Report(transactions, seconds) ? 0 : 1;
}
