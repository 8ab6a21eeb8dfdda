#pragma once
// The application object. It is the one place where errors that escape an
// event handler (button, key, timer tick, port event, menu) end up: the
// handlers' callers hand them over (ui/HandlerCall.h), with the notices a
// handler cannot show while it runs, and notify() shows them in the error
// display, in the order they were handed over, back in the event loop; then
// the program goes on. An exception that reaches notify() some other way is shown
// the same way. The application also binds the main-thread queue of the serial
// layer to the GUI thread and serves it from Qt's event loop.

#include "ui/ErrorDisplay.h"
#include "ui/HandlerCall.h"

#include <QApplication>

#include <memory>

class TMainQueuePump;

// The title for a program file: its name without folder and without
// everything from the first ".", every character after the first in lower
// case ("Tornvale.exe" -> "Tornvale").
QString ApplicationTitleFor(const QString& programPath);

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // Labels every error box.
    QString Title() const;
    TErrorDisplay& ErrorDisplay() { return *errorDisplay_; }

    // The running application, or nullptr when the QApplication is of another kind.
    static TApplication* Instance();

    // A handler that has done its work says so: a failure that repeats after
    // this is shown again.
    static void ReportSuccess();

private:
    // In the display, a port's failure led by what happened to the port.
    void ShowError(const std::exception_ptr& error, THandlerCause cause);

    std::unique_ptr<TErrorDisplay> errorDisplay_;
    std::unique_ptr<TMainQueuePump> pump_;
};
