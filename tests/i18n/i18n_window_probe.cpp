// Test helper: starts as kmp-studio does (catalogue lookup, then the gettext
// translator), builds the main window and prints what the user reads: the
// window's caption and the captions of its controls, the file dialogs'
// filters, one message box as it is shown, and Qt's own standard buttons of
// message boxes and file dialogs.
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "TForm1.h"
#include "app_texts.h"
#include "gettext_translator.h"
#include "i18n.h"
#include "qt_catalogue.h"
#include "qt_dialogs.h"
#include "scripted_dialogs.h"
#include "ui_TForm1.h"

namespace {

void Print(const char* what, const QString& text) {
    std::printf("%s=%s\n", what, text.toUtf8().constData());
}

void PrintWindow() {
    kmp::ScriptedDialogs dialogs;
    kmp::TForm1 form(dialogs);
    const Ui::TForm1& ui = form.Controls();
    Print("caption", form.windowTitle());
    Print("Label1", ui.Label1->text());
    Print("CheckBox1", ui.CheckBox1->text());
    for (const QPushButton* button :
         {ui.Button5, ui.Button6, ui.Button1, ui.Button3, ui.Button2, ui.Button4}) {
        Print(button->objectName().toUtf8().constData(), button->text());
    }
    Print("Label5", ui.Label5->text());
    Print("Label6", ui.Label6->text());
}

// The texts of the buttons of a dialog's button box, in their order.
QString ButtonTexts(const QWidget& dialog) {
    QStringList texts;
    if (const auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        for (const QAbstractButton* button : buttons->buttons()) texts << button->text();
    }
    return texts.join(u';');
}

// Shows a box through the real dialogs and reads it while it is open.
void PrintMessageBox(const char* caption, const char* text, kmp::BoxButtons buttons) {
    QTimer::singleShot(0, [buttons] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        if (buttons == kmp::BoxButtons::Ok) {
            Print("boxCaption", box->windowTitle());
            Print("boxText", box->text());
        }
        Print(buttons == kmp::BoxButtons::Ok ? "okBoxButtons" : "yesNoBoxButtons",
              ButtonTexts(*box));
        box->done(QMessageBox::No);
    });
    kmp::QtDialogs dialogs;
    dialogs.MessageBox(QString::fromUtf8(caption), QString::fromUtf8(text),
                       kmp::BoxIcon::Information, buttons, kmp::Answer::Ok);
}

// Shows the open or save dialog and reads its buttons while it is open.
void PrintFileDialog(bool save) {
    QTimer::singleShot(0, [save] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        Print(save ? "saveDialogButtons" : "openDialogButtons", ButtonTexts(*dialog));
        dialog->reject();
    });
    kmp::QtDialogs dialogs;
    const QString filter = QString::fromUtf8(kmp::kProgramFileFilter);
    if (save) {
        dialogs.SaveFileName(filter, QStringLiteral("kmp"), QString());
    } else {
        dialogs.OpenFileName(filter, QString());
    }
}

}  // namespace

int main(int argc, char** argv) {
    kmp::i18n::Init();
    QApplication app(argc, argv);
    kmp::i18n::InstallGettextTranslator(app);
    kmp::i18n::InstallQtCatalogue(app);
    PrintWindow();
    Print("filters", kmp::QtNameFilters(QString::fromUtf8(kmp::kProgramFileFilter)).join(u';'));
    PrintMessageBox("Nemôžem odoslať program",
                    "Najprv treba preložiť program a potom sa môže odoslať!", kmp::BoxButtons::Ok);
    PrintMessageBox("Program bol zmenený", "Odoslať?", kmp::BoxButtons::YesNo);
    PrintFileDialog(false);
    PrintFileDialog(true);
    return 0;
}
