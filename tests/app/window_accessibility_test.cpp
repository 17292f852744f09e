// What a screen reader hears of the window: every control has a name, a
// lamp's name says its state, a compile's end is told on the log pane, and
// Tab reaches every control.
#include "window_test_support.h"

#include "CPortCtl.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTest>

namespace kmp::testing {
namespace {

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

class AccessibilityTest : public WindowTest {};

TEST_F(AccessibilityTest, ControlsWithoutCaptionAreNamedByTheirLabels) {
    const struct {
        QWidget* control;
        QString name;
    } cases[] = {
        {ui().RichEdit1, ui().Label1->text()},  {ui().Memo2, ui().Label2->text()},
        {ui().Memo1, ui().Label8->text()},      {ui().TrackBar1, ui().Label4->text()},
        {ui().TrackBar2, ui().Label9->text()},  {ui().TrackBar3, ui().Label13->text()},
        {ui().ComboBox1, ui().Button3->text()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control->objectName().toStdString());
        EXPECT_FALSE(c.name.isEmpty());
        EXPECT_EQ(AccessibleName(c.control), c.name);
    }
    // Every button, box and field has a name, with or without a caption.
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        // The window's own controls (Qt's inner parts have no object name).
        const QString id = widget->objectName();
        if (id.isEmpty() || id.startsWith(QLatin1String("qt_"))) continue;
        if (!widget->focusPolicy() || qobject_cast<QLabel*>(widget)) continue;
        if (!widget->isVisibleTo(form.get())) continue;
        EXPECT_FALSE(AccessibleName(widget).isEmpty()) << widget->objectName().toStdString();
    }
}

TEST_F(AccessibilityTest, LampsSayTheirState) {
    EXPECT_EQ(AccessibleName(ui().ComLed1), QStringLiteral("Linka zatvorená"));
    EXPECT_EQ(AccessibleName(ui().ComLed2), QStringLiteral("Doska nepripravená"));
    // A lamp tied to the port reports each change of its state so.
    const auto change = [](TComLed* lamp, TLedState state) { lamp->OnChange(lamp, state); };
    change(ui().ComLed1, lsOn);
    change(ui().ComLed2, lsOn);
    EXPECT_EQ(AccessibleName(ui().ComLed1), QStringLiteral("Linka otvorená"));
    EXPECT_EQ(AccessibleName(ui().ComLed2), QStringLiteral("Doska pripravená (DSR)"));
    change(ui().ComLed2, lsOff);
    EXPECT_EQ(AccessibleName(ui().ComLed2), QStringLiteral("Doska nepripravená"));
    // The tooltips stay the window's.
    EXPECT_EQ(ui().ComLed1->toolTip(), QStringLiteral("Linka otvorená"));
}

// The log pane's description is the sentence a screen reader is told, with
// the Slovak count's three forms.
TEST_F(AccessibilityTest, CompileEndIsToldOnTheLogPane) {
    const struct {
        const char* program;
        const char* told;
    } cases[] = {
        {"PROGRAM p:\nRESET\nKONIEC\n", "Preklad prebehol úspešne."},
        {"PROGRAM p:\nrotuj\nKONIEC\n", "Preklad zlyhal: 1 chyba."},
        {"PROGRAM p:\nOPAKUJ A: 2\nOPAKUJ B: 2\nKONIEC\n", "Preklad zlyhal: 2 chyby."},
        {"PROGRAM p:\nrotuj\nrotuj\nKONIEC\n", "Preklad zlyhal: 3 chyby."},
        {"PROGRAM p:\nOPAKUJ A: 2\nOPAKUJ B: 2\nOPAKUJ C: 2\nOPAKUJ D: 2\nOPAKUJ E: 2\nKONIEC\n",
         "Preklad zlyhal: 5 chýb."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        ui().RichEdit1->setPlainText(QString::fromUtf8(c.program));
        ClickButton(*ui().Button1);
        EXPECT_EQ(ui().Memo1->accessibleDescription(), QString::fromUtf8(c.told));
    }
}

// Tab from the compile button goes round every enabled control in the
// window's focus order and back; in the editor, where Tab types a tab,
// Ctrl+Tab goes on.
TEST_F(AccessibilityTest, TabWalksEveryControl) {
    ui().Button1->setFocus();
    QStringList walked;
    for (int step = 0; step < 20; ++step) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        walked << focused->objectName();
        if (step > 0 && focused == ui().Button1) break;
        const bool editor = focused == ui().RichEdit1;
        QTest::keyClick(focused, Qt::Key_Tab, editor ? Qt::ControlModifier : Qt::NoModifier);
    }
    const QStringList expected = {"Button1", "Button2", "RichEdit1", "ComboBox1", "Button3",
                                  "Memo1",   "Memo2",   "TrackBar1", "TrackBar2", "TrackBar3",
                                  "Button5", "Button6", "CheckBox1", "Button1"};
    EXPECT_EQ(walked, expected);
    EXPECT_TRUE(EditorText().startsWith(QLatin1String("// zakladna"))) << "Ctrl+Tab typed nothing";
    // And back: Shift+Tab into the editor, Ctrl+Shift+Tab out of it.
    ui().ComboBox1->setFocus();
    QTest::keyClick(ui().ComboBox1, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), ui().RichEdit1);
    QTest::keyClick(ui().RichEdit1, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), ui().Button2);
}

}  // namespace
}  // namespace kmp::testing
