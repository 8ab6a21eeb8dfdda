// The serial-device half of WinApi.h: handle checks, records and last-error
// codes around SerialDevice.

#include "platform/WinApi.h"
#include "platform/CommCallCount.h"
#include "platform/linux/Overlapped.h"
#include "platform/linux/SerialDevice.h"

#include <atomic>

namespace platform {

namespace detail {
namespace {
std::atomic<std::uint64_t> commCalls{0};
}

void CountCommCall()
{
    commCalls.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace detail

namespace {

using detail::SerialDevice;

std::shared_ptr<SerialDevice> Device(HANDLE h)
{
    detail::CountCommCall();
    return detail::LookupAs<SerialDevice>(h);
}

bool Result(DWORD code)
{
    if (code == ERROR_SUCCESS) return true;
    SetLastError(code);
    return false;
}

// Starts an overlapped operation. The record is marked pending and its event
// reset before anything else, as the Windows I/O manager does: a call that
// fails at once leaves the event unsignalled, so a caller that waits on it
// next blocks instead of spinning.
template <class Start>
bool RunOverlapped(HANDLE h, OVERLAPPED* ov, DWORD* transferred, Start start)
{
    if (transferred) *transferred = 0;
    const auto device = Device(h);
    if (ov == nullptr) return Result(ERROR_NOT_SUPPORTED);
    OVERLAPPED& record = *ov;
    std::shared_ptr<detail::EventObject> event;
    if (record.hEvent) {
        event = detail::LookupAs<detail::EventObject>(record.hEvent);
        if (!event) return Result(ERROR_INVALID_HANDLE);
    }
    detail::MarkPending(record);
    if (event) event->Reset();
    if (!device) return Result(ERROR_INVALID_HANDLE);

    const DWORD code = start(*device, record, event);
    if (code == ERROR_SUCCESS) {
        if (transferred) *transferred = static_cast<DWORD>(record.InternalHigh);
        return true;
    }
    return Result(code);
}

}  // namespace

std::uint64_t CommCallCount()
{
    return detail::commCalls.load(std::memory_order_relaxed);
}

HANDLE CreateFile(const std::string& portName)
{
    detail::CountCommCall();
    DWORD error = ERROR_SUCCESS;
    auto device = SerialDevice::Open(portName, &error);
    if (!device) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    return detail::RegisterHandle(std::move(device));
}

bool SetupComm(HANDLE h, DWORD inQueue, DWORD outQueue)
{
    const auto device = Device(h);
    return Result(device ? device->Setup(inQueue, outQueue) : ERROR_INVALID_HANDLE);
}

bool SetCommState(HANDLE h, const DCB& dcb)
{
    const auto device = Device(h);
    return Result(device ? device->SetState(dcb) : ERROR_INVALID_HANDLE);
}

bool GetCommState(HANDLE h, DCB& dcb)
{
    const auto device = Device(h);
    return Result(device ? device->GetState(dcb) : ERROR_INVALID_HANDLE);
}

bool SetCommTimeouts(HANDLE h, const COMMTIMEOUTS& t)
{
    const auto device = Device(h);
    return Result(device ? device->SetTimeouts(t) : ERROR_INVALID_HANDLE);
}

bool GetCommTimeouts(HANDLE h, COMMTIMEOUTS& t)
{
    const auto device = Device(h);
    return Result(device ? device->GetTimeouts(t) : ERROR_INVALID_HANDLE);
}

bool SetCommMask(HANDLE h, DWORD mask)
{
    const auto device = Device(h);
    return Result(device ? device->SetMask(mask) : ERROR_INVALID_HANDLE);
}

bool GetCommMask(HANDLE h, DWORD& mask)
{
    const auto device = Device(h);
    return Result(device ? device->GetMask(mask) : ERROR_INVALID_HANDLE);
}

bool ClearCommError(HANDLE h, DWORD* errors, COMSTAT* stat)
{
    const auto device = Device(h);
    return Result(device ? device->ClearErrors(errors, stat) : ERROR_INVALID_HANDLE);
}

bool PurgeComm(HANDLE h, DWORD flags)
{
    const auto device = Device(h);
    return Result(device ? device->Purge(flags) : ERROR_INVALID_HANDLE);
}

bool GetCommModemStatus(HANDLE h, DWORD* status)
{
    const auto device = Device(h);
    return Result(device ? device->ModemStatus(status) : ERROR_INVALID_HANDLE);
}

bool WaitCommEvent(HANDLE h, DWORD* eventMask, OVERLAPPED* ov)
{
    return RunOverlapped(h, ov, nullptr, [&](SerialDevice& d, OVERLAPPED& record, auto event) {
        return d.StartWait(eventMask, record, std::move(event));
    });
}

bool ReadFile(HANDLE h, void* buffer, DWORD count, DWORD* read, OVERLAPPED* ov)
{
    return RunOverlapped(h, ov, read, [&](SerialDevice& d, OVERLAPPED& record, auto event) {
        return d.StartRead(buffer, count, record, std::move(event));
    });
}

bool WriteFile(HANDLE h, const void* buffer, DWORD count, DWORD* written, OVERLAPPED* ov)
{
    return RunOverlapped(h, ov, written, [&](SerialDevice& d, OVERLAPPED& record, auto event) {
        return d.StartWrite(buffer, count, record, std::move(event));
    });
}

bool GetOverlappedResult(HANDLE /*h*/, OVERLAPPED* ov, DWORD* transferred, bool wait)
{
    detail::CountCommCall();
    if (ov == nullptr) return Result(ERROR_INVALID_PARAMETER);
    if (wait) return Result(ERROR_NOT_SUPPORTED);
    if (detail::StatusOf(*ov) == ERROR_IO_PENDING) return Result(ERROR_IO_INCOMPLETE);
    if (transferred) *transferred = static_cast<DWORD>(ov->InternalHigh);
    return Result(detail::StatusOf(*ov));
}

bool CancelIoEx(HANDLE h, OVERLAPPED* ov)
{
    const auto device = Device(h);
    if (!device) return Result(ERROR_INVALID_HANDLE);
    if (ov == nullptr) return Result(ERROR_NOT_SUPPORTED);  // cancelling all of a handle's I/O: never needed
    return Result(device->Cancel(*ov));
}

}  // namespace platform
