#pragma once
#include "texts/prompts.h"

namespace kvn {

// Prompts for programs without a window (the demo set-up tool, benchmarks): messages go to
// standard error, every question is answered as a user who backs out would.
class ConsolePrompts : public Prompts {
 public:
  void ShowError(const QString& text) override;
  void ShowInfo(const QString& text) override;
  void ShowMessage(const QString& text) override { ShowInfo(text); }
  bool ConfirmOkCancel(const QString&, DefaultButton = DefaultButton::Ok) override { return false; }
  bool AskYesNo(const QString&) override { return false; }
  std::optional<QString> InputText(const QString&, const QString&, bool) override { return {}; }
  QString OpenFileName(const QString&, const QString&, const QString&) override { return {}; }
  QString SaveFileName(const QString&, const QString&, const QString&) override { return {}; }
  std::optional<QColor> PickColor(const QColor&) override { return {}; }
};

}  // namespace kvn
