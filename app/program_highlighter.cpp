#include "program_highlighter.h"

#include <QByteArray>

namespace kmp {

QList<ProgramSpanAt> ProgramLineSpans(const QString& line) {
    // One byte per UTF-16 unit, so that byte positions are text positions;
    // keywords and digits are ASCII, other letters become '?'.
    const QByteArray bytes = line.toLatin1();
    const std::vector<ProgramSpanAt> spans =
        ProgramTextSpans({bytes.constData(), static_cast<std::size_t>(bytes.size())});
    return {spans.begin(), spans.end()};
}

TProgramHighlighter::TProgramHighlighter(QObject* parent) : QSyntaxHighlighter(parent) {
    keyword_.setForeground(QColor(0, 0, 160));
    keyword_.setFontWeight(QFont::Bold);
    comment_.setForeground(QColor(0, 128, 0));
    comment_.setFontItalic(true);
    label_.setForeground(QColor(128, 0, 128));
    label_.setFontWeight(QFont::Bold);
    number_.setForeground(QColor(176, 64, 0));
    extraBlank_.setBackground(QColor(255, 214, 150));
}

const QTextCharFormat& TProgramHighlighter::FormatOf(ProgramSpan kind) const {
    switch (kind) {
    case ProgramSpan::Keyword: return keyword_;
    case ProgramSpan::Comment: return comment_;
    case ProgramSpan::Label: return label_;
    case ProgramSpan::ExtraBlank: return extraBlank_;
    case ProgramSpan::Number: break;
    }
    return number_;
}

void TProgramHighlighter::highlightBlock(const QString& text) {
    for (const ProgramSpanAt& span : ProgramLineSpans(text))
        setFormat(span.start, span.length, FormatOf(span.kind));
}

}  // namespace kmp
