#pragma once
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>

#include "cli/exit_codes.h"

namespace kvn {
struct ParameterDifference;
}

namespace kvn::cli {

// Text that came from a device (a tag, a serial number, a comment) as a terminal or a
// tab-separated line may show it: control characters, tabs and line ends as visible escapes
// ("\x1B"), so that none drives the terminal or splits a field. JSON carries text as it is.
enum class LineBreaks { Escaped, Kept };
QString Visible(const QString& text, LineBreaks breaks = LineBreaks::Escaped);
// Fields joined by tabs, each made visible.
QString VisibleFields(const QStringList& fields);

// Everything korvane-cli tells: short lines for people on stdout, errors on stderr, a
// progress line on stderr only when stderr is a terminal; or, with --json, one JSON object per
// line on stdout, the last one the result with the exit status.
class Output {
 public:
  struct Mode {
    bool json = false;
    bool quiet = false;
    bool terminal = false;  // stderr is a terminal: progress may be drawn there
  };
  explicit Output(Mode mode) : mode_(mode) {}

  bool Json() const { return mode_.json; }
  // A line for people (nothing with --json or --quiet).
  void Say(const QString& line);
  // Blocks (or entries) done of total in one step of the command ("read"); a total of 0 or
  // less: the end is not known in advance.
  void Progress(const QString& step, int done, int total);
  // One row of a comparison: page, parameter, the device's text and the file's.
  void Difference(const ParameterDifference& d);
  // The same row as text (page, parameter, device, file), with the port it was found on when
  // several ports run at once.
  void Difference(const QStringList& fields, const QString& port);
  // One row of a listing that is the command's answer (a record of the log, a line of a set):
  // its text fields tab-separated on stdout, with --quiet too; with --json the object instead.
  void Row(const QStringList& fields, const QJsonObject& json);
  void Error(const QString& message);
  // One unit a command found (a scan): its fields tab-separated for people (shown with --quiet
  // too: they are the answer), the "unit" event with --json.
  void Unit(const QStringList& fields, QJsonObject object);
  // What a step under way tells (the session's texts): stderr for people, unless --quiet.
  void Note(const QString& text);
  // The one line of a writing command that tells a script the unit's state: port, serial
  // number, outcome and exit status, tab-separated on stdout (the result object with --json,
  // the fields added). Returns the exit status.
  struct UnitResult {
    QString port;
    QString serialNumber;
    QString outcome;
    ExitCode code = ExitCode::Done;
  };
  int Result(const QString& command, const UnitResult& unit, QJsonObject fields = {});
  // The result line with its fields (--json); returns the exit status for main().
  int Finish(const QString& command, ExitCode code, QJsonObject fields = {});
  // What is done at the end of every command of this process, before its result is told (the
  // records' push): it may add fields to the result and returns a line for stderr (or none).
  using BeforeResult = std::function<QString(QJsonObject& fields)>;
  static void SetBeforeResult(BeforeResult beforeResult);

 private:
  void Write(std::FILE* stream, const QByteArray& bytes);
  void JsonLine(const QJsonObject& object);
  void EndProgressLine();

  Mode mode_;
  bool progressShown_ = false;
  bool headerShown_ = false;
  bool outClosed_ = false;  // the reader of stdout has gone
  bool errClosed_ = false;
};

}  // namespace kvn::cli
