// Reactions of port search, connection and upload: the upload controller
// does the work.
#include "TForm1.h"

#include "ui_TForm1.h"
#include "upload_controller.h"

#include <QComboBox>
#include <QLineEdit>

namespace kmp {

void TForm1::InitUpload(bool withSimulator) {
    const UploadControls controls{ui->ComboBox1,    ui->Button2, ui->Button3, ui->Button4,
                                  ui->CheckBox1,    ui->Memo1,   ui->ComLed1, ui->ComLed2,
                                  ui->ProgressBar1, ui->Button7};
    upload_ = std::make_unique<UploadController>(controls, dialogs_, withSimulator);
    upload_->RunGuarded = [this](const std::function<void()>& reaction) { Run(reaction); };
    // During a send nothing may compile a new image or open another program.
    upload_->OnSending = [this](bool sending) {
        ui->Button1->setEnabled(!sending);
        ui->Button5->setEnabled(!sending);
    };

    // Only the user's choices count as a change: choosing an entry (also the
    // same one again) or typing into the edit field.
    auto change = [this] { Run([this] { ComboBox1Change(); }); };
    connect(ui->ComboBox1, &QComboBox::activated, this, change);
    connect(ui->ComboBox1->lineEdit(), &QLineEdit::textEdited, this, change);
}

void TForm1::FormShow() {
    upload_->FormShow();
}

void TForm1::FormClose() {
    upload_->FormClose();
}

void TForm1::Button2Click() {
    upload_->Button2Click();
}

void TForm1::Button3Click() {
    upload_->Button3Click();
}

void TForm1::Button4Click() {
    upload_->Button4Click();
}

void TForm1::Button7Click() {
    upload_->Button7Click();
}

void TForm1::ComboBox1Change() {
    upload_->ComboBox1Change();
}

}  // namespace kmp
