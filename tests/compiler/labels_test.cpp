// Label definitions, replacement and duplicates, and the forward-jump fix-up.
#include "compiler_test_support.h"
#include "labels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kmp::test {
namespace {

const std::string kCannot(kCannotCompile);
const std::string kJump = "AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK ";

std::string Err(int line, int column, int number, const std::string& message) {
    return std::to_string(line) + ". riadok, pozícia:" + std::to_string(column) + "  ! Chyba č. " +
           std::to_string(number) + message;
}

TEST(Labels, BackwardJumpTakesTheAddressAtOnce) {
    const RunResult r =
        Compile("PROGRAM p:\nRESET\nRESET\nRESET\nPodmienka:\nVYSTUP(0,0,0) CAS 1\n" + kJump +
                "Podmienka:\nKONIEC");
    ASSERT_TRUE(r.compiledOk);
    EXPECT_EQ(LabelAtAddress[10], "Podmienka");
    EXPECT_EQ(CodeImage[13], 10);
    EXPECT_EQ(LabelAddress("Podmienka"), 10);
    EXPECT_TRUE(LabelExists("Podmienka"));
    EXPECT_FALSE(LabelExists("podmienka"));
    EXPECT_EQ(LabelAddress("nikde"), 4);
    for (const std::string& target : JumpTargetAt) EXPECT_TRUE(target.empty());
}

TEST(Labels, ForwardJumpShowsPlaceholderWhileParsing) {
    // The run fails (missing space), so the listing keeps its parse-time lines.
    const RunResult r = Compile("PROGRAM p:\n" + kJump +
                                "Podmienka:\nPodmienka:\nRESET\nVYSTUP(0,0,0)CAS 1\nKONIEC");
    EXPECT_EQ(r.listing, (std::vector<std::string>{"0: 200 1 0 3 ", "4: 16 4 ", "6: Podmienka",
                                                   "6: 255 255 ", "8: 0 1 "}));
    EXPECT_EQ(JumpTargetAt[5], "Podmienka");
    EXPECT_EQ(CodeImage[5], 6) << "the fix-up runs after a failed parse too";
    EXPECT_EQ(ErrorLines(r),
              (std::vector<std::string>{Err(5, 13, 1, " : očakávala sa medzera"), kCannot}));
}

TEST(Labels, ForwardJumpResolvedInFinalListing) {
    const RunResult r =
        Compile("PROGRAM p:\n" + kJump + "Dalej:\nRESET\nDalej:\nVYSTUP(0,0,1) CAS 2\nKONIEC");
    ASSERT_TRUE(r.compiledOk);
    EXPECT_EQ(r.listing, (std::vector<std::string>{"0: 200 1 0 3 ", "4: 16 8", "6: 255 255",
                                                   "8: Dalej", "8: 1 2", "10: 255 255"}));
}

TEST(Labels, LabelOnTheNextLineReplacesTheFormer) {
    const RunResult r = Compile("PROGRAM p:\nA:\nB:\n" + kJump + "A:\nKONIEC");
    EXPECT_EQ(LabelAtAddress[4], "B");
    EXPECT_EQ(ErrorLines(r), std::vector<std::string>{Err(5, 0, 1, " : neznáme návestie: A")});
    EXPECT_EQ(r.listing, (std::vector<std::string>{"0: 200 1 0 3 ", "4: A", "4: B", "4: 16 4 "}));
}

TEST(Labels, ReplacedNameCanBeDefinedAgain) {
    const RunResult r = Compile("PROGRAM p:\nA:\nB:\nA:\nRESET\n" + kJump + "B:\nKONIEC");
    EXPECT_EQ(LabelAtAddress[4], "A");
    EXPECT_EQ(ErrorLines(r), std::vector<std::string>{Err(7, 0, 1, " : neznáme návestie: B")});
}

TEST(Labels, DuplicateNameKeepsTheFirstDefinition) {
    const RunResult r = Compile("PROGRAM p:\nMoj cyklus:\nRESET\nMoj cyklus:\nRESET\nKONIEC");
    EXPECT_EQ(ErrorLines(r),
              (std::vector<std::string>{
                  Err(4, 12, 1,
                      " : názvy návestí sa nesmú opakovať, duplicitný názov návestia: Moj cyklus"),
                  kCannot}));
    EXPECT_EQ(LabelAtAddress[4], "Moj cyklus");
    EXPECT_EQ(LabelAtAddress[6], "");
    EXPECT_EQ(r.listing, (std::vector<std::string>{"0: 200 1 0 3 ", "4: Moj cyklus", "4: 255 255 ",
                                                   "6: ", "6: 255 255 "}));
}

TEST(Labels, DuplicateListsTheLabelAlreadyAtTheAddress) {
    const RunResult r = Compile("PROGRAM p:\nA:\nRESET\nB:\nA:\nRESET\nKONIEC");
    EXPECT_EQ(r.listing[3], "6: B");
    EXPECT_EQ(r.listing[4], "6: B");
    EXPECT_EQ(LabelAtAddress[6], "B");
}

TEST(Labels, CaseAndInnerSpacesMakeDifferentNames) {
    const RunResult r =
        Compile("PROGRAM p:\nmoj cyklus:\nRESET\nMoj cyklus:\nRESET\nMoj  cyklus:\nRESET\nKONIEC");
    ASSERT_TRUE(r.compiledOk) << testing::PrintToString(r.log);
    EXPECT_EQ(LabelAddress("moj cyklus"), 4);
    EXPECT_EQ(LabelAddress("Moj cyklus"), 6);
    EXPECT_EQ(LabelAddress("Moj  cyklus"), 8);
}

TEST(Labels, LabelAfterTheLastInstructionNamesTheFirstFreeAddress) {
    const RunResult r = Compile("PROGRAM p:\nRESET\nNa konci:\nKONIEC");
    ASSERT_TRUE(r.compiledOk);
    EXPECT_EQ(r.listing, (std::vector<std::string>{"0: 200 1 0 3 ", "4: 255 255", "6: Na konci",
                                                   "6: 255 255"}));
}

TEST(Labels, StatementAfterLabelOnTheSameLine) {
    const RunResult r = Compile("PROGRAM p:\nMoj: VYSTUP(0,0,0) CAS 1\nKONIEC");
    EXPECT_EQ(ErrorLines(r),
              (std::vector<std::string>{Err(2, 6, 1, " : očakával sa nový riadok"), kCannot}));
    EXPECT_EQ(LabelAtAddress[4], "Moj");
    EXPECT_EQ(CodeImage[4], 0);
    EXPECT_EQ(CodeImage[5], 1);
    EXPECT_FALSE(r.compiledOk);
}

}  // namespace
}  // namespace kmp::test
