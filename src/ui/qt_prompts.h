#pragma once
#include "texts/prompts.h"

class QWidget;

namespace kvn {

class RecentFolders;

// The prompts as the engineer sees them: modal message boxes, the one-line input box, the
// standard file dialogs and the colour picker. Boxes without a parent are centred on the screen.
// With folders, a file dialog opens in the folder last used for its kind of file.
class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent = nullptr, RecentFolders* folders = nullptr)
      : parent_(parent), folders_(folders) {}

  void ShowError(const QString& text) override;
  void ShowInfo(const QString& text) override;
  void ShowMessage(const QString& text) override;
  bool ConfirmOkCancel(const QString& text, DefaultButton preferred = DefaultButton::Ok) override;
  bool AskYesNo(const QString& text) override;
  std::optional<QString> InputText(const QString& title, const QString& prompt,
                                   bool masked) override;
  QString OpenFileName(const QString& title, const QString& filter,
                       const QString& defaultExt) override;
  QString SaveFileName(const QString& title, const QString& filter,
                       const QString& defaultExt) override;
  std::optional<QColor> PickColor(const QColor& initial) override;

 private:
  QString AskFileName(bool save, const QString& title, const QString& filter,
                      const QString& defaultExt);

  QWidget* parent_;
  RecentFolders* folders_;
};

}  // namespace kvn
