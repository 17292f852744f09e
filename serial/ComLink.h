// TComLink: a client's set of notices that a port calls while it runs.
// The client owns the link and registers it with the port; a notice that is
// not set is skipped.
#pragma once

#include <cstdint>
#include <functional>

namespace kmp {

class TCustomComPort;

struct TComLink {
    using OnOffNotice = std::function<void(TCustomComPort* Port, bool OnOff)>;
    using BlockNotice =
        std::function<void(TCustomComPort* Port, const std::uint8_t* Data, int Count)>;
    using PortNotice = std::function<void(TCustomComPort* Port)>;

    OnOffNotice ConnectionNotice;
    BlockNotice ReceivedBlockNotice;
    BlockNotice SentBlockNotice;
    PortNotice TxEmptyNotice;
    PortNotice RxFlagNotice;
    OnOffNotice CTSNotice;
    OnOffNotice DSRNotice;
    OnOffNotice RLSDNotice;
    PortNotice RingNotice;
    OnOffNotice TxActivityNotice;
    OnOffNotice RxActivityNotice;
};

}  // namespace kmp
