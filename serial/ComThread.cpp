#include "ComThread.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

#include "ComDevice.h"
#include "ComError.h"
#include "ComPort.h"
#include "EventWindow.h"
#include "HandOver.h"

namespace kmp {

namespace {

struct EventFlag {
    TComEvent event;
    std::uint32_t flag;
};

constexpr EventFlag kEventFlags[] = {
    {evRxChar, EV_RXCHAR}, {evTxEmpty, EV_TXEMPTY},   {evRxFlag, EV_RXFLAG}, {evRing, EV_RING},
    {evBreak, EV_BREAK},   {evCTS, EV_CTS},           {evDSR, EV_DSR},       {evError, EV_ERR},
    {evRLSD, EV_RLSD},     {evRx80Full, EV_RX80FULL},
};

// The order of the window messages of one batch, with their codes.
constexpr EventFlag kWindowOrder[] = {
    {evError, 128}, {evRxChar, 1}, {evTxEmpty, 4}, {evBreak, 64}, {evRing, 256},
    {evCTS, 8},     {evDSR, 16},   {evRxFlag, 2},  {evRLSD, 32},  {evRx80Full, 1024},
};

}  // namespace

std::uint32_t EventMask(TComEvents events) {
    std::uint32_t mask = 0;
    for (const auto& e : kEventFlags)
        if (events.Contains(e.event)) mask |= e.flag;
    return mask;
}

TComEvents EventsOfMask(std::uint32_t mask) {
    TComEvents events;
    for (const auto& e : kEventFlags)
        if (mask & e.flag) events.Include(e.event);
    return events;
}

TComThread::TComThread(TCustomComPort& port, ComDevice& device, EventWindow* window)
    : port_(port),
      device_(device),
      window_(window),
      syncMethod_(port.SyncMethod()),
      handOver_(std::make_shared<HandOver>()),
      receiver_(new HandOverReceiver(handOver_)) {
    if (window_) window_->Attach(handOver_);
    stopSignal_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopSignal_ < 0) throw EComPort(CError_OpenFailed, errno);
    try {
        device_.SetEventMask(EventMask(port.Events()));
    } catch (const DeviceError& e) {
        close(stopSignal_);
        delete receiver_;
        throw EComPort(CError_OpenFailed, e.Error());
    }
    thread_ = std::thread([this] { Run(); });
}

TComThread::~TComThread() {
    if (thread_.joinable()) StopAndWait();
    close(stopSignal_);
    // A reaction that closed the port still runs inside the receiver's slot.
    if (receiver_->Running())
        receiver_->deleteLater();
    else
        delete receiver_;
}

void TComThread::StopAndWait() {
    if (!thread_.joinable()) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(stopSignal_, &one, sizeof one);
    handOver_->WaitForEnd([this] {
        if (window_) window_->DeliverQueued();
    });
    thread_.join();
}

bool TComThread::WaitForQueuedHandOver(int timeoutMs) {
    return handOver_->WaitUntilQueued(std::chrono::milliseconds(timeoutMs));
}

void TComThread::Run() {
    try {
        for (;;) {
            const std::uint32_t mask = device_.WaitEvent(stopSignal_);
            if (mask == 0) break;
            const TComEvents pending = EventsOfMask(mask);
            if (!pending.Empty()) DeliverEvents(pending);
        }
    } catch (...) {
        // A failed wait or an error that escaped a reaction ends the thread
        // without being shown.
    }
    try {
        device_.SetEventMask(0);
        device_.Purge(PURGE_TXCLEAR | PURGE_RXCLEAR);
    } catch (const DeviceError&) {
        // The device is gone; Close will tell.
    }
    handOver_->MarkEnded();
}

void TComThread::DeliverEvents(TComEvents pending) {
    switch (syncMethod_) {
    case smThreadSync:
        handOver_->RunOnMainThread(receiver_,
                                   [this, pending] { port_.RunEventReactions(pending); });
        break;
    case smWindowSync:
        for (const auto& e : kWindowOrder) {
            if (!pending.Contains(e.event)) continue;
            handOver_->SendToWindow(static_cast<int>(e.flag), [this] { window_->Post(); });
        }
        break;
    case smNone: port_.RunEventReactions(pending); break;
    }
}

}  // namespace kmp
