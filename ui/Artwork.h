#pragma once
// The program's own pictures, drawn in code: the two flag bitmaps of the
// language buttons and the application icon.

#include <QIcon>
#include <QPixmap>

// Black, red and gold in three equal horizontal bands; 64 x 39.
QPixmap GermanFlagBitmap();

// The Union flag; 65 x 33.
QPixmap UnionFlagBitmap();

// 32 x 32.
QIcon ApplicationIcon();
