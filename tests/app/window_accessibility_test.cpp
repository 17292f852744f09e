// What a screen reader hears of the window: every control has a name, and
// a lamp's name says its state.
#include "window_test_support.h"

#include "CPortCtl.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QLabel>
#include <QSlider>

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

}  // namespace
}  // namespace kmp::testing
