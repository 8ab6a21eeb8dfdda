#pragma once
// The rows of every loss test: how the port's driver reports a removed
// device. 0 is the emulation's kind default; the others are strict losses
// with the code a USB-serial driver on Windows gives (tooling/testing/StrictLoss.h).

#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

inline constexpr platform::DWORD kStrictLossCodes[] = {
    platform::ERROR_INVALID_FUNCTION, platform::ERROR_FILE_NOT_FOUND, platform::ERROR_ACCESS_DENIED,
    platform::ERROR_INVALID_HANDLE,   platform::ERROR_NOT_READY,      platform::ERROR_BAD_COMMAND,
    platform::ERROR_GEN_FAILURE,      platform::ERROR_SEM_TIMEOUT,    platform::ERROR_DEVICE_NOT_CONNECTED,
    platform::ERROR_DEVICE_REMOVED,
};
inline constexpr platform::DWORD kLossCodes[] = {
    0,
    platform::ERROR_INVALID_FUNCTION,
    platform::ERROR_FILE_NOT_FOUND,
    platform::ERROR_ACCESS_DENIED,
    platform::ERROR_INVALID_HANDLE,
    platform::ERROR_NOT_READY,
    platform::ERROR_BAD_COMMAND,
    platform::ERROR_GEN_FAILURE,
    platform::ERROR_SEM_TIMEOUT,
    platform::ERROR_DEVICE_NOT_CONNECTED,
    platform::ERROR_DEVICE_REMOVED,
};

// The code calls on the lost device fail with in that row.
inline platform::DWORD RefusalOf(platform::DWORD lossCode)
{
    return lossCode == 0 ? platform::ERROR_BAD_COMMAND : lossCode;
}

inline std::string LossCodeName(const ::testing::TestParamInfo<platform::DWORD>& info)
{
    return info.param == 0 ? "Kind" : "Code" + std::to_string(info.param);
}

}  // namespace testsupport
