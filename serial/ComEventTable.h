#pragma once
// The line events in delivery order, each with its event-mask bit and the
// port's dispatcher. When one completed wait reports several events they
// reach their handlers in this order.

#include <array>

#include "platform/WinApi.h"
#include "serial/ComTypes.h"

class TComPort;

struct ComEventRow {
    TEvent Event;
    platform::DWORD Bit;
    void (TComPort::*Dispatch)();
};

extern const std::array<ComEventRow, 10> ComEventsInDeliveryOrder;

// The event mask a set of events stands for.
platform::DWORD EventMaskOf(TEvents Events);

// Marks the calling thread as running a delivery of `port` for its lifetime,
// so that Close can refuse to wait for the very delivery it is called from.
class ComDeliveryScope {
public:
    explicit ComDeliveryScope(const TComPort& port);
    ~ComDeliveryScope();
    ComDeliveryScope(const ComDeliveryScope&) = delete;
    ComDeliveryScope& operator=(const ComDeliveryScope&) = delete;

    static bool IsDelivering(const TComPort& port);
};
