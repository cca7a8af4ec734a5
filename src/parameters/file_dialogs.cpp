#include "parameters/file_dialogs.h"

#include <QFileInfo>
#include <QStringList>

#include "texts/prompts.h"
#include "texts/texts.h"

namespace kvn {
namespace {

constexpr int kMsgOverwrite = 66;     // "File already exists. Overwrite?"
constexpr int kMsgCannotReplace = 67;  // "Can not overwrite file. Function aborted."
const QString kAllFiles = QStringLiteral("All Files(*.*)|*.*");

}  // namespace

QString SaveFilter(const QString& description, const QString& extension) {
  return description + QStringLiteral("(*.") + extension + QStringLiteral(")|*.") + extension +
         QLatin1Char('|') + kAllFiles;
}

QString OpenFilter(const QString& filter) {
  return filter.isEmpty() ? kAllFiles : filter + QLatin1Char('|') + kAllFiles;
}

QString DialogFilter(const QString& pipeFilter) {
  const QStringList parts = pipeFilter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    QString pattern = parts[i + 1];
    // "*.*" means every file where it was written; here it would miss names without a dot.
    if (pattern == QStringLiteral("*.*")) {
      pattern = QStringLiteral("*");
      description.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
    }
    // The dialog reads the patterns from the brackets at the end of each entry.
    entries << (description.endsWith(QLatin1Char(')')) ? description
                                                        : description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
  }
  return entries.join(QStringLiteral(";;"));
}

QString AskSaveFileName(Prompts& prompts, const QString& description, const QString& title,
                        const QString& extension) {
  return prompts.SaveFileName(title, DialogFilter(SaveFilter(description, extension)), extension);
}

QString AskOpenFileName(Prompts& prompts, const QString& filter, const QString& title) {
  return prompts.OpenFileName(title, DialogFilter(OpenFilter(filter)), QString());
}

bool ConfirmOverwrite(Prompts& prompts, const Texts& texts, const QString& path) {
  const QFileInfo file(path);
  if (!file.exists() && !file.isSymLink()) return true;
  if (!prompts.ConfirmOkCancel(texts.GetMessageText(kMsgOverwrite))) return false;
  // The new file replaces the old one by a rename in its folder: both must allow it.
  if (!file.isFile() || !file.isWritable() || !QFileInfo(file.absolutePath()).isWritable()) {
    prompts.ShowError(texts.GetMessageText(kMsgCannotReplace));
    return false;
  }
  return true;
}

}  // namespace kvn
