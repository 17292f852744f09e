#include "window_connect.h"

namespace kmpc {
namespace {

// The settings of the window's description, given before any connect.
void ApplyStoredSettings(kmp::TComPort& port) {
    port.SetBaudRate(kmp::br300);
    port.SetDataBits(kmp::dbEight);
    port.Parity().SetBits(kmp::prNone);
    port.SetStopBits(kmp::sbTwoStopBits);
    kmp::TComTimeouts& timeouts = port.Timeouts();
    timeouts.SetReadInterval(-1);
    timeouts.SetReadTotalMultiplier(10000);
    timeouts.SetReadTotalConstant(10000);
    timeouts.SetWriteTotalMultiplier(10000);
    timeouts.SetWriteTotalConstant(10000);
    port.SetEvents(kmp::kAllComEvents);
    port.SetSyncMethod(kmp::smThreadSync);
}

// The flow control of the connect step, in the window's order.
void ApplyFlowControl(kmp::TComFlowControl& flow, bool handshake) {
    if (handshake) {
        flow.SetFlowControl(kmp::fcCustom);
        flow.SetControlDTR(kmp::dtrDisable);
        flow.SetControlRTS(kmp::rtsDisable);
        flow.SetOutCTSFlow(true);
        flow.SetOutDSRFlow(false);
    } else {
        flow.SetControlDTR(kmp::dtrDisable);
        flow.SetControlRTS(kmp::rtsDisable);
        flow.SetOutCTSFlow(false);
        flow.SetOutDSRFlow(false);
        flow.SetFlowControl(kmp::fcNone);
    }
}

}  // namespace

void ConnectLikeWindow(kmp::TComPort& port, const std::string& portName, bool handshake) {
    ApplyStoredSettings(port);
    port.SetPort(portName);
    port.SetBaudRate(kmp::br300);
    ApplyFlowControl(port.FlowControl(), handshake);
    port.Open();
    port.SetRTS(true);
    port.SetDTR(false);
}

}  // namespace kmpc
