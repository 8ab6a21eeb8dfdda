#include "ui/MainQueuePump.h"

#include "platform/MainThread.h"
#include "ui/HandlerCall.h"

#include <QSocketNotifier>

TMainQueuePump::TMainQueuePump(QObject* parent) : QObject(parent)
{
    platform::MainQueue::BindToCurrentThread();
    notifier_ = new QSocketNotifier(platform::MainQueue::WakeFd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this,
            [] { CallHandler([] { platform::MainQueue::ProcessPending(); }); });
}
