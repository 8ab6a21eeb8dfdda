#pragma once
// Work that may block for long (a volume that does not answer) runs on a
// thread of its own; its result reaches the owner on the owner's thread
// through the event loop, or nowhere once the owner is gone. Nothing ever
// waits for such a thread: not the main thread, not the owner's destructor,
// not the program's end.

#include <QMetaObject>
#include <QObject>

#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

class TBackgroundWork {
public:
    // Results go to `owner`, which must outlive this object (make it a member).
    explicit TBackgroundWork(QObject* owner) : shared_(std::make_shared<Shared>(owner)) {}
    // Results that arrive from now on are dropped.
    ~TBackgroundWork()
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->owner = nullptr;
    }
    TBackgroundWork(const TBackgroundWork&) = delete;
    TBackgroundWork& operator=(const TBackgroundWork&) = delete;

    // Runs work() on a new thread and then deliver(result) on the owner's
    // thread. False when no thread could be started: then neither runs.
    template <typename Work, typename Deliver>
    bool Start(Work work, Deliver deliver)
    {
        try {
            std::thread([shared = shared_, work = std::move(work), deliver = std::move(deliver)]() mutable {
                auto result = work();
                // Under the lock the owner cannot be destroyed; an event posted
                // to it is discarded with it if it goes before the loop runs it.
                const std::lock_guard lock(shared->mutex);
                if (shared->owner)
                    QMetaObject::invokeMethod(
                        shared->owner,
                        [deliver = std::move(deliver), result = std::move(result)]() mutable {
                            deliver(std::move(result));
                        },
                        Qt::QueuedConnection);
            }).detach();
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }

private:
    struct Shared {
        explicit Shared(QObject* o) : owner(o) {}
        std::mutex mutex;
        QObject* owner;
    };
    std::shared_ptr<Shared> shared_;
};
