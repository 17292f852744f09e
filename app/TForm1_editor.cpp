// The editor's position display, the window's keyboard shortcuts and the
// opening of dropped program files.
#include "TForm1.h"

#include "file_drop.h"
#include "ui_TForm1.h"
#include "window_keys.h"

#include <QShortcut>

namespace kmp {

void TForm1::ConnectEditorAndKeys() {
    connect(ui->RichEdit1, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { Run([this] { ShowCursorPosition(); }); });
    ShowCursorPosition();

    AddButtonKeys(*this, *ui->Button5, kOpenKeys);
    AddButtonKeys(*this, *ui->Button6, kSaveKeys);
    AddButtonKeys(*this, *ui->Button1, kCompileKeys);
    AddButtonKeys(*this, *ui->Button4, kSendKeys);
    for (const QKeySequence& key : kCloseKeys)
        connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);
    ui->RichEdit1->SetWindowKeys(kOpenKeys + kSaveKeys + kCompileKeys + kSendKeys + kCloseKeys);

    auto* drop = new ProgramFileDrop([this](const QString& name) { OpenProgramFile(name); }, this);
    drop->Watch(*this);
    drop->Watch(*ui->RichEdit1->viewport());
}

void TForm1::ShowCursorPosition() {
    ui->Label18->setText(ui->RichEdit1->PositionText());
}

}  // namespace kmp
