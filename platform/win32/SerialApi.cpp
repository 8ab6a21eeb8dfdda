// The serial calls of the platform interface on the real Windows API. The
// portable records have the layout of the Windows ones where the kernel
// writes into them (OVERLAPPED, the event mask, byte counts); the device
// control block and the queue status are converted.
#include "platform/win32/Win32.h"
#include "platform/CommCallCount.h"

#include <atomic>
#include <cstddef>

namespace platform {

using win32::Native;
using win32::Portable;

static_assert(sizeof(OVERLAPPED) == sizeof(::OVERLAPPED));
static_assert(offsetof(OVERLAPPED, Internal) == offsetof(::OVERLAPPED, Internal));
static_assert(offsetof(OVERLAPPED, InternalHigh) == offsetof(::OVERLAPPED, InternalHigh));
static_assert(offsetof(OVERLAPPED, hEvent) == offsetof(::OVERLAPPED, hEvent));
static_assert(sizeof(DWORD) == sizeof(::DWORD));

namespace {

std::atomic<std::uint64_t> commCalls{0};

void CountCall()
{
    commCalls.fetch_add(1, std::memory_order_relaxed);
}

::OVERLAPPED* NativeRecord(OVERLAPPED* ov)
{
    return reinterpret_cast<::OVERLAPPED*>(ov);
}
::DWORD* NativeCount(DWORD* count)
{
    return reinterpret_cast<::DWORD*>(count);
}

// A record starts pending with its event reset, so a caller who waits on the
// event after a failed start blocks instead of finding a stale signal.
void MarkPending(OVERLAPPED* ov)
{
    ov->Internal = static_cast<std::uintptr_t>(STATUS_PENDING);
    ov->InternalHigh = 0;
    if (ov->hEvent) ::ResetEvent(Native(ov->hEvent));
}

// The handle is opened for overlapped I/O, so a call without a record gets a
// record of its own and waits for it.
template <typename Start>
bool Overlapped(HANDLE h, OVERLAPPED* ov, DWORD* count, Start start)
{
    if (ov) {
        MarkPending(ov);
        return start(NativeRecord(ov));
    }
    ::OVERLAPPED own{};
    own.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!own.hEvent) return false;
    ::DWORD done = 0;
    bool ok = start(&own);
    if (!ok && ::GetLastError() == ERROR_IO_PENDING)
        ok = ::GetOverlappedResult(Native(h), &own, &done, TRUE);
    else if (ok)
        ::GetOverlappedResult(Native(h), &own, &done, FALSE);
    const ::DWORD error = ::GetLastError();
    ::CloseHandle(own.hEvent);
    if (count) *count = done;
    ::SetLastError(error);
    return ok;
}

}  // namespace

DWORD GetLastError()
{
    return ::GetLastError();
}
void SetLastError(DWORD code)
{
    ::SetLastError(code);
}
std::uint64_t CommCallCount()
{
    return commCalls.load(std::memory_order_relaxed);
}

HANDLE CreateFile(const std::string& portName)
{
    CountCall();
    // COM10 and above open only as device names; COM1 to COM9 open either way.
    const std::string path = portName.rfind("\\\\", 0) == 0 ? portName : "\\\\.\\" + portName;
    ::HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr);
    return Portable(h);
}

bool CloseHandle(HANDLE h)
{
    return ::CloseHandle(Native(h));
}

bool SetupComm(HANDLE h, DWORD inQueue, DWORD outQueue)
{
    CountCall();
    return ::SetupComm(Native(h), inQueue, outQueue);
}

bool SetCommState(HANDLE h, const DCB& d)
{
    CountCall();
    ::DCB n{};
    n.DCBlength = sizeof n;
    n.BaudRate = d.BaudRate;
    n.fBinary = d.fBinary;
    n.fParity = d.fParity;
    n.fOutxCtsFlow = d.fOutxCtsFlow;
    n.fOutxDsrFlow = d.fOutxDsrFlow;
    n.fDtrControl = d.fDtrControl;
    n.fDsrSensitivity = d.fDsrSensitivity;
    n.fTXContinueOnXoff = d.fTXContinueOnXoff;
    n.fOutX = d.fOutX;
    n.fInX = d.fInX;
    n.fErrorChar = d.fErrorChar;
    n.fNull = d.fNull;
    n.fRtsControl = d.fRtsControl;
    n.fAbortOnError = d.fAbortOnError;
    n.XonLim = d.XonLim;
    n.XoffLim = d.XoffLim;
    n.ByteSize = d.ByteSize;
    n.Parity = d.Parity;
    n.StopBits = d.StopBits;
    n.XonChar = static_cast<char>(d.XonChar);
    n.XoffChar = static_cast<char>(d.XoffChar);
    n.ErrorChar = static_cast<char>(d.ErrorChar);
    n.EofChar = static_cast<char>(d.EofChar);
    n.EvtChar = static_cast<char>(d.EvtChar);
    return ::SetCommState(Native(h), &n);
}

bool GetCommState(HANDLE h, DCB& d)
{
    CountCall();
    ::DCB n{};
    n.DCBlength = sizeof n;
    if (!::GetCommState(Native(h), &n)) return false;
    d.BaudRate = n.BaudRate;
    d.fBinary = n.fBinary;
    d.fParity = n.fParity;
    d.fOutxCtsFlow = n.fOutxCtsFlow;
    d.fOutxDsrFlow = n.fOutxDsrFlow;
    d.fDtrControl = static_cast<BYTE>(n.fDtrControl);
    d.fDsrSensitivity = n.fDsrSensitivity;
    d.fTXContinueOnXoff = n.fTXContinueOnXoff;
    d.fOutX = n.fOutX;
    d.fInX = n.fInX;
    d.fErrorChar = n.fErrorChar;
    d.fNull = n.fNull;
    d.fRtsControl = static_cast<BYTE>(n.fRtsControl);
    d.fAbortOnError = n.fAbortOnError;
    d.XonLim = n.XonLim;
    d.XoffLim = n.XoffLim;
    d.ByteSize = n.ByteSize;
    d.Parity = n.Parity;
    d.StopBits = n.StopBits;
    d.XonChar = static_cast<BYTE>(n.XonChar);
    d.XoffChar = static_cast<BYTE>(n.XoffChar);
    d.ErrorChar = static_cast<BYTE>(n.ErrorChar);
    d.EofChar = static_cast<BYTE>(n.EofChar);
    d.EvtChar = static_cast<BYTE>(n.EvtChar);
    return true;
}

bool SetCommTimeouts(HANDLE h, const COMMTIMEOUTS& t)
{
    CountCall();
    ::COMMTIMEOUTS n{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                     t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant};
    return ::SetCommTimeouts(Native(h), &n);
}

bool GetCommTimeouts(HANDLE h, COMMTIMEOUTS& t)
{
    CountCall();
    ::COMMTIMEOUTS n{};
    if (!::GetCommTimeouts(Native(h), &n)) return false;
    t = {n.ReadIntervalTimeout, n.ReadTotalTimeoutMultiplier, n.ReadTotalTimeoutConstant, n.WriteTotalTimeoutMultiplier,
         n.WriteTotalTimeoutConstant};
    return true;
}

bool SetCommMask(HANDLE h, DWORD mask)
{
    CountCall();
    return ::SetCommMask(Native(h), mask);
}

bool GetCommMask(HANDLE h, DWORD& mask)
{
    CountCall();
    return ::GetCommMask(Native(h), NativeCount(&mask));
}

bool WaitCommEvent(HANDLE h, DWORD* eventMask, OVERLAPPED* ov)
{
    CountCall();
    return Overlapped(h, ov, nullptr, [&](::OVERLAPPED* record) {
        return ::WaitCommEvent(Native(h), NativeCount(eventMask), record) != FALSE;
    });
}

bool ClearCommError(HANDLE h, DWORD* errors, COMSTAT* stat)
{
    CountCall();
    ::DWORD e = 0;
    ::COMSTAT s{};
    if (!::ClearCommError(Native(h), &e, &s)) return false;
    if (errors) *errors = e;
    if (stat) *stat = {s.cbInQue, s.cbOutQue};
    return true;
}

bool PurgeComm(HANDLE h, DWORD flags)
{
    CountCall();
    return ::PurgeComm(Native(h), flags);
}

bool GetCommModemStatus(HANDLE h, DWORD* status)
{
    CountCall();
    return ::GetCommModemStatus(Native(h), NativeCount(status));
}

bool ReadFile(HANDLE h, void* buffer, DWORD count, DWORD* read, OVERLAPPED* ov)
{
    CountCall();
    if (read) *read = 0;
    return Overlapped(h, ov, read, [&](::OVERLAPPED* record) {
        return ::ReadFile(Native(h), buffer, count, ov ? NativeCount(read) : nullptr, record) != FALSE;
    });
}

bool WriteFile(HANDLE h, const void* buffer, DWORD count, DWORD* written, OVERLAPPED* ov)
{
    CountCall();
    if (written) *written = 0;
    return Overlapped(h, ov, written, [&](::OVERLAPPED* record) {
        return ::WriteFile(Native(h), buffer, count, ov ? NativeCount(written) : nullptr, record) != FALSE;
    });
}

bool GetOverlappedResult(HANDLE h, OVERLAPPED* ov, DWORD* transferred, bool wait)
{
    ::DWORD done = 0;
    const bool ok = ::GetOverlappedResult(Native(h), NativeRecord(ov), &done, wait);
    if (transferred) *transferred = done;
    return ok;
}

bool CancelIoEx(HANDLE h, OVERLAPPED* ov)
{
    CountCall();
    return ::CancelIoEx(Native(h), NativeRecord(ov)) != FALSE;
}

}  // namespace platform
