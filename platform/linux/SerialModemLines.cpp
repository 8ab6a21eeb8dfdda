// Modem lines of a serial device, from whichever source it has.

#include "platform/linux/SerialDevice.h"

namespace platform::detail {

DWORD SerialDevice::ModemStatus(DWORD* status)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    if (gone_) return ERROR_BAD_COMMAND;
    DWORD bits = 0;
    if (const DWORD code = lines_->Status(bits)) return code;
    if (status) *status = bits;
    return ERROR_SUCCESS;
}

void SerialDevice::ApplyLineChange(const LineChange& change)
{
    if (change.errors) RecordError(change.errors);
    Raise(change.events);
}

}  // namespace platform::detail
