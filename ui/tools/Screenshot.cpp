// tornvale-screenshot: shows the real main window, optionally chooses a port
// and lets the device answer for a while, then writes a picture of the window.
// With --read-day it downloads that day into the folder the window started
// in, as an operator would: "Datei lesen", the date typed, "Übertragen";
// --english presses the English flag first.
//
//   tornvale-screenshot [--port COMn] [--settle-ms N] [--english] [--read-day YY MM DD] OUTPUT.png

#include "ui/Application.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/MouseButton.h"
#include "ui/RadioButton.h"
#include "ui/SDIMain.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QPixmap>
#include <QAbstractButton>
#include <QPointer>
#include <QTimer>

#include <cstdio>

namespace {

const char* const kUsage =
    "usage: tornvale-screenshot [--port COMn] [--settle-ms N] [--english] [--read-day YY MM DD] OUTPUT.png\n";

void Wait(int ms)
{
    QEventLoop settle;
    QTimer::singleShot(ms, &settle, &QEventLoop::quit);
    settle.exec();
}

void Press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = {}, const QString& text = {})
{
    QWidget* focus = window->focusWidget();
    if (!focus) return;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(focus, &press);
    QApplication::sendEvent(focus, &release);
}

// Into the window's field that holds the focus: all of it selected, the
// text typed over it, Enter.
void Enter(QWidget* window, const QString& text)
{
    Press(window, Qt::Key_A, Qt::ControlModifier);
    for (const QChar c : text) Press(window, c.unicode(), {}, QString(c));
    Press(window, Qt::Key_Return);
}

}  // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    QString port;
    int settleMs = 0;
    bool english = false;
    QStringList day;
    QString output;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--port") && !args.isEmpty())
            port = args.takeFirst();
        else if (arg == QLatin1String("--settle-ms") && !args.isEmpty())
            settleMs = args.takeFirst().toInt();
        else if (arg == QLatin1String("--english"))
            english = true;
        else if (arg == QLatin1String("--read-day") && args.size() >= 3)
            day = {args.takeFirst(), args.takeFirst(), args.takeFirst()};
        else if (output.isEmpty() && !arg.startsWith(QLatin1String("--")))
            output = arg;
        else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (output.isEmpty()) {
        std::fputs(kUsage, stderr);
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
    if (english) form->findChild<QAbstractButton*>(QStringLiteral("BitBtn2"))->click();
    if (!day.isEmpty()) {
        Wait(1500);  // the device's clock line first
        form->findChild<QAbstractButton*>(QStringLiteral("Datei_lesen"))->click();
        for (const QString& part : day) Enter(form, part);
        form->findChild<QAbstractButton*>(QStringLiteral("Uebertragen"))->click();
    }
    // Let the window settle (and the device answer) before the picture.
    Wait(settleMs);

    const bool saved = form && form->grab().save(output, "PNG");
    delete form.data();
    if (!saved) {
        std::fprintf(stderr, "tornvale-screenshot: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
