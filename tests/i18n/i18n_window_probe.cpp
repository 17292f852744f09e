// Test helper: starts as kmp-studio does (catalogue lookup, then the gettext
// translator), builds the main window and prints what the user reads: the
// window's caption and the captions of its controls, the file dialogs'
// filters, and one message box as it is shown.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "TForm1.h"
#include "app_texts.h"
#include "gettext_translator.h"
#include "i18n.h"
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

// Shows a box through the real dialogs and reads it while it is open.
void PrintMessageBox(const char* caption, const char* text) {
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        Print("boxCaption", box->windowTitle());
        Print("boxText", box->text());
        box->accept();
    });
    kmp::QtDialogs dialogs;
    dialogs.MessageBox(QString::fromUtf8(caption), QString::fromUtf8(text),
                       kmp::BoxIcon::Information, kmp::BoxButtons::Ok, kmp::Answer::Ok);
}

}  // namespace

int main(int argc, char** argv) {
    kmp::i18n::Init();
    QApplication app(argc, argv);
    kmp::i18n::InstallGettextTranslator(app);
    PrintWindow();
    Print("filters", kmp::QtNameFilters(QString::fromUtf8(kmp::kProgramFileFilter)).join(u';'));
    PrintMessageBox("Nemôžem odoslať program",
                    "Najprv treba preložiť program a potom sa môže odoslať!");
    return 0;
}
