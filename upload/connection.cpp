// Connecting and disconnecting: Button2Click, ComPort1DSRChange, FormClose.
#include "memo_pane.h"
#include "port_choice.h"
#include "port_open_hint.h"
#include "ui_TForm1.h"
#include "upload_state.h"
#include "upload_texts.h"

namespace kmp {

namespace {

// The line settings of a connect, in this order: CTS output flow control
// only when the handshake box is ticked, no flow control at all otherwise.
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

void ShowError(Dialogs& dialogs, const QString& text) {
    dialogs.MessageBox(TForm1::tr(kErrorCaption), text, BoxIcon::Error, BoxButtons::Ok, Answer::Ok);
}

// A line in the compile log that says how to mend a port that could not be
// opened (no permission, or another program holds it), when there is one.
void LogOpenHint(QPlainTextEdit& compileLog, const std::string& portName, int systemError) {
    const std::string hint = PortOpenHint(portName, systemError);
    if (!hint.empty()) MemoPane(compileLog).AppendLine(hint);
}

// Opens the selected port; a failure blocks connecting until another entry
// is chosen, and the buttons keep their state.
void Connect(Ui::TForm1& ui, TForm1::UploadState& state, Dialogs& dialogs) {
    const QString portName = SelectedPortName(*ui.ComboBox1);
    try {
        SetLineForConnect(state.ComPort1, portName.toStdString(), ui.CheckBox1->isChecked());
        state.ComPort1.Open();
        state.ComPort1.SetRTS(true);
        state.ComPort1.SetDTR(false);
        ui.Button3->setEnabled(false);
        ui.Button2->setText(TForm1::tr(kDisconnectCaption));
        ui.ComboBox1->setEnabled(false);
        ui.CheckBox1->setEnabled(false);
    } catch (const std::exception& error) {
        ShowError(dialogs,
                  TForm1::tr(kCannotConnectText) + portName + TForm1::tr(kCannotConnectTextEnd));
        const auto* portError = dynamic_cast<const EComPort*>(&error);
        if (portError && portError->ErrorCode() == CError_OpenFailed)
            LogOpenHint(*ui.Memo1, portName.toStdString(), portError->SystemError());
        state.PortBlocked = true;
        state.LastFailedPort = portName;
    }
}

// Closes the line; the window returns to the closed state also when the
// close failed (a line that vanished).
void Disconnect(Ui::TForm1& ui, TForm1::UploadState& state, Dialogs& dialogs) {
    try {
        state.ComPort1.Close();
        ui.ComboBox1->setEnabled(true);
        ui.CheckBox1->setEnabled(true);
    } catch (const std::exception&) {
        ShowError(dialogs, TForm1::tr(kLostOnDisconnectText));
        ui.ComboBox1->setEnabled(true);
        ui.CheckBox1->setEnabled(true);
        ui.Button4->setEnabled(false);
    }
    ui.Button3->setEnabled(true);
    ui.Button2->setText(TForm1::tr(kConnectCaption));
    ui.Button4->setEnabled(false);
}

}  // namespace

void TForm1::Button2Click() {
    if (upload_->PortBlocked) return;
    if (upload_->ComPort1.Connected())
        Disconnect(*ui, *upload_, dialogs_);
    else
        Connect(*ui, *upload_, dialogs_);
}

void TForm1::ComPort1DSRChange(bool onOff) {
    ui->Button4->setEnabled(onOff);
}

void TForm1::FormClose() {
    upload_->PortNames.reset();
    if (!upload_->ComPort1.Connected()) return;
    try {
        upload_->ComPort1.Close();
    } catch (const std::exception&) {
        ShowError(dialogs_, tr(kLostOnCloseText));
    }
}

}  // namespace kmp
