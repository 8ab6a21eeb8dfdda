#include "platform/win32/PortFriendlyNames.h"

#include "platform/ComName.h"

#include "platform/win32/Win32.h"

// initguid.h first: devguid.h then defines the class GUIDs instead of only
// declaring them.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <cwchar>

namespace platform::win32 {

namespace {

// A registry text may or may not end in its terminator.
std::wstring TextOf(const std::wstring& buffer, ::DWORD bytes)
{
    std::wstring text = buffer.substr(0, std::min<std::size_t>(bytes / sizeof(wchar_t), buffer.size()));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

std::wstring FriendlyName(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    std::wstring buffer(256, L'\0');
    ::DWORD type = 0, bytes = 0;
    if (!::SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, &type,
                                             reinterpret_cast<BYTE*>(buffer.data()),
                                             ::DWORD(buffer.size() * sizeof(wchar_t)), &bytes)) {
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        if (!::SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, &type,
                                                 reinterpret_cast<BYTE*>(buffer.data()),
                                                 ::DWORD(buffer.size() * sizeof(wchar_t)), &bytes))
            return {};
    }
    return type == REG_SZ ? TextOf(buffer, bytes) : std::wstring();
}

// The "PortName" value of the device's hardware key: the COM name it has now.
std::wstring PortName(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    const HKEY key = ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == reinterpret_cast<HKEY>(-1)) return {};  // INVALID_HANDLE_VALUE
    std::wstring buffer(64, L'\0');
    ::DWORD type = 0, bytes = ::DWORD(buffer.size() * sizeof(wchar_t));
    const LSTATUS status =
        ::RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? TextOf(buffer, bytes) : std::wstring();
}

}  // namespace

std::map<int, std::string> FriendlyPortNames()
{
    std::map<int, std::string> names;
    const HDEVINFO devices = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == reinterpret_cast<HDEVINFO>(-1)) return names;  // INVALID_HANDLE_VALUE
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (::DWORD i = 0; ::SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const auto port = ParseComName(Utf8(PortName(devices, device)));
        const std::wstring friendly = FriendlyName(devices, device);
        if (port && !friendly.empty()) names.emplace(*port, Utf8(friendly));
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    return names;
}

}  // namespace platform::win32
