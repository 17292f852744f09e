// Reactions of the open and save buttons, the current file and the question
// before unsaved text is lost.
#include "TForm1.h"

#include "app_texts.h"
#include "program_file.h"
#include "recovery_file.h"
#include "ui_TForm1.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCursor>

namespace kmp {

QString WithDefaultSuffix(const QString& name, const QString& suffix) {
    const QString fileName = QFileInfo(name).fileName();
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('.'))) return name;
    return name + QLatin1Char('.') + suffix;
}

namespace {

// The window's title: the caption alone before any open or save, else the
// file's name, "*" while the text differs from the file, " – " and the caption.
QString WindowTitleFor(const QString& fileName, bool modified, const QString& caption) {
    if (fileName.isEmpty()) return caption;
    return QFileInfo(fileName).fileName() + (modified ? QStringLiteral("*") : QString()) +
           QStringLiteral(" – ") + caption;
}

}  // namespace

void TForm1::Button5Click() {
    if (!MayLoseText()) return;
    const std::optional<QString> name =
        dialogs_.OpenFileName(QString::fromUtf8(kProgramOpenFilter), LastFolder());
    if (!name) return;
    LoadProgramFile(*name);
}

void TForm1::OpenProgramFile(const QString& name) {
    Run([this, &name] {
        if (MayLoseText()) LoadProgramFile(name);
    });
}

void TForm1::LoadProgramFile(const QString& name) {
    const std::string text = ReadProgramFile(QFile::encodeName(name).toStdString());
    ReplaceText(QString::fromStdString(text));
    SetCurrentFile(name);
}

// One edit of the whole text: Ctrl+Z brings the text before back. The
// replacement is a change of the editor, so RichEdit1Change runs.
void TForm1::ReplaceText(const QString& text) {
    QTextDocument& document = *ui->RichEdit1->document();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
    ui->RichEdit1->setTextCursor(QTextCursor(&document));
    // The log's error lines speak of the text before.
    errorSpans_.clear();
    errorLogLines_.clear();
}

void TForm1::KeepRecoveryIn(const QString& folder, int delayMs) {
    recoveryFolder_ = folder;
    recovery_ = std::make_unique<RecoveryFile>(
        *ui->RichEdit1->document(), [this] { return currentFile_; }, folder, delayMs);
}

void TForm1::OfferRecovery() {
    if (recoveryFolder_.isEmpty()) return;
    const std::optional<LeftText> left = FindLeftText(recoveryFolder_);
    if (!left) return;
    const QString time = left->time.toString(QStringLiteral("HH:mm"));
    const Answer answer = dialogs_.MessageBox(tr(kWindowCaption), tr(kRecoverText).arg(time),
                                              BoxIcon::Question, BoxButtons::YesNo, Answer::Yes);
    // Asked once: either way the copy has done its work.
    QFile::remove(left->path);
    if (answer != Answer::Yes) return;
    ReplaceText(left->text);
    currentFile_ = left->fileName;
    ui->RichEdit1->document()->setModified(true);
    ShowTitle();
}

void TForm1::Button6Click() {
    SaveWithDialog();
}

bool TForm1::SaveWithDialog() {
    const QString suffix = QString::fromUtf8(kProgramFileExtension);
    const std::optional<QString> name =
        dialogs_.SaveFileName(QString::fromUtf8(kProgramFileFilter), suffix, LastFolder());
    if (!name) return false;
    SaveTo(WithDefaultSuffix(*name, suffix));
    return true;
}

// Ctrl+S: a program file opened or saved before is written again at once;
// anything else (none yet, or a text file) goes through the save dialog.
bool TForm1::SaveProgram() {
    const bool programFile =
        QFileInfo(currentFile_)
            .suffix()
            .compare(QString::fromUtf8(kProgramFileExtension), Qt::CaseInsensitive) == 0;
    if (currentFile_.isEmpty() || !programFile) return SaveWithDialog();
    SaveTo(currentFile_);
    return true;
}

void TForm1::SaveTo(const QString& name) {
    WriteProgramFile(QFile::encodeName(name).toStdString(),
                     ui->RichEdit1->toPlainText().toStdString());
    SetCurrentFile(name);
}

void TForm1::SetCurrentFile(const QString& name) {
    currentFile_ = name;
    ui->RichEdit1->document()->setModified(false);
    ShowTitle();
}

QString TForm1::LastFolder() const {
    return currentFile_.isEmpty() ? QString() : QFileInfo(currentFile_).absolutePath();
}

void TForm1::ShowTitle() {
    setWindowTitle(
        WindowTitleFor(currentFile_, ui->RichEdit1->document()->isModified(), tr(kWindowCaption)));
}

// Asks before text changed since the last open or save goes: Yes saves
// (a cancelled or failed save keeps the text), No lets it go, Cancel keeps
// it. True when the caller may go on.
bool TForm1::MayLoseText() {
    if (!ui->RichEdit1->document()->isModified()) return true;
    const Answer answer =
        dialogs_.MessageBox(tr(kUnsavedCaption), tr(kUnsavedText), BoxIcon::Question,
                            BoxButtons::YesNoCancel, Answer::Yes);
    if (answer == Answer::Yes) return SaveProgram();
    if (answer != Answer::No) return false;
    // Let go: its copy goes too.
    if (recovery_) recovery_->Forget();
    return true;
}

}  // namespace kmp
