#include "upload_session.h"

#include "port_open_hint.h"
#include "run.h"
#include "received_lines.h"
#include "upload_frame.h"
#include "window_connect.h"

#include <utility>

namespace kmpc {
namespace {

// Milliseconds as seconds in Slovak writing: "5", "0,2", "1,25".
std::string SlovakSeconds(int ms) {
    std::string text = std::to_string(ms / 1000);
    if (const int fraction = ms % 1000; fraction != 0) {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "," + digits;
    }
    return text;
}

}  // namespace

UploadSession::UploadSession(kmp::TComPort& port, UploadRequest request, LogLine log)
    : port_(port), request_(std::move(request)), log_(std::move(log)) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &loop_, &QEventLoop::quit);
    port_.OnDSRChange = [this](QObject*, bool on) { OnDsrChange(on); };
    port_.OnRxChar = [this](QObject*, int) { OnRxChar(); };
}

int UploadSession::Run(const std::array<std::uint8_t, 128>& image) {
    try {
        return Transfer(image);
    } catch (const kmp::EComPort& error) {
        LogPortFailure(error);
        CloseQuietly();
        return kExitPortFailed;
    }
}

int UploadSession::Transfer(const std::array<std::uint8_t, 128>& image) {
    ConnectLikeWindow(port_, request_.portName, request_.handshake);
    if (!WaitForDsr()) {
        port_.Close();
        return kExitPortFailed;
    }
    const bool wholeFrame = SendFrame(image);
    WaitForReplies();
    port_.Close();
    return wholeFrame ? kExitOk : kExitPortFailed;
}

bool UploadSession::WaitForDsr() {
    // Open has already reported the DSR state it found.
    if (!dsrOn_) Wait(Waiting::Dsr, request_.dsrTimeoutMs);
    if (!dsrOn_) {
        log_("Doska na porte " + request_.portName + " nezapla signál DSR do " +
             SlovakSeconds(request_.dsrTimeoutMs) +
             " s: nie je pripojená, zapnutá alebo pripravená.");
    }
    return dsrOn_;
}

bool UploadSession::SendFrame(const std::array<std::uint8_t, 128>& image) {
    log_(kSendingLine);
    endSeen_ = false;
    const std::vector<std::uint8_t> frame = kmp::UploadFrame(image);
    const int size = static_cast<int>(frame.size());
    const int written = port_.Write(frame.data(), size);
    if (written == size) return true;
    log_("Odoslaných bolo len " + std::to_string(written) + " z " + std::to_string(size) +
         " bajtov: doska v čase odosielania nepustila dáta (CTS).");
    return false;
}

void UploadSession::WaitForReplies() {
    // Bytes returned during the Write are handed over only now.
    if (!endSeen_) Wait(Waiting::Reply, request_.replyTimeoutMs);
}

void UploadSession::Wait(Waiting what, int timeoutMs) {
    waiting_ = what;
    timer_.start(timeoutMs);
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
        ReadReturnedBytes();
    } catch (const kmp::EComPort&) {
        reactionError_ = std::current_exception();
        StopWaiting();
        return;
    }
    if (waiting_ != Waiting::Reply) return;
    if (endSeen_) {
        StopWaiting();
    } else {
        timer_.start(request_.replyTimeoutMs);  // something new: wait again
    }
}

void UploadSession::ReadReturnedBytes() {
    // The window takes at most 128 bytes a call; whatever is left waiting
    // is taken at once here, so that nothing is left behind at the end.
    std::string bytes;
    do {
        port_.ReadString(bytes, 128);
        for (const std::string& line : ReceivedByteLines(bytes)) log_(line);
        if (bytes.find('\xFF') != std::string::npos) endSeen_ = true;
    } while (bytes.size() == 128);
}

void UploadSession::LogPortFailure(const kmp::EComPort& error) {
    log_("kmpc: " + request_.portName + ": " + error.what());
    if (error.ErrorCode() != kmp::CError_OpenFailed) return;
    if (const std::string hint = kmp::PortOpenHint(request_.portName, error.SystemError());
        !hint.empty())
        log_(hint);
}

void UploadSession::CloseQuietly() {
    try {
        port_.Close();
    } catch (const kmp::EComPort&) {
        // The failure that brought us here has been reported.
    }
}

}  // namespace kmpc
