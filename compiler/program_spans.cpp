#include "program_spans.h"

#include "scanner.h"

#include <algorithm>

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

std::vector<ProgramSpanAt> ProgramTextSpans(std::string_view text) {
    std::vector<ProgramSpanAt> spans;
    std::size_t pos = 0;
    if (const int label = LabelDefinitionLength(text); label > 0) {
        spans.push_back({0, label, ProgramSpan::Label});
        pos = static_cast<std::size_t>(label);
    }
    // Blanks that indent the line are no slip.
    const std::size_t firstWord = std::min(text.find_first_not_of(" \t"), text.size());
    while (pos < text.size()) {
        const auto start = static_cast<int>(pos);
        if (const std::size_t blanks = ExtraBlankLength(text, pos, firstWord); blanks > 0) {
            spans.push_back({start, static_cast<int>(blanks), ProgramSpan::ExtraBlank});
            pos += blanks;
            continue;
        }
        if (text[pos] == '/') {
            spans.push_back({start, static_cast<int>(text.size() - pos), ProgramSpan::Comment});
            break;
        }
        if (const std::size_t keyword = KeywordLengthAt(text.substr(pos)); keyword > 0) {
            spans.push_back({start, static_cast<int>(keyword), ProgramSpan::Keyword});
            pos += keyword;
        } else if (IsDigit(text[pos])) {
            while (pos < text.size() && IsDigit(text[pos])) ++pos;
            spans.push_back({start, static_cast<int>(pos) - start, ProgramSpan::Number});
        } else {
            ++pos;
        }
    }
    return spans;
}

std::string_view ProgramNameOf(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        for (const ProgramSpanAt& span : ProgramTextSpans(line)) {
            if (span.kind != ProgramSpan::Keyword) continue;
            const auto start = static_cast<std::size_t>(span.start);
            const auto length = static_cast<std::size_t>(span.length);
            if (line.substr(start, length) != "PROGRAM") return {};
            std::string_view rest = line.substr(start + length);
            const std::size_t from = rest.find_first_not_of(" \t");
            if (from == std::string_view::npos) return {};
            rest.remove_prefix(from);
            return rest.substr(0, std::min(rest.find_first_of(": \t\r/"), rest.size()));
        }
    }
    return {};
}

}  // namespace kmp
