// Writes the program's icon for the hicolor theme: <out>/scalable/<name>.svg and
// <out>/<n>x<n>/<name>.png, drawn by the same code that gives the window its icon.
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <cstdio>

#include "texts/atomic_file.h"
#include "ui/logo.h"

namespace {

bool Write(const QString& path, const QByteArray& bytes) {
  QString error;
  if (kvn::WriteFileAtomically(path, bytes, &error)) return true;
  std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
  return false;
}

QByteArray Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  // No application object: painting paths into an image and the PNG writer need no display.
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTPUT-FOLDER ICON-NAME\n", argv[0]);
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  bool ok = QDir().mkpath(out + QStringLiteral("/scalable/apps")) &&
            Write(out + QStringLiteral("/scalable/apps/") + name + QStringLiteral(".svg"),
                  kvn::BuiltInIconSvg());
  for (const int size : kvn::kIconSizes) {
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
    ok = QDir().mkpath(folder) &&
         Write(folder + QLatin1Char('/') + name + QStringLiteral(".png"), Png(kvn::BuiltInIcon(size))) && ok;
  }
  return ok ? 0 : 1;
}
