#pragma once
// The program's own pictures, drawn in code: the two flag bitmaps of the
// language buttons and the application icon.

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <array>

// Black, red and gold in three equal horizontal bands; 64 x 39.
QPixmap GermanFlagBitmap();

// The Union flag; 65 x 33.
QPixmap UnionFlagBitmap();

// The sizes the desktop's icon themes ask for (hicolor), 32 x 32 among them.
inline constexpr std::array<int, 8> kApplicationIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The application icon, size x size pixels, transparent around it.
QImage ApplicationIconImage(int size);

// The icon in every size above.
QIcon ApplicationIcon();
