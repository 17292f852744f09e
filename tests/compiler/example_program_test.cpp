// The editor's example program compiles into the documented image and listing.
#include "compiler_test_support.h"
#include "example_program.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <compiler.h>

#include <array>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

TEST(ExampleProgram, ImageListingAndLog) {
    const RunResult r = CompileBytes(EditorTextToSource(kExampleProgram));
    EXPECT_EQ(r.log,
              (std::vector<std::string>{
                  "Začínam prekladať...", "12:34:56", "Preklad prebehol úspešne!",
                  "Môžete odoslať program do mikrokontroléra PIC cez seriové COM rozhranie!"}));
    EXPECT_EQ(r.listing,
              (std::vector<std::string>{"0: 200 1 0 3 ", "4: 0 120", "6: 66 200", "8: 50 200",
                                        "10: Moj cyklus", "10: 4 10", "12: 2 20", "14: 138 100",
                                        "16: 16 18", "18: Podmienka", "18: 1 200", "20: 12 120",
                                        "22: 255 255", "24: 255 255"}));
    EXPECT_EQ(r.listingColor, kColorLime);
    ProgramImage expected{};
    expected.fill(255);
    const std::uint8_t start[] = {200, 1,  0,   3,   0,  120, 66, 200, 50, 200, 4,   10,
                                  2,   20, 138, 100, 16, 18,  1,  200, 12, 120, 255, 255};
    std::copy(std::begin(start), std::end(start), expected.begin());
    EXPECT_EQ(CodeImage, expected);
    EXPECT_TRUE(r.compiledOk);
}

TEST(ExampleProgram, OtherTimingChangesOnlyTheHeader) {
    const RunResult r = CompileBytes(EditorTextToSource(kExampleProgram), {17, 300, 0});
    ASSERT_TRUE(r.compiledOk);
    EXPECT_EQ(r.listing.front(), "0: 17 44 1 0 ");
    EXPECT_EQ(CodeImage[16], 16);
    EXPECT_EQ(CodeImage[17], 18);
}

}  // namespace
}  // namespace kmp::test
