// Events and waits: the Windows calls themselves.
#include "platform/win32/Win32.h"

namespace platform {

using win32::Native;
using win32::Portable;

HANDLE CreateEvent(bool manualReset, bool initialState)
{
    ::HANDLE h = ::CreateEventW(nullptr, manualReset, initialState, nullptr);
    return h ? Portable(h) : 0;
}

bool SetEvent(HANDLE h)
{
    return ::SetEvent(Native(h));
}

bool ResetEvent(HANDLE h)
{
    return ::ResetEvent(Native(h));
}

DWORD WaitForSingleObject(HANDLE h, DWORD milliseconds)
{
    return ::WaitForSingleObject(Native(h), milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, bool waitAll, DWORD milliseconds)
{
    ::HANDLE natives[MAXIMUM_WAIT_OBJECTS];
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    for (DWORD i = 0; i < count; ++i) natives[i] = Native(handles[i]);
    return ::WaitForMultipleObjects(count, natives, waitAll, milliseconds);
}

}  // namespace platform
