#pragma once
#include <QByteArray>
#include <QString>

#include "device_link/register_image.h"

namespace kvn {

// What a unit's folder of the records holds for one set. The texts are the program's own
// (English) with "." as the decimal separator whatever the station's language and locale, so
// that two stations recording the same set write the same bytes.
struct UnitFiles {
  QByteArray settings;  // settings.kvn: byte for byte the configuration file of the set
  QByteArray text;      // settings.txt: "PAGE / name = shown text", one line per parameter
  QByteArray identity;  // identity.txt: device type, serial number, firmware, tag
};

// The files of a set read from a unit: its identification block and its stored blocks. The
// password block never reaches them.
UnitFiles UnitFilesOf(const RegisterImage& set);

// settings.txt alone: the parameters in the order of the pages, then the registers of the
// stored blocks that no parameter shows. A value whose text hides its registers carries them
// in brackets, so that every register change changes a line.
QByteArray SettingsText(const RegisterImage& set);

// Text that came from a device (a serial number, a tag) with its control characters as
// visible escapes ("\x1B"); line breaks kept, or escaped too where one line must stay one.
enum class LineBreaks { Kept, Escaped };
QString WithoutControls(const QString& text, LineBreaks breaks);

}  // namespace kvn
