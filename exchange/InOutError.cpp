#include "exchange/InOutError.h"

#include "platform/WinApi.h"

#include <cerrno>
#include <system_error>

namespace exchange {

namespace {

bool IsFullDisk(int err)
{
    if (err == static_cast<int>(std::errc::no_space_on_device) || err == static_cast<int>(std::errc::file_too_large))
        return true;
#ifdef EDQUOT
    if (err == EDQUOT) return true;
#endif
    return false;
}

bool IsRefused(int err)
{
    return err == static_cast<int>(std::errc::permission_denied) ||
           err == static_cast<int>(std::errc::operation_not_permitted) ||
           err == static_cast<int>(std::errc::read_only_file_system);
}

}  // namespace

std::string InOutErrorMessage(int errorCode)
{
    switch (errorCode) {
    case kErrorDiskFull:
    case kErrorHandleDiskFull: return "Zu wenig Speicherplatz";
    case kErrorAccessDenied: return "Dateizugriff verweigert";
    default: return "E/A-Fehler " + std::to_string(errorCode);
    }
}

EInOutError::EInOutError(int errorCode) : std::runtime_error(InOutErrorMessage(errorCode)), ErrorCode(errorCode) {}

EInOutError EInOutError::FromErrno(int err)
{
    if (IsFullDisk(err)) return EInOutError(kErrorDiskFull);
    if (IsRefused(err)) return EInOutError(kErrorAccessDenied);
    const auto code = static_cast<int>(platform::ErrnoToWinError(err));
    return EInOutError(code != 0 ? code : static_cast<int>(platform::ERROR_GEN_FAILURE));
}

}  // namespace exchange
