#include "MainQueueWait.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <thread>

#include "platform/MainThread.h"

bool ServeUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout)
{
    return platform::MainQueue::RunUntil(pred, timeout);
}

bool WaitUntilDeliveryQueued(std::chrono::milliseconds timeout)
{
    QSocketNotifier notifier(platform::MainQueue::WakeFd(), QSocketNotifier::Read);
    QEventLoop loop;
    bool queued = false;
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        queued = true;
        loop.quit();
    });
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    loop.exec();
    return queued;
}

bool WaitWithoutServing(const std::function<bool()>& pred, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
