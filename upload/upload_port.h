// The serial line of the upload as the window sets it up, shared by the
// window and kmpc --upload: the stored settings, the connect, the frame's
// write, and the hint for a port that would not open.
#pragma once

#include "ComPort.h"
#include "upload_log.h"

#include <array>
#include <cstdint>
#include <exception>
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

struct FrameWritten {
    int written = 0;  // bytes that Write took
    int size = 0;     // bytes of the frame
};

// Logs " Odosielam dáta...", shows it, and writes the UploadFrame of `image`
// with one Write, which blocks for the whole frame. Raises EComPort.
FrameWritten SendImage(TComPort& port, const std::array<std::uint8_t, 128>& image, UploadLog& log);

}  // namespace kmp
