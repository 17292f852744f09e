#include "program_highlighter.h"

#include <scanner.h>

#include <QByteArray>
#include <algorithm>
#include <string_view>

namespace kmp {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A label definition: a name that does not begin with a keyword, its colon,
// then nothing but spaces or a comment. Returns the length up to the colon.
int LabelDefinitionLength(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos) return 0;
    const std::string_view name = line.substr(0, colon);
    if (name.front() == ' ' || name.front() == '\t' || name.find('/') != name.npos) return 0;
    if (KeywordLengthAt(name) > 0) return 0;
    const std::size_t rest = line.find_first_not_of(" \t", colon + 1);
    if (rest != std::string_view::npos && line[rest] != '/') return 0;
    return static_cast<int>(colon + 1);
}

// The length of a run of blanks at `pos` inside a statement (after the
// line's first word, before its end or comment) that holds a tab or two or
// more blanks; 0 for anything else.
std::size_t ExtraBlankLength(std::string_view line, std::size_t pos, std::size_t firstWord) {
    const std::size_t end = std::min(line.find_first_not_of(" \t", pos), line.size());
    const std::string_view run = line.substr(pos, end - pos);
    if (run.empty() || end == line.size() || line[end] == '/') return 0;
    if (run.find('\t') != std::string_view::npos) return run.size();
    return pos >= firstWord && run.size() >= 2 ? run.size() : 0;
}

}  // namespace

QList<ProgramSpanAt> ProgramLineSpans(const QString& line) {
    // One byte per UTF-16 unit, so that byte positions are text positions;
    // keywords and digits are ASCII, other letters become '?'.
    const QByteArray bytes = line.toLatin1();
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    QList<ProgramSpanAt> spans;
    std::size_t pos = 0;
    if (const int label = LabelDefinitionLength(text); label > 0) {
        spans.append({0, label, ProgramSpan::Label});
        pos = static_cast<std::size_t>(label);
    }
    // Blanks that indent the line are no slip.
    const std::size_t firstWord = std::min(text.find_first_not_of(" \t"), text.size());
    while (pos < text.size()) {
        const auto start = static_cast<int>(pos);
        if (const std::size_t blanks = ExtraBlankLength(text, pos, firstWord); blanks > 0) {
            spans.append({start, static_cast<int>(blanks), ProgramSpan::ExtraBlank});
            pos += blanks;
            continue;
        }
        if (text[pos] == '/') {
            spans.append({start, static_cast<int>(text.size() - pos), ProgramSpan::Comment});
            break;
        }
        if (const std::size_t keyword = KeywordLengthAt(text.substr(pos)); keyword > 0) {
            spans.append({start, static_cast<int>(keyword), ProgramSpan::Keyword});
            pos += keyword;
        } else if (IsDigit(text[pos])) {
            while (pos < text.size() && IsDigit(text[pos])) ++pos;
            spans.append({start, static_cast<int>(pos) - start, ProgramSpan::Number});
        } else {
            ++pos;
        }
    }
    return spans;
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
