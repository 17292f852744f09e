// The exact RTF written for small texts, and round trips through the reader.
#include "example_program.h"
#include "program_file.h"
#include "rtf_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace kmp {
namespace {

const std::string kHeader =
    "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1051"
    "{\\fonttbl{\\f0\\fswiss\\fcharset238 MS Sans Serif;}}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs16 ";
const std::string kEnd = "\\par\r\n}\r\n";

struct WriterCase {
    const char* text;
    const char* body;  // what comes between the header and the final \par
};

class RtfWriterExact : public testing::TestWithParam<WriterCase> {};

TEST_P(RtfWriterExact, WritesExactDocument) {
    EXPECT_EQ(RtfFromText(GetParam().text), kHeader + GetParam().body + kEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RtfWriterExact,
    testing::Values(WriterCase{"", ""}, WriterCase{"KONIEC", "KONIEC"},
                    WriterCase{"a\nb", "a\\par\r\nb"}, WriterCase{"a\n", "a\\par\r\n"},
                    WriterCase{"a\r\nb\rc", "a\\par\r\nb\\par\r\nc"},
                    WriterCase{"\n\n", "\\par\r\n\\par\r\n"}, WriterCase{" lead", " lead"},
                    WriterCase{"{x}\\y", "\\{x\\}\\\\y"},
                    WriterCase{"a\tb\t 1", "a\\tab b\\tab  1"},
                    WriterCase{"\xC3\xA1\xC4\x8D\xC5\xBE", "\\'e1\\'e8\\'9e"},  // áčž
                    WriterCase{"\xC4\xBD\xC5\xA4", "\\'bc\\'8d"},               // ĽŤ
                    WriterCase{"\xE2\x82\xAC", "\\'80"},     // € is in Windows-1250
                    WriterCase{"\xC5\x91", "\\'f5"},         // ő too
                    WriterCase{"\xD0\xB6", "\\u1078?"},      // ж
                    WriterCase{"\xEF\xBC\xA1", "\\u-223?"},  // Ａ U+FF21
                    WriterCase{"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},  // 😀 as a surrogate pair
                    WriterCase{"\xC2\x81", "\\u129?"},  // undefined in Windows-1250
                    WriterCase{"\x01\x7F", "\\'01\\'7f"},
                    WriterCase{"bad\xFFutf", "bad\\u-3?utf"}));  // ill-formed → U+FFFD

TEST(RtfWriter, ProgramFileBytesAreTheRtfDocument) {
    EXPECT_EQ(ProgramFileBytesFromText("x"), kHeader + "x" + kEnd);
}

class RtfRoundTrip : public testing::TestWithParam<std::string> {};

TEST_P(RtfRoundTrip, ReadsBackExactly) {
    const std::string& text = GetParam();
    EXPECT_EQ(ProgramTextFromFileBytes(ProgramFileBytesFromText(text)), text);
    EXPECT_EQ(ProgramTextFromFileBytes(ProgramFileBytesFromText(text + "\n")), text + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RtfRoundTrip,
    testing::Values(
        std::string(kExampleProgram),
        std::string("// \xC3\xA1\xC3\xA4\xC4\x8D\xC4\x8F\xC3\xA9\xC3\xAD\xC4\xBA\xC4\xBE\xC5\x88"
                    "\xC3\xB3\xC3\xB4\xC5\x95\xC5\xA1\xC5\xA5\xC3\xBA\xC3\xBD\xC5\xBE"
                    "\xC3\x81\xC3\x84\xC4\x8C\xC4\x8E\xC3\x89\xC3\x8D\xC4\xB9\xC4\xBD\xC5\x87"
                    "\xC3\x93\xC3\x94\xC5\x94\xC5\xA0\xC5\xA4\xC3\x9A\xC3\x9D\xC5\xBD"),
        std::string("\xE2\x82\xAC \xC5\x91 \xD0\xB6 \xF0\x9F\x98\x80 \xE4\xB8\xAD"),
        std::string("{\\rtf1 not a header} \\par \\'e1 \\u1078? {{}}"),
        std::string("\t\tVYSTUP(0,0,0)\t CAS 120 \t"), std::string(""), std::string("\n"),
        std::string("\n\n\nx\n\n"), std::string(" \xC2\xA0 "), std::string("\x01\x02\x1F\x7F", 4)));

TEST(RtfRoundTrip, CrLfInputReadsBackWithLf) {
    EXPECT_EQ(ProgramTextFromFileBytes(ProgramFileBytesFromText("a\r\nb\r\n")), "a\nb\n");
}

}  // namespace
}  // namespace kmp
