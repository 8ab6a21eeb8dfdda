#pragma once
// The process-wide table behind HANDLE values. Handle numbers are never
// reused, so a stale handle fails with ERROR_INVALID_HANDLE instead of
// reaching a newer object.

#include "platform/WinApi.h"

#include <memory>
#include <vector>

namespace platform::detail {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Runs once, when the handle is closed. The object itself lives on while a
    // call that looked it up earlier is still running.
    virtual void OnHandleClosed() {}
};

HANDLE RegisterHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE h);

template <class T>
std::shared_ptr<T> LookupAs(HANDLE h)
{
    return std::dynamic_pointer_cast<T>(LookupHandle(h));
}

}  // namespace platform::detail
