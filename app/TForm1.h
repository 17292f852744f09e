// The main window Form1: editor, listing, compile log, timing track bars,
// file, compile, port and send buttons, and the credits with the contact link.
#pragma once

#include "dialogs.h"

#include <compiler.h>

#include <QTextCursor>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QSlider;
class QTextBrowser;

namespace Ui {
class TForm1;
}

namespace kmp {

class RecoveryFile;
class UploadController;

// The link text handed to the desktop's "mailto:" handler.
QString ContactLinkText();
QUrl ContactLinkUrl();

// Widens `label` to hold its whole text, from its left edge; never narrower
// than its minimum width.
void FitWidthToText(QLabel& label);

// `name` with "." and `suffix` added when its file name has no extension.
QString WithDefaultSuffix(const QString& name, const QString& suffix);

class TForm1 : public QWidget {
    Q_OBJECT

public:
    // `withSimulator` puts the virtual controller behind the port "sim".
    explicit TForm1(Dialogs& dialogs, bool withSimulator = false, QWidget* parent = nullptr);
    ~TForm1() override;

    // The clock of the compile log's time line (the system clock by default).
    void SetClock(const Clock& clock) { clock_ = &clock; }

    Ui::TForm1& Controls() { return *ui; }

    // Reactions of the window.
    void Button1Click();
    void Button5Click();
    // Loads the program file `name` into the editor as Button5Click does after
    // its dialog, asking first when the text is not saved; a failure is shown
    // by the general error display.
    void OpenProgramFile(const QString& name);
    void Button6Click();
    // Ctrl+S: writes the current program file again, or asks for a name as
    // Button6Click does. True when the text was saved.
    bool SaveProgram();
    void RichEdit1Change();
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();
    void Label16Click();
    void Label16MouseEnter();
    void Label16MouseLeave();

    // Reactions of port search, connection and upload (TForm1_upload.cpp):
    // each forwards to the upload controller. The buttons are connected to
    // them, and InitUpload connects ComboBox1's user choices, all under the
    // general error display (ComPort1's events reach the controller itself);
    // showEvent calls FormShow once, closeEvent FormClose.
    void FormShow();
    void FormClose();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button7Click();  // cancels a running send
    void ComboBox1Change();

    // Keeps a copy of unsaved text in `folder` (RecoveryFile), written
    // `delayMs` after a change (5 s; tests pass less).
    void KeepRecoveryIn(const QString& folder, int delayMs = 5000);
    // Offers the text that a window which did not end cleanly left in that
    // folder: Yes brings it back, unsaved, with its file name.
    void OfferRecovery();

    // F1: the language reference, at the statement under the editor's cursor.
    void ShowReference();
    QTextBrowser* ReferenceView() const { return reference_; }

    // ComPort1 and the port state, for tests.
    UploadController& Upload() { return *upload_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectReactions();
    // The editor's position display, the keyboard shortcuts and file drops.
    void ConnectEditorAndKeys();
    void ShowCursorPosition();
    // From the log and the listing to the text, and back (TForm1_editor.cpp).
    void ConnectNavigation();
    void TakeCompileResult(const CompileResult& result, const ErrorPlace* tooLong = nullptr);
    void GoToError(int logLine);
    void ShowSourceOfListingLine(int listingLine);
    void ShowListingOfCursorLine();
    void SetUpWindow();
    void CenterOnScreen();
    // Connects `signal` of `sender` to `reaction`, run under the general error display.
    template <typename Sender, typename Signal>
    void React(Sender* sender, Signal signal, void (TForm1::*reaction)());
    void Run(const std::function<void()>& reaction);
    // Builds the upload controller; called once at the end of construction.
    void InitUpload(bool withSimulator);
    TimingSettings Timing() const;
    void ShowPosition(QSlider& trackBar, QLabel& valueLabel);
    void LoadProgramFile(const QString& name);
    void ReplaceText(const QString& text);
    bool SaveWithDialog();
    void SaveTo(const QString& name);
    void SetCurrentFile(const QString& name);
    QString LastFolder() const;
    void ShowTitle();
    bool MayLoseText();

    std::unique_ptr<Ui::TForm1> ui;
    Dialogs& dialogs_;
    SystemClock systemClock_;
    const Clock* clock_ = &systemClock_;
    bool shown_ = false;
    QTextBrowser* reference_ = nullptr;  // a window of its own, made at the first F1
    QString currentFile_;
    std::unique_ptr<UploadController> upload_;
    std::unique_ptr<RecoveryFile> recovery_;
    QString recoveryFolder_;
    // The text of each error of the last compile run (it follows edits; none
    // after an open), and the source line of each listing line while the
    // text is as it was compiled.
    std::vector<QTextCursor> errorSpans_;
    std::vector<int> errorLogLines_;  // the log line of each error
    std::vector<int> listingSourceLines_;
    int listingRevision_ = -1;
};

}  // namespace kmp
