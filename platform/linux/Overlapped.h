#pragma once
// Reading and writing an OVERLAPPED record across threads. The completing
// thread fills the byte count and outputs first and then publishes the status
// with release; readers load the status with acquire and may then read the
// rest. Internal is ERROR_IO_PENDING while the operation runs, then its final
// Windows error code (0 for success).

#include "platform/WinApi.h"

#include <atomic>

namespace platform::detail {

inline std::atomic_ref<std::uintptr_t> StatusWord(const OVERLAPPED& ov)
{
    return std::atomic_ref<std::uintptr_t>(const_cast<OVERLAPPED&>(ov).Internal);
}

inline void MarkPending(OVERLAPPED& ov)
{
    ov.InternalHigh = 0;
    StatusWord(ov).store(ERROR_IO_PENDING, std::memory_order_relaxed);
}

inline void Publish(OVERLAPPED& ov, DWORD status, DWORD count)
{
    ov.InternalHigh = count;
    StatusWord(ov).store(status, std::memory_order_release);
}

inline DWORD StatusOf(const OVERLAPPED& ov)
{
    return static_cast<DWORD>(StatusWord(ov).load(std::memory_order_acquire));
}

}  // namespace platform::detail
