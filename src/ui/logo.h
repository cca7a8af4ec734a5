#pragma once
#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>

namespace kvn {

// The product logo drawn in code: a speed wheel with its sensor pulse and the word mark. Shown
// until a logo file of the working directory replaces it.
QPixmap BuiltInLogo(QSize size, qreal devicePixelRatio = 2.0);

// The program's icon: the logo's speed wheel alone, square. The installed icon theme files
// are made from the same drawing at build time, so the menu entry and the window agree.
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
QImage BuiltInIcon(int size);
QByteArray BuiltInIconSvg();  // the scalable size
QIcon BuiltInIconSet();       // every size above, for the window and the task bar

}  // namespace kvn
