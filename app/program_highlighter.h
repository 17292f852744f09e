// Highlighting of the program text in the editor, for display only: keywords
// as the scanner reads them, "/" comments, label definition lines and digits.
// The formats live in the text layout, not in the document, so the text, the
// undo history and the saved file stay as they are.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace kmp {

// What a stretch of a program line is shown as.
// ExtraBlank: a tab, or a run of two or more blanks after the line's first
// word, where the language wants exactly one blank (shown, never changed).
enum class ProgramSpan { Keyword, Comment, Label, Number, ExtraBlank };

struct ProgramSpanAt {
    int start;
    int length;
    ProgramSpan kind;
};

// The highlighted stretches of one line of program text, in order.
QList<ProgramSpanAt> ProgramLineSpans(const QString& line);

class TProgramHighlighter final : public QSyntaxHighlighter {
    Q_OBJECT

public:
    // Highlights no document until setDocument() is called.
    explicit TProgramHighlighter(QObject* parent);

    const QTextCharFormat& FormatOf(ProgramSpan kind) const;

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat keyword_;
    QTextCharFormat comment_;
    QTextCharFormat label_;
    QTextCharFormat number_;
    QTextCharFormat extraBlank_;
};

}  // namespace kmp
