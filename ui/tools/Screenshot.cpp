// tornvale-screenshot: shows the real main window, optionally chooses a port
// and lets the device answer for a while, then writes a picture of the window.
//
//   tornvale-screenshot [--port COMn] [--settle-ms N] OUTPUT.png

#include "ui/Application.h"
#include "ui/ComboBox.h"
#include "ui/SDIMain.h"

#include <QEventLoop>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    QString port;
    int settleMs = 0;
    QString output;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--port") && !args.isEmpty())
            port = args.takeFirst();
        else if (arg == QLatin1String("--settle-ms") && !args.isEmpty())
            settleMs = args.takeFirst().toInt();
        else if (output.isEmpty() && !arg.startsWith(QLatin1String("--")))
            output = arg;
        else {
            std::fprintf(stderr, "usage: tornvale-screenshot [--port COMn] [--settle-ms N] OUTPUT.png\n");
            return 2;
        }
    }
    if (output.isEmpty()) {
        std::fprintf(stderr, "usage: tornvale-screenshot [--port COMn] [--settle-ms N] OUTPUT.png\n");
        return 2;
    }

    QPointer<TSDIAppForm> form = new TSDIAppForm();
    form->show();
    if (!port.isEmpty()) {
        auto* ports = form->findChild<TComboBox*>(QStringLiteral("Schnittstelle"));
        const int index = ports ? ports->findText(port, Qt::MatchFixedString) : -1;
        if (index < 0) {
            std::fprintf(stderr, "tornvale-screenshot: %s is not in the port list\n", qPrintable(port));
            delete form.data();
            return 1;
        }
        // Chosen as a pick from the open list chooses it.
        ports->setCurrentIndex(index);
        emit ports->activated(index);
    }
    // Let the window settle (and the device answer) before the picture.
    QEventLoop settle;
    QTimer::singleShot(settleMs, &settle, &QEventLoop::quit);
    settle.exec();

    const bool saved = form && form->grab().save(output, "PNG");
    delete form.data();
    if (!saved) {
        std::fprintf(stderr, "tornvale-screenshot: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
