// Windows-1250 and UTF-8 conversions, line ends and plain-text decoding.
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace kmp {
namespace {

struct Utf8Case {
    std::string bytes;
    bool valid;
};

class Utf8Validity : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Validity, Classifies) {
    EXPECT_EQ(IsValidUtf8(GetParam().bytes), GetParam().valid)
        << testing::PrintToString(GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, Utf8Validity,
                         testing::Values(Utf8Case{"", true}, Utf8Case{"\x7F", true},
                                         Utf8Case{"\x80", false},          // lone continuation byte
                                         Utf8Case{"\xC1\xBF", false},      // overlong U+007F
                                         Utf8Case{"\xC2\x80", true},       // U+0080
                                         Utf8Case{"\xDF\xBF", true},       // U+07FF
                                         Utf8Case{"\xE0\x9F\xBF", false},  // overlong U+07FF
                                         Utf8Case{"\xE0\xA0\x80", true},   // U+0800
                                         Utf8Case{"\xED\x9F\xBF", true},   // U+D7FF
                                         Utf8Case{"\xED\xA0\x80", false},  // U+D800 surrogate
                                         Utf8Case{"\xED\xBF\xBF", false},  // U+DFFF surrogate
                                         Utf8Case{"\xEE\x80\x80", true},   // U+E000
                                         Utf8Case{"\xEF\xBF\xBF", true},   // U+FFFF
                                         Utf8Case{"\xF0\x8F\xBF\xBF", false},  // overlong U+FFFF
                                         Utf8Case{"\xF0\x90\x80\x80", true},   // U+10000
                                         Utf8Case{"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
                                         Utf8Case{"\xF4\x90\x80\x80", false},  // U+110000
                                         Utf8Case{"\xF5\x80\x80\x80", false},
                                         Utf8Case{"\xFF", false},
                                         Utf8Case{"\xC3", false},      // truncated
                                         Utf8Case{"\xE2\x82", false},  // truncated
                                         Utf8Case{"\xE2\x28\xA1", false},
                                         Utf8Case{"a\xC3\xA1"
                                                  "b",
                                                  true}));

TEST(Cp1250, SlovakLettersBothWays) {
    const std::string utf8 =
        "\xC3\xA1\xC3\xA4\xC4\x8D\xC4\x8F\xC3\xA9\xC3\xAD\xC4\xBA\xC4\xBE\xC5\x88\xC3\xB3\xC3\xB4"
        "\xC5\x95\xC5\xA1\xC5\xA5\xC3\xBA\xC3\xBD\xC5\xBE\xC3\x81\xC3\x84\xC4\x8C\xC4\x8E\xC3\x89"
        "\xC3\x8D\xC4\xB9\xC4\xBD\xC5\x87\xC3\x93\xC3\x94\xC5\x94\xC5\xA0\xC5\xA4\xC3\x9A\xC3\x9D"
        "\xC5\xBD";
    const std::string cp1250 =
        "\xE1\xE4\xE8\xEF\xE9\xED\xE5\xBE\xF2\xF3\xF4\xE0\x9A\x9D\xFA\xFD\x9E"
        "\xC1\xC4\xC8\xCF\xC9\xCD\xC5\xBC\xD2\xD3\xD4\xC0\x8A\x8D\xDA\xDD\x8E";
    EXPECT_EQ(Utf8ToCp1250(utf8), cp1250);
    EXPECT_EQ(Cp1250ToUtf8(cp1250), utf8);
    EXPECT_TRUE(FitsCp1250(utf8));
}

TEST(Cp1250, UndefinedBytesKeepTheirValue) {
    EXPECT_EQ(Cp1250ToUtf8("\x81\x83\x88\x90\x98"), "\xC2\x81\xC2\x83\xC2\x88\xC2\x90\xC2\x98");
    EXPECT_EQ(Cp1250ToUtf8("a\x98"
                           "b\x80"),
              "a\xC2\x98"
              "b\xE2\x82\xAC");
}

struct ReplacementCase {
    std::string utf8;
    std::string cp1250;
};

class Cp1250Replacement : public testing::TestWithParam<ReplacementCase> {};

TEST_P(Cp1250Replacement, OneReplacementPerCharacter) {
    EXPECT_EQ(Utf8ToCp1250(GetParam().utf8), GetParam().cp1250);
}

INSTANTIATE_TEST_SUITE_P(Unmappable, Cp1250Replacement,
                         testing::Values(ReplacementCase{"a\xD0\xB6"
                                                         "b",
                                                         "a?b"},                      // ж
                                         ReplacementCase{"\xF0\x9F\x98\x80!", "?!"},  // 😀
                                         ReplacementCase{"\xE2\x82\xAC", "\x80"},     // € is held
                                         ReplacementCase{"\xE2\x28\xA1",
                                                         "?(?"},  // ill-formed keeps the '('
                                         ReplacementCase{"x\xC3", "x?"},  // truncated at the end
                                         ReplacementCase{"\xFF\xFE", "??"},
                                         ReplacementCase{"\xC2\x81", "?"},      // U+0081: no byte
                                         ReplacementCase{"\xED\xA0\x80", "?"},  // a surrogate
                                         ReplacementCase{"\xEF\xBF\xBD", "?"},  // U+FFFD
                                         // tag characters (U+E0041, U+E007F) are dropped
                                         ReplacementCase{"a\xF3\xA0\x81\x81\xF3\xA0\x81\xBF"
                                                         "b",
                                                         "ab"}));

// Every byte that Windows-1250 defines comes back from its character.
TEST(Cp1250, EveryDefinedByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const bool undefined = b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98;
        EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(byte)), undefined ? "?" : byte) << b;
        EXPECT_EQ(FitsCp1250(Cp1250ToUtf8(byte)), !undefined) << b;
    }
}

TEST(Cp1250, FitsRejectsOtherCharacters) {
    EXPECT_FALSE(FitsCp1250("\xD0\xB6"));
    EXPECT_FALSE(FitsCp1250("\xC3"));
    EXPECT_TRUE(FitsCp1250(""));
}

TEST(Cp1250, OtherReplacementCharacter) {
    EXPECT_EQ(Utf8ToCp1250("\xD0\xB6", '_'), "_");
}

TEST(LineEnds, AllKindsNormalised) {
    EXPECT_EQ(NormalizeLineEndsLf("a\r\nb\rc\nd\r\r\n\n\r"), "a\nb\nc\nd\n\n\n\n");
    EXPECT_EQ(NormalizeLineEndsCrLf("a\r\nb\rc\nd\n\r"), "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(NormalizeLineEndsCrLf(""), "");
}

TEST(PlainText, Decoding) {
    EXPECT_EQ(DecodePlainText("\xEF\xBB\xBFPROGRAM \xC4\x8D"), "PROGRAM \xC4\x8D");
    EXPECT_EQ(DecodePlainText("PROGRAM \xE8"), "PROGRAM \xC4\x8D");
    EXPECT_EQ(DecodePlainText("\xEF\xBB\xBF\xE8"), "\xC4\x8F\xC2\xBB\xC5\xBC\xC4\x8D");
}

TEST(PlainText, EditorTextToSource) {
    EXPECT_EQ(EditorTextToSource("a\n\xC4\x8D\xD0\xB6\n"), "a\r\n\xE8?\r\n");
}

}  // namespace
}  // namespace kmp
