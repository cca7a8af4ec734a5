#pragma once
#include <QString>

#include "parameters/form/find_control.h"

class QWidget;

namespace kvn {

class Prompts;
class Texts;
class TMain_Form;

// Fills CurrentTexts from the window's captions and, for rows no main-window control carries,
// from the table's default texts. A row whose control is missing costs one information box.
void CollectTexts(const TMain_Form& form, Texts& texts, Prompts& prompts);

// Writes CurrentTexts back into the window, its menu and the application title (after a
// language pack replaced them).
void ApplyTexts(TMain_Form& form, const Texts& texts, Prompts& prompts);

// The application title ("Korvane" at program start; a language pack may replace it). Plain
// message boxes carry it as their caption. It is kept as the application's name, never as its
// display name: the window system would append a display name to every window and box title,
// and the captions stand alone.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

// Caption without leading and trailing blanks and control characters.
QString TrimCaption(const QString& caption);

}  // namespace kvn
