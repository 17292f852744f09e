#include "window_test_support.h"

#include "studio_application.h"
#include "upload_controller.h"

#include <QKeyEvent>
#include <QTest>

namespace kmp::testing {

void WindowTest::SetUpTestSuite() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "app_window_test";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends, as in the program itself.
    new StudioApplication(argc, argv);
}

void WindowTest::SetUp() {
    CompiledOk = false;
    ProgramChanged = false;
    static_cast<StudioApplication*>(QApplication::instance())->SetErrorDialogs(&dialogs);
    form = std::make_unique<TForm1>(dialogs);
    // The port search at the first showing finds no port, whatever the machine has.
    form->Upload().ListPorts = [](QStringList& names) { names.clear(); };
    form->SetClock(clock);
    form->show();
    QApplication::setActiveWindow(form.get());
}

void WindowTest::TearDown() {
    form.reset();
    static_cast<StudioApplication*>(QApplication::instance())->SetErrorDialogs(nullptr);
}

QList<QWidget*> WindowTest::ReachableControls() {
    return {ui().RichEdit1, ui().Memo1,     ui().Memo2,     ui().Button1,   ui().Button2,
            ui().Button3,   ui().Button4,   ui().Button5,   ui().Button6,   ui().ComboBox1,
            ui().CheckBox1, ui().TrackBar1, ui().TrackBar2, ui().TrackBar3, ui().Label16};
}

QStringList WindowTest::Lines(const QPlainTextEdit& edit) {
    if (edit.document()->isEmpty()) return {};
    return edit.toPlainText().split(QLatin1Char('\n'));
}

QString WindowTest::EditorText() const {
    return form->Controls().RichEdit1->toPlainText();
}

void WindowTest::ClickButton(QWidget& button) {
    QTest::mouseClick(&button, Qt::LeftButton);
}

void WindowTest::TypeText(QWidget& target, const QString& text) {
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\n')) {
            PressKey(target, Qt::Key_Return);
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(&target, &press);
        QApplication::sendEvent(&target, &release);
    }
}

void WindowTest::PressKey(QWidget& target, Qt::Key key) {
    QTest::keyClick(&target, key);
}

}  // namespace kmp::testing
