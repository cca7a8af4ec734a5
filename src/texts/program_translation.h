#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QTranslator;

namespace kvn {

class StartupErrors;

// The texts beyond the text table (backups, comparisons, the history, port states...) are
// translated by Qt's translator from korvane_<language>.qm, made with Qt Linguist from
// translations/korvane.ts. <language> is the one the language pack names by its file name: with
// de.lngpack the program loads korvane_de.qm. Without a pack that is taken, nothing is loaded:
// the table's texts and the others stay in one language.
QString PackLanguage(const QString& packPath);
QString TranslationFileName(const QString& language);

// Where korvane_<language>.qm is looked for, in order: beside the pack (the working
// directory), then the installation's data folder, <prefix>/share/korvane/translations for a
// program in <prefix>/bin.
QStringList TranslationFolders(const QString& workingDirectory);

// The translator the program installs once at start-up, with the bytes it reads them from;
// removed again when the program ends.
class ProgramTranslation {
 public:
  ProgramTranslation();
  ~ProgramTranslation();
  ProgramTranslation(const ProgramTranslation&) = delete;
  ProgramTranslation& operator=(const ProgramTranslation&) = delete;

  // Installs the first korvane_<language>.qm found in folders. None there changes nothing; one
  // that cannot be read or is no translation adds a line to errors and changes nothing. True
  // when a translation was installed.
  bool Load(const QString& language, const QStringList& folders, StartupErrors& errors);
  // The file in use; empty when none.
  const QString& File() const { return file_; }

 private:
  void Remove();

  std::unique_ptr<QTranslator> translator_;
  QByteArray bytes_;  // the translator reads its texts from here for as long as it is installed
  QString file_;
};

}  // namespace kvn
