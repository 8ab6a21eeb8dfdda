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

#include <string>
#include <string_view>

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

// Windows' own texts (UTF-16) as the platform interfaces carry them (UTF-8).
inline std::string Utf8(std::wstring_view text)
{
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(std::size_t(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), result.data(), size, nullptr, nullptr);
    return result;
}

}  // namespace platform::win32
