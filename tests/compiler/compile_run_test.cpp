// The compile run: log lines and their order, listing, colours, image header
// and the two flags.
#include "compiler_test_support.h"

#include <gtest/gtest.h>

#include <compiler.h>

#include <array>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

const std::string kStart = "Začínam prekladať...";
const std::string kTime = "12:34:56";
const std::string kSuccess = "Preklad prebehol úspešne!";
const std::string kSendNow =
    "Môžete odoslať program do mikrokontroléra PIC cez seriové COM rozhranie!";
const std::string kCannot(kCannotCompile);
const std::string kEnd = " : očakával sa príkaz KONIEC alebo iné platné príkazy";
const std::string kNameChar = " : očakávalo sa veľké, malé písmeno alebo číslica";
const std::string kBitValue = " : očakávala sa binárna hodnota 1 alebo 0";
const std::string kComma = " : očakávala sa čiarka \",\"";
const std::string kColon = " : očakával sa symbol dvojbodka \":\"";

std::string Err(int line, int column, int number, const std::string& message) {
    return std::to_string(line) + ". riadok, pozícia:" + std::to_string(column) + "  ! Chyba č. " +
           std::to_string(number) + message;
}

TEST(CompileRun, EmptyTextHasNoProgram) {
    const RunResult r = CompileBytes("");
    EXPECT_EQ(r.log, (std::vector<std::string>{kStart, kTime,
                                               "! chyba: nie je tu žiadny program na preloženie"}));
    EXPECT_EQ(r.logColor, kColorYellow);
    EXPECT_EQ(r.listing, std::vector<std::string>{"0: 200 1 0 3 "});
    EXPECT_EQ(r.listingColor, kColorRed);
    EXPECT_FALSE(r.compiledOk);
}

TEST(CompileRun, SmallestProgram) {
    const RunResult r = Compile("PROGRAM x:\nKONIEC");
    EXPECT_EQ(r.log, (std::vector<std::string>{kStart, kTime, kSuccess, kSendNow}));
    EXPECT_EQ(r.logColor, kColorLime);
    EXPECT_EQ(r.listing, (std::vector<std::string>{"0: 200 1 0 3 ", "4: 255 255"}));
    EXPECT_EQ(r.listingColor, kColorLime);
    EXPECT_TRUE(r.compiledOk);
    EXPECT_FALSE(ProgramChanged);
    ProgramImage expected{};
    expected.fill(255);
    expected[0] = 200;
    expected[1] = 1;
    expected[2] = 0;
    expected[3] = 3;
    EXPECT_EQ(CodeImage, expected);
}

struct HeaderCase {
    TimingSettings timing;
    std::array<int, 4> bytes;
    std::string line;
};

class HeaderTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTest, BytesAndListingLine) {
    const RunResult r = Compile("PROGRAM x:\nKONIEC", GetParam().timing);
    ASSERT_TRUE(r.compiledOk);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(CodeImage[i], GetParam().bytes[i]) << "byte " << i;
    EXPECT_EQ(r.listing.front(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Timing, HeaderTest,
    testing::Values(HeaderCase{{200, 1, 3}, {200, 1, 0, 3}, "0: 200 1 0 3 "},
                    HeaderCase{{200, 255, 3}, {200, 253, 0, 3}, "0: 200 253 0 3 "},
                    HeaderCase{{200, 254, 3}, {200, 253, 0, 3}, "0: 200 253 0 3 "},
                    HeaderCase{{200, 256, 3}, {200, 0, 1, 3}, "0: 200 0 1 3 "},
                    HeaderCase{{200, 510, 3}, {200, 253, 1, 3}, "0: 200 253 1 3 "},
                    HeaderCase{{200, 65279, 3}, {200, 253, 253, 3}, "0: 200 253 253 3 "},
                    HeaderCase{{200, 65535, 3}, {200, 253, 253, 3}, "0: 200 253 253 3 "},
                    HeaderCase{{253, 64000, 7}, {253, 0, 250, 7}, "0: 253 0 250 7 "},
                    HeaderCase{{1, 1, 0}, {1, 1, 0, 0}, "0: 1 1 0 0 "}));

// Whole runs: the log after the time line, and whether the run succeeded.
struct RunCase {
    const char* name;
    std::string text;  // LF line ends, turned into CR LF
    std::vector<std::string> errors;
    bool ok;
};

class RunTest : public testing::TestWithParam<RunCase> {};

TEST_P(RunTest, LogLines) {
    const RunResult r = Compile(GetParam().text);
    std::vector<std::string> expected = GetParam().errors;
    if (GetParam().ok) expected.insert(expected.end(), {kSuccess, kSendNow});
    EXPECT_EQ(ErrorLines(r), expected);
    EXPECT_EQ(r.compiledOk, GetParam().ok);
    EXPECT_FALSE(r.rangeError);
    EXPECT_EQ(r.logColor, GetParam().ok ? kColorLime : kColorYellow);
    EXPECT_EQ(r.listingColor, GetParam().ok ? kColorLime : kColorRed);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunTest,
    testing::Values(
        RunCase{"NoFinalLineBreak", "PROGRAM a:\nKONIEC", {}, true},
        RunCase{"CommentAfterKoniecWithoutLineBreak", "PROGRAM a:\nKONIEC\n// koniec", {}, true},
        RunCase{"AnythingAfterKoniec", "PROGRAM a:\nKONIEC\n\tVYSTUP(9)\x01\xE9", {}, true},
        RunCase{"KoniecWithLetters", "PROGRAM a:\nKONIECXYZ", {}, true},
        RunCase{"EmptyAndCommentLinesBeforeHeader",
                "\n// c\n/x\n\nPROGRAM a: / k\n\n  \nKONIEC",
                {},
                true},
        RunCase{"IndentedStatementsAndComments",
                "PROGRAM a:\n   RESET   / reset\n /\n  x:  // label\nKONIEC",
                {},
                true},
        RunCase{"StatementWithComment",
                "PROGRAM a:\nVYSTUP(0,0,0) CAS 1 /komentar\n  RESET  \nKONIEC",
                {},
                true},
        RunCase{"NoKoniec", "PROGRAM x:\n", {Err(2, 1, 1, kEnd)}, false},
        RunCase{"NoKoniecNoLineBreak",
                "PROGRAM x:",
                {Err(1, 10, 1, " : očakával sa nový riadok"), Err(1, 10, 2, kEnd)},
                false},
        RunCase{"StatementListEndsAtCas", "PROGRAM p:\nCAS 5\nKONIEC", {Err(2, 0, 1, kEnd)}, false},
        RunCase{"TabStopsTheParse", "PROGRAM x:\n\tKONIEC", {Err(2, 0, 1, kEnd)}, false},
        RunCase{"TwoSpacesAfterProgram",
                "PROGRAM  x:\nKONIEC",
                {Err(1, 8, 1, kNameChar), kCannot},
                false},
        RunCase{"NoHeader",
                "x\nKONIEC",
                {Err(1, 0, 1, " : očakával sa príkaz PROGRAM"),
                 Err(1, 0, 2, " : očakávala sa medzera"), Err(1, 1, 3, kColon), kCannot},
                false},
        RunCase{"SpacesBeforeHeader",
                " \nPROGRAM x:\nKONIEC",
                {Err(1, 0, 1, " : očakával sa príkaz PROGRAM"), Err(1, 1, 2, kNameChar),
                 Err(1, 1, 3, kColon), Err(2, 0, 4, kEnd)},
                false},
        RunCase{"HeaderWithoutColon", "PROGRAM x\nKONIEC", {Err(1, 9, 1, kColon), kCannot}, false},
        RunCase{"HeaderFollowedByStatement",
                "PROGRAM x: RESET\nKONIEC",
                {Err(1, 11, 1, " : očakával sa nový riadok"), kCannot},
                false},
        RunCase{"ParseErrorThenKoniec",
                "PROGRAM x:\nVYSTUP(0,0,0)CAS 1\nKONIEC",
                {Err(2, 13, 1, " : očakávala sa medzera"), kCannot},
                false},
        RunCase{"UnknownForwardJumpOnly",
                "PROGRAM x:\nAK DIGITAL (VSTUP1) AND (VSTUP2) SKOK Nikde:\nKONIEC",
                {Err(3, 0, 1, " : neznáme návestie: Nikde")},
                false},
        RunCase{"FixUpErrorsAfterCannotCompile",
                "PROGRAM x:\nAK DIGITAL (VSTUP1) OR (VSTUP2) SKOK B:\nAK DIGITAL (VSTUP1) OR "
                "(VSTUP2) SKOK A:\n"
                "VYSTUP(0,0,0) CAS1\nKONIEC",
                {Err(4, 17, 1, " : očakávala sa medzera"), kCannot,
                 Err(5, 0, 2, " : neznáme návestie: B"), Err(5, 0, 3, " : neznáme návestie: A")},
                false},
        RunCase{
            "StopWithoutKoniecStillFixesUp",
            "PROGRAM x:\nAK DIGITAL (VSTUP1) OR (VSTUP2) SKOK B:\nVYSTUP(2,0,0) CAS 1\nKONIEC",
            {Err(3, 7, 1, kBitValue), Err(3, 7, 2, kComma), Err(3, 7, 3, kBitValue),
             Err(3, 7, 4, kComma), Err(3, 7, 5, kBitValue),
             Err(3, 7, 6, " : očakávala sa pravá zátvorka \")\""),
             Err(3, 7, 7, " : očakávala sa medzera"), Err(3, 7, 8, " : očakával sa príkaz CAS"),
             Err(3, 7, 9, " : očakávala sa medzera"), Err(3, 8, 10, " : očakával sa nový riadok"),
             Err(3, 8, 11, kEnd), Err(3, 8, 12, " : neznáme návestie: B")},
            false}),
    [](const testing::TestParamInfo<RunCase>& param) { return std::string(param.param.name); });

TEST(CompileRun, FailedRunKeepsParseTimeListing) {
    const RunResult r = Compile("PROGRAM x:\nVYSTUP(1,0,0) CAS 10\nRESET x\nKONIEC");
    EXPECT_EQ(ErrorLines(r), (std::vector<std::string>{Err(3, 6, 1, " : očakával sa nový riadok"),
                                                       Err(3, 7, 2, kColon), kCannot}));
    EXPECT_EQ(r.listing,
              (std::vector<std::string>{"0: 200 1 0 3 ", "4: 4 10 ", "6: 255 255 ", "8: x"}));
    EXPECT_EQ(r.listingColor, kColorRed);
    EXPECT_FALSE(r.compiledOk);
    // The image keeps what the failed run wrote.
    EXPECT_EQ(CodeImage[4], 4);
    EXPECT_EQ(CodeImage[5], 10);
    EXPECT_EQ(CodeImage[6], 255);
    EXPECT_EQ(CodeImage[8], 255);
}

TEST(CompileRun, FlagsFollowRunsAndChanges) {
    Compile("");
    EXPECT_FALSE(CompiledOk);
    ProgramChanged = false;
    NoteProgramChange();
    EXPECT_FALSE(ProgramChanged) << "a change before a successful run is not tracked";
    Compile("PROGRAM x:\nKONIEC");
    EXPECT_TRUE(CompiledOk);
    EXPECT_FALSE(ProgramChanged);
    NoteProgramChange();
    EXPECT_TRUE(ProgramChanged);
    Compile("PROGRAM x:\nKONIE");
    EXPECT_FALSE(CompiledOk);
    EXPECT_TRUE(ProgramChanged) << "a failed run leaves the flag as it was";
    Compile("PROGRAM x:\nKONIEC");
    EXPECT_TRUE(CompiledOk);
    EXPECT_FALSE(ProgramChanged);
}

}  // namespace
}  // namespace kmp::test
