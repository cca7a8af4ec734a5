#pragma once
#include <atomic>
#include <cstdint>

namespace kvn::devsim {

// Named failure modes, each switched from a test in one line:
//   sim.SetFault(Fault::Silent);   sim.faults().corruptCrcNext = 3;
enum class Fault {
  None,             // clears every fault
  Silent,           // no answer at all; requests are not carried out
  Delayed,          // first byte 150 ms late (still inside the master's time-out)
  SlowBytes,        // 250 ms between the bytes of an answer
  Noise,            // three noise bytes before every answer
  CorruptCrc,       // every answer carries a wrong CRC
  Late,             // answers only after the master's time-out
  WrongType,        // register 0 reads 2200
  WrongFirmware,    // register 1 reads 115
  WrongMode,        // register 3024 reads with its mode bits cleared
  RejectCommit,     // commit rejects the measurement group
  ReadBackChanged,  // after a write, register 2040 reads back different
  Disconnect,       // the device closes its side of the line
};

// How the write request chosen by Faults::FailAtWrite fails.
enum class WriteFailure {
  Silent,      // that request and every later one go unanswered and are not carried out
  CorruptCrc,  // carried out; that answer and every later one carry a wrong CRC
  Disconnect,  // not carried out; the device closes its side of the line
};

// How the answer chosen by Faults::SpoilAnswer goes wrong. Every wrong or stale answer that
// returns registers carries kPoison in each of them, so that a test finding kPoison in its
// images knows a wrong answer was taken for data.
enum class AnswerFault {
  CorruptByte,     // one byte of the answer has a bit flipped; the CRC no longer matches
  WrongFunction,   // CRC-correct, another function code (3 and 4 swapped, 16 answered as 6)
  WrongByteCount,  // CRC-correct read answer whose byte count is off by two (length unchanged)
  WrongEcho,       // CRC-correct write answer echoing another start register
  WrongAddress,    // CRC-correct, from the next slave address
  Exception,       // CRC-correct exception answer (code 6, device busy); carried out
  Late,            // goes out delayMs after the request, when the master has given up
  Noise,           // 1..8 random bytes (any value) before the good answer
  Truncated,       // only a first part of the answer
  Silence,         // carried out, but no answer
};
inline constexpr uint16_t kPoison = 0xDEAD;

// The fault switches. Every field is atomic so a test may flip it while the simulator thread
// runs; -1 means "off" for the optional values.
struct Faults {
  std::atomic<bool> silent{false};
  std::atomic<int> firstByteDelayMs{0};  // wait before the first byte of every answer
  std::atomic<int> interByteGapMs{0};    // wait between the bytes of an answer
  std::atomic<int> noiseBytes{0};        // bytes (never the slave address) before each answer
  std::atomic<int> addressBurstNext{0};  // before the next answer only: the slave address, then this many zero bytes
  std::atomic<bool> corruptCrc{false};   // every answer
  std::atomic<int> corruptCrcNext{0};    // the next N answers
  std::atomic<bool> late{false};         // first byte after lateDelayMs
  std::atomic<int> lateDelayMs{500};     // beyond the master's 300/400 ms limits
  std::atomic<int> deviceType{-1};       // register 0 override
  std::atomic<int> firmware{-1};         // register 1 override
  std::atomic<int> deviceMode{-1};       // register 3024 override (block CRC follows)
  std::atomic<int> rejectGroups{0};      // group bits every commit and save rejects
  std::atomic<int> alterWrittenRegister{-1};  // written value of this register is stored XOR 1
  std::atomic<bool> disconnect{false};   // close the device side of the line
  std::atomic<int> disconnectAtRequest{0};  // requests left until the one that closes the line unanswered (0: off)
  std::atomic<int> silentLogFrom{-1};    // no answer to event-log reads from this input register on

  // --- Access levels ---
  std::atomic<int> accessLevel{-1};      // register 14 override: a level the device reports whatever was granted

  // --- Programming-session faults ---
  std::atomic<int> failAtWriteCountdown{0};  // write requests left until the failing one (0: off)
  std::atomic<WriteFailure> failAtWriteKind{WriteFailure::Silent};
  std::atomic<int> defaultAnswerHigh{-1};     // register 15 high byte after a restore or save-default command
  std::atomic<bool> silentAfterProgCommand{false};  // answer the next command to register 108, then nothing more
  // A commit or save-default finds programming mode ended by the device's own time-out: the
  // written blocks are dropped, the command does nothing, the status reads 0.
  std::atomic<bool> programmingEndsBeforeCommit{false};
  // A commit or save-default is answered as accepted (status 0, save answer 0x66) while the
  // device drops what was written and keeps its set.
  std::atomic<bool> commitKeepsOldSet{false};
  std::atomic<int> progCommandAnswersLost{0};  // the next N commands to register 108 are carried out, never answered
  std::atomic<bool> silentAfterCommit{false};   // a commit or save-default is carried out, then nothing answers
  // After a commit the device sets its own bit (bit 5) in the first relay word, as a device
  // does whose output is in use; its block CRC follows.
  std::atomic<bool> deviceBitAfterCommit{false};
  // A commit is answered as accepted, but the device runs the set with this register's value
  // XOR 1: neither what was written nor what it ran before (-1: off).
  std::atomic<int> commitAltersRegister{-1};

  // --- One spoiled answer ---
  std::atomic<int> spoilAnswerCountdown{0};  // answers left until the spoiled one (0: off)
  std::atomic<AnswerFault> spoilAnswerKind{AnswerFault::Silence};
  std::atomic<int> spoilDelayMs{800};        // AnswerFault::Late: first byte after this
  std::atomic<int> corruptPerMille{0};       // this share of answers (per thousand) gets a corrupted byte, at random

  std::atomic<bool> spoilOnward{false};      // the chosen answer and every later one go wrong
  std::atomic<int> answersSpoiled{0};        // spoiled so far (reset by Clear): did the fault come?

  // The k-th answer from now (1: the next one) goes wrong this way; the others are good.
  void SpoilAnswer(int k, AnswerFault how, int lateDelayMs = 800) {
    spoilAnswerKind = how;
    spoilDelayMs = lateDelayMs;
    spoilOnward = false;
    spoilAnswerCountdown = k;
  }
  // The k-th answer from now and every one after it go wrong this way (a line that dies).
  void SpoilAnswersFrom(int k, AnswerFault how) {
    SpoilAnswer(k, how);
    spoilOnward = true;
  }
  // Counts an answer; true when it is the one to spoil.
  bool TakeSpoiledAnswer();

  // The k-th write request from now (1: the next one) fails this way.
  void FailAtWrite(int k, WriteFailure how) {
    failAtWriteKind = how;
    failAtWriteCountdown = k;
  }
  // Counts a write request; true when it is the one that fails.
  bool TakeWriteFailure();

  void Set(Fault fault);
  void Clear();
  // Counts down corruptCrcNext; true when this answer's CRC is to be spoiled.
  bool TakeCrcCorruption();
  // Counts down progCommandAnswersLost; true when this command's answer is to be lost.
  bool TakeProgAnswerLoss();
};

}  // namespace kvn::devsim
