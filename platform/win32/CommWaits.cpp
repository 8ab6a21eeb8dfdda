#include "platform/win32/CommWaits.h"

#include <mutex>
#include <unordered_map>

namespace platform::win32 {

namespace {

struct PortWaits {
    const OVERLAPPED* pendingWait = nullptr;
    bool maskChangedSinceStart = false;
    bool lost = false;
};

std::mutex mutex;
std::unordered_map<HANDLE, PortWaits> ports;

}  // namespace

void NoteWaitStarted(HANDLE port, const OVERLAPPED* record)
{
    std::lock_guard lock(mutex);
    PortWaits& p = ports[port];
    p.pendingWait = record;
    p.maskChangedSinceStart = false;
}

void NoteMaskChange(HANDLE port)
{
    std::lock_guard lock(mutex);
    auto it = ports.find(port);
    if (it != ports.end()) it->second.maskChangedSinceStart = true;
}

void NoteWaitFailed(HANDLE port, const OVERLAPPED* record, DWORD error)
{
    std::lock_guard lock(mutex);
    auto it = ports.find(port);
    if (it == ports.end() || it->second.pendingWait != record) return;
    if (error == ERROR_OPERATION_ABORTED && !it->second.maskChangedSinceStart) it->second.lost = true;
    it->second.pendingWait = nullptr;
}

bool LineLost(HANDLE port)
{
    std::lock_guard lock(mutex);
    auto it = ports.find(port);
    return it != ports.end() && it->second.lost;
}

void ForgetCommWaits(HANDLE port)
{
    std::lock_guard lock(mutex);
    ports.erase(port);
}

}  // namespace platform::win32
