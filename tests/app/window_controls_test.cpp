// Value labels of the track bars and the port drop-down's edit field.
#include "window_test_support.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QSlider>

namespace kmp::testing {
namespace {

using ControlsTest = WindowTest;

struct ValueLabelCase {
    const char* trackBar;
    const char* label;
    int position;
};

const ValueLabelCase kValueLabels[] = {
    {"TrackBar2", "Label10", 65535}, {"TrackBar2", "Label10", 10}, {"TrackBar2", "Label10", 4444},
    {"TrackBar1", "Label7", 253},    {"TrackBar1", "Label7", 1},   {"TrackBar3", "Label14", 7},
};

QMap<QString, QRect> GeometryOfEveryControl(const QWidget& form) {
    QMap<QString, QRect> geometry;
    for (const QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        geometry[control->objectName()] = control->geometry();
    return geometry;
}

TEST_F(ControlsTest, ValueLabelGrowsFromItsLeftEdgeToHoldTheWholeNumber) {
    for (const ValueLabelCase& c : kValueLabels) {
        SCOPED_TRACE(std::string(c.label) + " at " + std::to_string(c.position));
        auto* trackBar = form->findChild<QSlider*>(QString::fromLatin1(c.trackBar));
        auto* label = form->findChild<QLabel*>(QString::fromLatin1(c.label));
        const QRect before = label->geometry();
        QMap<QString, QRect> others = GeometryOfEveryControl(*form);
        others.remove(label->objectName());

        trackBar->setValue(c.position);

        const QString text = QString::number(c.position);
        EXPECT_EQ(label->text(), text);
        const QFontMetrics metrics(label->font());
        EXPECT_GE(label->width(), metrics.horizontalAdvance(text));
        EXPECT_GE(label->width(), metrics.boundingRect(text).right() + 1);
        EXPECT_EQ(label->x(), before.x());
        EXPECT_EQ(label->y(), before.y());
        EXPECT_EQ(label->height(), before.height());
        QMap<QString, QRect> after = GeometryOfEveryControl(*form);
        after.remove(label->objectName());
        EXPECT_EQ(after, others);
    }
}

TEST_F(ControlsTest, ValueLabelKeepsItsWindowWidthForShortNumbers) {
    ui().TrackBar2->setValue(65535);
    ui().TrackBar2->setValue(2);
    EXPECT_EQ(ui().Label10->geometry(), QRect(656, 448, 6, 13));
}

struct TypedNameCase {
    const char* name;
    QString typed;
};

const TypedNameCase kTypedNames[] = {
    {"UnknownName", QStringLiteral("ttyXY9")},
    {"EmptyAfterErase", QString()},
    {"NameWithSpace", QStringLiteral("moj port")},
};

TEST_F(ControlsTest, ReturnInTheDropDownsEditFieldAddsAndSelectsNothing) {
    for (const TypedNameCase& c : kTypedNames) {
        SCOPED_TRACE(c.name);
        QComboBox& box = *ui().ComboBox1;
        box.clear();
        box.addItems({QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")});
        box.setCurrentIndex(1);
        box.setFocus();
        QLineEdit& edit = *box.lineEdit();
        edit.selectAll();
        PressKey(edit, Qt::Key_Backspace);
        TypeText(edit, c.typed);
        PressKey(edit, Qt::Key_Return);

        EXPECT_EQ(box.count(), 2);
        EXPECT_EQ(box.itemText(0), "ttyUSB0");
        EXPECT_EQ(box.itemText(1), "ttyUSB1");
        EXPECT_EQ(box.currentIndex(), 1);
    }
}

}  // namespace
}  // namespace kmp::testing
