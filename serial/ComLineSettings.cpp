// Putting the settings into force on an open device: the device control
// block, the time-out record and the queue sizes.

#include "serial/CPort.h"

using namespace platform;

std::uint32_t BaudRateValue(TBaudRate rate)
{
    static constexpr std::uint32_t Rates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                              19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return Rates[rate];
}

DCB TComPort::BuildDCB() const
{
    static constexpr BYTE ByteSizes[] = {5, 6, 7, 8};
    DCB dcb;
    dcb.BaudRate = BaudRateValue(FBaudRate);
    dcb.ByteSize = ByteSizes[FDataBits];
    dcb.Parity = static_cast<BYTE>(FParity->Bits());
    dcb.StopBits = static_cast<BYTE>(FStopBits);
    dcb.XonLim = static_cast<WORD>(FBuffer->InputSize() >> 2);
    dcb.XoffLim = dcb.XonLim;
    dcb.XonChar = FFlowControl->XonChar();
    dcb.XoffChar = FFlowControl->XoffChar();
    dcb.EvtChar = FEventChar;
    dcb.fBinary = true;
    dcb.fParity = FParity->Check();
    dcb.fOutxCtsFlow = FFlowControl->OutCTSFlow();
    dcb.fOutxDsrFlow = FFlowControl->OutDSRFlow();
    dcb.fDtrControl = static_cast<BYTE>(FFlowControl->ControlDTR());
    dcb.fDsrSensitivity = FFlowControl->DSRSensitivity();
    dcb.fTXContinueOnXoff = FFlowControl->TxContinueOnXoff();
    dcb.fOutX = FFlowControl->XonXoffOut();
    dcb.fInX = FFlowControl->XonXoffIn();
    dcb.fErrorChar = FParity->Check() && FParity->Replace();
    if (dcb.fErrorChar) dcb.ErrorChar = FParity->ReplaceChar();
    dcb.fNull = FDiscardNull;
    dcb.fRtsControl = static_cast<BYTE>(FFlowControl->ControlRTS());
    dcb.fAbortOnError = false;
    return dcb;
}

void TComPort::ApplyLineSettings()
{
    if (!FConnected) return;
    if (!SetCommState(FHandle, BuildDCB())) RaiseFailure(ComErrorCode::SetStateFailed);
}

void TComPort::ApplyTimeouts()
{
    if (!FConnected) return;
    COMMTIMEOUTS t;
    // Passed on as 32-bit patterns: -1 becomes MAXDWORD.
    t.ReadIntervalTimeout = static_cast<DWORD>(FTimeouts->ReadInterval());
    t.ReadTotalTimeoutMultiplier = static_cast<DWORD>(FTimeouts->ReadTotalMultiplier());
    t.ReadTotalTimeoutConstant = static_cast<DWORD>(FTimeouts->ReadTotalConstant());
    t.WriteTotalTimeoutMultiplier = static_cast<DWORD>(FTimeouts->WriteTotalMultiplier());
    t.WriteTotalTimeoutConstant = static_cast<DWORD>(FTimeouts->WriteTotalConstant());
    if (!SetCommTimeouts(FHandle, t)) RaiseFailure(ComErrorCode::TimeoutsFailed);
}

void TComPort::ApplyBufferSizes()
{
    if (!FConnected) return;
    if (!SetupComm(FHandle, FBuffer->InputSize(), FBuffer->OutputSize())) RaiseFailure(ComErrorCode::SetupFailed);
}
