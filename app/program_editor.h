// The program editor RichEdit1: a plain-text editor with line numbers in a
// gutter inside its own rectangle and display-only highlighting of the
// program text.
#pragma once

#include <QList>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QCompleter;
class QPaintEvent;
class QTextBlock;

namespace kmp {

class TProgramHighlighter;

class TProgramEditor final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TProgramEditor(QWidget* parent = nullptr);

    // Turns the highlighting on or off; it is on from the start.
    void SetHighlighting(bool on);
    bool Highlighting() const;

    // The 1-based line and position of the text cursor.
    int CurrentLine() const;
    int CurrentPosition() const;
    // "line:position", as the window shows it.
    QString PositionText() const;

    // Puts the text cursor at a 1-based line and position (both clamped to
    // the text) and scrolls it into view; for going to a reported error.
    void MoveCursorTo(int line, int position);

    // Selects `length` characters from the 0-based `line` and `column` (all
    // clamped to the text), scrolls them into view and takes the focus.
    void SelectSpan(int line, int column, int length);
    // A cursor over that span; it follows the edits of the text around it.
    QTextCursor SpanCursor(int line, int column, int length) const;
    // Selects what `span` covers, scrolls it into view and takes the focus.
    void SelectCursor(const QTextCursor& span);

    // The place of one compile error: 0-based line and column, its length
    // in characters (0: at a line end or unknown) and its message.
    struct ErrorMark {
        int line = 0;
        int column = 0;
        int length = 0;
        QString message;
    };
    // Marks the places with a red wavy underline on a light red ground and
    // the message as tooltip, in place of the marks before. A mark goes
    // when its line is edited.
    void SetErrorMarks(const std::vector<ErrorMark>& marks);
    int ErrorMarkCount() const { return static_cast<int>(marks_.size()); }
    // The messages of the marks at a position of the text, one a line.
    QString ErrorMessageAt(int position) const;

    // What a keyword's tooltip tells (its statement's form and ranges).
    void SetKeywordHelp(std::function<QString(const QString& keyword)> help) {
        keywordHelp_ = std::move(help);
    }
    // The keyword of the language that stands at `position`; empty if none.
    QString KeywordAt(int position) const;
    // The tooltip at `position`: the error marks' messages, else the help of
    // the keyword there.
    QString ToolTipAt(int position) const;

    // The statements' templates with their exact blanks, offered by
    // Ctrl+Space and when a statement keyword's first letters are typed.
    QCompleter& Templates() const { return *templates_; }

    // Lays a light ground on the 0-based `line` (-1: on none): the source of
    // the listing line chosen; scrolls it into view when it is out of sight.
    // The text cursor stays where it is.
    void HighlightLine(int line);
    int HighlightedLine() const { return highlightedLine_; }

    // Keys that belong to the window's shortcuts: the editor does not take
    // them for its own editing commands.
    void SetWindowKeys(const QList<QKeySequence>& keys) { windowKeys_ = keys; }

    // The gutter with the line numbers, a child inside the editor's frame.
    QWidget& Gutter() const { return *gutter_; }
    int GutterWidth() const;

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class LineNumberGutter;
    void PaintGutter(const QPaintEvent& event);
    void UpdateGutterWidth();
    void UpdateGutter(const QRect& rect, int dy);
    void DropMarksOfEditedLines(int position, int added);
    void ScrollIntoView(const QTextBlock& block);
    void ShowSelections();
    void OfferTemplates(bool asked);
    void InsertTemplate(const QString& text);

    QWidget* gutter_;
    TProgramHighlighter* highlighter_;
    QList<QKeySequence> windowKeys_;
    std::function<QString(const QString&)> keywordHelp_;
    QCompleter* templates_;
    struct Mark {
        QTextEdit::ExtraSelection selection;
        QString message;
    };
    std::vector<Mark> marks_;
    int markedRevision_ = -1;
    int highlightedLine_ = -1;
};

}  // namespace kmp
