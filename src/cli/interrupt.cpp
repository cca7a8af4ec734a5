#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

#include "platform/platform.h"

namespace kvn::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;
// The note an interrupt prints at once, or none; read by the handler, so it is a plain pointer
// to bytes that live as long as the InterruptNote that set it.
std::atomic<const QByteArray*> note{nullptr};

extern "C" void OnInterrupt(int) {
  const bool first = interrupted == 0;
  interrupted = 1;
  const QByteArray* text = note.load();
  if (first && text) platform::WriteErrorFromHandler(text->constData(), static_cast<int>(text->size()));
}

}  // namespace

void CatchInterrupts() { platform::CatchStopRequests(&OnInterrupt); }

bool Interrupted() { return interrupted != 0; }

InterruptNote::InterruptNote(const QString& text) : text_(QByteArray("\n") + text.toUtf8() + '\n') { note.store(&text_); }

InterruptNote::~InterruptNote() { note.store(nullptr); }

}  // namespace kvn::cli
