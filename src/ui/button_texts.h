#pragma once
#include <QString>

class QPushButton;
class QWidget;

namespace kvn {

// The caption of one of the standard buttons ("OK", "Cancel", "&Yes", "&No"): the program's
// fixed English text, which Qt's own catalogue, installed under a language pack, translates
// as it translates Qt's standard buttons.
QString StandardButtonText(const char* text);

// The width a button needs to show its whole text (the mnemonic mark not counted) inside its
// frame and margins.
int ButtonWidthForText(const QPushButton& button);

// A translation may make a caption longer than the design's button. Every push button under
// root that is too narrow for its text grows to fit: a button of fixed width, one placed by
// hand outside any layout, and one whose own minimum width a layout keeps to instead of its
// text. None shrinks.
void FitButtonsToTexts(QWidget& root);

}  // namespace kvn
