#include "serial/ComSettings.h"
#include "serial/StoreChanged.h"

#include "serial/CPort.h"

using serial::detail::Store;

// ---- TComParity ---------------------------------------------------------------------
void TComParity::CopyTo(TPersistent& Dest) const
{
    auto* d = dynamic_cast<TComParity*>(&Dest);
    if (!d) return TPersistent::AssignTo(Dest);
    d->FBits = FBits;
    d->FCheck = FCheck;
    d->FReplace = FReplace;
    d->FReplaceChar = FReplaceChar;
}

void TComParity::Changed()
{
    if (FComPort) FComPort->ApplyLineSettings();
}

// clang-format off
void TComParity::SetBits(TParityBits Value) { if (Store(FBits, Value)) Changed(); }
void TComParity::SetCheck(bool Value) { if (Store(FCheck, Value)) Changed(); }
void TComParity::SetReplace(bool Value) { if (Store(FReplace, Value)) Changed(); }
void TComParity::SetReplaceChar(std::uint8_t Value) { if (Store(FReplaceChar, Value)) Changed(); }
// clang-format on

// ---- TComFlowControl --------------------------------------------------------------
void TComFlowControl::CopyTo(TPersistent& Dest) const
{
    auto* d = dynamic_cast<TComFlowControl*>(&Dest);
    if (!d) return TPersistent::AssignTo(Dest);
    d->FOutCTSFlow = FOutCTSFlow;
    d->FOutDSRFlow = FOutDSRFlow;
    d->FControlDTR = FControlDTR;
    d->FControlRTS = FControlRTS;
    d->FXonXoffOut = FXonXoffOut;
    d->FXonXoffIn = FXonXoffIn;
    d->FDSRSensitivity = FDSRSensitivity;
    d->FTxContinueOnXoff = FTxContinueOnXoff;
    d->FXonChar = FXonChar;
    d->FXoffChar = FXoffChar;
}

void TComFlowControl::Changed()
{
    if (FComPort) FComPort->ApplyLineSettings();
}

// clang-format off
void TComFlowControl::SetOutCTSFlow(bool Value) { if (Store(FOutCTSFlow, Value)) Changed(); }
void TComFlowControl::SetOutDSRFlow(bool Value) { if (Store(FOutDSRFlow, Value)) Changed(); }
void TComFlowControl::SetControlDTR(TDTRFlowControl Value) { if (Store(FControlDTR, Value)) Changed(); }
void TComFlowControl::SetControlRTS(TRTSFlowControl Value) { if (Store(FControlRTS, Value)) Changed(); }
void TComFlowControl::SetXonXoffOut(bool Value) { if (Store(FXonXoffOut, Value)) Changed(); }
void TComFlowControl::SetXonXoffIn(bool Value) { if (Store(FXonXoffIn, Value)) Changed(); }
void TComFlowControl::SetDSRSensitivity(bool Value) { if (Store(FDSRSensitivity, Value)) Changed(); }
void TComFlowControl::SetTxContinueOnXoff(bool Value) { if (Store(FTxContinueOnXoff, Value)) Changed(); }
void TComFlowControl::SetXonChar(std::uint8_t Value) { if (Store(FXonChar, Value)) Changed(); }
void TComFlowControl::SetXoffChar(std::uint8_t Value) { if (Store(FXoffChar, Value)) Changed(); }
// clang-format on

// ---- TComTimeouts -------------------------------------------------------------------
void TComTimeouts::CopyTo(TPersistent& Dest) const
{
    auto* d = dynamic_cast<TComTimeouts*>(&Dest);
    if (!d) return TPersistent::AssignTo(Dest);
    d->FReadInterval = FReadInterval;
    d->FReadTotalMultiplier = FReadTotalMultiplier;
    d->FReadTotalConstant = FReadTotalConstant;
    d->FWriteTotalMultiplier = FWriteTotalMultiplier;
    d->FWriteTotalConstant = FWriteTotalConstant;
}

void TComTimeouts::Changed()
{
    if (FComPort) FComPort->ApplyTimeouts();
}

// clang-format off
void TComTimeouts::SetReadInterval(std::int32_t Value) { if (Store(FReadInterval, Value)) Changed(); }
void TComTimeouts::SetReadTotalMultiplier(std::int32_t Value) { if (Store(FReadTotalMultiplier, Value)) Changed(); }
void TComTimeouts::SetReadTotalConstant(std::int32_t Value) { if (Store(FReadTotalConstant, Value)) Changed(); }
void TComTimeouts::SetWriteTotalMultiplier(std::int32_t Value) { if (Store(FWriteTotalMultiplier, Value)) Changed(); }
void TComTimeouts::SetWriteTotalConstant(std::int32_t Value) { if (Store(FWriteTotalConstant, Value)) Changed(); }
// clang-format on

// ---- TComBuffer -----------------------------------------------------------------------
void TComBuffer::CopyTo(TPersistent& Dest) const
{
    auto* d = dynamic_cast<TComBuffer*>(&Dest);
    if (!d) return TPersistent::AssignTo(Dest);
    d->FInputSize = FInputSize;
    d->FOutputSize = FOutputSize;
}

void TComBuffer::Changed()
{
    if (FComPort) FComPort->ApplyBufferSizes();
}

// clang-format off
void TComBuffer::SetInputSize(std::uint32_t Value) { if (Store(FInputSize, Value)) Changed(); }
void TComBuffer::SetOutputSize(std::uint32_t Value) { if (Store(FOutputSize, Value)) Changed(); }
// clang-format on
