// The ten line events with their EV_ flag, in the fixed order in which the
// reactions of one batch run and the window messages of one batch are sent.
// The flag is also the code of the event's window message.
#pragma once

#include <cstdint>

#include "ComDevice.h"
#include "ComTypes.h"

namespace kmp {

struct ComEventFlag {
    TComEvent event;
    std::uint32_t flag;
};

inline constexpr ComEventFlag kComEventOrder[] = {
    {evError, EV_ERR}, {evRxChar, EV_RXCHAR},     {evTxEmpty, EV_TXEMPTY}, {evBreak, EV_BREAK},
    {evRing, EV_RING}, {evCTS, EV_CTS},           {evDSR, EV_DSR},         {evRxFlag, EV_RXFLAG},
    {evRLSD, EV_RLSD}, {evRx80Full, EV_RX80FULL},
};

// The EV_ mask of an event set.
constexpr std::uint32_t EventMask(TComEvents events) {
    std::uint32_t mask = 0;
    for (const auto& e : kComEventOrder)
        if (events.Contains(e.event)) mask |= e.flag;
    return mask;
}

// The events of an EV_ mask; other bits are ignored.
constexpr TComEvents EventsOfMask(std::uint32_t mask) {
    TComEvents events;
    for (const auto& e : kComEventOrder)
        if (mask & e.flag) events.Include(e.event);
    return events;
}

}  // namespace kmp
