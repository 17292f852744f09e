// Every step of a statement runs against whatever token is current: the
// exact error lines, in order, and the instruction stored all the same.
// Each statement stands on line 3, after the label line "L:" (address 4).
#include "compiler_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kmp::test {
namespace {

const std::string kSpace = " : očakávala sa medzera";
const std::string kComma = " : očakávala sa čiarka \",\"";
const std::string kLeft = " : očakávala sa ľavá zátvorka \"(\"";
const std::string kRight = " : očakávala sa pravá zátvorka \")\"";
const std::string kCas = " : očakával sa príkaz CAS";
const std::string kPerioda = " : očakával sa príkaz PERIODA";
const std::string kRozbeh = " : očakával sa príkaz ROZBEH";
const std::string kSkok = " : očakával sa príkaz SKOK";
const std::string kNewLine = " : očakával sa nový riadok";
const std::string kEnd = " : očakával sa príkaz KONIEC alebo iné platné príkazy";
const std::string kBit = " : očakávala sa binárna konštanta";
const std::string kBitValue = " : očakávala sa binárna hodnota 1 alebo 0";
const std::string kInteger = " : očakávala sa celočíselna konštanta";
const std::string k253 = " : očakávala sa celočíselna konštanta v rozsahu od 0 do 253";
const std::string k15 = " : očakávala sa celočíselna konštanta v rozsahu od 0 do 15";
const std::string k7 = " : očakávala sa celočíselná konštanta v rozsahu od 0 do 7";
const std::string kDirection = " : očakával sa príkaz DOLAVA alebo príkaz DOPRAVA";
const std::string kSource = " : očakával sa príkaz DIGITAL alebo KOMPARATOR";
const std::string kInput1 = " : očakával sa príkaz VSTUP1 alebo NEG_VSTUP1";
const std::string kOperation = " : očakával sa príkaz AND alebo NAND alebo OR alebo NOR";
const std::string kInput2 = " : očakával sa príkaz VSTUP2 alebo NEG_VSTUP2";
const std::string kNegation =
    " : negácia iba jedného vstupu! Správne (VSTUP1) operácia (VSTUP2) alebo (NEG_VSTUP1) operácia "
    "(NEG_VSTUP2)";
const std::string kNameChar = " : očakávalo sa veľké, malé písmeno alebo číslica";
const std::string kColon = " : očakával sa symbol dvojbodka \":\"";
const std::string kUnknown = " : neznáme návestie: ";
const std::string kCannot(kCannotCompile);

// An error line of line 3; errors are numbered in the order given.
struct At {
    int column;
    std::string message;
    int line = 3;
};

struct ErrorCase {
    const char* name;
    std::string statement;
    std::vector<At> errors;
    std::vector<At> fixUpErrors;  // after the cannot-compile line
    bool cannotCompileLine;
    int first;
    int second;
};

std::vector<std::string> ExpectedLines(const ErrorCase& c) {
    std::vector<std::string> lines;
    int number = 0;
    auto add = [&](const At& at) {
        lines.push_back(std::to_string(at.line) + ". riadok, pozícia:" + std::to_string(at.column) +
                        "  ! Chyba č. " + std::to_string(++number) + at.message);
    };
    for (const At& at : c.errors) add(at);
    if (c.cannotCompileLine) lines.push_back(kCannot);
    for (const At& at : c.fixUpErrors) add(at);
    return lines;
}

class StatementErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(StatementErrorTest, ErrorLinesAndStoredInstruction) {
    const ErrorCase& c = GetParam();
    const RunResult r = Compile("PROGRAM p:\nL:\n" + c.statement + "\nKONIEC");
    EXPECT_EQ(ErrorLines(r), ExpectedLines(c));
    EXPECT_FALSE(r.compiledOk);
    EXPECT_EQ(CodeImage[4], c.first);
    EXPECT_EQ(CodeImage[5], c.second);
    ASSERT_GE(r.listing.size(), 3u);
    EXPECT_EQ(r.listing[2], "4: " + std::to_string(c.first) + " " + std::to_string(c.second) + " ");
}

INSTANTIATE_TEST_SUITE_P(
    Errors, StatementErrorTest,
    testing::Values(
        ErrorCase{
            "OutputNoSpaceBeforeCas", "VYSTUP(0,0,0)CAS 120", {{13, kSpace}}, {}, true, 0, 120},
        ErrorCase{
            "OutputNoSpaceAfterCas", "VYSTUP(0,0,0) CAS120", {{17, kSpace}}, {}, true, 0, 120},
        ErrorCase{"OutputTimeOver", "VYSTUP(0,0,0) CAS 254", {{21, k253}}, {}, true, 0, 25},
        ErrorCase{"OutputNoLeftParen",
                  "VYSTUP 0,0,0) CAS 1",
                  {{6, kLeft},
                   {6, kBit},
                   {6, kComma},
                   {6, kBit},
                   {6, kComma},
                   {6, kBit},
                   {6, kRight},
                   {7, kCas},
                   {7, kSpace},
                   {8, kNewLine},
                   {8, kEnd}},
                  {},
                  false,
                  0,
                  0},
        ErrorCase{"OutputBadBit",
                  "VYSTUP(0,1,2) CAS 5",
                  {{11, kBitValue},
                   {11, kRight},
                   {11, kSpace},
                   {11, kCas},
                   {11, kSpace},
                   {12, kNewLine},
                   {12, kEnd}},
                  {},
                  false,
                  2,
                  2},
        ErrorCase{"TimingPrescalerOver", "CASOVANIE 8, PERIODA 1", {{11, k7}}, {}, true, 8, 1},
        ErrorCase{
            "TimingTwoDigitPrescaler",
            "CASOVANIE 04, PERIODA 1",
            {{11, kComma}, {11, kSpace}, {11, kPerioda}, {11, kSpace}, {12, kNewLine}, {12, kEnd}},
            {},
            false,
            8,
            4},
        ErrorCase{"TimingNoSpace", "CASOVANIE 4,PERIODA 1", {{12, kSpace}}, {}, true, 12, 1},
        ErrorCase{
            "ResetFollowedByText", "RESET 5", {{6, kNewLine}, {7, kColon}}, {}, true, 255, 255},
        ErrorCase{
            "RotateNoComma", "ROTUJ DOLAVA ROZBEH 2 CAS 200", {{12, kComma}}, {}, true, 66, 200},
        ErrorCase{"RotateNoSpaceAfterStale",
                  "ROTUJ STALEDOPRAVA, ROZBEH 2 CAS 200",
                  {{11, kSpace}},
                  {},
                  true,
                  50,
                  200},
        ErrorCase{
            "RotateStartUpOver", "ROTUJ DOLAVA, ROZBEH 16 CAS 5", {{23, k15}}, {}, true, 65, 5},
        ErrorCase{"RotateNoRozbeh",
                  "ROTUJ DOLAVA, 2 CAS 5",
                  {{14, kRozbeh}, {14, kSpace}},
                  {},
                  true,
                  66,
                  5},
        ErrorCase{"RotateLowerCaseDirection",
                  "ROTUJ dolava, ROZBEH 2 CAS 200",
                  {{6, kDirection},
                   {6, kComma},
                   {6, kSpace},
                   {6, kRozbeh},
                   {6, kSpace},
                   {6, kInteger},
                   {6, kSpace},
                   {6, kCas},
                   {6, kSpace},
                   {6, kInteger},
                   {6, kNewLine},
                   {6, kEnd}},
                  {},
                  false,
                  0,
                  0},
        ErrorCase{"ConditionFirstNegated",
                  "AK DIGITAL (NEG_VSTUP1) AND (VSTUP2) SKOK L:",
                  {{29, kNegation}},
                  {},
                  true,
                  20,
                  4},
        ErrorCase{"ConditionSecondNegated",
                  "AK DIGITAL (VSTUP1) AND (NEG_VSTUP2) SKOK L:",
                  {{25, kNegation}},
                  {},
                  true,
                  16,
                  4},
        ErrorCase{"ConditionNoSpaceBeforeParen",
                  "AK DIGITAL(VSTUP1) AND (VSTUP2) SKOK L:",
                  {{10, kSpace}},
                  {},
                  true,
                  16,
                  4},
        ErrorCase{"ConditionNoSource",
                  "AK (VSTUP1) AND (VSTUP2) SKOK L:",
                  {{3, kSource}, {3, kSpace}},
                  {},
                  true,
                  16,
                  4},
        ErrorCase{"ConditionWrongFirstInput",
                  "AK DIGITAL (VSTUP2) AND (VSTUP2) SKOK L:",
                  {{12, kInput1},
                   {12, kRight},
                   {12, kSpace},
                   {12, kOperation},
                   {12, kSpace},
                   {12, kLeft},
                   {20, kSkok},
                   {20, kSpace},
                   {20, kNameChar},
                   {20, kColon},
                   {20, kNewLine},
                   {20, kEnd}},
                  {{20, kUnknown + " "}},
                  false,
                  16,
                  4},
        ErrorCase{"ConditionWrongSecondInput",
                  "AK DIGITAL (VSTUP1) OR (VSTUP1) SKOK L:",
                  {{24, kInput2},
                   {24, kRight},
                   {24, kSpace},
                   {24, kSkok},
                   {24, kSpace},
                   {24, kNameChar},
                   {24, kColon},
                   {24, kNewLine},
                   {24, kEnd}},
                  {{24, kUnknown + " "}},
                  false,
                  18,
                  4},
        ErrorCase{"ConditionNoSkok",
                  "AK DIGITAL (VSTUP1) AND (VSTUP2) L:",
                  {{33, kSkok}, {33, kSpace}},
                  {},
                  true,
                  16,
                  4},
        ErrorCase{"ConditionUnknownTarget",
                  "AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK M:",
                  {},
                  {{0, kUnknown + "M", 4}},
                  false,
                  16,
                  4},
        ErrorCase{"RepeatUnknownLabel",
                  "OPAKUJ M: 5",
                  {{9, " : neznáme návestie: M Návestie musí byť pred cyklom!"}},
                  {},
                  true,
                  132,
                  5},
        ErrorCase{"RepeatNoSpaceBeforeCount", "OPAKUJ L:5", {{9, kSpace}}, {}, true, 132, 5},
        ErrorCase{"RepeatNameRunsOn",
                  "OPAKUJ L 5",
                  {{10, kColon},
                   {10, kUnknown + "L 5 Návestie musí byť pred cyklom!"},
                   {10, kSpace},
                   {10, kInteger}},
                  {},
                  true,
                  132,
                  0}),
    [](const testing::TestParamInfo<ErrorCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kmp::test
