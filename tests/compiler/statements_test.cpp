// Byte-exact instructions of every statement form and operand boundary.
#include "compiler_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace kmp::test {
namespace {

struct StatementCase {
    const char* name;
    std::string body;  // the lines between the header and KONIEC
    int address;       // where the instruction under test lies
    int first;
    int second;
};

class StatementTest : public testing::TestWithParam<StatementCase> {};

TEST_P(StatementTest, InstructionBytes) {
    const StatementCase& c = GetParam();
    const RunResult r = Compile("PROGRAM p:\n" + c.body + "\nKONIEC");
    ASSERT_TRUE(r.compiledOk) << testing::PrintToString(r.log);
    EXPECT_EQ(CodeImage[c.address], c.first);
    EXPECT_EQ(CodeImage[c.address + 1], c.second);
}

const std::string kThreeOutputs = "VYSTUP(0,0,0) CAS 1\nVYSTUP(0,0,0) CAS 1\nVYSTUP(0,0,0) CAS 1\n";

INSTANTIATE_TEST_SUITE_P(
    Statements, StatementTest,
    testing::Values(
        StatementCase{"Output000", "VYSTUP(0,0,0) CAS 120", 4, 0, 120},
        StatementCase{"Output100", "VYSTUP(1,0,0) CAS 10", 4, 4, 10},
        StatementCase{"Output010", "VYSTUP(0,1,0) CAS 20", 4, 2, 20},
        StatementCase{"Output001", "VYSTUP(0,0,1) CAS 200", 4, 1, 200},
        StatementCase{"Output111Max", "VYSTUP(1,1,1) CAS 253", 4, 7, 253},
        StatementCase{"OutputLeadingZeros", "VYSTUP(1,0,1) CAS 007", 4, 5, 7},
        StatementCase{"OutputTimeZero", "VYSTUP(0,1,1) CAS 0", 4, 3, 0},
        StatementCase{"Timing4", "CASOVANIE 4, PERIODA 120", 4, 12, 120},
        StatementCase{"Timing0", "CASOVANIE 0, PERIODA 0", 4, 8, 0},
        StatementCase{"Timing7Max", "CASOVANIE 7, PERIODA 253", 4, 15, 253},
        StatementCase{"Reset", "RESET", 4, 255, 255},
        StatementCase{"SecondInstruction", "RESET\nVYSTUP(1,1,0) CAS 9", 6, 6, 9},
        StatementCase{"RotateLeft", "ROTUJ DOLAVA, ROZBEH 2 CAS 200", 4, 66, 200},
        StatementCase{"RotateRightContinuous", "ROTUJ STALE DOPRAVA, ROZBEH 2 CAS 200", 4, 50, 200},
        StatementCase{"RotateLeftContinuousMax", "ROTUJ STALE DOLAVA, ROZBEH 15 CAS 253", 4, 95,
                      253},
        StatementCase{"RotateRightZero", "ROTUJ DOPRAVA, ROZBEH 0 CAS 0", 4, 32, 0},
        StatementCase{"RotateRightContinuousZero", "ROTUJ STALE DOPRAVA, ROZBEH 0 CAS 1", 4, 48, 1},
        StatementCase{"RotateLeadingZero", "ROTUJ DOLAVA, ROZBEH 015 CAS 3", 4, 79, 3},
        StatementCase{"RepeatBack",
                      kThreeOutputs + "Moj cyklus:\nVYSTUP(1,0,0) CAS 10\n"
                                      "VYSTUP(0,1,0) CAS 20\nOPAKUJ Moj cyklus: 100",
                      14, 138, 100},
        StatementCase{"RepeatLabelDirectlyAbove",
                      kThreeOutputs + kThreeOutputs + "RESET\nRESET\nHore:\nOPAKUJ Hore: 3", 20,
                      148, 3},
        StatementCase{"RepeatCountZero", "A:\nOPAKUJ A: 0", 4, 132, 0},
        StatementCase{"RepeatCountMax", "A:\nRESET\nOPAKUJ A: 253", 6, 132, 253},
        StatementCase{"ConditionDigitalAnd", "AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK L:\nL:\nRESET",
                      4, 16, 6},
        StatementCase{"ConditionComparatorNegatedNor",
                      "AK KOMPARATOR (NEG_VSTUP1) NOR (NEG_VSTUP2) SKOK L:\nL:\nRESET", 4, 31, 6},
        StatementCase{"ConditionDigitalOr", "AK DIGITAL (VSTUP1) OR (VSTUP2) SKOK L:\nL:\nRESET", 4,
                      18, 6},
        StatementCase{"ConditionComparatorNand",
                      "AK KOMPARATOR (VSTUP1) NAND (VSTUP2) SKOK L:\nL:\nRESET", 4, 25, 6},
        StatementCase{"ConditionDigitalNegatedNand",
                      "AK DIGITAL (NEG_VSTUP1) NAND (NEG_VSTUP2) SKOK L:\nL:\nRESET", 4, 21, 6},
        StatementCase{"ConditionBackward",
                      "RESET\nRESET\nL:\nRESET\nAK DIGITAL (VSTUP1) AND (VSTUP2) SKOK L:", 10, 16,
                      8},
        StatementCase{"ConditionForward",
                      "AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK L:\n" + kThreeOutputs + kThreeOutputs +
                          "L:\nRESET",
                      4, 16, 18},
        StatementCase{"ConditionToItself", "L:\nAK DIGITAL (VSTUP1) AND (VSTUP2) SKOK L:", 4, 16,
                      4},
        StatementCase{"LabelWithSpaces", "Moj  dlhy 2:\nRESET\nOPAKUJ Moj  dlhy 2: 1", 6, 132, 1}),
    [](const testing::TestParamInfo<StatementCase>& param) {
        return std::string(param.param.name);
    });

}  // namespace
}  // namespace kmp::test
