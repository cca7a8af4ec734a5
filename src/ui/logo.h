#pragma once
#include <QPixmap>
#include <QSize>

namespace kvn {

// The product logo drawn in code: a speed wheel with its sensor pulse and the word mark. Shown
// until a logo file of the working directory replaces it.
QPixmap BuiltInLogo(QSize size, qreal devicePixelRatio = 2.0);

}  // namespace kvn
