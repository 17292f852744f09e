// The general error display: the text rule and errors that escape an event handler.
#include "window_test_support.h"

#include "app_texts.h"
#include "error_display.h"

#include <QApplication>
#include <QMouseEvent>
#include <stdexcept>

namespace kmp::testing {
namespace {

struct TextCase {
    const char* message;
    const char* shown;
};

TEST(ErrorDisplayText, FullStopOnlyAfterCharactersAboveIt) {
    const TextCase cases[] = {
        {"Range check error", "Range check error."},
        {"Cannot open file \"a.kmp\". No such file or directory",
         "Cannot open file \"a.kmp\". No such file or directory."},
        {"ends with a full stop.", "ends with a full stop."},
        {"ends with a comma,", "ends with a comma,"},     // ',' is 44
        {"ends with a dash -", "ends with a dash -"},     // '-' is 45
        {"ends with a slash /", "ends with a slash /."},  // '/' is 47
        {"ends with a space ", "ends with a space "},
        {"ends with a bracket)", "ends with a bracket)"},
        {"0", "0."},
        {"končí písmenom č", "končí písmenom č."},
        {"", ""},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(ErrorDisplayText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown))
            << c.message;
}

TEST(RunReaction, ShowsOneBoxAndReturns) {
    ScriptedDialogs dialogs;
    RunReaction(dialogs, [] { throw std::runtime_error("Chyba pri čítaní"); });
    RunReaction(dialogs, [] {});
    RunReaction(dialogs, [] { throw 42; });
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].caption, QString::fromUtf8(kApplicationTitle));
    EXPECT_EQ(dialogs.boxes[0].text, QString::fromUtf8("Chyba pri čítaní."));
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Error);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(dialogs.boxes[1].text, "Unknown error.");
}

// A control whose mouse handler fails, as a reaction without its own guard would.
class FailingWidget : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override { throw std::runtime_error("Stream read error"); }
};

using EscapedErrorTest = WindowTest;

TEST_F(EscapedErrorTest, ErrorEscapingAnEventHandlerIsShownAndTheWindowGoesOn) {
    FailingWidget failing;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&failing, &press);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "Stream read error.");
    EXPECT_EQ(dialogs.boxes[0].caption, QString::fromUtf8(kApplicationTitle));

    ClickButton(*ui().Button1);
    EXPECT_TRUE(CompiledOk);
    EXPECT_EQ(dialogs.boxes.size(), 1u);
}

}  // namespace
}  // namespace kmp::testing
