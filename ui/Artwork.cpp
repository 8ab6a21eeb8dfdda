#include "ui/Artwork.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kFlagBlack(0, 0, 0);
const QColor kFlagRed(0xDD, 0x00, 0x00);
const QColor kFlagGold(0xFF, 0xCE, 0x00);
const QColor kUnionBlue(0x01, 0x21, 0x69);
const QColor kUnionRed(0xC8, 0x10, 0x2E);

// 24-bit colour, no transparency: the pictures are bitmaps on a button.
QImage Canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}
}  // namespace

QPixmap GermanFlagBitmap()
{
    QImage image = Canvas(64, 39);
    QPainter p(&image);
    p.fillRect(0, 0, 64, 13, kFlagBlack);
    p.fillRect(0, 13, 64, 13, kFlagRed);
    p.fillRect(0, 26, 64, 13, kFlagGold);
    return QPixmap::fromImage(image);
}

QPixmap UnionFlagBitmap()
{
    QImage image = Canvas(65, 33);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn in the flag's own 60 x 30 units.
    p.scale(65.0 / 60.0, 33.0 / 30.0);
    p.fillRect(QRectF(0, 0, 60, 30), kUnionBlue);
    p.setClipRect(QRectF(0, 0, 60, 30));

    const QLineF down(0, 0, 60, 30);
    const QLineF up(0, 30, 60, 0);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(down);
    p.drawLine(up);

    // The red saltire is counterchanged: below the white's middle in the hoist
    // half, above it in the fly half (one unit across the diagonal).
    const qreal shift = 1.118;  // one unit measured across a 2:1 diagonal
    p.setPen(QPen(kUnionRed, 2, Qt::SolidLine, Qt::FlatCap));
    p.save();
    p.setClipRect(QRectF(0, 0, 30, 30));
    p.drawLine(down.translated(0, shift));
    p.drawLine(up.translated(0, shift));
    p.restore();
    p.save();
    p.setClipRect(QRectF(30, 0, 30, 30));
    p.drawLine(down.translated(0, -shift));
    p.drawLine(up.translated(0, -shift));
    p.restore();

    p.fillRect(QRectF(25, 0, 10, 30), Qt::white);
    p.fillRect(QRectF(0, 10, 60, 10), Qt::white);
    p.fillRect(QRectF(27, 0, 6, 30), kUnionRed);
    p.fillRect(QRectF(0, 12, 60, 6), kUnionRed);
    return QPixmap::fromImage(image);
}

QImage ApplicationIconImage(int size)
{
    // A yellow readout panel with a measuring tape's scale above a counter,
    // drawn on a 32-unit grid.
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(0x20, 0x30, 0x50), 1.5));
    p.setBrush(QColor(0x2E, 0x5E, 0x8E));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xFF, 0x00));
    p.drawRect(QRectF(5, 17, 22, 10));
    p.setBrush(Qt::black);
    for (int digit = 0; digit < 3; ++digit) p.drawRect(QRectF(8 + digit * 6, 19, 3, 6));

    p.setPen(QPen(Qt::white, 1.2));
    p.drawLine(QPointF(5, 12), QPointF(27, 12));
    for (int tick = 0; tick <= 11; ++tick) {
        const qreal x = 5 + tick * 2;
        p.drawLine(QPointF(x, 12), QPointF(x, tick % 5 == 0 ? 5 : 9));
    }
    p.end();
    return image;
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (const int size : kApplicationIconSizes) icon.addPixmap(QPixmap::fromImage(ApplicationIconImage(size)));
    return icon;
}
