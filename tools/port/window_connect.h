// Opening a port exactly as the window's connect button does.
#pragma once

#include "ComPort.h"

#include <string>

namespace kmpc {

// Gives `port` the settings that the window's description stores for its
// port (300 baud, 8 data bits, no parity, 2 stop bits, the window's time
// limits, all ten events) and then connects as the window does: `Port` and
// `BaudRate`, the flow control (CTS output flow control with `handshake`,
// none without), `Open`, `SetRTS(true)`, `SetDTR(false)`. Raises EComPort.
void ConnectLikeWindow(kmp::TComPort& port, const std::string& portName, bool handshake);

}  // namespace kmpc
