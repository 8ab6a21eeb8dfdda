#pragma once
// Serial communications, events and waits with the semantics of the Windows
// API they are named after. The serial component above is written against
// this interface only; the Linux implementation lives in platform/linux/, and a
// Windows build can implement the same functions with the real calls.
//
// Every function that can fail returns false (or INVALID_HANDLE_VALUE /
// WAIT_FAILED) and leaves a Windows error code for GetLastError on the calling
// thread, so " (win error code: %d)" means the same on every platform.

#include <cstdint>
#include <string>

namespace platform {

using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using HANDLE = std::intptr_t;  // an entry of the process-wide handle table
inline constexpr HANDLE INVALID_HANDLE_VALUE = -1;

// ---- error codes ---------------------------------------------------------
enum : DWORD {
    ERROR_SUCCESS = 0,
    ERROR_INVALID_FUNCTION = 1,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_PATH_NOT_FOUND = 3,
    ERROR_TOO_MANY_OPEN_FILES = 4,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_NOT_READY = 21,
    ERROR_BAD_COMMAND = 22,
    ERROR_GEN_FAILURE = 31,
    ERROR_SHARING_VIOLATION = 32,
    ERROR_HANDLE_DISK_FULL = 39,
    ERROR_NOT_SUPPORTED = 50,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_DISK_FULL = 112,
    ERROR_SEM_TIMEOUT = 121,
    ERROR_OPERATION_ABORTED = 995,
    ERROR_IO_INCOMPLETE = 996,
    ERROR_IO_PENDING = 997,
    ERROR_DEVICE_NOT_CONNECTED = 1167,
    ERROR_NOT_FOUND = 1168,
    ERROR_DEVICE_REMOVED = 1617,
};

DWORD GetLastError();
void SetLastError(DWORD code);
// The one mapping from an errno value to the Windows code reported for it.
DWORD ErrnoToWinError(int err);

// ---- device control block --------------------------------------------------
enum : BYTE { NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4 };
enum : BYTE { ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2 };
enum : BYTE { DTR_CONTROL_DISABLE = 0, DTR_CONTROL_ENABLE = 1, DTR_CONTROL_HANDSHAKE = 2 };
enum : BYTE { RTS_CONTROL_DISABLE = 0, RTS_CONTROL_ENABLE = 1, RTS_CONTROL_HANDSHAKE = 2, RTS_CONTROL_TOGGLE = 3 };

struct DCB {
    DWORD BaudRate = 0;
    bool fBinary = false;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    BYTE fDtrControl = DTR_CONTROL_DISABLE;
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fOutX = false;
    bool fInX = false;
    bool fErrorChar = false;
    bool fNull = false;
    BYTE fRtsControl = RTS_CONTROL_DISABLE;
    bool fAbortOnError = false;  // not supported: SetCommState refuses true
    WORD XonLim = 0;
    WORD XoffLim = 0;
    BYTE ByteSize = 8;
    BYTE Parity = NOPARITY;
    BYTE StopBits = ONESTOPBIT;
    BYTE XonChar = 0;
    BYTE XoffChar = 0;
    BYTE ErrorChar = 0;
    BYTE EofChar = 0;
    BYTE EvtChar = 0;

    bool operator==(const DCB&) const = default;
};

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout = 0;
    DWORD ReadTotalTimeoutMultiplier = 0;
    DWORD ReadTotalTimeoutConstant = 0;
    DWORD WriteTotalTimeoutMultiplier = 0;
    DWORD WriteTotalTimeoutConstant = 0;

    bool operator==(const COMMTIMEOUTS&) const = default;
};
inline constexpr DWORD MAXDWORD = 0xFFFFFFFFu;

struct COMSTAT {
    DWORD cbInQue = 0;
    DWORD cbOutQue = 0;
};

// Line events (SetCommMask / WaitCommEvent)
enum : DWORD {
    EV_RXCHAR = 0x0001,
    EV_RXFLAG = 0x0002,
    EV_TXEMPTY = 0x0004,
    EV_CTS = 0x0008,
    EV_DSR = 0x0010,
    EV_RLSD = 0x0020,
    EV_BREAK = 0x0040,
    EV_ERR = 0x0080,
    EV_RING = 0x0100,
    EV_RX80FULL = 0x0400,
};

// Line error flags (ClearCommError)
enum : DWORD {
    CE_RXOVER = 0x0001,
    CE_OVERRUN = 0x0002,
    CE_RXPARITY = 0x0004,
    CE_FRAME = 0x0008,
    CE_BREAK = 0x0010,
    CE_TXFULL = 0x0100,
    CE_IOE = 0x0400,
    CE_MODE = 0x8000,
};

// PurgeComm flags
enum : DWORD {
    PURGE_TXABORT = 0x0001,
    PURGE_RXABORT = 0x0002,
    PURGE_TXCLEAR = 0x0004,
    PURGE_RXCLEAR = 0x0008,
};

// GetCommModemStatus bits
enum : DWORD {
    MS_CTS_ON = 0x0010,
    MS_DSR_ON = 0x0020,
    MS_RING_ON = 0x0040,
    MS_RLSD_ON = 0x0080,
};

// Record of one overlapped operation. The caller keeps it (and the output
// variables it names) alive until the operation has completed.
struct OVERLAPPED {
    std::uintptr_t Internal = 0;      // status while pending / at completion
    std::uintptr_t InternalHigh = 0;  // byte count at completion
    DWORD Offset = 0;
    DWORD OffsetHigh = 0;
    HANDLE hEvent = 0;  // manual-reset event set at completion
};

// ---- serial devices ------------------------------------------------------------
// Overlapped calls (WaitCommEvent, ReadFile, WriteFile) first mark the record
// pending and reset its event, as the Windows I/O manager does. Then they
// either complete at once (true: record filled, event set, count stored), or
// return false with ERROR_IO_PENDING and complete later through the record,
// or fail with another code and leave the record pending with its event
// reset, so that a caller who waits on that event next blocks instead of
// spinning. Without a record (nullptr) a call fails with ERROR_NOT_SUPPORTED:
// every caller here is overlapped.
// Closing the event of a record whose operation is still pending abandons the
// operation: the record and its outputs are never written again.
//
// Time-outs follow the Windows driver, and a time-out is success with a short
// count. With ReadInterval MAXDWORD and both read totals 0 a read completes at
// once with what has been received, even nothing. "Written" means taken by
// the kernel; EV_TXEMPTY is raised when the last pending write has been taken.
//
// When the device goes away (USB unplug, pty hang-up) the handle stays open
// and keeps the COM name busy until it is closed. What holds on every system:
// each pending operation completes with an error (ERROR_OPERATION_ABORTED
// here; on Windows that or the driver's own code), and later calls may fail
// with a code that depends on the driver: ERROR_INVALID_FUNCTION,
// ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE,
// ERROR_NOT_READY, ERROR_BAD_COMMAND, ERROR_GEN_FAILURE, ERROR_SEM_TIMEOUT,
// ERROR_DEVICE_NOT_CONNECTED, ERROR_DEVICE_REMOVED or another. Any call may
// fail so, PurgeComm, SetCommMask and ClearCommError included; only
// CloseHandle is certain to succeed, and it may take its time. A driver may
// also never complete a pending wait, not even when the handle is closed. A wait for line events may also end with
// ERROR_OPERATION_ABORTED while the device is still there (wine does so on a
// pseudo-terminal), and a driver may hold a pending wait until CancelIoEx or
// CloseHandle although the mask changed.
// The Linux emulation by default is kinder: new calls that need the device
// fail with ERROR_BAD_COMMAND, ReadFile and ClearCommError go on until the
// bytes received before the loss have been read, and PurgeComm, SetCommMask
// and the getters still succeed. Tests can make it act out Windows' drivers
// instead (tooling/testing/StrictLoss.h).
//
// Every call is safe from any thread, also while another thread has a wait
// pending. CloseHandle completes every pending operation with
// ERROR_OPERATION_ABORTED before it returns.

// Opens a port by name ("COM3", any case), exclusively, for overlapped I/O,
// raw, with empty queues. ERROR_FILE_NOT_FOUND when nothing answers to the
// name (platform/PortFolder.h), ERROR_ACCESS_DENIED when the port is open.
HANDLE CreateFile(const std::string& portName);
bool CloseHandle(HANDLE h);

// inQueue is the capacity of the input queue (4096 before the first call; 0
// keeps it). A full queue drops bytes with CE_RXOVER, or, with RTS handshake
// or Xon/Xoff input flow, stops taking them so the kernel throttles the peer.
bool SetupComm(HANDLE h, DWORD inQueue, DWORD outQueue);
// Refuses with ERROR_INVALID_PARAMETER what Windows' serial driver refuses:
// ByteSize outside 5..8, 1.5 stop bits with other than 5 data bits, 2 stop
// bits with 5 data bits.
bool SetCommState(HANDLE h, const DCB& dcb);
bool GetCommState(HANDLE h, DCB& dcb);  // the block last set (a pty cannot be read back)
bool SetCommTimeouts(HANDLE h, const COMMTIMEOUTS& t);
bool GetCommTimeouts(HANDLE h, COMMTIMEOUTS& t);
bool SetCommMask(HANDLE h, DWORD mask);
bool GetCommMask(HANDLE h, DWORD& mask);
bool WaitCommEvent(HANDLE h, DWORD* eventMask, OVERLAPPED* ov);
// cbInQue counts exactly the bytes a read can take at once.
bool ClearCommError(HANDLE h, DWORD* errors, COMSTAT* stat);
// flags must name at least one of the four PURGE_* actions
// (ERROR_INVALID_PARAMETER otherwise, as on Windows).
bool PurgeComm(HANDLE h, DWORD flags);
bool GetCommModemStatus(HANDLE h, DWORD* status);
bool ReadFile(HANDLE h, void* buffer, DWORD count, DWORD* read, OVERLAPPED* ov);
bool WriteFile(HANDLE h, const void* buffer, DWORD count, DWORD* written, OVERLAPPED* ov);
// wait must be false (ERROR_NOT_SUPPORTED otherwise): callers wait on the
// record's event and then collect the result.
bool GetOverlappedResult(HANDLE h, OVERLAPPED* ov, DWORD* transferred, bool wait);
// Asks for the operation of that record to be cancelled, from any thread; it
// then completes with ERROR_OPERATION_ABORTED (a driver may take its time or,
// failing, complete it only when the handle is closed). The record must stay
// alive until it has completed. ERROR_NOT_FOUND when nothing is pending on it.
bool CancelIoEx(HANDLE h, OVERLAPPED* ov);

// ---- events and waits ------------------------------------------------------------
inline constexpr DWORD INFINITE = 0xFFFFFFFFu;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// Manual-reset events only: manualReset false fails with ERROR_NOT_SUPPORTED.
HANDLE CreateEvent(bool manualReset, bool initialState);
bool SetEvent(HANDLE h);
bool ResetEvent(HANDLE h);
DWORD WaitForSingleObject(HANDLE h, DWORD milliseconds);
// Waits until any one of the handles is signalled (waitAll is not supported);
// returns WAIT_OBJECT_0 + the lowest signalled index.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, bool waitAll, DWORD milliseconds);

}  // namespace platform
