#include "texts/console_prompts.h"

#include <cstdio>

namespace kvn {

void ConsolePrompts::ShowError(const QString& text) {
  std::fprintf(stderr, "error: %s\n", qPrintable(text));
}

void ConsolePrompts::ShowInfo(const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }

}  // namespace kvn
