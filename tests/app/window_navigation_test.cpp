// From the compile log and the listing to the program text, and back: the
// double-click on an error line, the error marks, the listing link.
#include "window_test_support.h"

#include "program_editor.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

namespace kmp::testing {
namespace {

// One error on each kind of line start; "/ pozor" ends line 5 as a comment.
const QString kFaultyProgram = QString::fromUtf8(
    "PROGRAMx:\n"
    "VYSTUP(0,0,0)CAS 1\n"
    "  VYSTUP(0,0,0)CAS 1\n"
    "moj cyklus :\n"
    "VYSTUP(0,0/ pozor\n"
    "KONIEC\n");

const QString kGoodProgram = QString::fromUtf8(
    "// kostra\n"
    "PROGRAM p:\n"
    "VYSTUP(0,0,0) CAS 120\n"
    "\n"
    "Moj cyklus:\n"
    "VYSTUP(1,0,0) CAS 10\n"
    "OPAKUJ Moj cyklus: 100\n"
    "KONIEC\n");

class NavigationTest : public WindowTest {
protected:
    TProgramEditor& editor() { return *ui().RichEdit1; }

    void Compile(const QString& text) {
        editor().setPlainText(text);
        ClickButton(*ui().Button1);
    }
    // The Memo1 line of error `number`, -1 when there is none.
    int LogLineOfError(int number) {
        const QString tag = QString::fromUtf8("! Chyba č. %1 ").arg(number);
        const QStringList lines = Lines(*ui().Memo1);
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].contains(tag)) return i;
        return -1;
    }
    // The middle of `line` of `pane`, scrolled into view first.
    static QPoint PointOfLine(QPlainTextEdit& pane, int line) {
        QTextCursor cursor(pane.document()->findBlockByNumber(line));
        pane.setTextCursor(cursor);
        pane.ensureCursorVisible();
        return pane.cursorRect(cursor).center() + QPoint(2, 0);
    }
    void DoubleClickLogLine(int line) {
        QTest::mouseDClick(ui().Memo1->viewport(), Qt::LeftButton, {},
                           PointOfLine(*ui().Memo1, line));
    }
};

struct ErrorCase {
    int number;
    int line, column;  // 0-based
    const char* token;
};

TEST_F(NavigationTest, DoubleClickOnEachErrorSelectsItsToken) {
    Compile(kFaultyProgram);
    const ErrorCase cases[] = {
        {1, 0, 7, "x"},         // the first line
        {2, 1, 13, "CAS"},      // a keyword letter after a line feed
        {3, 2, 15, "CAS"},      // a line that starts with blanks
        {4, 3, 11, ":"},        // a lowercase letter
        {5, 4, 10, "/ pozor"},  // the comment that ends the line
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.number);
        ui().Memo1->setFocus();
        const int logLine = LogLineOfError(c.number);
        ASSERT_GE(logLine, 0);
        DoubleClickLogLine(logLine);
        const QTextCursor cursor = editor().textCursor();
        EXPECT_EQ(cursor.block().blockNumber(), c.line);
        EXPECT_EQ(cursor.selectionStart() - cursor.block().position(), c.column);
        EXPECT_EQ(cursor.selectedText(), QString::fromUtf8(c.token));
        EXPECT_TRUE(editor().hasFocus());
    }
}

TEST_F(NavigationTest, EnterOnAnErrorLineGoesThereToo) {
    Compile(kFaultyProgram);
    ui().Memo1->setTextCursor(
        QTextCursor(ui().Memo1->document()->findBlockByNumber(LogLineOfError(2))));
    ui().Memo1->setFocus();
    QTest::keyClick(ui().Memo1, Qt::Key_Return);
    EXPECT_EQ(editor().textCursor().block().blockNumber(), 1);
    EXPECT_EQ(editor().textCursor().selectedText(), "CAS");
}

// The time, the success lines, and the line of an empty text.
TEST_F(NavigationTest, OtherLogLinesDoNothing) {
    for (const QString& program : {kGoodProgram, QString()}) {
        Compile(program);
        editor().MoveCursorTo(3, 1);
        const int before = editor().textCursor().position();
        const QStringList lines = Lines(*ui().Memo1);
        ASSERT_GE(lines.size(), 3);
        for (int i = 0; i < lines.size(); ++i) {
            DoubleClickLogLine(i);
            EXPECT_EQ(editor().textCursor().position(), before) << lines[i].toStdString();
        }
    }
}

TEST_F(NavigationTest, MarksShowEveryErrorWithoutMovingTheCursor) {
    editor().setPlainText(kFaultyProgram);
    editor().MoveCursorTo(6, 3);
    const int before = editor().textCursor().position();
    ClickButton(*ui().Button1);
    const int errors = LogLineOfError(11) >= 0 ? 11 : -1;
    EXPECT_EQ(editor().ErrorMarkCount(), errors);
    EXPECT_EQ(editor().textCursor().position(), before);
    const int x = editor().document()->findBlockByNumber(0).position() + 7;
    EXPECT_EQ(editor().ErrorMessageAt(x), QString::fromUtf8("očakávala sa medzera"));
    EXPECT_EQ(editor().ErrorMessageAt(x + 1), "");

    // An edit of line 1 takes its mark away; the others stay.
    editor().MoveCursorTo(1, 1);
    TypeText(editor(), "P");
    EXPECT_EQ(editor().ErrorMarkCount(), errors - 1);
    EXPECT_EQ(editor().ErrorMessageAt(x + 1), "");

    Compile(kGoodProgram);
    EXPECT_EQ(editor().ErrorMarkCount(), 0);
}

TEST_F(NavigationTest, ListingClickLightsItsSourceLine) {
    Compile(kGoodProgram);
    const struct {
        const char* listingLine;
        int sourceLine;
    } cases[] = {{"0: 200 1 0 3 ", 1},
                 {"4: 0 120", 2},
                 {"6: Moj cyklus", 4},
                 {"6: 4 10", 5},
                 {"8: 134 100", 6}};
    const QStringList listing = Lines(*ui().Memo2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listingLine);
        const int line = static_cast<int>(listing.indexOf(QString::fromUtf8(c.listingLine)));
        ASSERT_GE(line, 0);
        QTest::mouseClick(ui().Memo2->viewport(), Qt::LeftButton, {},
                          PointOfLine(*ui().Memo2, line));
        EXPECT_EQ(editor().HighlightedLine(), c.sourceLine);
    }
}

TEST_F(NavigationTest, EditorCursorLightsTheListingOfItsStatement) {
    Compile(kGoodProgram);
    const auto lit = [&] {
        QStringList lines;
        for (const QTextEdit::ExtraSelection& s : ui().Memo2->extraSelections())
            lines << s.cursor.block().text();
        return lines;
    };
    editor().MoveCursorTo(5, 4);
    EXPECT_EQ(lit(), QStringList{"6: Moj cyklus"});
    editor().MoveCursorTo(7, 1);
    EXPECT_EQ(lit(), QStringList{"8: 134 100"});
    editor().MoveCursorTo(4, 1);
    EXPECT_EQ(lit(), QStringList{});
    // After an edit the listing is of another text.
    editor().MoveCursorTo(4, 1);
    TypeText(editor(), "\n");
    editor().MoveCursorTo(7, 1);
    EXPECT_EQ(lit(), QStringList{});
}

// Errors at the text's end and far below the visible lines of a 1 MB text
// navigate.
TEST_F(NavigationTest, ErrorsAtTheEdgesNavigate) {
    QString big = QStringLiteral("PROGRAM p:\n");
    while (big.size() < 1'000'000) big += QStringLiteral("/ ") + QString(60, u'k') + u'\n';
    big += QStringLiteral("RESETX\nKONIEC");
    const struct {
        const char* name;
        QString text;
        int line, column;
    } cases[] = {{"NoLineEndAtTheEnd", "PROGRAM p:\nRESET", 1, 5},
                 {"AfterTheLastLine", "PROGRAM p:\nRESET\n", 2, 0},
                 {"FarBelow", big, static_cast<int>(big.count(u'\n')) - 1, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Compile(c.text);
        ASSERT_GE(LogLineOfError(1), 0);
        DoubleClickLogLine(LogLineOfError(1));
        const QTextCursor cursor = editor().textCursor();
        EXPECT_EQ(cursor.block().blockNumber(), c.line);
        EXPECT_EQ(cursor.selectionStart() - cursor.block().position(), c.column);
        EXPECT_TRUE(editor().viewport()->rect().intersects(editor().cursorRect()));
    }
}

// An error line still selects its token after a line was inserted above it;
// after a file was opened the old log's error lines do nothing.
TEST_F(NavigationTest, ErrorLinesFollowEditsAndGoWithAnOpenedFile) {
    Compile(kFaultyProgram);
    editor().MoveCursorTo(1, 1);
    TypeText(editor(), "/ nový riadok\n");
    DoubleClickLogLine(LogLineOfError(2));
    EXPECT_EQ(editor().textCursor().block().blockNumber(), 2);
    EXPECT_EQ(editor().textCursor().selectedText(), "CAS");

    const QString path = QDir::temp().filePath(QStringLiteral("kmp_nav_open.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("PROGRAM q:\nKONIEC\n");
    file.close();
    dialogs.boxAnswers.push_back(Answer::No);  // the edited text may go
    form->OpenProgramFile(path);
    QFile::remove(path);
    ASSERT_EQ(EditorText(), "PROGRAM q:\nKONIEC\n");
    editor().MoveCursorTo(2, 2);
    DoubleClickLogLine(LogLineOfError(2));
    EXPECT_EQ(editor().textCursor().position(),
              editor().document()->findBlockByNumber(1).position() + 1);
    EXPECT_FALSE(editor().textCursor().hasSelection());
}

// A log line selected whole ends at the next line's start: Enter takes the
// selected line's error.
TEST_F(NavigationTest, EnterAfterSelectingAWholeLogLineTakesThatLine) {
    Compile(kFaultyProgram);
    const struct {
        const char* name;
        bool byTripleClick;
    } cases[] = {{"TripleClick", true}, {"ShiftDown", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int line = LogLineOfError(2);
        QTextCursor selection(ui().Memo1->document()->findBlockByNumber(line));
        if (c.byTripleClick) {
            // As a triple click leaves it: the line and its line end.
            selection.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
            ui().Memo1->setTextCursor(selection);
        } else {
            ui().Memo1->setTextCursor(selection);
            ui().Memo1->setFocus();
            QTest::keyClick(ui().Memo1, Qt::Key_Down, Qt::ShiftModifier);
        }
        ASSERT_EQ(ui().Memo1->textCursor().blockNumber(), line + 1);
        ui().Memo1->setFocus();
        QTest::keyClick(ui().Memo1, Qt::Key_Return);
        EXPECT_EQ(editor().textCursor().block().blockNumber(), 1);
        EXPECT_EQ(editor().textCursor().selectedText(), "CAS");
    }
}

// "22: 255 255" of the example stands for its last lines: a click shows them
// with the editor at its top.
TEST_F(NavigationTest, ListingClickScrollsItsSourceLineIntoView) {
    Compile(EditorText());
    editor().MoveCursorTo(1, 1);
    editor().verticalScrollBar()->setValue(0);
    const int listingLine = static_cast<int>(Lines(*ui().Memo2).indexOf("22: 255 255"));
    ASSERT_GE(listingLine, 0);
    const int cursorBefore = editor().textCursor().position();
    QTest::mouseClick(ui().Memo2->viewport(), Qt::LeftButton, {},
                      PointOfLine(*ui().Memo2, listingLine));
    const int source = editor().HighlightedLine();
    ASSERT_GT(source, 20);
    const QTextBlock block = editor().document()->findBlockByNumber(source);
    const QRect place = editor().cursorRect(QTextCursor(block));
    EXPECT_TRUE(editor().viewport()->rect().contains(place)) << place.y();
    EXPECT_EQ(editor().textCursor().position(), cursorBefore);
}

// The missing KONIEC is marked on the last character where the statements
// ended, underlined as every other mark.
TEST_F(NavigationTest, MissingEndIsMarkedOnTheLastCharacter) {
    const struct {
        QString text;
        int marked;  // the character that the mark covers
        int marks;
    } cases[] = {{QStringLiteral("PROGRAM p:\nRESET\n"), 15, 1},
                 {QStringLiteral("PROGRAM p:\nRESET  \n\n"), 15, 1},
                 // The missing line end is marked there too.
                 {QStringLiteral("PROGRAM p:\nRESET"), 15, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        Compile(c.text);
        ASSERT_EQ(editor().ErrorMarkCount(), c.marks);
        EXPECT_TRUE(editor().ErrorMessageAt(c.marked).contains(
            QString::fromUtf8("očakával sa príkaz KONIEC alebo iné platné príkazy")));
        // The hint stands beside the message in the tooltip.
        EXPECT_TRUE(editor().ErrorMessageAt(c.marked).endsWith(
            QString::fromUtf8("\nProgram musí končiť príkazom KONIEC.")));
        EXPECT_EQ(editor().ErrorMessageAt(c.marked - 1), "");
        bool underlined = false;
        for (const QTextEdit::ExtraSelection& s : editor().extraSelections()) {
            if (s.cursor.selectionStart() == c.marked && s.cursor.selectionEnd() == c.marked + 1)
                underlined = s.format.underlineStyle() == QTextCharFormat::WaveUnderline;
        }
        EXPECT_TRUE(underlined);
    }
}

// The 63rd statement: the box says what it always said, and the statement
// that no longer fits is marked with why.
TEST_F(NavigationTest, TheStatementThatNoLongerFitsIsMarked) {
    QString text = QStringLiteral("PROGRAM p:\n");
    for (int i = 0; i < 62; ++i) text += QStringLiteral("RESET\n");
    Compile(text + QStringLiteral("VYSTUP(1,0,0) CAS 1\nKONIEC"));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "Range check error.");
    const int start = editor().document()->findBlockByNumber(63).position();
    EXPECT_EQ(editor().ErrorMessageAt(start + 2),
              QString::fromUtf8("Range check error\nProgram môže mať najviac 62 príkazov."));
}

}  // namespace
}  // namespace kmp::testing
