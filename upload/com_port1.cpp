// ComPort1 as the window describes it, and the upload part's state.
#include "upload_state.h"

namespace kmp {

TForm1::UploadState::UploadState() : ListPorts([](QStringList& list) { ListSerialPorts(list); }) {
    ComPort1.setObjectName(QStringLiteral("ComPort1"));
    DescribeComPort1(ComPort1);
}

TForm1::UploadState::~UploadState() {
    // The window is going away: closing the port must not reach its controls.
    ComPort1.OnRxChar = nullptr;
    ComPort1.OnDSRChange = nullptr;
}

void TForm1::UploadStateDeleter::operator()(UploadState* state) const {
    delete state;
}

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
    timeouts.SetWriteTotalMultiplier(10000);
    timeouts.SetWriteTotalConstant(10000);
    port.SetSyncMethod(smThreadSync);
    port.EndLoading();
}

}  // namespace kmp
