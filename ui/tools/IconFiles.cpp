// tornvale-icons: writes the application icon as PNG files for the hicolor
// icon theme, one per size the program draws it in.
//
//   tornvale-icons DIR   ->   DIR/<n>x<n>/apps/tornvale.png

#include "ui/Artwork.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tornvale-icons DIR\n");
        return 2;
    }
    for (const int size : kApplicationIconSizes) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        const QString file = dir + QStringLiteral("/tornvale.png");
        if (!QDir().mkpath(dir) || !ApplicationIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "tornvale-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
