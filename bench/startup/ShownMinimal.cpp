// The least a Qt Widgets program does to show a window: the yardstick for
// the product's start-up.

#include <QApplication>
#include <QLabel>
#include <QWindow>

#include "ExposeReporter.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ExposeReporter reporter;
    QLabel window(QStringLiteral("Tornvale"));
    window.resize(640, 480);
    window.winId();
    window.windowHandle()->installEventFilter(&reporter);
    window.show();
    return app.exec();
}
