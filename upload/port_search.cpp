// Port search and choice: FormShow, Button3Click and ComboBox1Change.
#include "memo_pane.h"
#include "port_choice.h"
#include "ui_TForm1.h"
#include "upload_state.h"
#include "upload_texts.h"

namespace kmp {

namespace {

void ShowPortsFound(Dialogs& dialogs, const QStringList& names) {
    QString text;
    for (const QString& name : names) text += name + QString::fromLatin1(kListSeparator);
    dialogs.MessageBox(TForm1::tr(kPortsFoundCaption), text, BoxIcon::Information, BoxButtons::Ok,
                       Answer::Ok);
}

void ShowNoPort(Dialogs& dialogs, QComboBox& combo) {
    dialogs.MessageBox(TForm1::tr(kNoPortCaption), TForm1::tr(kNoPortText), BoxIcon::Information,
                       BoxButtons::Ok, Answer::Ok);
    combo.addItem(QString::fromLatin1(kNoPortEntry));
    combo.setCurrentIndex(-1);
    combo.setEditText(QString::fromLatin1(kNoPortEntry));
}

// The search shared by FormShow and Button3Click; only the search button
// empties the list first and reports what it found.
void SearchPorts(TForm1::UploadState& state, QComboBox& combo, Dialogs& dialogs, bool byButton) {
    state.PortBlocked = true;
    if (byButton) {
        const QString shown = combo.currentText();
        combo.clear();
        combo.setEditText(shown);
    }
    try {
        state.PortNames = std::make_unique<QStringList>();
        state.ListPorts(*state.PortNames);
        combo.addItems(*state.PortNames);
        if (combo.count() == 0) return;
        combo.setCurrentIndex(0);
        state.PortBlocked = false;
        if (byButton) ShowPortsFound(dialogs, *state.PortNames);
    } catch (const std::exception&) {
        ShowNoPort(dialogs, combo);
        state.PortBlocked = true;
    }
}

}  // namespace

void TForm1::FormShow() {
    MemoPane(*ui->Memo1).Clear();
    SearchPorts(*upload_, *ui->ComboBox1, dialogs_, false);
}

void TForm1::Button3Click() {
    SearchPorts(*upload_, *ui->ComboBox1, dialogs_, true);
}

void TForm1::ComboBox1Change() {
    if (SelectedPortName(*ui->ComboBox1) != upload_->LastFailedPort) upload_->PortBlocked = false;
}

}  // namespace kmp
