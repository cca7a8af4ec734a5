#pragma once
#include <QString>

namespace kvn {

// Text of the about box. Collection puts it into the row lbl3_about_text in place of the row's
// placeholder default; "||" pairs become empty lines when the box expands it.
QString AboutText();

}  // namespace kvn
