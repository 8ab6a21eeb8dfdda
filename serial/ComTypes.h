#pragma once
// Value types of the serial port component: the setting enumerations (their
// order is part of the stored configuration), the sets of events and errors,
// and the handler types.

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "serial/Persistent.h"

// clang-format off
enum TBaudRate {
    br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
    br19200, br38400, br56000, br57600, br115200, br128000, br256000
};
// clang-format on
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TEvent { evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full };
enum TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
enum TSyncMethod { smThreadSync, smWindowSync, smNone };
enum TComAsyncKind { akWrite, akRead };
// The modem input lines, in the bit order ModemSignals reports them.
enum TModemSignal { msCTS, msDSR, msRing, msRLSD };

// Bits per second that a TBaudRate stands for.
std::uint32_t BaudRateValue(TBaudRate rate);

// A set of enumeration values held in the bits of Storage (bit n for ordinal n).
template <typename E, typename Storage>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values)
    {
        for (E v : values) Include(v);
    }
    static constexpr TSet FromBits(Storage bits)
    {
        TSet s;
        s.bits_ = bits;
        return s;
    }

    constexpr Storage Bits() const { return bits_; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr TSet& Include(E v)
    {
        bits_ = static_cast<Storage>(bits_ | Bit(v));
        return *this;
    }
    constexpr TSet& Exclude(E v)
    {
        bits_ = static_cast<Storage>(bits_ & ~Bit(v));
        return *this;
    }
    friend constexpr TSet operator|(TSet a, TSet b) { return FromBits(static_cast<Storage>(a.bits_ | b.bits_)); }
    friend constexpr TSet operator&(TSet a, TSet b) { return FromBits(static_cast<Storage>(a.bits_ & b.bits_)); }
    friend constexpr bool operator==(TSet a, TSet b) { return a.bits_ == b.bits_; }

private:
    static constexpr Storage Bit(E v) { return static_cast<Storage>(Storage{1} << static_cast<unsigned>(v)); }
    Storage bits_ = 0;
};

using TEvents = TSet<TEvent, std::uint16_t>;
using TComErrors = TSet<TComError, std::uint8_t>;
using TModemSignals = TSet<TModemSignal, std::uint8_t>;

inline constexpr TEvents AllEvents = TEvents::FromBits(1023);

// Handlers receive the port as Sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TRxCharEvent = std::function<void(TObject* Sender, std::int32_t Count)>;
using TErrorEvent = std::function<void(TObject* Sender, TComErrors Errors)>;
using TSignalEvent = std::function<void(TObject* Sender, bool OnOff)>;
