// The window as it starts: controls, captions, geometry, fonts, colours,
// focus order, the example program, the fixed size.
#include "window_test_support.h"

#include "app_texts.h"
#include "kmp_version.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QSlider>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QStyle>
#include <algorithm>

namespace kmp::testing {
namespace {

using StartTest = WindowTest;

struct ControlCase {
    const char* name;
    const char* kind;  // Qt class the control is (or derives from)
    QRect geometry;
    const char* text;  // caption; nullptr for controls without one
};

const ControlCase kControls[] = {
    {"Label1", "QLabel", {16, 8, 183, 16}, "Editovacie okno programu"},
    {"RichEdit1", "QPlainTextEdit", {16, 24, 401, 313}, nullptr},
    {"Label2", "QLabel", {440, 8, 260, 16}, "Binárny výstup pre mikrokontrolér PIC"},
    {"Memo2", "QPlainTextEdit", {440, 24, 321, 305}, nullptr},
    {"CheckBox1",
     "QCheckBox",
     {440, 328, 313, 17},
     "Zaškrtnite ak je interfase typu handshake - Tx + CTS kanál"},
    {"Button5", "QPushButton", {8, 352, 73, 25}, "Otvor program"},
    {"Button6", "QPushButton", {88, 352, 73, 25}, "Ulož program"},
    {"Button1", "QPushButton", {176, 352, 209, 25}, "Prelož program do binárneho tvaru"},
    {"Button3", "QPushButton", {400, 352, 75, 25}, "Hľadaj porty"},
    {"ComboBox1", "QComboBox", {480, 352, 73, 21}, nullptr},
    {"Button2", "QPushButton", {560, 352, 75, 25}, "Pripojiť"},
    {"ComLed1", "QWidget", {640, 344, 25, 25}, nullptr},
    {"ComLed2", "QWidget", {640, 360, 25, 25}, nullptr},
    {"Button4", "QPushButton", {672, 352, 75, 25}, "Odošli"},
    {"Label3",
     "QLabel",
     {16, 392, 709, 16},
     "Základné nastavenie časovania - preddelička časovača, perióda časovača a dodatočné "
     "oneskorenie "},
    {"TrackBar3", "QSlider", {24, 416, 150, 33}, nullptr},
    {"Label13", "QLabel", {32, 448, 109, 13}, "Preddelička časovača:"},
    {"Label14", "QLabel", {144, 448, 6, 13}, "3"},
    {"Label5", "QLabel", {200, 424, 34, 13}, "pomalé"},
    {"TrackBar1", "QSlider", {240, 416, 153, 33}, nullptr},
    {"Label6", "QLabel", {400, 424, 28, 13}, "rýchle"},
    {"Label4", "QLabel", {248, 448, 89, 13}, "Perióda časovača:"},
    {"Label7", "QLabel", {344, 448, 18, 13}, "200"},
    {"Label11", "QLabel", {448, 424, 22, 13}, "malé"},
    {"TrackBar2", "QSlider", {480, 416, 217, 33}, nullptr},
    {"Label12", "QLabel", {704, 424, 28, 13}, "veľké"},
    {"Label9", "QLabel", {488, 448, 167, 13}, "Dodatočné oneskorenie časovača:"},
    {"Label10", "QLabel", {656, 448, 6, 13}, "1"},
    {"Label8", "QLabel", {16, 472, 301, 16}, "Výpis priebehu prekladu a prípadných chýb"},
    {"Memo1", "QPlainTextEdit", {16, 496, 745, 161}, nullptr},
    {"Label15", "QLabel", {16, 664, 563, 16}, nullptr},
    {"Label16", "QLabel", {608, 664, 115, 20}, nullptr},
    {"Label17", "QLabel", {8, 688, 756, 13}, nullptr},
};

QString TextOf(const QWidget& control) {
    if (auto label = qobject_cast<const QLabel*>(&control)) return label->text();
    if (auto button = qobject_cast<const QAbstractButton*>(&control)) return button->text();
    return {};
}

TEST_F(StartTest, EveryControlHasItsKindPlaceAndCaption) {
    for (const ControlCase& c : kControls) {
        SCOPED_TRACE(c.name);
        auto* control = form->findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->inherits(c.kind)) << control->metaObject()->className();
        EXPECT_EQ(control->parentWidget(), form.get());
        EXPECT_EQ(control->geometry(), c.geometry);
        if (c.text) {
            EXPECT_EQ(TextOf(*control), QString::fromUtf8(c.text));
        }
    }
}

struct FontCase {
    const char* name;
    int pixelSize;
    bool bold;
};

const FontCase kFonts[] = {
    {"Label1", 13, true},     {"Label2", 13, true},     {"Label3", 13, true},
    {"Label8", 13, true},     {"Button1", 11, true},    {"Button5", 11, false},
    {"Memo2", 11, false},     {"Memo1", 13, false},     {"Label15", 13, false},
    {"Label16", 16, false},   {"Label17", 11, false},   {"Label9", 11, false},
    {"RichEdit1", 11, false}, {"CheckBox1", 11, false},
};

TEST_F(StartTest, FontsHaveTheirPixelSizesAndWeights) {
    for (const FontCase& c : kFonts) {
        SCOPED_TRACE(c.name);
        const QFont font = form->findChild<QWidget*>(QString::fromLatin1(c.name))->font();
        EXPECT_EQ(font.pixelSize(), c.pixelSize);
        EXPECT_EQ(font.bold(), c.bold);
    }
}

// Width of the text's ink, plus what the control needs beside it.
int NeededWidth(const QWidget& control) {
    const QString text = TextOf(control);
    const int ink = QFontMetrics(control.font()).boundingRect(text).right() + 1;
    if (qobject_cast<const QCheckBox*>(&control)) {
        const QStyle* style = control.style();
        return ink + style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &control) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &control);
    }
    if (qobject_cast<const QAbstractButton*>(&control)) return ink + 2;
    return ink;
}

TEST_F(StartTest, NoCaptionIsClipped) {
    for (QWidget* control : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (TextOf(*control).isEmpty()) continue;
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_LE(NeededWidth(*control), control->width()) << TextOf(*control).toStdString();
        EXPECT_LE(QFontMetrics(control->font()).height(), control->height() + 3);
    }
}

TEST_F(StartTest, CreditsLineNamesTheBuildsVersion) {
    EXPECT_EQ(ui().Label15->text().toStdString(),
              "kmp – riadenie krokového motorčeka, verzia " KMP_VERSION ", 2026");
}

TEST_F(StartTest, StartValuesOfTheControls) {
    EXPECT_EQ(ui().Label7->text(), "200");
    EXPECT_EQ(ui().Label10->text(), "1");
    EXPECT_EQ(ui().Label14->text(), "3");
    const struct {
        QSlider* trackBar;
        int minimum, maximum, position;
    } trackBars[] = {
        {ui().TrackBar1, 1, 253, 200}, {ui().TrackBar2, 1, 65535, 1}, {ui().TrackBar3, 0, 7, 3}};
    for (const auto& t : trackBars) {
        SCOPED_TRACE(t.trackBar->objectName().toStdString());
        EXPECT_EQ(t.trackBar->minimum(), t.minimum);
        EXPECT_EQ(t.trackBar->maximum(), t.maximum);
        EXPECT_EQ(t.trackBar->value(), t.position);
        EXPECT_EQ(t.trackBar->orientation(), Qt::Horizontal);
    }
    EXPECT_FALSE(ui().Button4->isEnabled());
    for (QWidget* enabled :
         {static_cast<QWidget*>(ui().Button1), static_cast<QWidget*>(ui().Button2),
          static_cast<QWidget*>(ui().Button3), static_cast<QWidget*>(ui().Button5),
          static_cast<QWidget*>(ui().Button6), static_cast<QWidget*>(ui().ComboBox1),
          static_cast<QWidget*>(ui().CheckBox1)})
        EXPECT_TRUE(enabled->isEnabled()) << enabled->objectName().toStdString();
    EXPECT_TRUE(Lines(*ui().Memo1).isEmpty());
    EXPECT_TRUE(Lines(*ui().Memo2).isEmpty());
    EXPECT_TRUE(ui().Memo1->isReadOnly());
    EXPECT_TRUE(ui().Memo2->isReadOnly());
    EXPECT_FALSE(ui().RichEdit1->isReadOnly());
    EXPECT_FALSE(ui().CheckBox1->isChecked());
    EXPECT_TRUE(ui().ComboBox1->isEditable());
    EXPECT_EQ(ui().ComboBox1->count(), 0);
    EXPECT_FALSE(CompiledOk);
    EXPECT_FALSE(ProgramChanged);
}

TEST_F(StartTest, PanesAreBlackWithOneTextColourEach) {
    const struct {
        QPlainTextEdit* pane;
        QColor text;
    } panes[] = {{ui().Memo1, QColor(255, 255, 0)}, {ui().Memo2, QColor(0, 255, 0)}};
    for (const auto& p : panes) {
        SCOPED_TRACE(p.pane->objectName().toStdString());
        EXPECT_EQ(p.pane->palette().color(QPalette::Base), QColor(0, 0, 0));
        EXPECT_EQ(p.pane->palette().color(QPalette::Text), p.text);
    }
    EXPECT_EQ(ui().Memo1->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(ui().Memo2->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(ui().Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(ui().RichEdit1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(ui().Label16->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(ui().Button1->palette().color(QPalette::ButtonText), QColor(0, 128, 0));
}

// The editor's 34 start lines; lines 6 and 27 end with a space.
const char* const kExampleLines[] = {
    "// zakladna kostra programu",
    "// nazov programu musi koncit dvojbodkou",
    "PROGRAM mojprogram:",
    "",
    "// tu je miesto pre prikazy na vykonanie",
    "//zoznam platnych prikazov ",
    "",
    "VYSTUP(0,0,0) CAS 120",
    "ROTUJ DOLAVA, ROZBEH 2 CAS 200",
    "ROTUJ STALE DOPRAVA, ROZBEH 2 CAS 200",
    "",
    "//priklad navestia Moj cyklus",
    "Moj cyklus:",
    "VYSTUP(1,0,0) CAS 10",
    "VYSTUP(0,1,0) CAS 20",
    "OPAKUJ Moj cyklus: 100",
    "",
    "//priklad na platne podmienene vetvenie",
    "AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK Podmienka:",
    "",
    "Podmienka:",
    "VYSTUP(0,0,1) CAS 200",
    "",
    "//zmena casovania za behu programu",
    "CASOVANIE 4, PERIODA 120",
    "",
    "//prikaz RESET sluzi na skok na zaciatok programu za tymto prikazom sa ",
    "//nevykona nic",
    "RESET",
    "",
    "KONIEC",
    "",
    "// koniec programu ohranicuje prikaz KONIEC",
    "// pod tymto prikazom sa program nespracuvava a nepreklada",
};

TEST_F(StartTest, EditorHoldsTheExampleProgramLineByLine) {
    const QStringList lines = Lines(*ui().RichEdit1);
    ASSERT_EQ(lines.size(), 34);
    for (int i = 0; i < 34; ++i)
        EXPECT_EQ(lines[i], QString::fromLatin1(kExampleLines[i])) << "line " << i + 1;
}

TEST_F(StartTest, TabKeyInsertsATabInTheEditor) {
    ui().RichEdit1->setFocus();
    ui().RichEdit1->moveCursor(QTextCursor::Start);
    PressKey(*ui().RichEdit1, Qt::Key_Tab);
    EXPECT_TRUE(EditorText().startsWith(QLatin1String("\t// zakladna")));
    EXPECT_EQ(QApplication::focusWidget(), ui().RichEdit1);
}

TEST_F(StartTest, FocusOrderFollowsTheTabOrder) {
    const QStringList expected = {"Button1",   "Button2", "RichEdit1", "ComboBox1", "Button3",
                                  "Memo1",     "Button4", "Memo2",     "TrackBar1", "TrackBar2",
                                  "TrackBar3", "Button5", "Button6",   "CheckBox1", "Button7"};
    QStringList order;
    QWidget* widget = ui().Button1;
    for (int step = 0; step < 500; ++step) {
        if (widget->parentWidget() == form.get() && (widget->focusPolicy() & Qt::TabFocus))
            order << widget->objectName();
        widget = widget->nextInFocusChain();
        if (widget == ui().Button1) break;
    }
    EXPECT_EQ(order, expected);
}

TEST_F(StartTest, WindowHasFixedSizeCaptionAndIcon) {
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8(kWindowCaption));
    EXPECT_EQ(QApplication::applicationName(), QString::fromUtf8(kApplicationTitle));
    EXPECT_EQ(form->size(), QSize(775, 705));
    EXPECT_EQ(form->minimumSize(), QSize(775, 705));
    EXPECT_EQ(form->maximumSize(), QSize(775, 705));
    form->resize(900, 800);
    EXPECT_EQ(form->size(), QSize(775, 705));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    const QList<QSize> sizes = form->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    for (int side : {16, 32}) {
        const QImage image = form->windowIcon().pixmap(side, side).toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
        EXPECT_LE(colours.size(), 16) << side;
    }
}

TEST_F(StartTest, WindowIsCentredOnTheScreen) {
    const QRect screen = form->screen()->availableGeometry();
    EXPECT_EQ(form->x(), std::max(screen.left(), screen.center().x() - 775 / 2));
    EXPECT_EQ(form->y(), std::max(screen.top(), screen.center().y() - 705 / 2));
}

}  // namespace
}  // namespace kmp::testing
