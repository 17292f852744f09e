// Reading RTF as word processors and editor controls write it, and damaged RTF.
#include "file_fixtures.h"
#include "rtf_codepage.h"
#include "rtf_reader.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace kmp {
namespace {

struct ReaderCase {
    const char* name;
    std::string rtf;
    std::string text;
};

std::string PrintName(const testing::TestParamInfo<ReaderCase>& info) {
    return info.param.name;
}

class RtfReaderText : public testing::TestWithParam<ReaderCase> {};

TEST_P(RtfReaderText, ReadsPlainText) {
    const auto text = TextFromRtf(GetParam().rtf);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, GetParam().text);
}

// The rich-edit control of Windows, with a Slovak font.
const std::string kRichEditHeader =
    "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1051{\\fonttbl{\\f0\\fswiss\\fcharset238 "
    "MS Sans Serif;}}\r\n{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\f0\\fs16 ";

INSTANTIATE_TEST_SUITE_P(
    EditorControl, RtfReaderText,
    testing::Values(
        ReaderCase{"RichEditLines", kRichEditHeader + "PROGRAM p:\\par\r\nKONIEC\\par\r\n}\r\n",
                   "PROGRAM p:\nKONIEC"},
        ReaderCase{"RichEditFinalEmptyLine", kRichEditHeader + "a\\par\r\n\\par\r\n}\r\n", "a\n"},
        ReaderCase{"RichEditSlovak",
                   kRichEditHeader + "// \\'e1\\'e4\\'e8\\'ef \\'bc\\'8a\\par\r\n}",
                   "// \xC3\xA1\xC3\xA4\xC4\x8D\xC4\x8F \xC4\xBD\xC5\xA0"},
        ReaderCase{"RichEditWithoutFinalPar", kRichEditHeader + "a\\par b}", "a\nb"},
        ReaderCase{"RichEditUnicode", kRichEditHeader + "\\u1078?\\u-10179?\\u-8704?\\par}",
                   "\xD0\xB6\xF0\x9F\x98\x80"},
        ReaderCase{"RichEditTabs", kRichEditHeader + "\\tab x\\tab\\tab y\\par}", "\tx\t\ty"}),
    PrintName);

// A converter's standalone output: paragraphs as groups, code lines as \line.
INSTANTIATE_TEST_SUITE_P(
    Converter, RtfReaderText,
    testing::Values(ReaderCase{
        "ParagraphGroups",
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 \\fswiss Helvetica;}{\\f1 \\fmodern Courier;}}\n"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n"
        "\\widowctrl\\hyphauto\n\n"
        "{\\pard \\ql \\f0 \\sa180 \\li0 \\fi0 // Koment\\u225?r \\u269?\\u318?\\par}\n"
        "{\\pard \\ql \\f0 \\sa180 \\li0 \\fi0 \\f1 PROGRAM p:\\line KONIEC\\par}\n}\n",
        "// Koment\xC3\xA1r \xC4\x8D\xC4\xBE\nPROGRAM p:\nKONIEC"}),
    PrintName);

INSTANTIATE_TEST_SUITE_P(
    CodePages, RtfReaderText,
    testing::Values(
        ReaderCase{"DefaultIs1252", "{\\rtf1 \\'e8\\'80}", "\xC3\xA8\xE2\x82\xAC"},
        ReaderCase{"Ansicpg1250", "{\\rtf1\\ansi\\ansicpg1250 \\'e8\\'9e}", "\xC4\x8D\xC5\xBE"},
        ReaderCase{"Ansicpg1251", "{\\rtf1\\ansi\\ansicpg1251 \\'e6}", "\xD0\xB6"},
        ReaderCase{"Charset238UnderAnsicpg1252",
                   "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 Arial CE;}"
                   "{\\f1\\fnil\\fcharset0 Arial;}}\\f0 \\'e8\\'9e {\\f1 \\'e8} \\'9e}",
                   "\xC4\x8D\xC5\xBE \xC3\xA8 \xC5\xBE"},
        ReaderCase{
            "DefaultFontCharset",
            "{\\rtf1\\ansi\\deff1{\\fonttbl\\f0\\fnil\\fcharset0 A;\\f1\\fnil\\fcharset238 B;}"
            "\\'e8\\plain\\'e8\\f0\\'e8}",
            "\xC4\x8D\xC4\x8D\xC3\xA8"},
        ReaderCase{"Charset204", "{\\rtf1{\\fonttbl{\\f2\\fcharset204 C;}}\\f2\\'e6}", "\xD0\xB6"},
        ReaderCase{"FontCpgWins", "{\\rtf1{\\fonttbl{\\f0\\fcharset0\\cpg1250 C;}}\\f0\\'e8}",
                   "\xC4\x8D"},
        ReaderCase{"RawHighByteInCodePage", "{\\rtf1\\ansicpg1250 \xE8}", "\xC4\x8D"},
        ReaderCase{"UppercaseHex", "{\\rtf1\\ansicpg1250 \\'E8\\'9E}", "\xC4\x8D\xC5\xBE"},
        // Unknown and multi-byte code pages read as Windows-1252, and every
        // switch takes effect at once.
        ReaderCase{"CodePageSwitches",
                   "{\\rtf1\\ansicpg1251 \\'e6\\ansicpg4242 \\'e6\\ansicpg1250 \\'e6"
                   "\\ansicpg65001 \\'e6\\ansicpg1251 \\'e6}",
                   "\xD0\xB6\xC3\xA6\xC4\x87\xC3\xA6\xD0\xB6"}),
    PrintName);

INSTANTIATE_TEST_SUITE_P(
    Unicode, RtfReaderText,
    testing::Values(
        ReaderCase{"Uc1SkipsQuestionMark", "{\\rtf1 \\u268?x}", "\xC4\x8Cx"},
        ReaderCase{"Uc0SkipsNothing", "{\\rtf1\\uc0 \\u268 x}", "\xC4\x8Cx"},
        ReaderCase{"Uc2SkipsTwoHexEscapes", "{\\rtf1\\uc2 \\u268\\'43\\'5cx}", "\xC4\x8Cx"},
        ReaderCase{"Uc2SkipsTwoCharacters", "{\\rtf1\\uc2\\u268 ab c}", "\xC4\x8C c"},
        ReaderCase{"UcIsPerGroup", "{\\rtf1{\\uc2 \\u268??}\\u268?x}", "\xC4\x8C\xC4\x8Cx"},
        ReaderCase{"SkipEndsAtGroup", "{\\rtf1\\uc3 {\\u268}x}", "\xC4\x8Cx"},
        ReaderCase{"NegativeParameter", "{\\rtf1 \\u-3?}", "\xEF\xBF\xBD"},
        ReaderCase{"SurrogatesWithMixedUc", "{\\rtf1 \\uc0 \\u55357\\uc1 \\u56832\\'3f!}",
                   "\xF0\x9F\x98\x80!"},
        ReaderCase{"LoneHighSurrogate", "{\\rtf1 \\u-10179?x}", "\xEF\xBF\xBDx"},
        ReaderCase{"LoneLowSurrogate", "{\\rtf1 \\u-8704?x}", "\xEF\xBF\xBDx"}),
    PrintName);

INSTANTIATE_TEST_SUITE_P(
    Syntax, RtfReaderText,
    testing::Values(
        ReaderCase{"EscapedSymbols", "{\\rtf1 \\{a\\}\\\\b}", "{a}\\b"},
        ReaderCase{"OneSpaceDelimiter", "{\\rtf1\\b  two\\b0   three}", " two  three"},
        ReaderCase{"RawLineEndsIgnored", "{\\rtf1 a\r\nb\nc\rd}", "abcd"},
        ReaderCase{"BackslashNewlineIsPar", "{\\rtf1 a\\\nb}", "a\nb"},
        ReaderCase{"LineAndTab", "{\\rtf1 a\\line b\\tab c}", "a\nb\tc"},
        ReaderCase{"FinalLineIsKept", "{\\rtf1 a\\line}", "a\n"},
        ReaderCase{"OnlyOneFinalParDropped", "{\\rtf1 a\\par\\par}", "a\n"},
        ReaderCase{"SymbolsNbspHyphens", "{\\rtf1 a\\~b\\-c\\_d}",
                   "a\xC2\xA0"
                   "bc\xE2\x80\x91"
                   "d"},
        ReaderCase{"Quotes", "{\\rtf1 \\lquote x\\rquote \\ldblquote y\\rdblquote\\emdash\\endash}",
                   "\xE2\x80\x98x\xE2\x80\x99\xE2\x80\x9Cy\xE2\x80\x9D\xE2\x80\x94\xE2\x80\x93"},
        ReaderCase{"ParameterDigitsEndWord", "{\\rtf1\\fs24x}", "x"},
        ReaderCase{
            "TableCellsAndRows",
            "{\\rtf1\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row c\\cell d\\cell\\row}",
            "a\tb\nc\td"},
        ReaderCase{"TextAfterDocumentIgnored", "{\\rtf1 a}b", "a"},
        ReaderCase{"BinSkipped", "{\\rtf1 a{\\bin4 }}{x}b}", "ab"},
        ReaderCase{"BinPastEnd", "{\\rtf1 a\\bin999 xyz", "a"},
        ReaderCase{"ControlCharactersDropped", std::string("{\\rtf1 a") + '\x01' + '\0' + "b}",
                   "ab"}),
    PrintName);

INSTANTIATE_TEST_SUITE_P(
    Destinations, RtfReaderText,
    testing::Values(
        ReaderCase{"ColorAndStyles",
                   "{\\rtf1{\\colortbl;\\red0\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}x}", "x"},
        ReaderCase{"InfoAndGenerator",
                   "{\\rtf1{\\info{\\title T}{\\author A}}{\\*\\generator G;}x}", "x"},
        ReaderCase{"StarGroups", "{\\rtf1 a{\\*\\unknown b{c}}d{\\*\\shppict{\\pict 0102}}e}",
                   "ade"},
        ReaderCase{"Pictures", "{\\rtf1 a{\\pict\\wmetafile8\\picw10 0a0b\\'41{\\u65?}}b}", "ab"},
        ReaderCase{"HeaderFooter", "{\\rtf1{\\header h}{\\footer f}{\\headerl h}x}", "x"},
        ReaderCase{"Lists", "{\\rtf1{\\*\\listtable{\\list x}}{\\listtext 1.\\tab}{\\pntext 2.}x}",
                   "x"},
        ReaderCase{"FieldShowsResult",
                   "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}}", "link"},
        ReaderCase{"FontTableWithoutGroups", "{\\rtf1{\\fonttbl\\f0 Arial;\\f1 Sans;}x}", "x"},
        ReaderCase{"FontTableNestedStar",
                   "{\\rtf1{\\fonttbl{\\f0\\fcharset238{\\*\\panose 00}Arial{\\*\\falt A};}}x}",
                   "x"}),
    PrintName);

INSTANTIATE_TEST_SUITE_P(
    Damaged, RtfReaderText,
    testing::Values(ReaderCase{"MissingClosingBraces", "{\\rtf1 a{\\b b{\\i c", "abc"},
                    ReaderCase{"ExtraClosingBraces", "{\\rtf1 a}}}b", "a"},
                    ReaderCase{"TruncatedHexAtEnd", "{\\rtf1\\ansicpg1250 a\\'", "a"},
                    ReaderCase{"TruncatedHexOneDigit", "{\\rtf1\\ansicpg1250 a\\'e", "a"},
                    ReaderCase{"BadHex", "{\\rtf1 a\\'zzb}", "azzb"},
                    ReaderCase{"BackslashAtEnd", "{\\rtf1 a\\", "a"},
                    ReaderCase{"MinusWithoutDigits", "{\\rtf1 a\\b- x}", "a- x"},
                    ReaderCase{"HugeParameter", "{\\rtf1\\uc99999999999999999 \\u268 abc}",
                               "\xC4\x8C"},
                    ReaderCase{"HugeBin", "{\\rtf1 a\\bin99999999999999999999}", "a"},
                    ReaderCase{"NegativeBin", "{\\rtf1 a\\bin-5 b}", "ab"}),
    PrintName);

// The built-in code page tables say what glibc's iconv says of every byte
// (a byte iconv cannot turn into exactly one character is undefined).
TEST(CodePageTables, SameAsGlibcIconv) {
    for (const int codePage :
         {437, 850, 852, 866, 874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 10000}) {
        SCOPED_TRACE(codePage);
        ASSERT_EQ(SupportedCodePage(codePage), codePage);
        const std::string name = codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
        iconv_t cd = iconv_open("UTF-32LE", name.c_str());
        ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
        const CodePageTable table = MakeCodePageTable(codePage);
        for (unsigned b = 0; b < 256; ++b) {
            char in[1] = {static_cast<char>(b)};
            char32_t out[2] = {};
            char* src = in;
            char* dst = reinterpret_cast<char*>(out);
            std::size_t inLeft = 1, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool ok =
                iconv(cd, &src, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1) &&
                outLeft == sizeof out - sizeof(char32_t);
            EXPECT_EQ(table.defined[b], ok || b < 0x80) << b;
            EXPECT_EQ(table.character[b], ok ? out[0] : b) << b;
        }
        iconv_close(cd);
    }
    EXPECT_EQ(SupportedCodePage(932), 1252);  // not single-byte
}

TEST(RtfReader, RejectsWhatIsNoRtf) {
    EXPECT_FALSE(TextFromRtf("").has_value());
    EXPECT_FALSE(TextFromRtf("PROGRAM p:").has_value());
    EXPECT_FALSE(TextFromRtf(" {\\rtf1 x}").has_value());
    EXPECT_FALSE(TextFromRtf("{\\rt").has_value());
    EXPECT_TRUE(TextFromRtf("{\\rtf").has_value());
}

TEST(RtfReader, DeepNestingKeepsTextWithoutRecursion) {
    const std::size_t depth = 100'000;
    const std::string rtf =
        "{\\rtf1 " + std::string(depth, '{') + "\\b x\\'e8" + std::string(depth, '}') + "y}";
    EXPECT_EQ(TextFromRtf(rtf), "x\xC3\xA8y");
}

TEST(RtfReader, DeepUnclosedNestingEndsWithText) {
    EXPECT_EQ(TextFromRtf("{\\rtf1 a" + std::string(100'000, '{') + "b"), "ab");
}

TEST(RtfReader, SkippedGroupBeyondDepthLimitStaysSkipped) {
    const std::string open(300, '{');
    const std::string close(300, '}');
    EXPECT_EQ(TextFromRtf("{\\rtf1 {\\*\\x " + open + "hidden" + close + "}shown}"), "shown");
}

TEST(RtfReader, FormattingPastDepthLimitIsIgnored) {
    const std::string open(300, '{');
    const std::string close(300, '}');
    EXPECT_EQ(TextFromRtf("{\\rtf1 " + open + "\\*\\uc0 \\u268?a" + close + "b}"),
              "\xC4\x8C"
              "ab");
}

struct FixtureCase {
    const char* file;
    std::string text;
};

class RtfReaderFixture : public testing::TestWithParam<FixtureCase> {};

TEST_P(RtfReaderFixture, ReadsWordProcessorFile) {
    EXPECT_EQ(TextFromRtf(ReadFixture(GetParam().file)), GetParam().text);
}

// Written by a word processor from lo_program.txt and lo_table.html.
INSTANTIATE_TEST_SUITE_P(
    WordProcessor, RtfReaderFixture,
    testing::Values(FixtureCase{"lo_program.rtf",
                                WithoutFinalLineEnd(ReadFixture("lo_program.txt"))},
                    FixtureCase{"lo_table.rtf",
                                "PROGRAM tu\xC4\x8Dn\xC3\xBD:\nVYSTUP\t\xC4\xBE"
                                "ava\nCAS\t120\nKONIEC"}));

// However many code pages a document names, one table stands for each
// supported code page, and every other code page shares that of 1252.
TEST(CodePageTableCache, OneTablePerSupportedCodePage) {
    const CodePageTable& cp1252 = SharedCodePageTable(1252);
    for (const int unsupported : {0, 1, 4242, 65001, 1'000'000'000}) {
        EXPECT_EQ(&SharedCodePageTable(unsupported), &cp1252) << unsupported;
    }
    EXPECT_EQ(&SharedCodePageTable(1250), &SharedCodePageTable(1250));
    EXPECT_NE(&SharedCodePageTable(1250), &cp1252);
    EXPECT_EQ(SharedCodePageTable(1250).character[0xE8], U'\u010D');
}

}  // namespace
}  // namespace kmp
