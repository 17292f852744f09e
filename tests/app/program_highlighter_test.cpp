// The highlighted stretches of program lines: keywords as the scanner reads
// them, comments, label definition lines and digits.
#include "program_highlighter.h"

#include <gtest/gtest.h>

#include <ostream>

namespace kmp {

void PrintTo(const ProgramSpanAt& span, std::ostream* out) {
    static const char* const kNames[] = {"Keyword", "Comment", "Label", "Number", "ExtraBlank"};
    *out << kNames[static_cast<int>(span.kind)] << '(' << span.start << ',' << span.length << ')';
}

bool operator==(const ProgramSpanAt& a, const ProgramSpanAt& b) {
    return a.start == b.start && a.length == b.length && a.kind == b.kind;
}

namespace {

constexpr ProgramSpan K = ProgramSpan::Keyword;
constexpr ProgramSpan C = ProgramSpan::Comment;
constexpr ProgramSpan L = ProgramSpan::Label;
constexpr ProgramSpan N = ProgramSpan::Number;
constexpr ProgramSpan B = ProgramSpan::ExtraBlank;

struct SpanCase {
    const char* line;
    std::vector<ProgramSpanAt> spans;
};

const SpanCase kLines[] = {
    {"VYSTUP(0,0,0) CAS 120",
     {{0, 6, K}, {7, 1, N}, {9, 1, N}, {11, 1, N}, {14, 3, K}, {18, 3, N}}},
    // The longer keyword first, as the scanner tries it.
    {"CASOVANIE 4, PERIODA 120", {{0, 9, K}, {10, 1, N}, {13, 7, K}, {21, 3, N}}},
    {"ROTUJ STALE DOPRAVA, ROZBEH 2 CAS 200",
     {{0, 5, K}, {6, 5, K}, {12, 7, K}, {21, 6, K}, {28, 1, N}, {30, 3, K}, {34, 3, N}}},
    {"AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK Podmienka:",
     {{0, 2, K}, {3, 7, K}, {12, 6, K}, {20, 3, K}, {25, 6, K}, {33, 4, K}}},
    {"AK KOMPARATOR NEG_VSTUP1 NAND NOR OR SKOK x:",
     {{0, 2, K}, {3, 10, K}, {14, 10, K}, {25, 4, K}, {30, 3, K}, {34, 2, K}, {37, 4, K}}},
    {"PROGRAM mojprogram:", {{0, 7, K}}},
    {"RESET", {{0, 5, K}}},
    {"KONIEC", {{0, 6, K}}},
    // Keywords are upper-case prefixes: the scanner reads ROTUJ in ROTUJEM.
    {"ROTUJEM", {{0, 5, K}}},
    {"rotuj vystup", {}},
    {"// koniec programu KONIEC 12", {{0, 28, C}}},
    {"RESET / navrat 1", {{0, 5, K}, {6, 10, C}}},
    {"Moj cyklus:", {{0, 11, L}}},
    {"Podmienka:  // ciel 2", {{0, 10, L}, {12, 9, C}}},
    {"žltý kôň:", {{0, 9, L}}},
    {"slucka2:", {{0, 8, L}}},
    // A statement with a label name in it is no label definition.
    {"OPAKUJ Moj cyklus: 100", {{0, 6, K}, {19, 3, N}}},
    {"Moj cyklus: 100", {{12, 3, N}}},
    {" odsadene:", {}},
    {"", {}},
    // Blanks shown where one belongs: two, a tab; not indentation, not
    // before a comment or the line's end.
    {"VYSTUP(1,0,0)  CAS 10",
     {{0, 6, K}, {7, 1, N}, {9, 1, N}, {11, 1, N}, {13, 2, B}, {15, 3, K}, {19, 2, N}}},
    {"VYSTUP(1,0,0)\tCAS 10",
     {{0, 6, K}, {7, 1, N}, {9, 1, N}, {11, 1, N}, {13, 1, B}, {14, 3, K}, {18, 2, N}}},
    {"   RESET  / navrat", {{3, 5, K}, {10, 8, C}}},
    {"\tRESET", {{0, 1, B}, {1, 5, K}}},
    {"OPAKUJ Moj  cyklus: 1", {{0, 6, K}, {10, 2, B}, {20, 1, N}}},
};

TEST(ProgramHighlighterTest, SpansOfProgramLines) {
    for (const SpanCase& c : kLines) {
        SCOPED_TRACE(c.line);
        const QList<ProgramSpanAt> spans = ProgramLineSpans(QString::fromUtf8(c.line));
        EXPECT_EQ(std::vector<ProgramSpanAt>(spans.begin(), spans.end()), c.spans);
    }
}

}  // namespace
}  // namespace kmp
