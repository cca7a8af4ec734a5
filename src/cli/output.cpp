#include "cli/output.h"

#include <QJsonDocument>
#include <cstdio>

#include "parameters/difference_list.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli::Output)

void Write(std::FILE* stream, const QByteArray& bytes) {
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fflush(stream);
}

}  // namespace

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
  Write(stdout, line.toUtf8() + '\n');
}

void Output::Progress(const QString& step, int done, int total) {
  if (mode_.quiet) return;
  if (mode_.json) {
    JsonLine({{QStringLiteral("event"), QStringLiteral("progress")},
              {QStringLiteral("step"), step},
              {QStringLiteral("done"), done},
              {QStringLiteral("total"), total}});
    return;
  }
  if (!mode_.terminal || total <= 0) return;
  const int percent = done * 100 / total;
  Write(stderr, QStringLiteral("\r%1: %2 of %3 (%4%)").arg(step).arg(done).arg(total).arg(percent).toUtf8());
  progressShown_ = true;
  if (done == total) EndProgressLine();
}

void Output::Difference(const ParameterDifference& d) {
  if (mode_.json) {
    JsonLine({{QStringLiteral("event"), QStringLiteral("difference")},
              {QStringLiteral("page"), d.page},
              {QStringLiteral("parameter"), d.name},
              {QStringLiteral("device"), LeftText(d)},
              {QStringLiteral("file"), RightText(d)}});
    return;
  }
  EndProgressLine();
  // The rows are the command's answer: they are shown even with --quiet.
  if (!headerShown_)
    Write(stdout, Tr("Page\tParameter\tDevice\tFile").toUtf8() + '\n');
  headerShown_ = true;
  Write(stdout, QStringList{d.page, d.name, LeftText(d), RightText(d)}.join(QLatin1Char('\t')).toUtf8() + '\n');
}

void Output::Error(const QString& message) {
  if (mode_.json) {
    JsonLine({{QStringLiteral("event"), QStringLiteral("error")}, {QStringLiteral("message"), message}});
    return;
  }
  EndProgressLine();
  Write(stderr, QStringLiteral("korvane-cli: %1\n").arg(message).toUtf8());
}

void Output::Note(const QString& text) {
  if (mode_.quiet) return;
  if (mode_.json) {
    JsonLine({{QStringLiteral("event"), QStringLiteral("note")}, {QStringLiteral("text"), text}});
    return;
  }
  EndProgressLine();
  Write(stderr, text.toUtf8() + '\n');
}

int Output::Result(const QString& command, const UnitResult& unit, QJsonObject fields) {
  EndProgressLine();
  const QString serial = unit.serialNumber.isEmpty() ? QStringLiteral("-") : unit.serialNumber;
  if (!mode_.json) {
    // Shown with --quiet too: it is the command's answer.
    const QStringList line{unit.port, serial, unit.outcome, QString::number(Status(unit.code))};
    Write(stdout, line.join(QLatin1Char('\t')).toUtf8() + '\n');
  }
  fields.insert(QStringLiteral("port"), unit.port);
  fields.insert(QStringLiteral("serial_number"), serial);
  fields.insert(QStringLiteral("outcome"), unit.outcome);
  return Finish(command, unit.code, fields);
}

int Output::Finish(const QString& command, ExitCode code, QJsonObject fields) {
  EndProgressLine();
  if (mode_.json) {
    fields.insert(QStringLiteral("event"), QStringLiteral("result"));
    if (!command.isEmpty()) fields.insert(QStringLiteral("command"), command);
    fields.insert(QStringLiteral("exit"), Status(code));
    JsonLine(fields);
  }
  return Status(code);
}

}  // namespace kvn::cli
