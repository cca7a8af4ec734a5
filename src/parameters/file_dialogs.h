#pragma once
#include <QString>

namespace kvn {

class Prompts;
class Texts;

// The file dialogs every save and load of the program shares. Filters are written the way
// the program's texts give them, "Description(*.ext)|*.ext|All Files(*.*)|*.*", and turned
// into the dialog's own form in one place.
QString SaveFilter(const QString& description, const QString& extension);
QString OpenFilter(const QString& filter);
// "A(*.x)|*.x|B|*.y" → "A(*.x);;B (*.y)": each description with its pattern.
QString DialogFilter(const QString& pipeFilter);

// The chosen path, or empty when cancelled. The save dialog appends the extension to a name
// typed without one and asks nothing about an existing file (ConfirmOverwrite does).
QString AskSaveFileName(Prompts& prompts, const QString& description, const QString& title,
                        const QString& extension);
QString AskOpenFileName(Prompts& prompts, const QString& filter, const QString& title);

// True when the path may be written: it does not exist, or the engineer agreed (message 66)
// and it can be replaced (else message 67). The old file stays until the new one is complete.
bool ConfirmOverwrite(Prompts& prompts, const Texts& texts, const QString& path);

}  // namespace kvn
