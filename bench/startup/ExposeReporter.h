#pragma once
// Prints "SHOWN <monotonic ns>" when the watched window is first exposed on
// the screen and quits the application: the end of a start-up measurement.
// Marks set before (Mark("app")) follow on the same line as "app <ns>", so
// the driver can tell where the time went.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWindow>

#include <cstdio>
#include <string>

#include "BenchReport.h"

class ExposeReporter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!reported_ && event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed()) {
                reported_ = true;
                std::printf("SHOWN %lld%s\n", bench::MonotonicNanoseconds(), marks_.c_str());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            }
        }
        return false;
    }

    void Mark(const char* name)
    {
        marks_ += " " + std::string(name) + " " + std::to_string(bench::MonotonicNanoseconds());
    }

private:
    bool reported_ = false;
    std::string marks_;
};
