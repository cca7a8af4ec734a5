#include "cli/output.h"

#include <QJsonDocument>
#include <cstdio>

#include "parameters/difference_list.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli::Output)

}  // namespace

QString Visible(const QString& text, LineBreaks breaks) {
  QString shown;
  shown.reserve(text.size());
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    const bool control = u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0);
    if (!control || (breaks == LineBreaks::Kept && u == '\n')) shown += c;
    else shown += QStringLiteral("\\x") + QString::number(u, 16).toUpper().rightJustified(2, QLatin1Char('0'));
  }
  return shown;
}

// A reader that has gone (a pipe closed early, a terminal hung up) ends that output, never the
// command: what the unit needs done is done, and the exit status still tells the outcome.
void Output::Write(std::FILE* stream, const QByteArray& bytes) {
  bool& closed = stream == stdout ? outClosed_ : errClosed_;
  if (closed) return;
  const size_t written = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  if (std::fflush(stream) != 0 || written != static_cast<size_t>(bytes.size())) closed = true;
}

void Output::JsonLine(const QJsonObject& object) {
  Write(stdout, QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

void Output::EndProgressLine() {
  if (!progressShown_) return;
  Write(stderr, "\n");
  progressShown_ = false;
}

void Output::Say(const QString& line) {
  if (mode_.json || mode_.quiet) return;
  EndProgressLine();
  Write(stdout, Visible(line).toUtf8() + '\n');
}

void Output::Progress(const QString& step, int done, int total) {
  if (mode_.quiet) return;
  if (mode_.json) {
    QJsonObject event{{QStringLiteral("event"), QStringLiteral("progress")}, {QStringLiteral("step"), step},
                      {QStringLiteral("done"), done}};
    if (total > 0) event.insert(QStringLiteral("total"), total);
    JsonLine(event);
    return;
  }
  if (!mode_.terminal) return;
  // A count whose end is not known in advance (the event log ends at its end marker) shows as
  // a count, not as a share of a most that is rarely reached.
  const QString line = total > 0 ? QStringLiteral("\r%1: %2 of %3 (%4%)").arg(step).arg(done).arg(total).arg(done * 100 / total)
                                 : QStringLiteral("\r%1: %2").arg(step).arg(done);
  Write(stderr, line.toUtf8());
  progressShown_ = true;
  if (total > 0 && done == total) EndProgressLine();
}

void Output::Difference(const ParameterDifference& d) { Difference({d.page, d.name, LeftText(d), RightText(d)}, {}); }

void Output::Difference(const QStringList& fields, const QString& port) {
  if (mode_.json) {
    QJsonObject row{{QStringLiteral("event"), QStringLiteral("difference")},
                    {QStringLiteral("page"), fields.value(0)},
                    {QStringLiteral("parameter"), fields.value(1)},
                    {QStringLiteral("device"), fields.value(2)},
                    {QStringLiteral("file"), fields.value(3)}};
    if (!port.isEmpty()) row.insert(QStringLiteral("port"), port);
    JsonLine(row);
    return;
  }
  EndProgressLine();
  // The rows are the command's answer: they are shown even with --quiet.
  if (!headerShown_) {
    const QString header = Tr("Page\tParameter\tDevice\tFile");
    Write(stdout, (port.isEmpty() ? header : Tr("Port") + QLatin1Char('\t') + header).toUtf8() + '\n');
  }
  headerShown_ = true;
  Write(stdout, VisibleFields(port.isEmpty() ? fields : QStringList(port) + fields).toUtf8() + '\n');
}

void Output::Row(const QStringList& fields, const QJsonObject& json) {
  if (mode_.json) {
    JsonLine(json);
    return;
  }
  EndProgressLine();
  Write(stdout, VisibleFields(fields).toUtf8() + '\n');
}

void Output::Unit(const QStringList& fields, QJsonObject object) {
  if (mode_.json) {
    object.insert(QStringLiteral("event"), QStringLiteral("unit"));
    JsonLine(object);
    return;
  }
  EndProgressLine();
  Write(stdout, VisibleFields(fields).toUtf8() + '\n');
}

void Output::Error(const QString& message) {
  if (mode_.json) {
    JsonLine({{QStringLiteral("event"), QStringLiteral("error")}, {QStringLiteral("message"), message}});
    return;
  }
  EndProgressLine();
  Write(stderr, QStringLiteral("korvane-cli: %1\n").arg(Visible(message, LineBreaks::Kept)).toUtf8());
}

void Output::Note(const QString& text) {
  if (mode_.quiet) return;
  if (mode_.json) {
    JsonLine({{QStringLiteral("event"), QStringLiteral("note")}, {QStringLiteral("text"), text}});
    return;
  }
  EndProgressLine();
  Write(stderr, Visible(text, LineBreaks::Kept).toUtf8() + '\n');
}

QString VisibleFields(const QStringList& fields) {
  QStringList shown;
  for (const QString& field : fields) shown << Visible(field);
  return shown.join(QLatin1Char('\t'));
}

int Output::Result(const QString& command, const UnitResult& unit, QJsonObject fields) {
  EndProgressLine();
  const QString serial = unit.serialNumber.isEmpty() ? QStringLiteral("-") : unit.serialNumber;
  if (!mode_.json) {
    // Shown with --quiet too: it is the command's answer.
    const QStringList line{unit.port, serial, unit.outcome, QString::number(Status(unit.code))};
    Write(stdout, VisibleFields(line).toUtf8() + '\n');
  }
  fields.insert(QStringLiteral("port"), unit.port);
  fields.insert(QStringLiteral("serial_number"), serial);
  fields.insert(QStringLiteral("outcome"), unit.outcome);
  return Finish(command, unit.code, fields);
}

namespace {
Output::BeforeResult& TheBeforeResult() {
  static Output::BeforeResult beforeResult;
  return beforeResult;
}
}  // namespace

void Output::SetBeforeResult(BeforeResult beforeResult) { TheBeforeResult() = std::move(beforeResult); }

int Output::Finish(const QString& command, ExitCode code, QJsonObject fields) {
  EndProgressLine();
  if (const BeforeResult& before = TheBeforeResult()) {
    // A warning like an error: on stderr, with --quiet and --json too.
    if (const QString note = before(fields); !note.isEmpty())
      Write(stderr, Visible(note, LineBreaks::Kept).toUtf8() + '\n');
  }
  if (mode_.json) {
    fields.insert(QStringLiteral("event"), QStringLiteral("result"));
    if (!command.isEmpty()) fields.insert(QStringLiteral("command"), command);
    fields.insert(QStringLiteral("exit"), Status(code));
    JsonLine(fields);
  }
  return Status(code);
}

}  // namespace kvn::cli
