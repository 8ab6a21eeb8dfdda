// The port list's tool-tips on Windows: the name Device Manager shows, read
// through the device installer, and the driver's device name where there is
// none. A fresh wine prefix lists \Device\Serial0 = COM1 and keeps no device
// of the Ports class; the test adds one as an adapter's driver would.

#include "platform/PortFolder.h"
#include "platform/SerialCommMap.h"
#include "portlist/ComAvailable.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// initguid.h first: devguid.h then defines the class GUIDs.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <optional>

namespace {

std::optional<platform::SerialPortInfo> Listed(const std::string& comName)
{
    for (const auto& port : platform::ListSerialPorts())
        if (port.comName == comName) return port;
    return std::nullopt;
}

// A device of the Ports class with a friendly name and a "PortName", removed
// again at the end of the test.
class TPortsDevice {
public:
    TPortsDevice(const wchar_t* friendlyName, const wchar_t* portName)
    {
        set_ = ::SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
        device_.cbSize = sizeof device_;
        created_ = ::SetupDiCreateDeviceInfoW(set_, L"PORTS", &GUID_DEVCLASS_PORTS, L"Test adapter", nullptr,
                                              DICD_GENERATE_ID, &device_) &&
                   ::SetupDiRegisterDeviceInfo(set_, &device_, 0, nullptr, nullptr, nullptr);
        if (!created_) return;
        created_ = ::SetupDiSetDeviceRegistryPropertyW(set_, &device_, SPDRP_FRIENDLYNAME,
                                                       reinterpret_cast<const BYTE*>(friendlyName),
                                                       ::DWORD((std::wcslen(friendlyName) + 1) * sizeof(wchar_t)));
        const HKEY key = ::SetupDiCreateDevRegKeyW(set_, &device_, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
        created_ = created_ && key != reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE) &&
                   ::RegSetValueExW(key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(portName),
                                    ::DWORD((std::wcslen(portName) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
        if (key != reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE)) ::RegCloseKey(key);
    }
    ~TPortsDevice()
    {
        ::SetupDiRemoveDevice(set_, &device_);
        ::SetupDiDestroyDeviceInfoList(set_);
    }
    bool Created() const { return created_; }

private:
    HDEVINFO set_;
    SP_DEVINFO_DATA device_{};
    bool created_ = false;
};

TEST(PortNamesOnWindows, WithoutAFriendlyNameTheDriverDeviceNameIsShown)
{
    const auto com1 = Listed("COM1");
    ASSERT_TRUE(com1) << "wine lists no COM1 in HARDWARE\\DEVICEMAP\\SERIALCOMM";
    EXPECT_EQ(com1->devicePath, "\\Device\\Serial0");
    EXPECT_EQ(com1->friendlyName, "");
    EXPECT_EQ(ComPortDescriptions({"COM1"}, platform::ListSerialPorts()), QStringList{"COM1: \\Device\\Serial0"});
}

TEST(PortNamesOnWindows, TheFriendlyNameOfThePortsClassIsShown)
{
    {
        // As a German Windows names a CDC adapter, "com1" in the driver's own case.
        const TPortsDevice adapter(L"Serielles USB-Ger\u00e4t (COM1)", L"com1");
        ASSERT_TRUE(adapter.Created()) << "error " << ::GetLastError();
        // A device of a port that the device map does not list adds no port.
        const TPortsDevice elsewhere(L"USB Serial Port (COM42)", L"COM42");
        ASSERT_TRUE(elsewhere.Created()) << "error " << ::GetLastError();

        const auto com1 = Listed("COM1");
        ASSERT_TRUE(com1);
        EXPECT_EQ(com1->devicePath, "\\Device\\Serial0");
        EXPECT_EQ(com1->friendlyName, "Serielles USB-Ger\xC3\xA4t (COM1)");
        EXPECT_EQ(ComPortDescriptions({"com1"}, platform::ListSerialPorts()),
                  QStringList{QString::fromUtf8("Serielles USB-Ger\xC3\xA4t (COM1)")});
        EXPECT_FALSE(Listed("COM42"));
        EXPECT_EQ(platform::ListSerialPorts().size(), platform::ReadSerialCommMap().size());
    }
    // Once the adapter's device is gone, the driver's name again.
    EXPECT_EQ(ComPortDescriptions({"COM1"}, platform::ListSerialPorts()), QStringList{"COM1: \\Device\\Serial0"});
}

}  // namespace
