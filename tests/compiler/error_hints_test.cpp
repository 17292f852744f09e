// The hints beside the errors of beginners' commonest slips, and programs
// whose errors get none.
#include "compiler_test_support.h"

#include <gtest/gtest.h>

namespace kmp::test {
namespace {

struct HintCase {
    const char* name;
    std::string text;                // LF line ends, Windows-1250
    std::vector<std::string> hints;  // the hints of the run's errors, in order
};

std::string Repeated(const std::string& line, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line;
    return text;
}

const HintCase kHintCases[] = {
    {"LowerCaseKeyword",
     "PROGRAM p:\nvystup(1,0,0) cas 10\nKONIEC",
     {"Kľúčové slová sa píšu veľkými písmenami bez diakritiky, napríklad VYSTUP."}},
    {"KeywordWithDiacritics",
     "PROGRAM p:\nRESET\nOPAKUJ A: 1\nV\xDDSTUP(1,0,0) CAS 10\nKONIEC",
     {"Kľúčové slová sa píšu veľkými písmenami bez diakritiky, napríklad VYSTUP."}},
    {"TwoBlanks",
     "PROGRAM p:\nVYSTUP(1,0,0)  CAS 10\nKONIEC",
     {"Na tomto mieste má byť práve jedna medzera (nie tabulátor)."}},
    {"Tab",
     "PROGRAM p:\nVYSTUP(1,0,0)\tCAS 10\nKONIEC",
     {"Na tomto mieste má byť práve jedna medzera (nie tabulátor)."}},
    {"LoopTargetWithTwoBlanks",
     "PROGRAM p:\nMoj cyklus:\nRESET\nOPAKUJ Moj  cyklus: 3\nKONIEC",
     {"Podobné návestie „Moj cyklus“ je na riadku 2."}},
    {"JumpTargetInLowerCase",
     "PROGRAM p:\nAK DIGITAL (VSTUP1) AND (VSTUP2) SKOK dalej:\nDalej:\nRESET\nKONIEC",
     {"Podobné návestie „Dalej“ je na riadku 3."}},
    {"NoKoniec", "PROGRAM p:\nRESET\n", {"Program musí končiť príkazom KONIEC."}},
    // Errors without a slip that a hint knows.
    {"MissingBlank", "PROGRAM p:\nVYSTUP(0,0,0)CAS 1\nKONIEC", {}},
    {"DuplicateLabel", "PROGRAM p:\nA:\nRESET\nA:\nKONIEC", {}},
    {"IndentedOutOfRange", "PROGRAM p:\n    VYSTUP(0,0,0) CAS 254\nKONIEC", {}},
};

class ErrorHintTest : public testing::TestWithParam<HintCase> {};

TEST_P(ErrorHintTest, HintsOfTheRun) {
    const HintCase& c = GetParam();
    const RunResult r = Compile(c.text);
    ASSERT_FALSE(r.compiledOk);
    std::vector<std::string> hints;
    for (const ErrorPlace& e : r.result.errorPlaces)
        if (!e.hint.empty()) hints.push_back(e.hint);
    EXPECT_EQ(hints, c.hints);
    // The log stays as it is: the hints are no lines of it.
    for (const std::string& line : r.log) {
        for (const std::string& hint : c.hints) EXPECT_EQ(line.find(hint), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Slips, ErrorHintTest, testing::ValuesIn(kHintCases),
                         [](const auto& param) { return std::string(param.param.name); });

// The 63rd statement: the run is abandoned as before, and the statement that
// no longer fits is named with its hint.
TEST(ErrorHints, TheStatementThatNoLongerFits) {
    const std::string text =
        "PROGRAM p:\n" + Repeated("RESET\n", 62) + "  VYSTUP(1,0,0) CAS 1\nKONIEC";
    RecordingPane log, listing;
    try {
        CompileProgram(CrLf(text), {}, log, listing, FixedClock());
        FAIL() << "no range error";
    } catch (const RangeCheckError& e) {
        EXPECT_EQ(e.statement.line, 63);
        EXPECT_EQ(e.statement.column, 2);
        EXPECT_EQ(e.statement.length, 6);
        EXPECT_EQ(e.statement.hint, "Program môže mať najviac 62 príkazov.");
    }
}

}  // namespace
}  // namespace kmp::test
