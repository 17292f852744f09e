// Reactions of the compile button, the editor, the track bars and the contact link.
#include "TForm1.h"

#include "app_texts.h"
#include "memo_pane.h"
#include "text_encoding.h"
#include "upload_controller.h"
#include "ui_TForm1.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <algorithm>

namespace kmp {

QString ContactLinkText() {
    return QStringLiteral("mailto:") + QString::fromUtf8(kContactAddress) +
           QStringLiteral("?subject=") + QString::fromUtf8(kContactSubject) +
           QStringLiteral("&body=") + QString::fromUtf8(kContactBody);
}

QUrl ContactLinkUrl() {
    // Tolerant parsing keeps the text as written; QUrl itself encodes only
    // what the handler's command line needs.
    return QUrl(ContactLinkText(), QUrl::TolerantMode);
}

void FitWidthToText(QLabel& label) {
    // Grows from the left edge, as an auto-sized label does; the minimum
    // width (the one of the window description) keeps short numbers in place.
    const QFontMetrics metrics(label.font());
    const QString text = label.text();
    const int needed =
        std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).right() + 1);
    label.resize(std::max(needed, label.minimumWidth()), label.height());
}

TimingSettings TForm1::Timing() const {
    return {ui->TrackBar1->value(), ui->TrackBar2->value(), ui->TrackBar3->value()};
}

void TForm1::Button1Click() {
    MemoPane compileLog(*ui->Memo1);
    MemoPane listingView(*ui->Memo2);
    const std::string source = EditorTextToSource(ui->RichEdit1->toPlainText().toStdString());
    upload_->HideSendResult();
    CompileResult result;
    try {
        result = CompileProgram(source, Timing(), compileLog, listingView, *clock_);
    } catch (const RangeCheckError& error) {
        // A program too large for the image ends the run; the errors found
        // until then are marked all the same.
        upload_->TakeCompileRun(false, error.partial.image);
        TakeCompileResult(error.partial, &error.statement);
        throw;
    }
    upload_->TakeCompileRun(result.ok, result.image);
    TakeCompileResult(result);
}

void TForm1::RichEdit1Change() {
    NoteProgramChange();
}

void TForm1::ShowPosition(QSlider& trackBar, QLabel& valueLabel) {
    valueLabel.setText(QString::number(trackBar.value()));
    FitWidthToText(valueLabel);
    NoteProgramChange();
}

void TForm1::TrackBar1Change() {
    ShowPosition(*ui->TrackBar1, *ui->Label7);
}

void TForm1::TrackBar2Change() {
    ShowPosition(*ui->TrackBar2, *ui->Label10);
}

void TForm1::TrackBar3Change() {
    ShowPosition(*ui->TrackBar3, *ui->Label14);
}

void TForm1::Label16Click() {
    // Whether a handler exists or succeeds is not examined.
    QDesktopServices::openUrl(ContactLinkUrl());
}

void TForm1::Label16MouseEnter() {
    QPalette palette = ui->Label16->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 255, 0));
    ui->Label16->setPalette(palette);
}

void TForm1::Label16MouseLeave() {
    QPalette palette = ui->Label16->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    ui->Label16->setPalette(palette);
}

}  // namespace kmp
