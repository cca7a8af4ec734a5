#include "texts/program_translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

#include "texts/guarded_file.h"
#include "texts/program_settings.h"

namespace kvn {

QString PackLanguage(const QString& packPath) { return QFileInfo(packPath).completeBaseName(); }

QString TranslationFileName(const QString& language) {
  return QStringLiteral("korvane_") + language + QStringLiteral(".qm");
}

QStringList TranslationFolders(const QString& workingDirectory) {
  const QString installed =
      QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/korvane/translations"));
  return {workingDirectory, installed};
}

QString QtCatalogueFileName(const QString& language) {
  return QStringLiteral("qtbase_") + language + QStringLiteral(".qm");
}

InstalledCatalogue::~InstalledCatalogue() { Remove(); }

void InstalledCatalogue::Remove() {
  if (translator_) QCoreApplication::removeTranslator(translator_.get());
  translator_.reset();
  bytes_.clear();
  file_.clear();
}

bool InstalledCatalogue::Load(const QString& fileName, const QStringList& folders, StartupErrors& errors) {
  for (const QString& folder : folders) {
    if (folder.isEmpty()) continue;
    const QString path = QDir(folder).filePath(fileName);
    FileRead file = ReadGuardedFile(path, file_cap::kTranslation);
    if (file.Missing()) continue;
    auto translator = std::make_unique<QTranslator>();
    const auto* data = reinterpret_cast<const uchar*>(file.bytes.constData());
    if (!file.Ok() || !translator->load(data, static_cast<int>(file.bytes.size()))) {
      errors.Append(QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                    (file.Ok() ? QStringLiteral("not a translation file") : file.error));
      return false;
    }
    Remove();
    bytes_ = std::move(file.bytes);  // the same buffer: moving a QByteArray keeps its data
    file_ = path;
    translator_ = std::move(translator);
    QCoreApplication::installTranslator(translator_.get());
    return true;
  }
  return false;
}

bool ProgramTranslation::Load(const QString& language, const QStringList& folders, StartupErrors& errors,
                              const QString& qtFolder) {
  if (language.isEmpty()) return false;
  qt_.Load(QtCatalogueFileName(language), {qtFolder}, errors);
  return own_.Load(TranslationFileName(language), folders, errors);
}

}  // namespace kvn
