#pragma once
// The Windows API beside the platform interfaces of the same names. The
// interfaces come first: <windows.h> defines their constants as macros and
// maps CreateFile, CreateEvent, SendMessage and DefWindowProc to the A/W
// variants, which would rename the functions this layer defines.

#include "platform/MainThread.h"
#include "platform/WinApi.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CreateFile
#undef CreateEvent
#undef SendMessage
#undef DefWindowProc

namespace platform::win32 {

inline ::HANDLE Native(HANDLE h)
{
    return reinterpret_cast<::HANDLE>(h);
}
inline HANDLE Portable(::HANDLE h)
{
    return reinterpret_cast<HANDLE>(h);
}

}  // namespace platform::win32
