// The scanner: token kinds, keyword prefix matching, line and position counters.
#include "compiler_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kmp::test {
namespace {

// One scanned token: kind code, the character of letters and digits, line, position.
struct Scanned {
    int kind;
    char c;
    int line;
    int column;
    bool operator==(const Scanned&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Scanned& s) {
    return os << "{" << s.kind << ",'" << s.c << "'," << s.line << "," << s.column << "}";
}

std::vector<Scanned> ScanAll(std::string_view source) {
    ScanSeam seam(source);
    std::vector<Scanned> tokens;
    while (SourcePos <= SourceLength) {
        NextToken();
        const auto kind = static_cast<int>(TokenKind);
        const bool hasChar = TokenKind == Token::UpperLetter || TokenKind == Token::LowerLetter ||
                             TokenKind == Token::Digit;
        tokens.push_back({kind, hasChar ? CurrentChar : '-', LineNo, ColumnNo});
    }
    return tokens;
}

constexpr int NL = 0, LP = 1, RP = 2, UP = 5, LO = 6, DG = 7, SP = 8, COLON = 31, BAD = 34,
              COMMA = 35;
constexpr int kCAS = 15, kCASOVANIE = 11, kKONIEC = 33, kOR = 28, kVYSTUP = 14, kNEG1 = 24,
              kNEG2 = 25, kNAND = 27, kNOR = 29, kAND = 26, kAK = 21, kDOPRAVA = 19;

struct ScanCase {
    const char* name;
    std::string source;
    std::vector<Scanned> tokens;
};

class ScannerTest : public testing::TestWithParam<ScanCase> {};

TEST_P(ScannerTest, Tokens) {
    EXPECT_EQ(ScanAll(GetParam().source), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Scanner, ScannerTest,
    testing::Values(
        ScanCase{"LongerKeywordFirst", "CASOVANIE", {{kCASOVANIE, '-', 1, 0}}},
        ScanCase{"PrefixMatch", "CASOV", {{kCAS, '-', 1, 0}, {UP, 'O', 1, 3}, {UP, 'V', 1, 4}}},
        ScanCase{"KeywordsAreCaseSensitive",
                 "Vystup",
                 {{UP, 'V', 1, 0},
                  {LO, 'y', 1, 1},
                  {LO, 's', 1, 2},
                  {LO, 't', 1, 3},
                  {LO, 'u', 1, 4},
                  {LO, 'p', 1, 5}}},
        ScanCase{"KeywordThenLetters",
                 "KONIECXY",
                 {{kKONIEC, '-', 1, 0}, {UP, 'X', 1, 6}, {UP, 'Y', 1, 7}}},
        ScanCase{"OrInsideWord", "ORBA", {{kOR, '-', 1, 0}, {UP, 'B', 1, 2}, {UP, 'A', 1, 3}}},
        ScanCase{
            "NegatedInputs", "NEG_VSTUP1NEG_VSTUP2", {{kNEG1, '-', 1, 0}, {kNEG2, '-', 1, 10}}},
        ScanCase{"NorNandAndAk",
                 "NORNANDANDAK",
                 {{kNOR, '-', 1, 0}, {kNAND, '-', 1, 3}, {kAND, '-', 1, 7}, {kAK, '-', 1, 10}}},
        ScanCase{
            "NoKeywordFallsBackToLetter",
            "NEG_X",
            {{UP, 'N', 1, 0}, {UP, 'E', 1, 1}, {UP, 'G', 1, 2}, {BAD, '-', 1, 3}, {UP, 'X', 1, 4}}},
        ScanCase{"EndOfTextIsADifference",
                 "DOPRAV",
                 {{UP, 'D', 1, 0},
                  {UP, 'O', 1, 1},
                  {UP, 'P', 1, 2},
                  {UP, 'R', 1, 3},
                  {UP, 'A', 1, 4},
                  {UP, 'V', 1, 5}}},
        ScanCase{"SecondCandidate", "DOPRAVA", {{kDOPRAVA, '-', 1, 0}}},
        ScanCase{"Punctuation",
                 "(),: ",
                 {{LP, '-', 1, 0},
                  {RP, '-', 1, 1},
                  {COMMA, '-', 1, 2},
                  {COLON, '-', 1, 3},
                  {SP, '-', 1, 4}}},
        ScanCase{"BadCharacters",
                 std::string("\t.\xE9\0-_", 6),
                 {{BAD, '-', 1, 0},
                  {BAD, '-', 1, 1},
                  {BAD, '-', 1, 2},
                  {BAD, '-', 1, 3},
                  {BAD, '-', 1, 4},
                  {BAD, '-', 1, 5}}},
        ScanCase{"CommentBecomesNewLine",
                 "X/ a b\r\nY",
                 {{UP, 'X', 1, 0}, {NL, '-', 1, 0}, {UP, 'Y', 2, 0}}},
        ScanCase{"DoubleSlashComment", "//x\r\n", {{NL, '-', 1, 0}, {NL, '-', 2, 0}}},
        ScanCase{"CommentToEndOfText", "1/x", {{DG, '1', 1, 0}, {NL, '-', 1, 0}}},
        ScanCase{"LineFeedAtEndGivesNewLine",
                 "a\r\n",
                 {{LO, 'a', 1, 0}, {NL, '-', 1, 1}, {NL, '-', 2, 0}}},
        ScanCase{"ColumnsAfterLineFeedWithKeyword",
                 "\r\nVYSTUP(0",
                 {{NL, '-', 1, 0}, {kVYSTUP, '-', 2, 0}, {LP, '-', 2, 6}, {DG, '0', 2, 7}}},
        ScanCase{"ColumnsAfterLineFeedWithoutKeyword",
                 "\r\nMoj c",
                 {{NL, '-', 1, 0},
                  {UP, 'M', 2, 0},
                  {LO, 'o', 2, 2},
                  {LO, 'j', 2, 3},
                  {SP, '-', 2, 4},
                  {LO, 'c', 2, 5}}},
        ScanCase{"LeadingSpaceAfterLineFeed",
                 "\r\n X",
                 {{NL, '-', 1, 0}, {SP, '-', 2, 0}, {UP, 'X', 2, 2}}},
        ScanCase{"FirstLineIsExact",
                 " X y",
                 {{SP, '-', 1, 0}, {UP, 'X', 1, 1}, {SP, '-', 1, 2}, {LO, 'y', 1, 3}}},
        ScanCase{"LoneLineFeedCountsLine", "a\nb", {{LO, 'a', 1, 0}, {LO, 'b', 2, 0}}},
        ScanCase{
            "LoneCarriageReturn", "a\rb", {{LO, 'a', 1, 0}, {NL, '-', 1, 1}, {LO, 'b', 1, 2}}}),
    [](const testing::TestParamInfo<ScanCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kmp::test

namespace kmp::test {
namespace {

TEST(ScannerStop, BadCharacterStopsWithoutMessage) {
    ScanSeam seam("a\tb");
    NextToken();
    EXPECT_FALSE(ParseStopped);
    NextToken();
    EXPECT_EQ(TokenKind, Token::BadChar);
    EXPECT_TRUE(ParseStopped);
    EXPECT_TRUE(seam.log.lines.empty());
}

TEST(ScannerStop, AskingPastTheEndStopsAndKeepsTheToken) {
    ScanSeam seam("ab");
    NextToken();
    NextToken();
    EXPECT_FALSE(ParseStopped);
    NextToken();
    EXPECT_TRUE(ParseStopped);
    EXPECT_EQ(TokenKind, Token::LowerLetter);
    EXPECT_EQ(CurrentChar, 'b');
}

TEST(ScannerStop, CommentRunningIntoTheEndStops) {
    ScanSeam seam("// no line break");
    NextToken();
    EXPECT_EQ(TokenKind, Token::NewLine);
    EXPECT_TRUE(ParseStopped);
}

}  // namespace
}  // namespace kmp::test
