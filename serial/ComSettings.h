#pragma once
// The four settings objects a port owns. Each setter stores a changed value
// and, when the object belongs to a port, has the port apply that group
// (a no-op while the port is closed). Setting the value already held does
// nothing. CopyFrom/CopyTo copy plain values between objects of the same
// class and never apply; other classes fail with the persistence base's error.

#include <cstdint>

#include "serial/ComTypes.h"
#include "serial/Persistent.h"

class TComPort;

class TComParity : public TPersistent {
public:
    explicit TComParity(TComPort* AComPort = nullptr) : FComPort(AComPort) {}
    std::string ClassName() const override { return "TComParity"; }

    void CopyFrom(const TPersistent& Source) { Assign(Source); }
    void CopyTo(TPersistent& Dest) const;

    TParityBits Bits() const { return FBits; }
    void SetBits(TParityBits Value);
    bool Check() const { return FCheck; }
    void SetCheck(bool Value);
    bool Replace() const { return FReplace; }
    void SetReplace(bool Value);
    std::uint8_t ReplaceChar() const { return FReplaceChar; }
    void SetReplaceChar(std::uint8_t Value);

protected:
    void AssignTo(TPersistent& Dest) const override { CopyTo(Dest); }

private:
    void Changed();

    TComPort* FComPort;  // not owned
    TParityBits FBits = prNone;
    bool FCheck = false;
    bool FReplace = false;
    std::uint8_t FReplaceChar = 0;
};

class TComFlowControl : public TPersistent {
public:
    explicit TComFlowControl(TComPort* AComPort = nullptr) : FComPort(AComPort) {}
    std::string ClassName() const override { return "TComFlowControl"; }

    void CopyFrom(const TPersistent& Source) { Assign(Source); }
    void CopyTo(TPersistent& Dest) const;

    bool OutCTSFlow() const { return FOutCTSFlow; }
    void SetOutCTSFlow(bool Value);
    bool OutDSRFlow() const { return FOutDSRFlow; }
    void SetOutDSRFlow(bool Value);
    TDTRFlowControl ControlDTR() const { return FControlDTR; }
    void SetControlDTR(TDTRFlowControl Value);
    TRTSFlowControl ControlRTS() const { return FControlRTS; }
    void SetControlRTS(TRTSFlowControl Value);
    bool XonXoffOut() const { return FXonXoffOut; }
    void SetXonXoffOut(bool Value);
    bool XonXoffIn() const { return FXonXoffIn; }
    void SetXonXoffIn(bool Value);
    bool DSRSensitivity() const { return FDSRSensitivity; }
    void SetDSRSensitivity(bool Value);
    bool TxContinueOnXoff() const { return FTxContinueOnXoff; }
    void SetTxContinueOnXoff(bool Value);
    std::uint8_t XonChar() const { return FXonChar; }
    void SetXonChar(std::uint8_t Value);
    std::uint8_t XoffChar() const { return FXoffChar; }
    void SetXoffChar(std::uint8_t Value);

protected:
    void AssignTo(TPersistent& Dest) const override { CopyTo(Dest); }

private:
    void Changed();

    TComPort* FComPort;  // not owned
    bool FOutCTSFlow = false;
    bool FOutDSRFlow = false;
    TDTRFlowControl FControlDTR = dtrDisable;
    TRTSFlowControl FControlRTS = rtsDisable;
    bool FXonXoffOut = false;
    bool FXonXoffIn = false;
    bool FDSRSensitivity = false;
    bool FTxContinueOnXoff = false;
    std::uint8_t FXonChar = 17;
    std::uint8_t FXoffChar = 19;
};

// Milliseconds (the multipliers: milliseconds per byte). -1 in ReadInterval
// reaches the platform as the all-ones value: reads return at once.
class TComTimeouts : public TPersistent {
public:
    explicit TComTimeouts(TComPort* AComPort = nullptr) : FComPort(AComPort) {}
    std::string ClassName() const override { return "TComTimeouts"; }

    void CopyFrom(const TPersistent& Source) { Assign(Source); }
    void CopyTo(TPersistent& Dest) const;

    std::int32_t ReadInterval() const { return FReadInterval; }
    void SetReadInterval(std::int32_t Value);
    std::int32_t ReadTotalMultiplier() const { return FReadTotalMultiplier; }
    void SetReadTotalMultiplier(std::int32_t Value);
    std::int32_t ReadTotalConstant() const { return FReadTotalConstant; }
    void SetReadTotalConstant(std::int32_t Value);
    std::int32_t WriteTotalMultiplier() const { return FWriteTotalMultiplier; }
    void SetWriteTotalMultiplier(std::int32_t Value);
    std::int32_t WriteTotalConstant() const { return FWriteTotalConstant; }
    void SetWriteTotalConstant(std::int32_t Value);

protected:
    void AssignTo(TPersistent& Dest) const override { CopyTo(Dest); }

private:
    void Changed();

    TComPort* FComPort;  // not owned
    std::int32_t FReadInterval = -1;
    std::int32_t FReadTotalMultiplier = 0;
    std::int32_t FReadTotalConstant = 0;
    std::int32_t FWriteTotalMultiplier = 100;
    std::int32_t FWriteTotalConstant = 1000;
};

// The driver's queue sizes in bytes. InputSize also yields the Xon/Xoff
// limits (a quarter of it) when the line settings are next applied.
class TComBuffer : public TPersistent {
public:
    explicit TComBuffer(TComPort* AComPort = nullptr) : FComPort(AComPort) {}
    std::string ClassName() const override { return "TComBuffer"; }

    void CopyFrom(const TPersistent& Source) { Assign(Source); }
    void CopyTo(TPersistent& Dest) const;

    std::uint32_t InputSize() const { return FInputSize; }
    void SetInputSize(std::uint32_t Value);
    std::uint32_t OutputSize() const { return FOutputSize; }
    void SetOutputSize(std::uint32_t Value);

protected:
    void AssignTo(TPersistent& Dest) const override { CopyTo(Dest); }

private:
    void Changed();

    TComPort* FComPort;  // not owned
    std::uint32_t FInputSize = 1024;
    std::uint32_t FOutputSize = 1024;
};
