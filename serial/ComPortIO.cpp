// Operations on an open port: queue counts and purges, overlapped reads and
// writes, modem lines and line errors.

#include "serial/CPort.h"

using namespace platform;

namespace {

// Frees an operation's record on every path out of WriteText / ReadText.
class AsyncRecord {
public:
    AsyncRecord() : record_(NewAsyncRecord()) {}
    ~AsyncRecord() { FreeAsyncRecord(record_); }
    AsyncRecord(const AsyncRecord&) = delete;
    AsyncRecord& operator=(const AsyncRecord&) = delete;
    PAsync Get() const { return record_; }

private:
    PAsync record_;
};

std::int32_t FailureCode(TComAsyncKind kind)
{
    return kind == akWrite ? ComErrorCode::WriteFailed : ComErrorCode::ReadFailed;
}

}  // namespace

std::int32_t TComPort::BytesWaiting()
{
    DWORD errors = 0;
    COMSTAT stat;
    if (!ClearCommError(FHandle, &errors, &stat)) RaiseFailure(ComErrorCode::ClearErrorFailed);
    return static_cast<std::int32_t>(stat.cbInQue);
}

void TComPort::PurgeQueues(bool Input, bool Output)
{
    DWORD flags = 0;
    if (Input) flags |= PURGE_RXCLEAR;
    if (Output) flags |= PURGE_TXCLEAR;
    if (!PurgeComm(FHandle, flags)) RaiseFailure(ComErrorCode::PurgeFailed);
}

void TComPort::AbortPending()
{
    if (!PurgeComm(FHandle, PURGE_TXABORT | PURGE_RXABORT)) RaiseFailure(ComErrorCode::PurgeFailed);
}

std::int32_t TComPort::WriteText(const std::string& Data)
{
    AsyncRecord record;
    WriteTextAsync(Data, record.Get());
    return AwaitAsync(record.Get());
}

std::int32_t TComPort::ReadText(std::string& Data, std::int32_t Count)
{
    AsyncRecord record;
    ReadTextAsync(Data, Count, record.Get());
    const std::int32_t read = AwaitAsync(record.Get());
    Data.resize(static_cast<std::size_t>(read));
    return read;
}

std::int32_t TComPort::WriteTextAsync(const std::string& Data, PAsync AsyncPtr)
{
    if (!AsyncPtr) throw EComPort(ComErrorCode::InvalidAsync);
    AsyncPtr->Kind = akWrite;
    DWORD written = 0;
    if (!WriteFile(FHandle, Data.data(), static_cast<DWORD>(Data.size()), &written, &AsyncPtr->Overlapped) &&
        GetLastError() != ERROR_IO_PENDING)
        RaiseFailure(ComErrorCode::WriteFailed);
    return static_cast<std::int32_t>(written);
}

std::int32_t TComPort::ReadTextAsync(std::string& Data, std::int32_t Count, PAsync AsyncPtr)
{
    if (!AsyncPtr) throw EComPort(ComErrorCode::InvalidAsync);
    AsyncPtr->Kind = akRead;
    // A negative count would make the platform write past the buffer.
    const std::size_t size = Count > 0 ? static_cast<std::size_t>(Count) : 0;
    Data.resize(size);
    DWORD read = 0;
    if (!ReadFile(FHandle, Data.data(), static_cast<DWORD>(size), &read, &AsyncPtr->Overlapped) &&
        GetLastError() != ERROR_IO_PENDING)
        RaiseFailure(ComErrorCode::ReadFailed);
    return static_cast<std::int32_t>(read);
}

std::int32_t TComPort::AwaitAsync(PAsync AsyncPtr)
{
    if (!AsyncPtr) throw EComPort(ComErrorCode::InvalidAsync);
    DWORD transferred = 0;
    if (WaitForSingleObject(AsyncPtr->Overlapped.hEvent, INFINITE) != WAIT_OBJECT_0 ||
        !GetOverlappedResult(FHandle, &AsyncPtr->Overlapped, &transferred, false))
        RaiseFailure(FailureCode(AsyncPtr->Kind));
    return static_cast<std::int32_t>(transferred);
}

TModemSignals TComPort::ModemSignals()
{
    DWORD status = 0;
    if (!GetCommModemStatus(FHandle, &status)) RaiseFailure(ComErrorCode::ModemStatusFailed);
    TModemSignals signals;
    if (status & MS_CTS_ON) signals.Include(msCTS);
    if (status & MS_DSR_ON) signals.Include(msDSR);
    if (status & MS_RING_ON) signals.Include(msRing);
    if (status & MS_RLSD_ON) signals.Include(msRLSD);
    return signals;
}

TComErrors TComPort::LineErrors()
{
    DWORD flags = 0;
    COMSTAT stat;
    if (!ClearCommError(FHandle, &flags, &stat)) RaiseFailure(ComErrorCode::ClearErrorFailed);
    TComErrors errors;
    if (flags & CE_FRAME) errors.Include(ceFrame);
    if ((flags & CE_RXPARITY) && FParity->Check()) errors.Include(ceRxParity);
    if (flags & CE_OVERRUN) errors.Include(ceOverrun);
    if (flags & CE_BREAK) errors.Include(ceBreak);
    if (flags & CE_IOE) errors.Include(ceIO);
    if (flags & CE_MODE) errors.Include(ceMode);
    if (flags & CE_RXOVER) errors.Include(ceRxOver);
    if (flags & CE_TXFULL) errors.Include(ceTxFull);
    return errors;
}
