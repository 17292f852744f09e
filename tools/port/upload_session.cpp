#include "upload_session.h"

#include "board_reply.h"
#include "printable_name.h"
#include "returned_bytes.h"
#include "upload_frame.h"
#include "run.h"
#include "upload_port.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace kmpc {

using kmp::SlovakSeconds;

UploadSession::UploadSession(kmp::TComPort& port, UploadRequest request, LogLine log)
    : port_(port), request_(std::move(request)), logLine_(std::move(log)), log_(*this) {
    kmp::DescribeComPort1(port_);
    timer_.setSingleShot(true);
    // A coarse timer may fire early, before the maximum time has passed.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &loop_, &QEventLoop::quit);
    port_.OnDSRChange = [this](QObject*, bool on) { OnDsrChange(on); };
    port_.OnRxChar = [this](QObject*, int) { OnRxChar(); };
}

int UploadSession::Run(const kmp::ProgramImage& image) {
    if (request_.maxTimeMs >= 0)
        deadline_ = Clock::now() + std::chrono::milliseconds(request_.maxTimeMs);
    try {
        return Transfer(image);
    } catch (const kmp::EComPort& error) {
        LogPortFailure(error);
        CloseQuietly();
        return kExitPortFailed;
    }
}

int UploadSession::Transfer(const kmp::ProgramImage& image) {
    kmp::ConnectPort(port_, request_.portName, request_.handshake);
    const bool dsrOn = WaitForDsr();
    if (stopStatus_) return EndAtStop();
    if (OutOfTime()) return EndAtMaxTime();
    if (!dsrOn) {
        port_.Close();
        return kExitPortFailed;
    }
    const bool wholeFrame = SendFrame(image);
    if (stopStatus_) return EndAtStop();
    // Without the write's end, only the maximum time can have ended its wait.
    if (OutOfTime() || !written_) return EndAtMaxTime();
    if (written_->End == kmp::weFailed) {
        CloseQuietly();
        return kExitPortFailed;
    }
    WaitForReplies();
    if (stopStatus_) return EndAtStop();
    if (!endSeen_ && !echo_.Complete() && OutOfTime()) return EndAtMaxTime();
    port_.Close();
    if (wholeFrame) Say(echo_.Line());
    if (request_.verify && !echo_.Exact()) return kExitPortFailed;
    return wholeFrame ? kExitOk : kExitPortFailed;
}

bool UploadSession::WaitForDsr() {
    // Open has already reported the DSR state it found.
    if (!dsrOn_) Wait(Waiting::Dsr, request_.dsrTimeoutMs);
    if (!dsrOn_ && !OutOfTime() && !stopStatus_) {
        Say(kmp::DsrOffLine(request_.portName, request_.dsrTimeoutMs));
    }
    return dsrOn_;
}

// The frame goes out in the background while the returned bytes are logged
// as they come. The wait ends with the write, or earlier at a stop or at the
// maximum time, whose endings close the port (which ends the write).
bool UploadSession::SendFrame(const kmp::ProgramImage& image) {
    endSeen_ = false;
    written_.reset();
    echo_.Start(kmp::UploadFrame(image));
    LimitWriteToMaxTime(static_cast<int>(kmp::UploadFrame(image).size()));
    kmp::StartSendImage(port_, image, log_,
                        [this](const kmp::WriteOutcome& outcome) { OnWriteEnd(outcome); });
    if (sending_) sending_(true);
    if (!written_) Wait(Waiting::Write, std::numeric_limits<int>::max());
    if (!written_) return false;
    const bool whole = written_->End == kmp::weCompleted;
    if (!whole && !stopStatus_ && !OutOfTime()) LogSendEnd(*written_);
    return whole;
}

void UploadSession::OnWriteEnd(const kmp::WriteOutcome& outcome) {
    written_ = outcome;
    if (sending_) sending_(false);
    if (waiting_ == Waiting::Write) StopWaiting();
}

// A failed write: the port's message as for any failure, then the count.
void UploadSession::LogSendEnd(const kmp::WriteOutcome& outcome) {
    if (outcome.End == kmp::weFailed && outcome.Error) {
        try {
            std::rethrow_exception(outcome.Error);
        } catch (const kmp::EComPort& error) {
            LogPortFailure(error);
        } catch (const std::exception& error) {
            Say("kmpc: " + request_.portName + ": " + error.what());
        }
    }
    Say(kmp::SendEndLine(outcome, request_.handshake));
}

// The write time limit ends no later than the upload may, so that the write
// ends itself with the time limit's outcome.
void UploadSession::LimitWriteToMaxTime(int frameSize) {
    if (!deadline_) return;
    kmp::TComTimeouts& timeouts = port_.Timeouts();
    const long long usual = static_cast<long long>(timeouts.WriteTotalMultiplier()) * frameSize +
                            timeouts.WriteTotalConstant();
    const int remaining = WithinMaxTime(request_.maxTimeMs);
    if (remaining >= usual) return;
    timeouts.SetWriteTotalMultiplier(0);
    // A limit of 0 would mean none at all.
    timeouts.SetWriteTotalConstant(std::max(remaining, 1));
}

void UploadSession::WaitForReplies() {
    // The bytes returned during the write have been logged already.
    if (!endSeen_ && !echo_.Complete()) Wait(Waiting::Reply, request_.replyTimeoutMs);
}

void UploadSession::Stop(int exitStatus) {
    if (!stopStatus_) stopStatus_ = exitStatus;
    // The cancelled write's end ends its wait.
    if (waiting_ == Waiting::Write) {
        port_.CancelWrite();
    } else if (waiting_ != Waiting::Nothing) {
        StopWaiting();
    }
}

void UploadSession::Wait(Waiting what, int timeoutMs) {
    if (stopStatus_) return;
    waiting_ = what;
    timer_.start(WithinMaxTime(timeoutMs));
    loop_.exec();
    timer_.stop();
    waiting_ = Waiting::Nothing;
    if (reactionError_) std::rethrow_exception(std::exchange(reactionError_, nullptr));
}

void UploadSession::StopWaiting() {
    timer_.stop();
    loop_.quit();
}

void UploadSession::OnDsrChange(bool on) {
    dsrOn_ = on;
    if (on && waiting_ == Waiting::Dsr) StopWaiting();
}

void UploadSession::OnRxChar() {
    try {
        std::string returned;
        if (kmp::ReadReturnedBytes(port_, log_, &returned)) endSeen_ = true;
        echo_.Take(returned);
    } catch (const kmp::EComPort&) {
        reactionError_ = std::current_exception();
        StopWaiting();
        return;
    }
    if (waiting_ != Waiting::Reply) return;
    if (endSeen_ || echo_.Complete()) {
        StopWaiting();
    } else {
        timer_.start(WithinMaxTime(request_.replyTimeoutMs));  // something new: wait again
    }
}

int UploadSession::WithinMaxTime(int timeoutMs) const {
    if (!deadline_) return timeoutMs;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*deadline_ - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, timeoutMs));
}

bool UploadSession::OutOfTime() const {
    return deadline_ && Clock::now() >= *deadline_;
}

int UploadSession::EndAtMaxTime() {
    // Closing hands over the bytes that are on their way; they are logged
    // before the line that ends the upload.
    CloseQuietly();
    Say("Nahrávanie na port " + request_.portName + " neskončilo do " +
        SlovakSeconds(request_.maxTimeMs) + " s (--max-time): kmpc ho ukončil.");
    return kExitPortFailed;
}

int UploadSession::EndAtStop() {
    // As at the maximum time, the bytes on their way are logged first. A
    // stop while waiting for DSR or for returned bytes adds no line.
    CloseQuietly();
    if (written_ && written_->End == kmp::weCancelled)
        Say(kmp::SendEndLine(*written_, request_.handshake));
    return *stopStatus_;
}

void UploadSession::LogPortFailure(const kmp::EComPort& error) {
    Say("kmpc: " + request_.portName + ": " + error.what());
    kmp::LogOpenHint(error, request_.portName, log_);
}

// Every line of the upload, with the control characters that a port's
// name may hold escaped, so that each stays one line.
void UploadSession::Say(const std::string& line) const {
    logLine_(PrintableName(line));
}

void UploadSession::CloseQuietly() {
    try {
        port_.Close();
    } catch (const kmp::EComPort&) {
        // The failure that brought us here has been reported.
    }
}

}  // namespace kmpc
