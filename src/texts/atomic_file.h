#pragma once
#include <QByteArray>
#include <QString>

namespace kvn {

// The one way the program writes a file. The bytes go to a temporary file in the same folder,
// which replaces the old file only once it is completely written: a full disk, a crash or a
// refused write never costs the previous version, and nobody sees half a file. Returns false
// with the system's reason in error.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace kvn
