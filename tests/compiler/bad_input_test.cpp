// Texts of any bytes end in log lines and a failed or successful run.
#include "compiler_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

const std::string kEndError =
    "2. riadok, pozícia:0  ! Chyba č. 1 : očakával sa príkaz KONIEC alebo iné platné príkazy";

TEST(BadInput, EveryByteOutsideTheLanguageStopsTheParse) {
    std::vector<int> bad;
    for (int b = 0; b < 256; ++b) bad.push_back(b);
    for (const int b : bad) {
        const std::string text = std::string("PROGRAM x:\r\n") + static_cast<char>(b) + "KONIEC";
        const RunResult r = CompileBytes(text);
        const bool letterOrDigit =
            (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9');
        const bool allowed = letterOrDigit || b == ' ' || b == '\r' || b == '\n' || b == '/' ||
                             b == '(' || b == ')' || b == ',' || b == ':';
        if (allowed) continue;
        EXPECT_EQ(ErrorLines(r), std::vector<std::string>{kEndError}) << "byte " << b;
        EXPECT_FALSE(r.compiledOk);
    }
}

TEST(BadInput, AnyBytesInsideCommentsAreFine) {
    std::string text = "PROGRAM x: /";
    for (int b = 0; b < 256; ++b) {
        if (b != '\r') text += static_cast<char>(b);
    }
    text += "\r\nKONIEC";
    EXPECT_TRUE(CompileBytes(text).compiledOk);
}

TEST(BadInput, LoneLineFeedsAreNoNewLineTokens) {
    const RunResult r = CompileBytes("PROGRAM x:\nKONIEC");
    EXPECT_EQ(ErrorLines(r), (std::vector<std::string>{
                                 "2. riadok, pozícia:0  ! Chyba č. 1 : očakával sa nový riadok",
                                 std::string(kCannotCompile)}));
}

TEST(BadInput, LoneCarriageReturnsEndLines) {
    const RunResult r = CompileBytes("PROGRAM x:\rRESET\rKONIEC");
    EXPECT_TRUE(r.compiledOk);
    EXPECT_EQ(CodeImage[4], 255);
}

TEST(BadInput, TenMegabytesOfCommentsBeforeKoniec) {
    std::string text = "PROGRAM x:\r\n";
    const std::string line = "/" + std::string(1000, 'k') + "\r\n";
    while (text.size() < 10'000'000) text += line;
    text += "RESET\r\nKONIEC";
    const RunResult r = CompileBytes(text);
    EXPECT_TRUE(r.compiledOk);
    EXPECT_EQ(CodeImage[4], 255);
}

TEST(BadInput, TenMegabyteLabelName) {
    std::string text = "PROGRAM x:\r\n" + std::string(10'000'000, 'a') + ":\r\nKONIEC";
    const RunResult r = CompileBytes(text);
    EXPECT_TRUE(r.compiledOk);
    EXPECT_EQ(LabelAtAddress[4].size(), 10'000'000u);
}

// The last space sits at position 10000000 (the line feed counted); asking
// past it moves the position once more.
TEST(BadInput, TenMegabytesWithoutLineBreak) {
    const RunResult r = CompileBytes("PROGRAM x:\r\n" + std::string(10'000'000, ' '));
    EXPECT_EQ(ErrorLines(r),
              std::vector<std::string>{"2. riadok, pozícia:10000001  ! Chyba č. 1 : očakával sa "
                                       "príkaz KONIEC alebo iné platné príkazy"});
}

// Random texts made of the language's pieces and stray bytes: only the
// range error may escape a run.
TEST(BadInput, RandomTextsEndInARun) {
    const std::vector<std::string> pieces = {"PROGRAM",   "KONIEC",
                                             "VYSTUP",    "CAS",
                                             "CASOVANIE", "PERIODA",
                                             "RESET",     "ROTUJ",
                                             "STALE",     "DOLAVA",
                                             "DOPRAVA",   "ROZBEH",
                                             "OPAKUJ",    "AK",
                                             "DIGITAL",   "KOMPARATOR",
                                             "VSTUP1",    "NEG_VSTUP2",
                                             "AND",       "NOR",
                                             "SKOK",      "(",
                                             ")",         ",",
                                             ":",         " ",
                                             "\r\n",      "\r",
                                             "\n",        "/",
                                             "0",         "1",
                                             "7",         "253",
                                             "x",         "Moj",
                                             "\t",        std::string(1, '\0'),
                                             "\xFF"};
    std::mt19937 random(1234);
    for (int run = 0; run < 3000; ++run) {
        std::string text = random() % 4 == 0 ? "" : "PROGRAM p:\r\n";
        const auto count = random() % 200;
        for (unsigned i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
        RecordingPane log;
        RecordingPane listing;
        try {
            CompileProgram(text, {}, log, listing, FixedClock());
        } catch (const RangeCheckError&) {
        }
        ASSERT_GE(log.lines.size(), 2u);
        ASSERT_LE(WritePos, 128);
        if (CompiledOk) {
            EXPECT_EQ(ErrorCount, 0);
        }
    }
}

}  // namespace
}  // namespace kmp::test
