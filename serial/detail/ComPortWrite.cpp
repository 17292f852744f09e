// The port's background write and the report of a lost line.
#include <QMetaObject>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "BackgroundWrite.h"
#include "ComPort.h"
#include "SerialTrace.h"

namespace kmp {

void TCustomComPort::WriteInBackground(std::vector<std::uint8_t> data,
                                       std::function<void(const WriteOutcome&)> done) {
    if (!device_ || closing_) throw EComPort(CError_WriteFailed, EBADF);
    if (write_) throw EComPort(CError_WriteFailed, EBUSY);
    const int total = static_cast<int>(data.size());
    if (!writeEnded_.Valid()) throw EComPort(CError_WriteFailed, writeEnded_.Error());
    if (!writeWatch_) {
        // The port's thread finishes a write once its worker has ended.
        writeWatch_ = new QSocketNotifier(writeEnded_.Fd(), QSocketNotifier::Read, this);
        connect(writeWatch_, &QSocketNotifier::activated, this, [this] {
            writeEnded_.Drain();
            if (write_ && write_->Ended()) FinishBackgroundWrite(WriteFinish::ended);
        });
    }
    write_ = std::make_unique<BackgroundWrite>(*device_, std::move(data), writeEnded_);
    writeDone_ = std::move(done);
    writing_ = true;
    lastWrite_ = WriteStatus{};
    lastWrite_.Total = total;
    NotifyLinks(&TComLink::TxActivityNotice, true);
}

void TCustomComPort::CancelWrite() {
    if (write_) write_->Cancel();
}

WriteStatus TCustomComPort::WriteProgress() {
    if (!write_ || !device_) return lastWrite_;
    WriteStatus status;
    status.Running = true;
    status.Total = static_cast<int>(write_->Data().size());
    const std::size_t handedOver = write_->HandedOver();
    std::size_t queued = 0;
    try {
        queued = device_->OutputQueue();
        if (flowControl_.OutCTSFlow()) NoteCTS(device_->ModemStatus() & MS_CTS_ON);
    } catch (const DeviceError&) {
        // A device that is gone: its worker fails and reports the write.
    }
    status.Written = static_cast<int>(handedOver - std::min(handedOver, queued));
    status.Held = ctsOff_ && flowControl_.OutCTSFlow();
    if (status.Held) status.HeldSince = std::max(ctsOffSince_, write_->Started());
    return status;
}

// The first sight of CTS off, from the CTS events and the progress readings.
void TCustomComPort::NoteCTS(bool on) {
    if (!on && !ctsOff_) ctsOffSince_ = WriteStatus::Clock::now();
    ctsOff_ = !on;
}

void TCustomComPort::FinishBackgroundWrite(WriteFinish why) {
    std::unique_ptr<BackgroundWrite> write = std::move(write_);
    auto done = std::move(writeDone_);
    writeDone_ = nullptr;
    if (why != WriteFinish::ended) write->Cancel();
    write->Join();
    writing_ = false;
    WriteOutcome outcome;
    outcome.Total = static_cast<int>(write->Data().size());
    outcome.Written = static_cast<int>(write->Written());
    if (const std::exception_ptr error = write->Error()) {
        outcome.End = weFailed;
        try {
            std::rethrow_exception(error);
        } catch (const DeviceError& e) {
            outcome.Error = std::make_exception_ptr(EComPort(CError_WriteFailed, e.Error()));
        } catch (...) {
            outcome.Error = error;
        }
    } else if (why == WriteFinish::lineLost) {
        outcome.End = weFailed;
        outcome.Error = std::make_exception_ptr(EComPort(CError_WriteFailed, EIO));
    } else if (outcome.Written == outcome.Total) {
        outcome.End = weCompleted;
    } else {
        outcome.End = write->CancelRequested() ? weCancelled : weTimedOut;
    }
    if (outcome.End == weFailed) outcome.Written = SurelyTaken(*write);
    TraceSerial([&] {
        static constexpr const char* kEnds[] = {"completed", "timed out", "cancelled", "failed"};
        return std::string("write ") + kEnds[outcome.End] + ": " + std::to_string(outcome.Written) +
               " of " + std::to_string(outcome.Total) + " bytes";
    });
    lastWrite_.Running = false;
    lastWrite_.Written = outcome.Written;
    if (outcome.End != weFailed) {
        const int sent = outcome.End == weCancelled ? outcome.Written : outcome.Total;
        if (sent > 0) NotifyLinks(&TComLink::SentBlockNotice, write->Data().data(), sent);
    }
    write.reset();
    // Closing or lost: the next Open pushes every setting anyway.
    if (why == WriteFinish::ended) RunHeldBackPushes();
    heldBackPushes_ = 0;
    if (!done) return;
    try {
        done(outcome);
    } catch (const std::exception& error) {
        if (ShowException) ShowException(error);
    }
}

// The bytes of a failed write that the device surely took: those handed
// over, less those it still held when last asked (all of them, when it can
// no longer be asked). A failure leaves at least the last byte unconfirmed,
// so the count never says the whole write went out.
int TCustomComPort::SurelyTaken(const BackgroundWrite& write) {
    const std::size_t handedOver = write.HandedOver();
    std::size_t queued = 0;
    try {
        if (device_) queued = device_->OutputQueue();
    } catch (const DeviceError&) {
        queued = 0;  // a device that is gone holds nothing any more
    }
    const std::size_t taken = handedOver - std::min(handedOver, queued);
    const std::size_t total = write.Data().size();
    return static_cast<int>(std::min(taken, total > 0 ? total - 1 : 0));
}

bool TCustomComPort::HoldBackPush(unsigned push) {
    if (!write_) return false;
    heldBackPushes_ |= push;
    return true;
}

void TCustomComPort::RunHeldBackPushes() {
    const unsigned pushes = std::exchange(heldBackPushes_, 0);
    try {
        if (pushes & kPushQueues) PushQueueSizes();
        if (pushes & kPushLine) PushLineSettings();
        if (pushes & kPushTimeouts) PushTimeouts();
    } catch (const std::exception& error) {
        if (ShowException) ShowException(error);
    }
}

void TCustomComPort::ReactToLineLost(std::uint64_t opening) {
    // A line closed (or opened again) meanwhile is not the one that was lost.
    if (!connected_ || closing_ || opening != openings_) return;
    TraceSerial([this] { return "line lost: " + port_; });
    if (write_) FinishBackgroundWrite(WriteFinish::lineLost);
    if (!connected_) return;  // `done` closed the port
    try {
        DoLineLost();
    } catch (const std::exception& error) {
        if (ShowException) ShowException(error);
    }
}

}  // namespace kmp
