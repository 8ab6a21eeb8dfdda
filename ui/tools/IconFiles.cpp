// tornvale-icons: writes the application icon as the desktop's PNG files, one
// per size the program draws it in, or as the Windows icon file that the
// Windows build links into Tornvale.exe.
//
//   tornvale-icons DIR          ->   DIR/<n>x<n>/apps/tornvale.png
//   tornvale-icons --ico FILE   ->   FILE, every size in one .ico

#include "ui/Artwork.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QtEndian>

#include <cstdio>

namespace {

void Append16(QByteArray& out, quint16 value)
{
    const quint16 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}
void Append32(QByteArray& out, quint32 value)
{
    const quint32 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

// An icon image as Windows stores it from XP on: a 32-bit bottom-up bitmap
// with straight alpha, twice as high as the image in its header, followed by
// the 1-bit mask (set where fully transparent) that older readers use.
QByteArray IconBitmap(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray out;
    Append32(out, 40);  // BITMAPINFOHEADER
    Append32(out, quint32(size));
    Append32(out, quint32(size * 2));
    Append16(out, 1);
    Append16(out, 32);
    Append32(out, 0);  // BI_RGB
    Append32(out, quint32(size * size * 4 + maskStride * size));
    for (int i = 0; i < 4; ++i) Append32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) Append32(out, line[x]);  // 0xAARRGGBB is B, G, R, A in memory order
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x)
            if (qAlpha(line[x]) == 0) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

// 256 x 256 goes in as PNG, as Windows' own icons do; smaller sizes as bitmaps.
QByteArray IconFile()
{
    QList<QByteArray> images;
    for (const int size : kApplicationIconSizes) {
        if (size < 256) {
            images.append(IconBitmap(ApplicationIconImage(size)));
            continue;
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ApplicationIconImage(size).save(&buffer, "PNG");
        images.append(png);
    }
    QByteArray out;
    Append16(out, 0);
    Append16(out, 1);  // an icon, not a cursor
    Append16(out, quint16(images.size()));
    quint32 offset = quint32(6 + 16 * images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int size = kApplicationIconSizes[std::size_t(i)];
        out.append(char(size >= 256 ? 0 : size));  // 0 stands for 256
        out.append(char(size >= 256 ? 0 : size));
        out.append(char(0));  // no palette
        out.append(char(0));
        Append16(out, 1);   // planes
        Append16(out, 32);  // bits per pixel
        Append32(out, quint32(images[i].size()));
        Append32(out, offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& image : images) out.append(image);
    return out;
}

int WritePngs(const QString& root)
{
    for (const int size : kApplicationIconSizes) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString file = dir + QStringLiteral("/tornvale.png");
        if (!QDir().mkpath(dir) || !ApplicationIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "tornvale-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

int WriteIco(const QString& path)
{
    QFile file(path);
    const QByteArray bytes = IconFile();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        std::fprintf(stderr, "tornvale-icons: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && !args[0].startsWith(QLatin1Char('-'))) return WritePngs(args[0]);
    if (args.size() == 2 && args[0] == QLatin1String("--ico")) return WriteIco(args[1]);
    std::fprintf(stderr, "usage: tornvale-icons DIR | tornvale-icons --ico FILE\n");
    return 2;
}
