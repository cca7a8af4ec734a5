#pragma once
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "texts/texts.h"

// The commands of korvane-lngpack. Each prints what it did or why not and returns the
// process exit code: 0 done (check: the program accepts the pack), 1 not, 2 wrong usage.
namespace kvn::lngpack {

// The English texts exactly as the program collects them at start-up: its main window is
// built (never shown) and its captions collected.
Texts BuiltInTexts();

// Writes the base language file; an existing file is left alone (it may be a translation).
int Base(const QString& file, const Texts& english, QTextStream& out, QTextStream& err);
// Writes the checksum of the texts into line 635 (appending it to a file of 635 lines).
int Seal(const QString& file, QTextStream& out, QTextStream& err);
// Says whether the program would take the pack and why not; warns where a line has another
// number of "|" items than the English text.
int Check(const QString& file, const Texts& english, QTextStream& out, QTextStream& err);

// args without the program name: COMMAND FILE.
int Run(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace kvn::lngpack
