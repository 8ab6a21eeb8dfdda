#include "serial/BoundedClose.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

struct CloseCall {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
};

}  // namespace

bool CloseHandleWithin(platform::HANDLE h, std::chrono::milliseconds limit)
{
    auto call = std::make_shared<CloseCall>();
    try {
        std::thread([h, call] {
            platform::CloseHandle(h);
            std::lock_guard lock(call->mutex);
            call->finished = true;
            call->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: closing here may block, leaving the name taken is worse.
        platform::CloseHandle(h);
        return true;
    }
    std::unique_lock lock(call->mutex);
    return call->done.wait_for(lock, limit, [&] { return call->finished; });
}

void KeepUntilExit(std::shared_ptr<void> object)
{
    // Never destroyed: static destructors run while such a thread may still.
    static auto* mutex = new std::mutex;
    static auto* kept = new std::vector<std::shared_ptr<void>>;
    std::lock_guard lock(*mutex);
    kept->push_back(std::move(object));
}
