// Builds the upload part of the window: ComPort1 with its two reactions, the
// simulated board of --simulator, the two lamps, and the port choice.
#include "upload_state.h"

#include "ui_TForm1.h"

#include <QComboBox>
#include <QLineEdit>

namespace kmp {

void TForm1::InitUpload() {
    upload_.reset(new UploadState);
    TComPort& port = upload_->ComPort1;
    port.OnRxChar = [this](QObject*, int count) { ComPort1RxChar(count); };
    port.OnDSRChange = [this](QObject*, bool onOff) { ComPort1DSRChange(onOff); };
    if (SimulatorEnabled()) port.SetVirtualController(std::make_shared<VirtualController>());

    ui->ComLed1->SetKind(lkYellowLight);
    ui->ComLed1->SetLedSignal(lsConn);
    ui->ComLed1->SetComPort(&port);
    ui->ComLed2->SetKind(lkGreenLight);
    ui->ComLed2->SetLedSignal(lsDSR);
    ui->ComLed2->SetComPort(&port);

    // Only the user's choices count as a change: choosing an entry (also the
    // same one again) or typing into the edit field.
    auto change = [this] { Run([this] { ComboBox1Change(); }); };
    connect(ui->ComboBox1, &QComboBox::activated, this, change);
    connect(ui->ComboBox1->lineEdit(), &QLineEdit::textEdited, this, change);
}

TForm1::UploadState& TForm1::Upload() {
    return *upload_;
}

}  // namespace kmp
