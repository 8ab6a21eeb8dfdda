#include "serial/PortFailure.h"

#include "platform/WinApi.h"

using namespace platform;

namespace {

bool OneOf(std::int32_t code, std::initializer_list<DWORD> codes)
{
    for (const DWORD c : codes)
        if (code == static_cast<std::int32_t>(c)) return true;
    return false;
}

}  // namespace

TPortFailure ClassifyPortFailure(std::int32_t Code, std::int32_t WinCode)
{
    if (Code == ComErrorCode::OpenFailed) {
        if (OneOf(WinCode, {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION})) return TPortFailure::pfInUseOrRefused;
        if (OneOf(WinCode,
                  {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_DEVICE_NOT_CONNECTED, ERROR_DEVICE_REMOVED}))
            return TPortFailure::pfNoSuchDevice;
        return TPortFailure::pfOther;
    }
    if (OneOf(WinCode, {ERROR_INVALID_FUNCTION, ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE,
                        ERROR_NOT_READY, ERROR_BAD_COMMAND, ERROR_GEN_FAILURE, ERROR_SEM_TIMEOUT,
                        ERROR_OPERATION_ABORTED, ERROR_DEVICE_NOT_CONNECTED, ERROR_DEVICE_REMOVED}))
        return TPortFailure::pfDeviceGone;
    return TPortFailure::pfOther;
}

TPortFailure ClassifyPortFailure(const EComPort& Error)
{
    return ClassifyPortFailure(Error.Code, Error.WinCode);
}
