#include "ui/Timer.h"

#include "ui/HandlerCall.h"

TTimer::TTimer(QObject* parent, int intervalMs) : QTimer(parent)
{
    setInterval(intervalMs);
    setTimerType(Qt::CoarseTimer);
    connect(this, &QTimer::timeout, this, [this] {
        if (OnTimer) CallHandler([this] { OnTimer(this); }, THandlerCause::hcTimer);
    });
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == isActive()) return;  // QTimer::start() would restart the period
    if (enabled)
        start();
    else
        stop();
}
