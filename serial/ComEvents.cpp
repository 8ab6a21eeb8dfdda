// From line events to handlers: the event table, the port's dispatchers and
// the hidden window's method.

#include "serial/ComEventTable.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "serial/CPort.h"

using namespace platform;

namespace {
thread_local std::vector<const TComPort*> tDelivering;
}

ComDeliveryScope::ComDeliveryScope(const TComPort& port)
{
    tDelivering.push_back(&port);
}

ComDeliveryScope::~ComDeliveryScope()
{
    tDelivering.pop_back();
}

bool ComDeliveryScope::IsDelivering(const TComPort& port)
{
    return std::find(tDelivering.begin(), tDelivering.end(), &port) != tDelivering.end();
}

const std::array<ComEventRow, 10> ComEventsInDeliveryOrder = {{
    {evRxChar, EV_RXCHAR, &TComPort::DoRxChar},
    {evTxEmpty, EV_TXEMPTY, &TComPort::DoTxEmpty},
    {evBreak, EV_BREAK, &TComPort::DoBreak},
    {evRing, EV_RING, &TComPort::DoRing},
    {evCTS, EV_CTS, &TComPort::DoCTSChange},
    {evDSR, EV_DSR, &TComPort::DoDSRChange},
    {evRxFlag, EV_RXFLAG, &TComPort::DoRxFlag},
    {evRLSD, EV_RLSD, &TComPort::DoRLSDChange},
    {evError, EV_ERR, &TComPort::DoError},
    {evRx80Full, EV_RX80FULL, &TComPort::DoRx80Full},
}};

DWORD EventMaskOf(TEvents Events)
{
    DWORD mask = 0;
    for (const auto& row : ComEventsInDeliveryOrder)
        if (Events.Contains(row.Event)) mask |= row.Bit;
    return mask;
}

LRESULT TComPort::WindowMethod(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == CM_COMFAILURE) {
        // Raised here, on the main thread, it reaches the error display as a
        // handler's exception does. A port being closed has nothing to report.
        std::optional<EComPort> failure;
        if (FEventThread) failure = FEventThread->TakeReportedFailure();
        if (!failure || FClosing) return 0;
        failure->Port = FPortNum;  // named here: the thread never reads the port's settings
        throw *failure;
    }
    if (Msg != CM_COMEVENT) return DefWindowProc(Wnd, Msg, WParam, LParam);
    ComDeliveryScope delivering(*this);
    for (const auto& row : ComEventsInDeliveryOrder) {
        if (row.Bit == WParam) {
            (this->*row.Dispatch)();
            break;
        }
    }
    return 0;
}

void TComPort::DoRxChar()
{
    if (FOnRxChar) FOnRxChar(this, BytesWaiting());
}

void TComPort::DoTxEmpty()
{
    if (FOnTxEmpty) FOnTxEmpty(this);
}

void TComPort::DoBreak()
{
    if (FOnBreak) FOnBreak(this);
}

void TComPort::DoRing()
{
    if (FOnRing) FOnRing(this);
}

void TComPort::DoCTSChange()
{
    if (FOnCTSChange) FOnCTSChange(this, ModemSignals().Contains(msCTS));
}

void TComPort::DoDSRChange()
{
    if (FOnDSRChange) FOnDSRChange(this, ModemSignals().Contains(msDSR));
}

void TComPort::DoRxFlag()
{
    if (FOnRxFlag) FOnRxFlag(this);
}

void TComPort::DoRLSDChange()
{
    if (FOnRLSDChange) FOnRLSDChange(this, ModemSignals().Contains(msRLSD));
}

void TComPort::DoError()
{
    if (FOnError) FOnError(this, LineErrors());
}

void TComPort::DoRx80Full()
{
    if (FOnRx80Full) FOnRx80Full(this);
}
