#pragma once
#include <QColor>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include "texts/prompts.h"

namespace kvn {

// Test stand-in for the prompts: records every box and dialog in the order they were asked for
// and answers from queues filled by the test beforehand.
//
//   RecordingPrompts prompts;
//   prompts.QueueConfirm(true);                    // next OK/Cancel box: OK
//   RunSomethingThatAsks(prompts);
//   EXPECT_TRUE(prompts.ShowedExactly(RecordingPrompts::Kind::Error, "Invalid data entry."))
//       << prompts.Describe();
//   EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe();
//
// An empty queue gives the answer of a user who backs out: Cancel, No, a cancelled input box,
// a cancelled file dialog (empty name), a cancelled colour picker.
class RecordingPrompts : public Prompts {
 public:
  enum class Kind { Error, Info, Message, Confirm, YesNo, Input, OpenFile, SaveFile, Color };

  struct Call {
    Kind kind;
    QString text = {};    // the box text; Input: the prompt; file dialogs: the title;
                          // Color: the initial colour as "#rrggbb"
    QString title = {};   // Input: the box title; empty otherwise
    QString filter = {};  // file dialogs: the filter; empty otherwise
    QString default_ext = {};  // file dialogs: the default extension; empty otherwise
    bool masked = false;  // Input: characters hidden
    bool cancelIsDefault = false;  // Confirm: Enter would press Cancel
    bool operator==(const Call&) const = default;
  };

  // Answers, used in the order queued.
  void QueueConfirm(bool ok) { confirms_.push_back(ok); }
  void QueueYesNo(bool yes) { yes_no_.push_back(yes); }
  void QueueInput(std::optional<QString> text) { inputs_.push_back(std::move(text)); }
  void QueueFileName(QString path) { file_names_.push_back(std::move(path)); }
  void QueueColor(std::optional<QColor> colour) { colours_.push_back(std::move(colour)); }

  // What was shown.
  const std::vector<Call>& Calls() const { return calls_; }
  bool NothingShown() const { return calls_.empty(); }
  // True when exactly one prompt was shown and it was this one.
  bool ShowedExactly(Kind kind, const QString& text) const;
  // Texts of every call of one kind, in order.
  QStringList TextsOf(Kind kind) const;
  // One line per call ("Error: text"), for failure messages.
  QString Describe() const;
  // True when every queued answer was taken.
  bool AllAnswersUsed() const;
  // Forgets the calls (not the queued answers).
  void ClearCalls() { calls_.clear(); }
  // Called as each prompt is shown, to look at the program's state at that moment.
  std::function<void(const Call&)> onPrompt;
  // When set, every message box (error, info, message, OK/Cancel) is recorded and then shown by
  // these prompts, the real boxes, whose answer counts: the test answers them with input events.
  Prompts* realBoxes = nullptr;

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
  void Record(Call call) {
    calls_.push_back(std::move(call));
    if (onPrompt) onPrompt(calls_.back());
  }
  std::vector<Call> calls_;
  std::deque<bool> confirms_;
  std::deque<bool> yes_no_;
  std::deque<std::optional<QString>> inputs_;
  std::deque<QString> file_names_;
  std::deque<std::optional<QColor>> colours_;
};

const char* KindName(RecordingPrompts::Kind kind);
// Lets GoogleTest print calls readably when an EXPECT_EQ on Calls() fails.
void PrintTo(const RecordingPrompts::Call& call, std::ostream* out);

}  // namespace kvn
