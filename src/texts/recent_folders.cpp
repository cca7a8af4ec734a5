#include "texts/recent_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "texts/atomic_file.h"
#include "texts/guarded_file.h"

namespace kvn {
namespace {

QString FoldersFile(const QString& workDirectory) {
  return QDir(workDirectory).filePath(QString::fromLatin1(kFoldersFileName));
}

}  // namespace

QString RecentFolders::KindOf(const QString& filter, const QString& defaultExt) {
  if (!defaultExt.isEmpty()) return defaultExt.toLower();
  static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
  return pattern.match(filter).captured(1).toLower();
}

void RecentFolders::Remember(const QString& kind, const QString& chosenFile) {
  if (kind.isEmpty() || chosenFile.isEmpty()) return;
  folders_[kind] = QFileInfo(chosenFile).absolutePath();
}

QByteArray RecentFolders::Encode() const {
  QByteArray bytes;
  for (auto it = folders_.cbegin(); it != folders_.cend(); ++it)
    bytes += (it.key() + u'=' + it.value()).toUtf8() + '\n';
  return bytes;
}

void RecentFolders::Decode(const QByteArray& bytes) {
  folders_.clear();
  for (const QString& line : QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts)) {
    const qsizetype split = line.indexOf(u'=');
    if (split <= 0 || split + 1 >= line.size()) continue;
    folders_[line.left(split)] = line.mid(split + 1);
  }
}

void RecentFolders::Load(const QString& workDirectory) {
  const FileRead file = ReadGuardedFile(FoldersFile(workDirectory), file_cap::kSettings);
  Decode(file.Ok() ? file.bytes : QByteArray());
}

bool RecentFolders::Save(const QString& workDirectory) const {
  if (!QFileInfo(workDirectory).isDir()) return false;
  QString error;
  return WriteFileAtomically(FoldersFile(workDirectory), Encode(), &error);
}

}  // namespace kvn
