// The program editor: gutter inside its rectangle, display-only highlighting,
// the cursor position, the window's shortcuts and dropped files.
#include "window_test_support.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QStringListModel>
#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBrowser>
#include <QToolTip>
#include <QHelpEvent>

#include "program_editor.h"
#include "program_file.h"
#include "program_highlighter.h"

#include <language_help.h>
#include <scanner.h>

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

namespace kmp::testing {
namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QString ManyLines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i) lines << QStringLiteral("VYSTUP(1,0,0) CAS 10");
    return lines.join(QLatin1Char('\n'));
}

class EditorTest : public WindowTest {
protected:
    TProgramEditor& editor() { return *ui().RichEdit1; }
    QString PathOf(const char* name) const {
        return QDir(folder.path()).filePath(QString::fromUtf8(name));
    }
    QTemporaryDir folder;
};

TEST_F(EditorTest, GutterLiesInsideTheEditorWhicheverTheLineCount) {
    for (int lines : {0, 34, 999, 1000, 12000}) {
        SCOPED_TRACE(lines);
        if (lines != 34) editor().setPlainText(ManyLines(lines));
        EXPECT_EQ(editor().geometry(), QRect(16, 24, 401, 313));
        const QWidget& gutter = editor().Gutter();
        EXPECT_TRUE(gutter.isVisible());
        EXPECT_EQ(gutter.parentWidget(), &editor());
        EXPECT_TRUE(editor().rect().contains(gutter.geometry())) << gutter.geometry().x();
        EXPECT_EQ(gutter.width(), editor().GutterWidth());
        // The text starts right of the gutter.
        EXPECT_GE(editor().viewport()->x(), gutter.geometry().right() + 1);
        const int digits = std::max(3, static_cast<int>(QString::number(lines).size()));
        EXPECT_GE(gutter.width(), editor().fontMetrics().horizontalAdvance(QString(digits, u'9')));
    }
}

QRect RowOf(TProgramEditor& editor, int line) {
    return editor.cursorRect(QTextCursor(editor.document()->findBlockByNumber(line - 1)));
}

// Ink in the gutter's pixel rows `row`: a line number is drawn there.
bool GutterHasInk(TProgramEditor& editor, const QRect& row) {
    const QImage image = editor.Gutter().grab().toImage();
    const QRgb background = image.pixel(0, std::clamp(row.center().y(), 0, image.height() - 1));
    for (int y = std::max(0, row.top()); y <= std::min(row.bottom(), image.height() - 1); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) return true;
    return false;
}

TEST_F(EditorTest, GutterDrawsTheNumbersOfVisibleLines) {
    // Line 4 of the example program is empty: the ink is the number's.
    for (int line : {1, 4, 20}) EXPECT_TRUE(GutterHasInk(editor(), RowOf(editor(), line))) << line;
    editor().setPlainText(QString());
    const QRect first = RowOf(editor(), 1);
    EXPECT_TRUE(GutterHasInk(editor(), first));
    EXPECT_FALSE(GutterHasInk(editor(), first.translated(0, first.height())));
}

// The program text of a file and the same text saved from the editor.
struct SaveCase {
    const char* name;
    QString text;
};

const SaveCase kSaves[] = {
    {"Example", QString()},
    {"SlovakAndTab", QStringLiteral("// ľščťžýáí\nPROGRAM a:\n\tVYSTUP(1,0,0) CAS 9\nKONIEC\n")},
    {"LabelsAndBraces",
     QStringLiteral("PROGRAM b:\nMoj {cyklus}:\nOPAKUJ Moj cyklus: 7\\\nKONIEC")},
};

TEST_F(EditorTest, SavedFileIsTheSameWithAndWithoutHighlighting) {
    for (const SaveCase& c : kSaves) {
        SCOPED_TRACE(c.name);
        if (!c.text.isEmpty()) editor().setPlainText(c.text);
        const QString text = editor().toPlainText();
        const QString highlighted = PathOf("highlighted.kmp");
        const QString plain = PathOf("plain.kmp");
        ASSERT_TRUE(editor().Highlighting());
        dialogs.fileAnswers.push_back(highlighted);
        ClickButton(*ui().Button6);
        editor().SetHighlighting(false);
        dialogs.fileAnswers.push_back(plain);
        ClickButton(*ui().Button6);
        editor().SetHighlighting(true);

        const QByteArray bytes = ReadBytes(highlighted);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(bytes, ReadBytes(plain));
        const std::string expected = ProgramFileBytesFromText(text.toStdString());
        EXPECT_EQ(bytes.toStdString(), expected);
        EXPECT_EQ(ProgramTextFromFileBytes(bytes.toStdString()), text.toStdString());
    }
}

TEST_F(EditorTest, HighlightingLivesInTheLayoutOnly) {
    CompiledOk = true;
    editor().SetHighlighting(false);
    editor().SetHighlighting(true);
    EXPECT_FALSE(ProgramChanged);
    EXPECT_EQ(editor().document()->availableUndoSteps(), 0);
    // Line 8, "VYSTUP(0,0,0) CAS 120": the keyword has the keyword format on screen.
    const QTextBlock line8 = editor().document()->findBlockByNumber(7);
    const QList<QTextLayout::FormatRange> formats = line8.layout()->formats();
    ASSERT_FALSE(formats.isEmpty());
    EXPECT_EQ(formats.front().start, 0);
    EXPECT_EQ(formats.front().length, 6);
    EXPECT_TRUE(formats.front().format.font().bold());
    // The document's own character format stays plain.
    QTextCursor cursor(line8);
    cursor.movePosition(QTextCursor::Right);
    EXPECT_FALSE(cursor.charFormat().font().bold());
}

TEST_F(EditorTest, TypingUndoAndRedo) {
    editor().setFocus();
    editor().moveCursor(QTextCursor::Start);
    const QString before = EditorText();
    TypeText(editor(), QStringLiteral("RESET "));
    EXPECT_EQ(EditorText(), QStringLiteral("RESET ") + before);
    QTest::keyClick(&editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(EditorText(), before);
    QTest::keyClick(&editor(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(EditorText(), QStringLiteral("RESET ") + before);
}

struct PositionCase {
    int line, position;
    const char* shown;
};

const PositionCase kPositions[] = {
    {3, 9, "3:9"}, {16, 1, "16:1"}, {0, 0, "1:1"}, {999, 4, "34:4"}, {3, 999, "3:20"},
};

TEST_F(EditorTest, PositionLabelFollowsTheCursor) {
    EXPECT_EQ(ui().Label18->text(), "1:1");
    for (const PositionCase& c : kPositions) {
        SCOPED_TRACE(c.shown);
        editor().MoveCursorTo(c.line, c.position);
        EXPECT_EQ(ui().Label18->text(), QString::fromLatin1(c.shown));
    }
    editor().MoveCursorTo(8, 1);
    editor().setFocus();
    PressKey(editor(), Qt::Key_End);
    EXPECT_EQ(ui().Label18->text(), "8:22");
    TypeText(editor(), QStringLiteral("\nRE"));
    EXPECT_EQ(ui().Label18->text(), "9:3");
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* focus;
};

const KeyCase kKeys[] = {
    {"CtrlO", Qt::Key_O, Qt::ControlModifier, "RichEdit1"},
    {"CtrlS", Qt::Key_S, Qt::ControlModifier, "RichEdit1"},
    {"F5", Qt::Key_F5, Qt::NoModifier, "RichEdit1"},
    {"CtrlR", Qt::Key_R, Qt::ControlModifier, "RichEdit1"},
    {"CtrlU", Qt::Key_U, Qt::ControlModifier, "RichEdit1"},
    {"CtrlQ", Qt::Key_Q, Qt::ControlModifier, "RichEdit1"},
    {"CtrlUFromButton", Qt::Key_U, Qt::ControlModifier, "Button3"},
    {"F5FromTrackBar", Qt::Key_F5, Qt::NoModifier, "TrackBar1"},
    {"CtrlUFromPortField", Qt::Key_U, Qt::ControlModifier, "ComboBox1"},
    {"CtrlSFromPortField", Qt::Key_S, Qt::ControlModifier, "ComboBox1"},
};

// What a run of each reaction leaves behind, read back after the key.
struct Effects {
    std::size_t openRequests = 0, saveRequests = 0, boxes = 0;
    bool compiled = false, visible = true;
    QString text;
};

class KeyTest : public EditorTest, public ::testing::WithParamInterface<KeyCase> {
protected:
    Effects Read() {
        Effects e;
        for (const auto& request : dialogs.fileRequests)
            ++(request.save ? e.saveRequests : e.openRequests);
        e.boxes = dialogs.boxes.size();
        e.compiled = !Lines(*ui().Memo1).isEmpty();
        e.visible = form->isVisible();
        e.text = EditorText();
        return e;
    }
};

TEST_P(KeyTest, KeyRunsTheReactionOfItsButton) {
    const KeyCase& c = GetParam();
    ui().Button4->setEnabled(true);
    auto* focus = form->findChild<QWidget*>(QString::fromLatin1(c.focus));
    focus->setFocus();
    const QString before = EditorText();
    QTest::keyClick(focus, c.key, c.modifiers);
    const Effects e = Read();
    const std::string name = c.name;
    EXPECT_EQ(e.openRequests, name == "CtrlO" ? 1u : 0u);
    EXPECT_EQ(e.saveRequests, name.starts_with("CtrlS") ? 1u : 0u);
    EXPECT_EQ(e.compiled, name.starts_with("F5") || name == "CtrlR");
    // Sending before a compile run refuses with a box.
    EXPECT_EQ(e.boxes, name.starts_with("CtrlU") ? 1u : 0u);
    if (e.boxes == 1) {
        EXPECT_EQ(dialogs.boxes[0].caption, "Nemôžem odoslať program");
    }
    EXPECT_EQ(e.visible, name != "CtrlQ");
    EXPECT_EQ(e.text, before);
}

INSTANTIATE_TEST_SUITE_P(Shortcuts, KeyTest, ::testing::ValuesIn(kKeys),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(EditorTest, SendKeyDoesNothingWhileTheSendButtonIsDisabled) {
    ASSERT_FALSE(ui().Button4->isEnabled());
    editor().setFocus();
    QTest::keyClick(&editor(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(EditorTest, TooltipsNameTheShortcuts) {
    const struct {
        QWidget* button;
        const char* tooltip;
    } cases[] = {
        {ui().Button5, "Otvor program (Ctrl+O)"},
        {ui().Button6, "Ulož program (Ctrl+S, Ctrl+Shift+S)"},
        {ui().Button1, "Prelož program do binárneho tvaru (F5, Ctrl+R)"},
        {ui().Button4, "Odošli (Ctrl+U)"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.button->toolTip(), QString::fromUtf8(c.tooltip));
}

struct DropCase {
    const char* name;
    const char* file;
    bool rtf;           // written as a program file, else as the raw bytes
    const char* bytes;  // the program text, or the raw bytes
    bool opens;
};

const DropCase kDrops[] = {
    {"ProgramFile", "prenos.kmp", true, "PROGRAM p:\nRESET\nKONIEC", true},
    {"UpperCaseExtension", "PRENOS.KMP", true, "PROGRAM q:\nKONIEC", true},
    {"TextFile", "prenos.txt", false, "PROGRAM t:\r\nRESET\r\nKONIEC\r\n", true},
    {"Picture", "obrazok.png", false, "\x89PNG\r\n\x1a\n\x01\x02", false},
};

class DropTest : public EditorTest,
                 public ::testing::WithParamInterface<std::tuple<DropCase, bool>> {};

TEST_P(DropTest, DroppedFileOpensAsAfterTheOpenDialog) {
    const auto& [c, onEditor] = GetParam();
    const QString path = PathOf(c.file);
    if (c.rtf) {
        WriteProgramFile(path.toStdString(), c.bytes);
    } else {
        WriteBytes(path, QByteArray(c.bytes));
    }
    CompiledOk = true;
    const QString before = EditorText();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QWidget* target = onEditor ? editor().viewport() : static_cast<QWidget*>(form.get());
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);

    if (c.opens) {
        EXPECT_TRUE(enter.isAccepted());
        EXPECT_TRUE(drop.isAccepted());
        EXPECT_EQ(EditorText().toStdString(), ReadProgramFile(path.toStdString()));
        EXPECT_TRUE(ProgramChanged);
    } else {
        EXPECT_EQ(EditorText(), before);
        EXPECT_FALSE(ProgramChanged);
    }
    EXPECT_TRUE(dialogs.fileRequests.empty());
    EXPECT_TRUE(dialogs.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, DropTest,
                         ::testing::Combine(::testing::ValuesIn(kDrops), ::testing::Bool()),
                         [](const auto& p) {
                             return std::string(std::get<0>(p.param).name) +
                                    (std::get<1>(p.param) ? "OnEditor" : "OnWindow");
                         });

// F1 opens the reference at the statement of the cursor's line.
TEST_F(EditorTest, F1OpensTheReferenceAtTheStatement) {
    editor().setPlainText(
        QStringLiteral("PROGRAM p:\n  VYSTUP(0,0,0) CAS 1\nROTUJ STALE DOLAVA, ROZBEH 2 CAS 3\n"
                       "AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK X:\nX:\nKONIEC"));
    const struct {
        int line;
        const char* heading;
    } cases[] = {{2, "VYSTUP"}, {3, "ROTUJ"}, {4, "AK … SKOK"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heading);
        editor().MoveCursorTo(c.line, 5);
        editor().setFocus();
        QTest::keyClick(&editor(), Qt::Key_F1);
        QTextBrowser* reference = form->ReferenceView();
        ASSERT_NE(reference, nullptr);
        EXPECT_TRUE(reference->isVisible());
        // The heading stands in the view, at its top unless the text ends first.
        QTextBlock heading = reference->document()->begin();
        while (heading.isValid() && heading.text() != QString::fromUtf8(c.heading))
            heading = heading.next();
        ASSERT_TRUE(heading.isValid());
        const QRectF place = reference->document()->documentLayout()->blockBoundingRect(heading);
        const int top = reference->verticalScrollBar()->value();
        EXPECT_GE(place.top(), top);
        EXPECT_LE(place.bottom(), top + reference->viewport()->height());
        EXPECT_TRUE(place.top() == top || top == reference->verticalScrollBar()->maximum());
    }
}

// A keyword's tooltip is its statement's form and ranges from the reference.
TEST_F(EditorTest, KeywordTooltipShowsTheFormAndRanges) {
    editor().setPlainText(QStringLiteral("PROGRAM p:\nCASOVANIE 4, PERIODA 120\nKONIEC"));
    const int periodA = static_cast<int>(editor().toPlainText().indexOf(QLatin1String("PERIODA")));
    for (const int at : {12, periodA + 3}) {
        const QString tip = editor().ToolTipAt(at);
        EXPECT_TRUE(tip.startsWith(QString::fromUtf8("Tvar: CASOVANIE n, PERIODA p."))) << at;
        EXPECT_TRUE(tip.contains(QString::fromUtf8("0 až 7"))) << tip.toStdString();
    }
    EXPECT_EQ(editor().ToolTipAt(periodA + 9), "");  // the number
    // Hovering shows it.
    QTextCursor at(editor().document());
    at.setPosition(12);
    const QPoint point = editor().cursorRect(at).center();
    QHelpEvent hover(QEvent::ToolTip, point, editor().viewport()->mapToGlobal(point));
    QApplication::sendEvent(editor().viewport(), &hover);
    EXPECT_EQ(QToolTip::text(), editor().ToolTipAt(12));
}

// Templates: typed first letters where a statement begins, or Ctrl+Space;
// the inserted statement has its exact blanks. A whole keyword is left alone.
TEST_F(EditorTest, TemplatesInsertStatementsWithTheirBlanks) {
    editor().setPlainText(QStringLiteral("PROGRAM p:\n"));
    editor().moveCursor(QTextCursor::End);
    editor().setFocus();
    QCompleter& templates = editor().Templates();
    TypeText(editor(), QStringLiteral("VY"));
    ASSERT_TRUE(templates.popup()->isVisible());
    QTest::keyClick(templates.popup(), Qt::Key_Return);
    EXPECT_EQ(editor().textCursor().block().text(), "VYSTUP(0,0,0) CAS 0");
    // Its first value is selected, to be written over.
    EXPECT_EQ(editor().textCursor().selectedText(), "0");
    EXPECT_EQ(editor().textCursor().selectionStart() - editor().textCursor().block().position(), 7);
    TypeText(editor(), QStringLiteral("1"));
    EXPECT_EQ(editor().textCursor().block().text(), "VYSTUP(1,0,0) CAS 0");
    editor().moveCursor(QTextCursor::EndOfBlock);
    TypeText(editor(), QStringLiteral("\nRO"));
    ASSERT_TRUE(templates.popup()->isVisible());
    EXPECT_EQ(templates.completionCount(), 4);
    QTest::keyClick(templates.popup(), Qt::Key_Escape);
    TypeText(editor(), QStringLiteral("TUJ DOLAVA, ROZBEH 0 CAS 0\nKONIEC"));
    EXPECT_FALSE(templates.popup()->isVisible());
    PressKey(editor(), Qt::Key_Return);
    EXPECT_EQ(editor().blockCount(), 5);
    QTest::keyClick(&editor(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(templates.popup()->isVisible());
    EXPECT_EQ(templates.completionCount(), 11);
    QTest::keyClick(templates.popup(), Qt::Key_Escape);
    ClickButton(*ui().Button1);
    EXPECT_TRUE(CompiledOk) << EditorText().toStdString();
}

// The templates and the keyword tooltips are the language help's: one list
// in its order, and each keyword's form paragraph of the reference.
TEST_F(EditorTest, TemplatesAndTooltipsComeFromTheLanguageHelp) {
    const QStringList offered =
        qobject_cast<QStringListModel*>(editor().Templates().model())->stringList();
    ASSERT_EQ(offered.size(), static_cast<qsizetype>(StatementTemplates().size()));
    for (qsizetype i = 0; i < offered.size(); ++i)
        EXPECT_EQ(offered[i].toStdString(), StatementTemplates()[static_cast<std::size_t>(i)]);
    const LanguageReference& reference = LanguageReference::Of(HelpLanguage::Slovak);
    int withForm = 0;
    for (const std::string_view keyword : LanguageKeywords()) {
        SCOPED_TRACE(std::string(keyword));
        const QString word =
            QString::fromLatin1(keyword.data(), static_cast<qsizetype>(keyword.size()));
        editor().setPlainText(QStringLiteral("PROGRAM p:\n") + word + QStringLiteral(" \nKONIEC"));
        const std::string statementForm = reference.FormOf(keyword);
        EXPECT_EQ(editor().ToolTipAt(12).toStdString(), statementForm);
        withForm += statementForm.empty() ? 0 : 1;
    }
    EXPECT_GE(withForm, 20);
}

}  // namespace
}  // namespace kmp::testing
