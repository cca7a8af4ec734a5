// Late answers: the device answers a request only after the master gave up (d ms after the
// 300 ms time-out); right after, the master reads other registers with a request of the same
// shape. Ours and libmodbus (flushing after errors) on the same simulator, side by side:
//   accepted  share of trials in which the late answer was taken as the next answer
//   failed    mean time of the failed transaction, with the drain it causes (ours drains
//             before the next different request, libmodbus sleeps and flushes after the error)
//   next      mean time of the read right after the failure
//   good      mean time of a read with no failure before it (the drain must cost it nothing)
#include <modbus.h>

#include <QCoreApplication>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench_line.h"

namespace {

using namespace kvn;
using bench::Now;

constexpr int kTrials = 4;
constexpr int kDelaysMs[] = {20, 100, 200, 300, 450, 600, 800, 1000};
constexpr int kTimeOutMs = 300;
constexpr int kSettleMs = 1600;  // every late answer is over before the next trial

struct Sweep {
  double accepted = 0, failedMs = 0, nextMs = 0, goodMs = 0;
};

// One implementation: read two registers at a start, true on success.
using ReadTwo = std::function<bool(int start, uint16_t* out)>;

double Timed(const std::function<void()>& f) {
  const double t0 = Now(CLOCK_MONOTONIC);
  f();
  return (Now(CLOCK_MONOTONIC) - t0) * 1e3;
}

Sweep Run(devsim::PtyDevice& device, int delayMs, const ReadTwo& read) {
  Sweep s;
  const uint16_t firstOwn[2] = {device.Register(0), device.Register(1)};
  for (int trial = 0; trial < kTrials; ++trial) {
    uint16_t out[2] = {};
    s.goodMs += Timed([&] { read(0, out); });
    device.faults().lateDelayMs = kTimeOutMs + delayMs;
    device.faults().late = true;
    s.failedMs += Timed([&] { read(0, out); });
    device.faults().late = false;
    bool ok = false;
    s.nextMs += Timed([&] { ok = read(2, out); });
    if (ok && out[0] == firstOwn[0] && out[1] == firstOwn[1]) s.accepted += 1;
    QThread::msleep(kSettleMs);
  }
  s.accepted /= kTrials;
  s.failedMs /= kTrials;
  s.nextMs /= kTrials;
  s.goodMs /= kTrials;
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  devsim::SimOptions options;
  options.model.usb = true;
  devsim::PtyDevice device(options);

  std::printf("late_answer_bench: %d trials per delay; answer d ms after the %d ms time-out\n",
              kTrials, kTimeOutMs);
  std::printf("%7s | %-36s | %-36s\n", "", "ours (drain before the next request)",
              "libmodbus (sleep + flush after error)");
  std::printf("%7s | %8s %8s %8s %8s | %8s %8s %8s %8s\n", "d [ms]", "accepted", "failed", "next",
              "good", "accepted", "failed", "next", "good");
  for (int d : kDelaysMs) {
    Sweep ours, theirs;
    {
      bench::OurLine line(device, 5);
      line.setup.usb = true;
      line.setup.addr = 1;
      line.link.Open();
      ours = Run(device, d, [&](int start, uint16_t* out) {
        int32_t cells[2];
        if (line.master.ReadRegisters(3, 1, start, {cells, 2}) != ModbusResult::Ok) return false;
        out[0] = static_cast<uint16_t>(cells[0]);
        out[1] = static_cast<uint16_t>(cells[1]);
        return true;
      });
      line.link.Close();
    }
    {
      modbus_t* ctx = modbus_new_rtu(device.SlavePath().c_str(), 115200, 'N', 8, 1);
      modbus_set_slave(ctx, 1);
      modbus_set_response_timeout(ctx, 0, kTimeOutMs * 1000);
      modbus_set_byte_timeout(ctx, 0, kTimeOutMs * 1000);
      modbus_set_error_recovery(
          ctx, static_cast<modbus_error_recovery_mode>(MODBUS_ERROR_RECOVERY_LINK | MODBUS_ERROR_RECOVERY_PROTOCOL));
      if (modbus_connect(ctx) != 0) std::fprintf(stderr, "libmodbus cannot connect\n");
      theirs = Run(device, d, [&](int start, uint16_t* out) {
        return modbus_read_registers(ctx, start, 2, out) == 2;
      });
      modbus_close(ctx);
      modbus_free(ctx);
    }
    std::printf("%7d | %7.0f%% %6.0fms %6.0fms %6.1fms | %7.0f%% %6.0fms %6.0fms %6.1fms\n", d,
                100 * ours.accepted, ours.failedMs, ours.nextMs, ours.goodMs, 100 * theirs.accepted,
                theirs.failedMs, theirs.nextMs, theirs.goodMs);
    std::fflush(stdout);
  }
  return 0;
}
