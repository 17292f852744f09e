// 62 instructions fill the image; anything stored at address 128 abandons
// the run with the range error and leaves both panes as they were.
#include "compiler_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

std::string Instructions(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "VYSTUP(0,1,0) CAS 9\n";
    return text;
}

std::vector<std::string> ParseListing(int count) {
    std::vector<std::string> lines{"0: 200 1 0 3 "};
    for (int i = 0; i < count; ++i) lines.push_back(std::to_string(4 + 2 * i) + ": 2 9 ");
    return lines;
}

TEST(ProgramSize, SixtyTwoInstructionsFillTheImage) {
    const RunResult r = Compile("PROGRAM p:\n" + Instructions(62) + "KONIEC");
    ASSERT_TRUE(r.compiledOk);
    EXPECT_EQ(std::count(CodeImage.begin(), CodeImage.end(), 255), 0);
    ASSERT_EQ(r.listing.size(), 63u);
    EXPECT_EQ(r.listing.back(), "126: 2 9");
}

struct OverflowCase {
    const char* name;
    std::string tail;                 // the line after 62 instructions
    std::vector<std::string> errors;  // error lines written before the abandon
};

class OverflowTest : public testing::TestWithParam<OverflowCase> {};

TEST_P(OverflowTest, AbandonsWithPanesAsTheyWere) {
    ProgramChanged = true;
    const RunResult r = Compile("PROGRAM p:\n" + Instructions(62) + GetParam().tail + "\nKONIEC");
    EXPECT_TRUE(r.rangeError);
    EXPECT_FALSE(r.compiledOk);
    EXPECT_TRUE(ProgramChanged);
    std::vector<std::string> log{"Začínam prekladať...", "12:34:56"};
    log.insert(log.end(), GetParam().errors.begin(), GetParam().errors.end());
    EXPECT_EQ(r.log, log);
    EXPECT_EQ(r.logColor, kColorYellow);
    EXPECT_EQ(r.listing, ParseListing(62));
    EXPECT_EQ(r.listingColor, kColorRed);
    EXPECT_EQ(WritePos, 128);
    for (const std::string& target : JumpTargetAt) EXPECT_TRUE(target.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Overflow, OverflowTest,
    testing::Values(
        OverflowCase{"Statement", "RESET", {}}, OverflowCase{"Label", "Koniec:", {}},
        OverflowCase{"StatementWithErrors",
                     "VYSTUP(0,0,0)CAS 1",
                     {"64. riadok, pozícia:13  ! Chyba č. 1 : očakávala sa medzera"}},
        OverflowCase{"ForwardJump", "AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK Dalej:", {}},
        OverflowCase{"LabelWithoutColon",
                     "Koniec",
                     {"64. riadok, pozícia:6  ! Chyba č. 1 : očakával sa symbol dvojbodka \":\""}}),
    [](const testing::TestParamInfo<OverflowCase>& param) {
        return std::string(param.param.name);
    });

TEST(ProgramSize, DuplicateLabelAtTheEndReportsThenAbandons) {
    const RunResult r = Compile("PROGRAM p:\nA:\n" + Instructions(62) + "A:\nKONIEC");
    EXPECT_TRUE(r.rangeError);
    ASSERT_EQ(r.log.size(), 3u);
    EXPECT_EQ(r.log[2],
              "65. riadok, pozícia:2  ! Chyba č. 1 : názvy návestí sa nesmú opakovať, duplicitný "
              "názov návestia: A");
}

TEST(ProgramSize, LabelAfterSixtyOneInstructionsNamesTheLastSlot) {
    const RunResult r = Compile("PROGRAM p:\n" + Instructions(61) + "Posledne:\nRESET\nKONIEC");
    ASSERT_TRUE(r.compiledOk);
    EXPECT_EQ(LabelAtAddress[126], "Posledne");
    EXPECT_EQ(r.listing[r.listing.size() - 2], "126: Posledne");
    EXPECT_EQ(r.listing.back(), "126: 255 255");
}

}  // namespace
}  // namespace kmp::test
