#pragma once
#include <QMap>
#include <QString>

namespace kvn {

// The file beside the settings file that keeps the folders last used. The settings file keeps
// its 40 fields unchanged, so every reader of it still reads it.
inline constexpr char kFoldersFileName[] = "Kvn_Folders.cfg";

// The folder a file of each kind was last chosen in, so that its dialog opens there again. A
// kind is the files' extension ("kvn", "pdf", "csv").
class RecentFolders {
 public:
  // The kind of the files a dialog offers: its default extension, else the first "*.ext" of
  // its filter; empty when it names none.
  static QString KindOf(const QString& filter, const QString& defaultExt);

  // Empty when none was used yet.
  QString FolderFor(const QString& kind) const { return folders_.value(kind); }
  void Remember(const QString& kind, const QString& chosenFile);

  // One "kind=folder" line each, UTF-8.
  QByteArray Encode() const;
  // Lines that are not "kind=folder" are passed over.
  void Decode(const QByteArray& bytes);

  // Reads the file of the work directory; a missing or unusable one leaves none.
  void Load(const QString& workDirectory);
  // Writes it through the atomic writer when the work directory exists; false when that failed.
  bool Save(const QString& workDirectory) const;

 private:
  QMap<QString, QString> folders_;
};

}  // namespace kvn
