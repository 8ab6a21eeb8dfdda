#include "exchange/InOutError.h"

#include "platform/WinApi.h"

namespace exchange {

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
    const auto code = static_cast<int>(platform::ErrnoToWinError(err));
    return EInOutError(code != 0 ? code : static_cast<int>(platform::ERROR_GEN_FAILURE));
}

}  // namespace exchange
