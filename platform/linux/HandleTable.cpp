#include "platform/linux/HandleTable.h"

#include <map>
#include <mutex>

namespace platform {
namespace detail {
namespace {

struct Table {
    std::mutex mutex;
    std::map<HANDLE, std::shared_ptr<KernelObject>> objects;
    HANDLE next = 0x100;  // far from 0 and -1, which callers use as "none"
};

Table& TheTable()
{
    static Table table;
    return table;
}

}  // namespace

HANDLE RegisterHandle(std::shared_ptr<KernelObject> object)
{
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    const HANDLE h = t.next;
    t.next += 4;
    t.objects.emplace(h, std::move(object));
    return h;
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE h)
{
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    const auto it = t.objects.find(h);
    return it == t.objects.end() ? nullptr : it->second;
}

}  // namespace detail

bool CloseHandle(HANDLE h)
{
    std::shared_ptr<detail::KernelObject> closed;
    {
        detail::Table& t = detail::TheTable();
        std::lock_guard lock(t.mutex);
        const auto it = t.objects.find(h);
        if (it == t.objects.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        closed = std::move(it->second);
        t.objects.erase(it);
    }
    // Outside the table lock: objects take their own locks here.
    closed->OnHandleClosed();
    return true;
}

}  // namespace platform
