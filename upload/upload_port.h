// The serial line of the upload as the window sets it up, shared by the
// window and kmpc --upload: the stored settings, the connect, the frame's
// write, and the hint for a port that would not open.
#pragma once

#include "ComPort.h"
#include "send_lines.h"
#include "upload_log.h"

#include <compiler.h>

#include <array>
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

}  // namespace kmp
