#include "lngpack/lngpack.h"

#include <QFileInfo>
#include <memory>

#include "device_link/pause.h"
#include "device_link/register_image.h"
#include "parameters/value_codec.h"
#include "texts/atomic_file.h"
#include "texts/console_prompts.h"
#include "texts/guarded_file.h"
#include "texts/language_pack.h"
#include "texts/setup_record.h"
#include "texts/text_table.h"
#include "ui/main_form.h"
#include "ui/window_texts.h"

namespace kvn::lngpack {
namespace {

constexpr int kDone = 0;
constexpr int kNot = 1;
constexpr int kUsage = 2;

QString Usage() {
  return QStringLiteral(
      "usage: korvane-lngpack base FILE   write the base language file (English texts)\n"
      "       korvane-lngpack seal FILE   write the checksum into line 635\n"
      "       korvane-lngpack check FILE  would the program accept the pack?\n"
      "Lines count from 0: line n is editor line n+1; lines 0-634 are the texts, line 635 the "
      "checksum.\n");
}

// Line n of the file, as a translator finds it in an editor that counts from 1.
QString LineName(int n) {
  QString name = QStringLiteral("line %1 (editor line %2").arg(n).arg(n + 1);
  if (n < kTextRowCount) name += QStringLiteral(", ") + QString::fromUtf8(TextTable[n].key);
  return name + QLatin1Char(')');
}

int Items(const QString& text) { return int(text.count(QLatin1Char('|'))) + 1; }

void WarnAboutItems(const QString& file, const QStringList& lines, const Texts& english,
                    QTextStream& out) {
  const int textLines = std::min<int>(lines.size(), kTextRowCount);
  for (int n = 0; n < textLines; ++n) {
    const int translated = Items(lines[n]);
    const int original = Items(english.CurrentTexts[n]);
    if (translated == original) continue;
    out << file << ": warning: " << LineName(n) << " has " << translated
        << " \"|\" items, the English text " << original;
    if (TextTable[n].kind == TextKind::ComboItems) out << ": the list would show other items";
    out << '\n';
  }
}

QString CountProblem(const QStringList& lines) {
  const int count = int(lines.size());
  QString text = QStringLiteral("%1 lines, a pack has exactly %2 (635 texts and the checksum)")
                     .arg(count)
                     .arg(kPackLineCount);
  if (count > kPackLineCount) {
    int emptyAtEnd = 0;
    while (emptyAtEnd < count && lines[count - 1 - emptyAtEnd].isEmpty()) ++emptyAtEnd;
    text += QStringLiteral("; %1 and after are too many").arg(LineName(kPackLineCount));
    if (emptyAtEnd > 0 && emptyAtEnd >= count - kPackLineCount)
      text += QStringLiteral(" (empty lines at the end: remove them)");
  } else {
    text += QStringLiteral("; the file ends after line %1").arg(count - 1);
  }
  return text;
}

QString ChecksumProblem(const PackCheck& check) {
  const QString& written = check.lines[kChecksumLine];
  QString text = QStringLiteral("%1 reads \"%2\", the texts need \"%3\"")
                     .arg(LineName(kChecksumLine), written, check.checksumDue);
  if (written.toUpper() == check.checksumDue) text += QStringLiteral(" (upper-case digits)");
  return text + QStringLiteral("; run korvane-lngpack seal");
}

}  // namespace

Texts BuiltInTexts() {
  SetApplicationTitle(QStringLiteral("Korvane"));
  Texts texts;
  LocSetupRec setup;
  std::unique_ptr<RegisterImages> images = MakeRegisterImages();
  const Codec codec(QLatin1Char('.'), *images);
  ConsolePrompts prompts;
  Pause pause;
  QString startupErrors;
  // No steps: collection is all the window does here.
  TMain_Form window(
      MainFormContext{texts, setup, *images, codec, prompts, pause, startupErrors, {}});
  return texts;
}

int Base(const QString& file, const Texts& english, QTextStream& out, QTextStream& err) {
  if (QFileInfo::exists(file)) {
    err << file << ": exists; not replaced (it may hold a translation)\n";
    return kNot;
  }
  QString error;
  if (!WriteFileAtomically(file, BaseLanguageBytes(english), &error)) {
    err << file << ": " << error << '\n';
    return kNot;
  }
  out << file << ": base language file written; translate lines 0-634, then seal it and "
      << "name it *.lngpack\n";
  return kDone;
}

int Seal(const QString& file, QTextStream& out, QTextStream& err) {
  const FileRead read = ReadGuardedFile(file, file_cap::kLanguagePack);
  QStringList lines;
  QString error = read.Missing() ? QStringLiteral("No such file") : read.error;
  if (!read.Ok() || !DecodePackLines(read.bytes, &lines, &error)) {
    err << file << ": " << error << '\n';
    return kNot;
  }
  if (lines.size() == kTextRowCount) lines << QString();
  if (lines.size() != kPackLineCount) {
    err << file << ": not sealed: " << CountProblem(lines) << '\n';
    return kNot;
  }
  lines[kChecksumLine] = ChecksumText(PackChecksum(lines));
  if (!WriteFileAtomically(file, EncodePackLines(lines), &error)) {
    err << file << ": " << error << '\n';
    return kNot;
  }
  out << file << ": sealed with checksum " << lines[kChecksumLine] << '\n';
  return kDone;
}

int Check(const QString& file, const Texts& english, QTextStream& out, QTextStream& err) {
  const PackCheck check = CheckPackFile(file);
  using V = PackCheck::Verdict;
  switch (check.verdict) {
    case V::Accepted: out << file << ": accepted (checksum " << check.checksumDue << ")\n"; break;
    case V::Unreadable: err << file << ": not accepted: " << check.reason << '\n'; break;
    case V::CountMismatch: err << file << ": not accepted: " << CountProblem(check.lines) << '\n'; break;
    case V::ChecksumBad: err << file << ": not accepted: " << ChecksumProblem(check) << '\n'; break;
  }
  err.flush();
  WarnAboutItems(file, check.lines, english, out);
  return check.Accepted() ? kDone : kNot;
}

int Run(const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != 2) {
    err << Usage();
    return kUsage;
  }
  const QString& command = args[0];
  const QString& file = args[1];
  if (command == QLatin1String("seal")) return Seal(file, out, err);
  if (command == QLatin1String("base")) return Base(file, BuiltInTexts(), out, err);
  if (command == QLatin1String("check")) return Check(file, BuiltInTexts(), out, err);
  err << Usage();
  return kUsage;
}

}  // namespace kvn::lngpack
