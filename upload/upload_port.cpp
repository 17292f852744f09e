#include "upload_port.h"

#include "ComError.h"
#include "board_line.h"
#include "port_open_hint.h"
#include "upload_frame.h"
#include "upload_texts.h"

namespace kmp {

void DescribeComPort1(TComPort& port) {
    port.BeginLoading();
    port.SetConnected(false);
    port.SetPort("COM1");
    port.SetBaudRate(br300);
    port.Parity().SetBits(prNone);
    port.SetDataBits(dbEight);
    port.SetStopBits(sbTwoStopBits);
    port.SetDiscardNull(false);
    port.SetEventChar(0);
    port.SetEvents(kAllComEvents);
    TComFlowControl& flow = port.FlowControl();
    flow.SetOutCTSFlow(false);
    flow.SetOutDSRFlow(false);
    flow.SetControlDTR(dtrDisable);
    flow.SetControlRTS(rtsDisable);
    flow.SetXonXoffOut(false);
    flow.SetXonXoffIn(false);
    flow.SetDSRSensitivity(false);
    flow.SetTxContinueOnXoff(false);
    flow.SetXonChar(17);
    flow.SetXoffChar(19);
    // A read returns at once with the bytes waiting; a write of N bytes may
    // take 10 s plus 10 s per byte.
    TComTimeouts& timeouts = port.Timeouts();
    timeouts.SetReadInterval(-1);
    timeouts.SetReadTotalMultiplier(10000);
    timeouts.SetReadTotalConstant(10000);
    timeouts.SetWriteTotalMultiplier(kWriteLimitPerByteMs);
    timeouts.SetWriteTotalConstant(kWriteLimitConstantMs);
    port.SetSyncMethod(smThreadSync);
    port.EndLoading();
}

void SetLineForConnect(TComPort& port, const std::string& portName, bool handshake) {
    port.SetPort(portName);
    port.SetBaudRate(br300);
    TComFlowControl& flow = port.FlowControl();
    if (handshake) {
        flow.SetFlowControl(fcCustom);
        flow.SetControlDTR(dtrDisable);
        flow.SetControlRTS(rtsDisable);
        flow.SetOutCTSFlow(true);
        flow.SetOutDSRFlow(false);
    } else {
        flow.SetControlDTR(dtrDisable);
        flow.SetControlRTS(rtsDisable);
        flow.SetOutCTSFlow(false);
        flow.SetOutDSRFlow(false);
        flow.SetFlowControl(fcNone);
    }
}

void ConnectPort(TComPort& port, const std::string& portName, bool handshake) {
    SetLineForConnect(port, portName, handshake);
    port.Open();
    port.SetRTS(true);
    port.SetDTR(false);
}

void LogOpenHint(const std::exception& error, const std::string& portName, UploadLog& log) {
    const auto* portError = dynamic_cast<const EComPort*>(&error);
    if (portError == nullptr || portError->ErrorCode() != CError_OpenFailed) return;
    if (const std::string hint = PortOpenHint(portName, portError->SystemError()); !hint.empty())
        log.AppendLine(hint);
}

void StartSendImage(TComPort& port, const ProgramImage& image, UploadLog& log,
                    std::function<void(const WriteOutcome&)> done) {
    log.AppendLine(kSendingLine);
    port.WriteInBackground(UploadFrame(image), std::move(done));
}

}  // namespace kmp
