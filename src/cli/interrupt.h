#pragma once
#include <QString>

namespace kvn::cli {

// SIGINT, SIGTERM, SIGHUP and SIGQUIT only set a flag, and a closed pipe ends no process: the
// command looks at the flag between two transactions and at every prompt. Before anything is
// written it stops at once; a unit in programming mode is first taken out of it.
void CatchInterrupts();
bool Interrupted();

// While a unit is in programming mode an interrupt is told on stderr at once (the unit is being
// taken out of it, which takes a moment); the text is kept until the guard ends.
class InterruptNote {
 public:
  explicit InterruptNote(const QString& text);
  ~InterruptNote();
  InterruptNote(const InterruptNote&) = delete;
  InterruptNote& operator=(const InterruptNote&) = delete;

 private:
  QByteArray text_;
};

}  // namespace kvn::cli
