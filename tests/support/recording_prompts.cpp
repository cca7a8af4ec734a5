#include "support/recording_prompts.h"

namespace kvn {

namespace {

// Moves the first queued answer into answer; leaves answer (the backing-out default) alone when
// the queue is empty.
template <typename T>
void Take(std::deque<T>& queue, T& answer) {
  if (queue.empty()) return;
  answer = std::move(queue.front());
  queue.pop_front();
}

QString DescribeCall(const RecordingPrompts::Call& call) {
  QString line = QString::fromLatin1(KindName(call.kind)) + QStringLiteral(": ") + call.text;
  if (!call.title.isEmpty()) line += QStringLiteral(" [title: ") + call.title + QLatin1Char(']');
  if (!call.filter.isEmpty()) line += QStringLiteral(" [filter: ") + call.filter + QLatin1Char(']');
  if (!call.default_ext.isEmpty())
    line += QStringLiteral(" [ext: ") + call.default_ext + QLatin1Char(']');
  if (call.masked) line += QStringLiteral(" [masked]");
  if (call.cancelIsDefault) line += QStringLiteral(" [Cancel default]");
  return line;
}

}  // namespace

const char* KindName(RecordingPrompts::Kind kind) {
  switch (kind) {
    case RecordingPrompts::Kind::Error: return "Error";
    case RecordingPrompts::Kind::Info: return "Info";
    case RecordingPrompts::Kind::Message: return "Message";
    case RecordingPrompts::Kind::Confirm: return "Confirm";
    case RecordingPrompts::Kind::YesNo: return "YesNo";
    case RecordingPrompts::Kind::Input: return "Input";
    case RecordingPrompts::Kind::OpenFile: return "OpenFile";
    case RecordingPrompts::Kind::SaveFile: return "SaveFile";
    case RecordingPrompts::Kind::Color: return "Color";
  }
  return "?";
}

void PrintTo(const RecordingPrompts::Call& call, std::ostream* out) {
  *out << DescribeCall(call).toStdString();
}

bool RecordingPrompts::ShowedExactly(Kind kind, const QString& text) const {
  return calls_.size() == 1 && calls_.front().kind == kind && calls_.front().text == text;
}

QStringList RecordingPrompts::TextsOf(Kind kind) const {
  QStringList texts;
  for (const Call& call : calls_) {
    if (call.kind == kind) texts.append(call.text);
  }
  return texts;
}

QString RecordingPrompts::Describe() const {
  if (calls_.empty()) return QStringLiteral("(no prompt shown)");
  QStringList lines;
  for (const Call& call : calls_) lines.append(DescribeCall(call));
  return lines.join(QLatin1Char('\n'));
}

bool RecordingPrompts::AllAnswersUsed() const {
  return confirms_.empty() && yes_no_.empty() && inputs_.empty() && file_names_.empty() &&
         colours_.empty();
}

void RecordingPrompts::ShowError(const QString& text) {
  Record({.kind = Kind::Error, .text = text});
  if (realBoxes) realBoxes->ShowError(text);
}

void RecordingPrompts::ShowInfo(const QString& text) {
  Record({.kind = Kind::Info, .text = text});
  if (realBoxes) realBoxes->ShowInfo(text);
}

void RecordingPrompts::ShowMessage(const QString& text) {
  Record({.kind = Kind::Message, .text = text});
  if (realBoxes) realBoxes->ShowMessage(text);
}

bool RecordingPrompts::ConfirmOkCancel(const QString& text, DefaultButton preferred) {
  Record({.kind = Kind::Confirm, .text = text, .cancelIsDefault = preferred == DefaultButton::Cancel});
  if (realBoxes) return realBoxes->ConfirmOkCancel(text, preferred);
  bool ok = false;
  Take(confirms_, ok);
  return ok;
}

bool RecordingPrompts::AskYesNo(const QString& text) {
  Record({.kind = Kind::YesNo, .text = text});
  bool yes = false;
  Take(yes_no_, yes);
  return yes;
}

std::optional<QString> RecordingPrompts::InputText(const QString& title, const QString& prompt,
                                                   bool masked) {
  Record({.kind = Kind::Input, .text = prompt, .title = title, .masked = masked});
  std::optional<QString> text;
  Take(inputs_, text);
  return text;
}

QString RecordingPrompts::OpenFileName(const QString& title, const QString& filter,
                                       const QString& defaultExt) {
  Record(
      {.kind = Kind::OpenFile, .text = title, .filter = filter, .default_ext = defaultExt});
  QString path;
  Take(file_names_, path);
  return path;
}

QString RecordingPrompts::SaveFileName(const QString& title, const QString& filter,
                                       const QString& defaultExt) {
  Record(
      {.kind = Kind::SaveFile, .text = title, .filter = filter, .default_ext = defaultExt});
  QString path;
  Take(file_names_, path);
  return path;
}

std::optional<QColor> RecordingPrompts::PickColor(const QColor& initial) {
  Record({.kind = Kind::Color, .text = initial.name()});
  std::optional<QColor> colour;
  Take(colours_, colour);
  return colour;
}

}  // namespace kvn
