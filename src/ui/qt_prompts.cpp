#include "ui/qt_prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "texts/recent_folders.h"
#include "ui/button_texts.h"
#include "ui/indicator_window.h"
#include "ui/window_texts.h"

namespace kvn {

namespace {

// A short text makes a narrow box, and the window manager then cuts its title ("In…on"): the
// box is made at least as wide as its title needs beside the frame's buttons.
void FitTitle(QMessageBox& box) {
  constexpr int kFrameButtonsRoom = 120;
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kFrameButtonsRoom;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                grid->rowCount(), 0, 1, grid->columnCount());
}

// A box asks for an answer: it is on top, and it shows the normal cursor also when a blocking
// operation that shows the hourglass opened it.
class BoxInFront {
 public:
  BoxInFront() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
  ~BoxInFront() { QApplication::restoreOverrideCursor(); }
  BoxInFront(const BoxInFront&) = delete;
  BoxInFront& operator=(const BoxInFront&) = delete;

 private:
  IndicatorsStandAside indicators_;
};

// Button captions are the program's fixed texts, not the platform theme's, so that the boxes
// read the same on every system.
void ShowSingleButtonBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                         const QString& text) {
  QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
  QPushButton* ok = box.addButton(StandardButtonText("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  FitTitle(box);
  const BoxInFront inFront;
  box.exec();
}

// True only when the first button was pressed; Escape and closing the window choose the second.
// Enter presses the first unless rejectIsDefault.
bool AskTwoButtonBox(QWidget* parent, const QString& title, const QString& text,
                     const QString& acceptCaption, const QString& rejectCaption,
                     bool rejectIsDefault = false) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
  QPushButton* accept = box.addButton(acceptCaption, QMessageBox::AcceptRole);
  QPushButton* reject = box.addButton(rejectCaption, QMessageBox::RejectRole);
  box.setDefaultButton(rejectIsDefault ? reject : accept);
  box.setEscapeButton(reject);
  FitTitle(box);
  const BoxInFront inFront;
  box.exec();
  return box.clickedButton() == accept;
}

}  // namespace

void QtPrompts::ShowError(const QString& text) {
  ShowSingleButtonBox(parent_, QMessageBox::Critical, QStringLiteral("Error"), text);
}

void QtPrompts::ShowInfo(const QString& text) {
  ShowSingleButtonBox(parent_, QMessageBox::Information, QStringLiteral("Information"), text);
}

void QtPrompts::ShowMessage(const QString& text) {
  ShowSingleButtonBox(parent_, QMessageBox::NoIcon, ApplicationTitle(), text);
}

bool QtPrompts::ConfirmOkCancel(const QString& text, DefaultButton preferred) {
  return AskTwoButtonBox(parent_, QStringLiteral("Confirm"), text, StandardButtonText("OK"),
                         StandardButtonText("Cancel"), preferred == DefaultButton::Cancel);
}

bool QtPrompts::AskYesNo(const QString& text) {
  return AskTwoButtonBox(parent_, QStringLiteral("Confirm"), text, StandardButtonText("&Yes"),
                         StandardButtonText("&No"));
}

std::optional<QString> QtPrompts::InputText(const QString& title, const QString& prompt,
                                            bool masked) {
  bool accepted = false;
  const QString text =
      QInputDialog::getText(parent_, title, prompt, masked ? QLineEdit::Password : QLineEdit::Normal,
                            QString(), &accepted);
  if (!accepted) return std::nullopt;
  return text;
}

QString QtPrompts::OpenFileName(const QString& title, const QString& filter,
                                const QString& defaultExt) {
  return AskFileName(false, title, filter, defaultExt);
}

QString QtPrompts::SaveFileName(const QString& title, const QString& filter,
                                const QString& defaultExt) {
  return AskFileName(true, title, filter, defaultExt);
}

QString QtPrompts::AskFileName(bool save, const QString& title, const QString& filter,
                               const QString& defaultExt) {
  const QString kind = RecentFolders::KindOf(filter, defaultExt);
  const QString folder = folders_ ? folders_->FolderFor(kind) : QString();
  QFileDialog dialog(parent_, title, QDir(folder).exists() ? folder : QString(), filter);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(defaultExt);
  // The callers ask their own overwrite question with the program's text.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted) return QString();
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return QString();
  if (folders_) folders_->Remember(kind, chosen.first());
  return chosen.first();
}

std::optional<QColor> QtPrompts::PickColor(const QColor& initial) {
  const QColor chosen = QColorDialog::getColor(initial, parent_);
  if (!chosen.isValid()) return std::nullopt;
  return chosen;
}

}  // namespace kvn
