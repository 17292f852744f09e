// The serial line of the upload as the window sets it up, shared by the
// window and kmpc --upload: the stored settings, the connect, the frame's
// write, and the hint for a port that would not open.
#pragma once

#include "ComPort.h"
#include "WriteOutcome.h"
#include "upload_log.h"

#include <compiler.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace kmp {

// Configures `port` as the window describes ComPort1: port "COM1", 300 baud,
// 8N2, no flow control, the long time-outs, all ten events, reactions on
// the main thread.
void DescribeComPort1(TComPort& port);

// The line settings of a connect, in this order: `Port` and `BaudRate`, then
// CTS output flow control only with `handshake`, no flow control otherwise.
void SetLineForConnect(TComPort& port, const std::string& portName, bool handshake);

// SetLineForConnect, Open, SetRTS(true), SetDTR(false). Raises EComPort.
void ConnectPort(TComPort& port, const std::string& portName, bool handshake);

// When `error` is an open failure that a user can mend (no permission, a
// port in use), logs the line that says how.
void LogOpenHint(const std::exception& error, const std::string& portName, UploadLog& log);

// Logs " Odosielam dáta..." and starts the one write of the UploadFrame of
// `image` in the background; the event loop goes on, the returned bytes are
// logged as they come, and `done` gets the write's end. Raises EComPort.
void StartSendImage(TComPort& port, const ProgramImage& image, UploadLog& log,
                    std::function<void(const WriteOutcome&)> done);

// The one log line of a send that did not write the whole frame ("...N z M
// bajtov..."), saying why: cancelled, the write time limit (the board's CTS
// with `handshake`) or a failure of the line. Empty for a completed send.
std::string SendEndLine(const WriteOutcome& outcome, bool handshake);

// A running send as the user sees it.
struct SendProgress {
    bool running = false;
    int written = 0;
    int total = 0;
    int percent = 0;             // 0..100
    double secondsLeft = 0;      // the rest at the line's pace (300 baud, 11 bits a byte)
    bool boardNotReady = false;  // CTS has held the sending back for over a second
};
SendProgress ProgressOf(const WriteStatus& status,
                        WriteStatus::Clock::time_point now = WriteStatus::Clock::now());

// "37 z 132 bajtov, zostáva 3,5 s" while running, "Doska nie je pripravená
// (CTS vypnuté): 37 z 132 bajtov" while the board holds the sending back,
// "37 z 132 bajtov" after the end.
std::string ProgressText(const SendProgress& progress);

}  // namespace kmp
