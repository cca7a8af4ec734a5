#pragma once
#include <QColor>
#include <QString>
#include <optional>

namespace kvn {

// The one seam through which the program asks the engineer anything. The window uses the Qt
// implementation (message boxes, input box, file dialogs, colour picker); tests use a
// recording implementation that answers from a queue. Lower layers see only this interface.
class Prompts {
 public:
  // The button of a question that Enter presses.
  enum class DefaultButton { Ok, Cancel };

  virtual ~Prompts() = default;
  virtual void ShowError(const QString& text) = 0;
  virtual void ShowInfo(const QString& text) = 0;
  // A plain message box: the application title as caption, no icon, one OK button. The work
  // directory and the file layer report with it.
  virtual void ShowMessage(const QString& text) = 0;
  // True only when OK was chosen; closing the box counts as Cancel. A question whose OK risks
  // something the engineer may not have read makes Cancel the default. Overrides repeat the
  // default argument, so that a call through any of them means the same.
  virtual bool ConfirmOkCancel(const QString& text, DefaultButton preferred = DefaultButton::Ok) = 0;
  // The quit question: "&Yes"/"&No" buttons. True for Yes.
  virtual bool AskYesNo(const QString& text) = 0;
  // One-line input box (the admin password). Empty optional when cancelled.
  virtual std::optional<QString> InputText(const QString& title, const QString& prompt,
                                           bool masked) = 0;
  // Standard file dialogs. Empty string when cancelled. filter in Qt form ("Name (*.ext)").
  virtual QString OpenFileName(const QString& title, const QString& filter,
                               const QString& defaultExt) = 0;
  virtual QString SaveFileName(const QString& title, const QString& filter,
                               const QString& defaultExt) = 0;
  virtual std::optional<QColor> PickColor(const QColor& initial) = 0;
};

}  // namespace kvn
