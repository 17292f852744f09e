// The port's reactions to line events, run by the event delivery.
#include <vector>

#include "ComPort.h"

namespace kmp {

namespace {

// The fixed order in which the reactions of one batch run.
constexpr TComEvent kReactionOrder[] = {evError, evRxChar, evTxEmpty, evBreak, evRing,
                                        evCTS,   evDSR,    evRxFlag,  evRLSD,  evRx80Full};

}  // namespace

void TCustomComPort::RunEventReactions(TComEvents events) {
    for (TComEvent event : kReactionOrder)
        if (events.Contains(event)) ReactTo(event);
}

void TCustomComPort::ReactTo(TComEvent event) {
    switch (event) {
    case evRxChar: ReactToRxChar(); break;
    case evCTS:
    case evDSR:
    case evRLSD: ReactToLineChange(event); break;
    case evError: {
        const TComErrors errors = TakeLineErrors();
        if (!errors.Empty()) DoError(errors);
        break;
    }
    case evRing:
        NotifyLinks(&TComLink::RingNotice);
        DoRing();
        break;
    case evTxEmpty:
        NotifyLinks(&TComLink::TxActivityNotice, false);
        NotifyLinks(&TComLink::TxEmptyNotice);
        DoTxEmpty();
        break;
    case evRxFlag:
        NotifyLinks(&TComLink::RxFlagNotice);
        DoRxFlag();
        break;
    case evBreak: DoBreak(); break;
    case evRx80Full: DoRx80Full(); break;
    }
}

void TCustomComPort::ReactToLineChange(TComEvent event) {
    const ModemLines lines = ReadModemLines();
    if (event == evCTS) {
        const bool on = lines.Contains(mlCTS);
        NotifyLinks(&TComLink::CTSNotice, on);
        DoCTSChange(on);
    } else if (event == evDSR) {
        const bool on = lines.Contains(mlDSR);
        NotifyLinks(&TComLink::DSRNotice, on);
        DoDSRChange(on);
    } else {
        const bool on = lines.Contains(mlRLSD);
        NotifyLinks(&TComLink::RLSDNotice, on);
        DoRLSDChange(on);
    }
}

void TCustomComPort::ReactToRxChar() {
    int count = BytesWaiting();
    if (count > 0) NotifyLinks(&TComLink::RxActivityNotice, true);
    if (count > 0 && hasBlockReader_) {
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(count));
        std::string text;
        const int read = ReadString(text, count);
        buffer.assign(text.begin(), text.begin() + read);
        DoRxBuf(buffer.data(), read);
        NotifyLinks(&TComLink::ReceivedBlockNotice, static_cast<const std::uint8_t*>(buffer.data()),
                    read);
        count = 0;
    }
    if (count > 0) DoRxChar(count);
}

void TCustomComPort::DoRxChar(int Count) {
    if (OnRxChar) OnRxChar(this, Count);
}

void TCustomComPort::DoRxBuf(const std::uint8_t* Buffer, int Count) {
    if (OnRxBuf) OnRxBuf(this, Buffer, Count);
}

void TCustomComPort::DoError(TComErrors Errors) {
    if (OnError) OnError(this, Errors);
}

}  // namespace kmp
