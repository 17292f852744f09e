// Enumerations and small sets of the serial port component, and the pace of
// the controller's line.
// The order of every enumeration is fixed: the ordinal is the position from 0.
#pragma once

#include <chrono>

#include <cstdint>
#include <initializer_list>

namespace kmp {

enum TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
// One byte at 300 baud with a start bit, 8 data bits and 2 stop bits: the
// pace of the controller's line, 11/300 s.
inline constexpr std::chrono::nanoseconds kLineByteTime{11'000'000'000LL / 300};

enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TSyncMethod { smThreadSync, smWindowSync, smNone };
enum TComEvent {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full
};
enum TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
enum TModemLine { mlCTS, mlDSR, mlRing, mlRLSD };

// A set over one of the enumerations above, bit n for ordinal n.
template <typename E>
class EnumSet {
public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> values) {
        for (E v : values) Include(v);
    }
    static constexpr EnumSet FromBits(std::uint32_t bits) {
        EnumSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr bool Contains(E v) const { return (bits_ >> v) & 1u; }
    constexpr void Include(E v) { bits_ |= 1u << v; }
    constexpr void Exclude(E v) { bits_ &= ~(1u << v); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr bool operator==(const EnumSet&) const = default;

private:
    std::uint32_t bits_ = 0;
};

using TComEvents = EnumSet<TComEvent>;
using TComErrors = EnumSet<TComError>;
// The input lines: CTS, DSR, Ring, RLSD as bits 0 to 3.
using ModemLines = EnumSet<TModemLine>;

inline constexpr TComEvents kAllComEvents = TComEvents::FromBits(0x3FF);

}  // namespace kmp
