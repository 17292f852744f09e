// The compile button, the change flags, the track bars and the contact link.
#include "window_test_support.h"

#include "app_texts.h"
#include "example_program.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QSlider>
#include <QTest>
#include <functional>

namespace kmp::testing {
namespace {

using CompileTest = WindowTest;

// The final listing of the example program at the default timing.
const QStringList kExampleListing = {
    "0: 200 1 0 3 ", "4: 0 120",   "6: 66 200",   "8: 50 200",   "10: Moj cyklus",
    "10: 4 10",      "12: 2 20",   "14: 138 100", "16: 16 18",   "18: Podmienka",
    "18: 1 200",     "20: 12 120", "22: 255 255", "24: 255 255",
};

const QStringList kSuccessLog = {
    "Začínam prekladať...",
    "12:34:56",
    "Preklad prebehol úspešne!",
    "Môžete odoslať program do mikrokontroléra PIC cez seriové COM rozhranie!",
};

TEST_F(CompileTest, CompileClickShowsTheListingInLimeAndTheLog) {
    ClickButton(*ui().Button1);
    EXPECT_EQ(Lines(*ui().Memo2), kExampleListing);
    EXPECT_EQ(ui().Memo2->palette().color(QPalette::Text), QColor(0, 255, 0));
    EXPECT_EQ(Lines(*ui().Memo1), kSuccessLog);
    EXPECT_EQ(ui().Memo1->palette().color(QPalette::Text), QColor(0, 255, 0));
    EXPECT_TRUE(CompiledOk);
    EXPECT_FALSE(ProgramChanged);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(CompileTest, FailedCompileLeavesTheListingRedAndTheLogYellow) {
    ui().RichEdit1->setPlainText(QStringLiteral("PROGRAM p:\nCAS 5\nKONIEC"));
    ClickButton(*ui().Button1);
    EXPECT_EQ(Lines(*ui().Memo2), QStringList{"0: 200 1 0 3 "});
    EXPECT_EQ(ui().Memo2->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(Lines(*ui().Memo1),
              (QStringList{"Začínam prekladať...", "12:34:56",
                           "2. riadok, pozícia:0  ! Chyba č. 1 : očakával sa príkaz KONIEC alebo "
                           "iné platné príkazy"}));
    EXPECT_EQ(ui().Memo1->palette().color(QPalette::Text), QColor(255, 255, 0));
    EXPECT_FALSE(CompiledOk);
}

TEST_F(CompileTest, TypedSlovakCommentCompiles) {
    ui().RichEdit1->setPlainText(QStringLiteral("PROGRAM p:\nRESET\nKONIEC"));
    ui().RichEdit1->moveCursor(QTextCursor::End);
    ui().RichEdit1->moveCursor(QTextCursor::StartOfLine);
    TypeText(*ui().RichEdit1, QStringLiteral("// koniec: žltý kôň\n"));
    ClickButton(*ui().Button1);
    EXPECT_EQ(Lines(*ui().Memo2), (QStringList{"0: 200 1 0 3 ", "4: 255 255", "6: 255 255"}));
    EXPECT_TRUE(CompiledOk);
}

// One step of a flag-table row.
enum class Step { Compile, Type, Backspace, Paste, BreakText, TrackBar1, TrackBar2, TrackBar3 };

struct FlagRow {
    const char* name;
    std::vector<Step> steps;
    bool compiledOk;
    bool programChanged;
};

class FlagTableTest : public WindowTest, public ::testing::WithParamInterface<FlagRow> {
protected:
    void Do(Step step) {
        QPlainTextEdit& editor = *ui().RichEdit1;
        switch (step) {
        case Step::Compile: ClickButton(*ui().Button1); break;
        case Step::Type:
            editor.setFocus();
            editor.moveCursor(QTextCursor::End);
            TypeText(editor, QStringLiteral("\n// ďalší riadok"));
            break;
        case Step::Backspace:
            editor.moveCursor(QTextCursor::End);
            PressKey(editor, Qt::Key_Backspace);
            break;
        case Step::Paste:
            QApplication::clipboard()->setText(QStringLiteral("\n// vložené"));
            editor.moveCursor(QTextCursor::End);
            QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
            break;
        case Step::BreakText:
            editor.moveCursor(QTextCursor::Start);
            TypeText(editor, QStringLiteral("chyba\n"));
            break;
        case Step::TrackBar1: PressKey(*ui().TrackBar1, Qt::Key_Right); break;
        case Step::TrackBar2: PressKey(*ui().TrackBar2, Qt::Key_Right); break;
        case Step::TrackBar3: PressKey(*ui().TrackBar3, Qt::Key_Left); break;
        }
    }
};

TEST_P(FlagTableTest, FlagsAfterTheSteps) {
    for (Step step : GetParam().steps) Do(step);
    EXPECT_EQ(CompiledOk, GetParam().compiledOk);
    EXPECT_EQ(ProgramChanged, GetParam().programChanged);
    EXPECT_TRUE(dialogs.boxes.empty());
}

using S = Step;
INSTANTIATE_TEST_SUITE_P(
    Rows, FlagTableTest,
    ::testing::Values(
        FlagRow{"Start", {}, false, false},
        FlagRow{"EditBeforeAnyCompile", {S::Type, S::Backspace, S::Paste}, false, false},
        FlagRow{
            "TrackBarsBeforeAnyCompile", {S::TrackBar1, S::TrackBar2, S::TrackBar3}, false, false},
        FlagRow{"Compiled", {S::Compile}, true, false},
        FlagRow{"CompiledThenTyped", {S::Compile, S::Type}, true, true},
        FlagRow{"CompiledThenDeleted", {S::Compile, S::Backspace}, true, true},
        FlagRow{"CompiledThenPasted", {S::Compile, S::Paste}, true, true},
        FlagRow{"CompiledThenTrackBar1", {S::Compile, S::TrackBar1}, true, true},
        FlagRow{"CompiledThenTrackBar2", {S::Compile, S::TrackBar2}, true, true},
        FlagRow{"CompiledThenTrackBar3", {S::Compile, S::TrackBar3}, true, true},
        FlagRow{"EditedAndCompiledAgain", {S::Compile, S::Type, S::Compile}, true, false},
        FlagRow{"EditedThenFailedCompile", {S::Compile, S::BreakText, S::Compile}, false, true},
        FlagRow{"FailedCompileOnly", {S::BreakText, S::Compile}, false, false}),
    [](const ::testing::TestParamInfo<FlagRow>& row) { return std::string(row.param.name); });

TEST_F(CompileTest, TrackBarMovesShowTheirPositions) {
    const struct {
        QSlider* trackBar;
        QLabel* label;
        Qt::Key key;
        const char* shown;
    } moves[] = {{ui().TrackBar1, ui().Label7, Qt::Key_Right, "201"},
                 {ui().TrackBar1, ui().Label7, Qt::Key_Home, "1"},
                 {ui().TrackBar1, ui().Label7, Qt::Key_End, "253"},
                 {ui().TrackBar2, ui().Label10, Qt::Key_Right, "2"},
                 {ui().TrackBar2, ui().Label10, Qt::Key_PageUp, "4"},
                 {ui().TrackBar3, ui().Label14, Qt::Key_Left, "2"},
                 {ui().TrackBar3, ui().Label14, Qt::Key_End, "7"},
                 {ui().TrackBar3, ui().Label14, Qt::Key_Home, "0"}};
    for (const auto& m : moves) {
        PressKey(*m.trackBar, m.key);
        EXPECT_EQ(m.label->text(), QString::fromLatin1(m.shown))
            << m.trackBar->objectName().toStdString();
    }
}

TEST_F(CompileTest, TrackBarsGoIntoTheHeader) {
    PressKey(*ui().TrackBar2, Qt::Key_End);
    EXPECT_EQ(ui().TrackBar2->value(), 65535);
    EXPECT_EQ(ui().Label10->text(), "65535");
    PressKey(*ui().TrackBar1, Qt::Key_Left);
    PressKey(*ui().TrackBar3, Qt::Key_Home);
    ClickButton(*ui().Button1);
    EXPECT_EQ(CodeImage[0], 199);
    EXPECT_EQ(CodeImage[1], 253);
    EXPECT_EQ(CodeImage[2], 253);
    EXPECT_EQ(CodeImage[3], 0);
    EXPECT_EQ(Lines(*ui().Memo2).value(0), "0: 199 253 253 0 ");
}

QString TooLongProgram() {
    QString text = QStringLiteral("PROGRAM dlhy:\n");
    for (int i = 0; i < 63; ++i) text += QStringLiteral("RESET\n");
    return text + QStringLiteral("KONIEC");
}

TEST_F(CompileTest, TooLongProgramShowsRangeCheckErrorAndTheWindowGoesOn) {
    ui().RichEdit1->setPlainText(TooLongProgram());
    ClickButton(*ui().Button1);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, QString::fromUtf8(kApplicationTitle));
    EXPECT_EQ(dialogs.boxes[0].text, "Range check error.");
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Error);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_FALSE(CompiledOk);
    const QStringList log = Lines(*ui().Memo1);
    EXPECT_FALSE(log.contains(" Nedokážem preložiť zdrojový kód! Opravte chyby a skúste znovu! "));

    // The window keeps working: the example compiles, the track bars react.
    ui().RichEdit1->setPlainText(QString::fromUtf8(kExampleProgram));
    ClickButton(*ui().Button1);
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(Lines(*ui().Memo2), kExampleListing);
    EXPECT_TRUE(CompiledOk);
    PressKey(*ui().TrackBar1, Qt::Key_Right);
    EXPECT_EQ(ui().Label7->text(), "201");
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

TEST_F(CompileTest, ContactLinkChangesColourAndOpensTheMailtoText) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "Open");
    QLabel& link = *ui().Label16;
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&link, &enter);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QTest::mouseClick(&link, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));

    const QString expected =
        QStringLiteral("mailto:") + link.text() +
        QStringLiteral("?subject=Riadenie krokového motorčeka&body=Mám takúto otázku:");
    EXPECT_EQ(ContactLinkText(), expected);
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].scheme(), "mailto");
    EXPECT_EQ(catcher.urls[0].toString(), expected);
    EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
}  // namespace kmp::testing

#include "window_compile_test.moc"
