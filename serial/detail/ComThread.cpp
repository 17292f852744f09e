#include "ComThread.h"

#include "ComDevice.h"
#include "ComError.h"
#include "ComEvents.h"
#include "ComPort.h"
#include "EventWindow.h"
#include "HandOver.h"
#include "SerialTrace.h"

#include <cstdio>

namespace kmp {

TComThread::TComThread(TCustomComPort& port, ComDevice& device, EventWindow* window)
    : port_(port),
      device_(device),
      window_(window),
      syncMethod_(port.SyncMethod()),
      opening_(port.openings_),
      handOver_(std::make_shared<HandOver>()),
      receiver_(new HandOverReceiver(handOver_)) {
    if (window_) window_->Attach(handOver_);
    try {
        if (!stopSignal_.Valid()) throw DeviceError(stopSignal_.Error());
        const std::uint32_t mask = EventMask(port.Events());
        device_.SetEventMask(mask);
        TraceSerial([mask] {
            char text[32];
            std::snprintf(text, sizeof text, "event mask 0x%03x", mask);
            return std::string(text);
        });
    } catch (const DeviceError& e) {
        delete receiver_;
        throw EComPort(CError_OpenFailed, e.Error());
    }
    thread_ = std::thread([this] { Run(); });
}

TComThread::~TComThread() {
    if (thread_.joinable()) StopAndWait();
    // A reaction that closed the port still runs inside the receiver's slot.
    if (receiver_->Running())
        receiver_->deleteLater();
    else
        delete receiver_;
}

void TComThread::StopAndWait() {
    if (!thread_.joinable()) return;
    stopSignal_.Wake();
    handOver_->WaitForEnd([this] {
        if (window_) window_->DeliverQueued();
    });
    thread_.join();
}

void TComThread::Run() {
    // A device that is gone ends the wait, or a reaction that read from it.
    bool lost = false;
    try {
        for (;;) {
            const std::uint32_t mask = device_.WaitEvent(stopSignal_.Fd());
            if (mask == 0) break;
            const TComEvents pending = EventsOfMask(mask);
            if (!pending.Empty()) DeliverEvents(pending);
        }
    } catch (const DeviceError& e) {
        lost = DeviceIsGone(e.Error());
    } catch (const EComPort& e) {
        // An error that escaped a reaction: the line is lost only when the
        // device itself says so, not on a reaction's word alone.
        lost = DeviceIsGone(e.SystemError()) && DeviceFailed();
    } catch (...) {
        // A failed wait or an error that escaped a reaction ends the thread
        // without being shown; a device that is gone is reported as a lost
        // line, on the port's thread.
    }
    if (lost) {
        handOver_->Post(receiver_,
                        [port = &port_, opening = opening_] { port->ReactToLineLost(opening); });
    }
    try {
        device_.SetEventMask(0);
        // A background write still running keeps its bytes (a reaction's
        // error ended the thread).
        device_.Purge(port_.writing_ ? PURGE_RXCLEAR : PURGE_TXCLEAR | PURGE_RXCLEAR);
    } catch (const DeviceError&) {
        // The device is gone; Close will tell.
    }
    handOver_->MarkEnded();
}

bool TComThread::DeviceFailed() {
    try {
        device_.CheckLine();
        return false;
    } catch (const DeviceError& e) {
        return DeviceIsGone(e.Error());
    }
}

void TComThread::DeliverEvents(TComEvents pending) {
    switch (syncMethod_) {
    case smThreadSync:
        handOver_->RunOnMainThread(receiver_,
                                   [this, pending] { port_.RunEventReactions(pending); });
        break;
    case smWindowSync:
        for (const auto& e : kComEventOrder) {
            if (!pending.Contains(e.event)) continue;
            handOver_->SendToWindow(static_cast<int>(e.flag), [this] { window_->Post(); });
        }
        break;
    case smNone: port_.RunEventReactions(pending); break;
    }
}

}  // namespace kmp
