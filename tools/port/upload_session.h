// kmpc --upload: one upload of the program image over a serial port, with
// the window's connect, its frame and its log of the returned bytes.
#pragma once

#include "ComPort.h"

#include <QEventLoop>
#include <QTimer>

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace kmpc {

struct UploadRequest {
    std::string portName;
    bool handshake = false;
    int dsrTimeoutMs = 5000;    // the longest wait for DSR after opening
    int replyTimeoutMs = 2000;  // the longest wait for a returned byte
};

// Takes one line of the log (UTF-8, without its line end).
using LogLine = std::function<void(const std::string& line)>;

class UploadSession {
public:
    UploadSession(kmp::TComPort& port, UploadRequest request, LogLine log);

    // Opens the port, waits for DSR, writes the frame of `image` with one
    // Write, logs the returned bytes until "Koniec odosielania!" or until the
    // reply time-out passes without a new byte, and closes the port. A port
    // failure is logged with its message. Returns the exit status: 0 when
    // the whole frame was written, 3 otherwise.
    int Run(const std::array<std::uint8_t, 128>& image);

private:
    enum class Waiting { Nothing, Dsr, Reply };

    int Transfer(const std::array<std::uint8_t, 128>& image);
    bool WaitForDsr();
    bool SendFrame(const std::array<std::uint8_t, 128>& image);
    void WaitForReplies();
    void Wait(Waiting what, int timeoutMs);
    void StopWaiting();
    void OnDsrChange(bool on);
    void OnRxChar();
    void ReadReturnedBytes();
    void LogPortFailure(const kmp::EComPort& error);
    void CloseQuietly();

    kmp::TComPort& port_;
    const UploadRequest request_;
    const LogLine log_;
    QEventLoop loop_;
    QTimer timer_;
    Waiting waiting_ = Waiting::Nothing;
    bool dsrOn_ = false;
    bool endSeen_ = false;
    std::exception_ptr reactionError_;
};

}  // namespace kmpc
