// The stretches of a program line that editors show apart, for display
// only: keywords as the scanner reads them, "/" comments, label definition
// lines, digits and blanks where the language wants exactly one.
#pragma once

#include <string_view>
#include <vector>

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

// The highlighted stretches of one line, in order. One byte per character:
// keywords and digits are ASCII, any other letter may stand as '?'.
std::vector<ProgramSpanAt> ProgramTextSpans(std::string_view line);

// The name that a program gives itself ("motor" of "PROGRAM motor:"): the
// word after PROGRAM on the first line that holds a keyword; empty when that
// keyword is not PROGRAM. Lines end with LF (a CR before it is ignored).
std::string_view ProgramNameOf(std::string_view text);

}  // namespace kmp
