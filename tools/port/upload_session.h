// kmpc --upload: one upload of the program image over a serial port, with
// the window's port settings, connect, frame and log of the returned bytes.
#pragma once

#include "ComPort.h"
#include "WriteOutcome.h"
#include "board_reply.h"
#include "upload_log.h"

#include <QEventLoop>
#include <QTimer>

#include <compiler.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>

namespace kmpc {

struct UploadRequest {
    std::string portName;
    bool handshake = false;
    int dsrTimeoutMs = 5000;    // the longest wait for DSR after opening
    int replyTimeoutMs = 2000;  // the longest wait for a returned byte
    int maxTimeMs = -1;         // the longest whole upload; -1: no limit
    bool verify = false;        // exit 3 unless the board returned the frame exactly
};

// Takes one line of the log (UTF-8, without its line end).
using LogLine = std::function<void(const std::string& line)>;

class UploadSession {
public:
    // Gives `port` the settings that the window's description stores.
    UploadSession(kmp::TComPort& port, UploadRequest request, LogLine log);

    // Opens the port, waits for DSR, writes the frame of `image` with one
    // background write, logs the returned bytes as they come until "Koniec
    // odosielania!", the frame's length or until the reply time-out passes
    // without a new byte, closes the port and logs the check of the
    // returned bytes against the frame (or that none came back). A port
    // failure is logged with its message, a frame not written whole with the
    // send's end line. With a maximum time, the upload ends when it has
    // passed, with one line that says so. Returns the exit status: 0 when
    // the whole frame was written (and, with `verify`, came back exactly), 3
    // otherwise, the status given to Stop after a stop.
    int Run(const kmp::ProgramImage& image);

    // Ends the upload soon with `exitStatus` (for a stop signal): a write in
    // flight is cancelled (its end line tells the count), a wait for DSR or
    // for returned bytes ends without a line; the port is closed. Safe at
    // any time, also more than once (the first status counts).
    void Stop(int exitStatus);

    // Called with true when the frame starts going out and with false when
    // its write has ended (for a progress display).
    void OnSending(std::function<void(bool sending)> sending) { sending_ = std::move(sending); }

private:
    enum class Waiting { Nothing, Dsr, Write, Reply };
    using Clock = std::chrono::steady_clock;

    // The log as the upload core takes it.
    class Log final : public kmp::UploadLog {
    public:
        explicit Log(const UploadSession& session) : session_(session) {}
        void AppendLine(std::string_view line) override { session_.Say(std::string(line)); }

    private:
        const UploadSession& session_;
    };

    void Say(const std::string& line) const;

    int Transfer(const kmp::ProgramImage& image);
    bool WaitForDsr();
    bool SendFrame(const kmp::ProgramImage& image);
    void OnWriteEnd(const kmp::WriteOutcome& outcome);
    void LogSendEnd(const kmp::WriteOutcome& outcome);
    int EndAtStop();
    void LimitWriteToMaxTime(int frameSize);
    void WaitForReplies();
    void Wait(Waiting what, int timeoutMs);
    void StopWaiting();
    void OnDsrChange(bool on);
    void OnRxChar();
    int WithinMaxTime(int timeoutMs) const;
    bool OutOfTime() const;
    int EndAtMaxTime();
    void LogPortFailure(const kmp::EComPort& error);
    void CloseQuietly();

    kmp::TComPort& port_;
    const UploadRequest request_;
    const LogLine logLine_;
    Log log_;
    QEventLoop loop_;
    QTimer timer_;
    std::optional<Clock::time_point> deadline_;
    Waiting waiting_ = Waiting::Nothing;
    bool dsrOn_ = false;
    bool endSeen_ = false;
    kmp::EchoCheck echo_;
    std::exception_ptr reactionError_;
    std::optional<kmp::WriteOutcome> written_;  // the frame's write, once it has ended
    std::optional<int> stopStatus_;
    std::function<void(bool)> sending_;
};

}  // namespace kmpc
