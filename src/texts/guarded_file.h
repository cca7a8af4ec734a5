#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace kvn {

// Largest file the program accepts of each kind it reads, far above any valid one, so that a
// damaged or hostile file (a link to /dev/zero, a huge file put in its place) is refused
// before it costs time or memory. A settings file is under 1 KB, a configuration file about
// 2.5 KB, a language pack some 100 KB.
namespace file_cap {
inline constexpr qint64 kSettings = 64 * 1024;
inline constexpr qint64 kStartupLog = 64 * 1024;
inline constexpr qint64 kConfiguration = 256 * 1024;
inline constexpr qint64 kLanguagePack = 4 * 1024 * 1024;
inline constexpr qint64 kImage = 8 * 1024 * 1024;  // logo and icon
inline constexpr qint64 kTranslation = 8 * 1024 * 1024;  // korvane_<language>.qm
}  // namespace file_cap

// What became of one guarded read.
struct FileRead {
  enum class Outcome { Read, Missing, NotRegular, TooLarge, Failed };
  Outcome outcome = Outcome::Missing;
  QByteArray bytes;  // the whole file when Read; empty otherwise
  QString error;     // the reason, for a message or a log line; empty when Read or Missing

  bool Ok() const { return outcome == Outcome::Read; }
  bool Missing() const { return outcome == Outcome::Missing; }
};

// The one way the program reads a file. Only a regular file (after following links) of at most
// maxBytes is read; anything else (a folder, a pipe, a device, a larger file) is refused
// without reading it and, for pipes and devices, without opening it, so it can never block or
// exhaust memory. A file that grows past the cap while being read is refused as well.
FileRead ReadGuardedFile(const QString& path, qint64 maxBytes);

}  // namespace kvn
