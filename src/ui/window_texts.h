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

// Caption without leading and trailing blanks and control characters.
QString TrimCaption(const QString& caption);

}  // namespace kvn
