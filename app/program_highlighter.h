// Highlighting of the program text in the editor, for display only: keywords
// as the scanner reads them, "/" comments, label definition lines and digits.
// The formats live in the text layout, not in the document, so the text, the
// undo history and the saved file stay as they are.
#pragma once

#include <program_spans.h>

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace kmp {

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
