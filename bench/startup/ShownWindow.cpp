// The product's start-up as ui/main.cpp does it (application object, main
// window, show), ending at the window's first expose instead of running on.

#include <QPointer>
#include <QWindow>

#include "ExposeReporter.h"
#include "ui/Application.h"
#include "ui/SDIMain.h"

int main(int argc, char** argv)
{
    ExposeReporter reporter;
    reporter.Mark("main");
    TApplication app(argc, argv);
    reporter.Mark("app");
    QPointer<TSDIAppForm> form = new TSDIAppForm();
    reporter.Mark("form");
    form->winId();  // creates the native window, so its expose can be watched
    form->windowHandle()->installEventFilter(&reporter);
    form->show();
    const int result = app.exec();
    delete form.data();
    return result;
}
