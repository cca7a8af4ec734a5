#pragma once
#include <QByteArray>
#include <QString>
#include <QTranslator>
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

// Qt's own catalogue of a language, qtbase_<language>.qm: the standard buttons and the texts
// of Qt's dialogs (file, input, colour).
QString QtCatalogueFileName(const QString& language);

// One catalogue installed in the application, with the bytes it reads its texts from (they
// must live as long as it is installed); removed again when it goes.
class InstalledCatalogue {
 public:
  InstalledCatalogue() = default;
  ~InstalledCatalogue();
  InstalledCatalogue(const InstalledCatalogue&) = delete;
  InstalledCatalogue& operator=(const InstalledCatalogue&) = delete;

  // Installs the first file of that name found in folders. None there changes nothing; one that
  // cannot be read or is no translation adds a line to errors and changes nothing. True when a
  // catalogue was installed.
  bool Load(const QString& fileName, const QStringList& folders, StartupErrors& errors);
  const QString& File() const { return file_; }

 private:
  void Remove();

  std::unique_ptr<QTranslator> translator_;
  QByteArray bytes_;
  QString file_;
};

// The translations the program installs once at start-up: its own texts beyond the table and
// Qt's, both in the pack's language.
class ProgramTranslation {
 public:
  // Installs korvane_<language>.qm from the first of folders that holds it, and Qt's catalogue
  // of the language from qtFolder (Qt's translations folder). A missing file changes nothing;
  // a damaged one adds a line to errors. True when the program's own translation was
  // installed.
  bool Load(const QString& language, const QStringList& folders, StartupErrors& errors,
            const QString& qtFolder = QString());
  // The program's own file in use; empty when none.
  const QString& File() const { return own_.File(); }
  // Qt's catalogue in use; empty when none.
  const QString& QtFile() const { return qt_.File(); }

 private:
  InstalledCatalogue own_;
  InstalledCatalogue qt_;
};

}  // namespace kvn
