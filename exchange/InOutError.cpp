#include "exchange/InOutError.h"

#include "platform/WinApi.h"

namespace exchange {

std::string InOutErrorMessage(int errorCode)
{
    switch (errorCode) {
    case platform::ERROR_DISK_FULL:
    case platform::ERROR_HANDLE_DISK_FULL: return "Zu wenig Speicherplatz";
    case platform::ERROR_ACCESS_DENIED: return "Dateizugriff verweigert";
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
