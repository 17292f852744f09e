// The name and number readers: accepted values, rejected boundaries, the
// error line each failure writes, the stop flag and the token left current.
#include "compiler_test_support.h"
#include "literal_readers.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

enum class Reader { Bit, Const253, Const15, Const7, LabelName };

std::string Read(Reader reader) {
    switch (reader) {
    case Reader::Bit: return std::to_string(ReadBit());
    case Reader::Const253: return std::to_string(ReadConst253());
    case Reader::Const15: return std::to_string(ReadConst15());
    case Reader::Const7: return std::to_string(ReadConst7());
    case Reader::LabelName: return "[" + ReadLabelName() + "]";
    }
    return {};
}

struct ReaderCase {
    const char* name;
    Reader reader;
    std::string source;
    std::string value;
    std::vector<std::string> errors;
    bool stopped;
    Token after;
};

class ReaderTest : public testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderTest, ValueErrorsAndPosition) {
    const ReaderCase& c = GetParam();
    ScanSeam seam(c.source);
    NextToken();
    EXPECT_EQ(Read(c.reader), c.value);
    EXPECT_EQ(seam.log.lines, c.errors);
    EXPECT_EQ(ParseStopped, c.stopped);
    EXPECT_EQ(static_cast<int>(TokenKind), static_cast<int>(c.after));
}

const std::string k253 = " : očakávala sa celočíselna konštanta v rozsahu od 0 do 253";
const std::string k15 = " : očakávala sa celočíselna konštanta v rozsahu od 0 do 15";
const std::string k7 = " : očakávala sa celočíselná konštanta v rozsahu od 0 do 7";

std::string Error(int column, const std::string& message, int number = 1) {
    return "1. riadok, pozícia:" + std::to_string(column) + "  ! Chyba č. " +
           std::to_string(number) + message;
}

INSTANTIATE_TEST_SUITE_P(
    Readers, ReaderTest,
    testing::Values(
        ReaderCase{"Const253Max", Reader::Const253, "253\r", "253", {}, false, Token::NewLine},
        ReaderCase{"Const253Zero", Reader::Const253, "0\r", "0", {}, false, Token::NewLine},
        ReaderCase{
            "Const253LeadingZero", Reader::Const253, "0253\r", "253", {}, false, Token::NewLine},
        ReaderCase{"Const253LeadingZeros", Reader::Const253, "007 ", "7", {}, false, Token::Space},
        ReaderCase{"Const253Over",
                   Reader::Const253,
                   "254\r",
                   "25",
                   {Error(3, k253)},
                   true,
                   Token::NewLine},
        ReaderCase{"Const253TooManyDigits",
                   Reader::Const253,
                   "1000\r",
                   "100",
                   {Error(4, k253)},
                   true,
                   Token::NewLine},
        ReaderCase{"Const253Over260",
                   Reader::Const253,
                   "260\r",
                   "26",
                   {Error(3, k253)},
                   true,
                   Token::NewLine},
        ReaderCase{"Const253DigitAtEndOfText",
                   Reader::Const253,
                   "12",
                   "1",
                   {Error(2, k253)},
                   true,
                   Token::Digit},
        ReaderCase{"Const253NoDigit",
                   Reader::Const253,
                   "x",
                   "0",
                   {Error(0, " : očakávala sa celočíselna konštanta")},
                   true,
                   Token::LowerLetter},
        ReaderCase{"Const15Max", Reader::Const15, "15\r", "15", {}, false, Token::NewLine},
        ReaderCase{"Const15LeadingZero", Reader::Const15, "015\r", "15", {}, false, Token::NewLine},
        ReaderCase{"Const15Nine", Reader::Const15, "9 ", "9", {}, false, Token::Space},
        ReaderCase{
            "Const15Sixteen", Reader::Const15, "16\r", "1", {Error(2, k15)}, true, Token::NewLine},
        ReaderCase{
            "Const15Twenty", Reader::Const15, "20\r", "2", {Error(2, k15)}, true, Token::NewLine},
        ReaderCase{"Const7Max", Reader::Const7, "7\r", "7", {}, false, Token::NewLine},
        ReaderCase{"Const7Eight", Reader::Const7, "8\r", "0", {Error(1, k7)}, true, Token::NewLine},
        ReaderCase{"Const7ReadsOneDigit", Reader::Const7, "07\r", "0", {}, false, Token::Digit},
        ReaderCase{"Const7NoDigit", Reader::Const7, ",", "0", {Error(0, k7)}, true, Token::Comma},
        ReaderCase{"BitZero", Reader::Bit, "0,", "0", {}, false, Token::Comma},
        ReaderCase{"BitOne", Reader::Bit, "1,", "1", {}, false, Token::Comma},
        ReaderCase{"BitTwo",
                   Reader::Bit,
                   "2,",
                   "0",
                   {Error(0, " : očakávala sa binárna hodnota 1 alebo 0")},
                   true,
                   Token::Digit},
        ReaderCase{"BitNoDigit",
                   Reader::Bit,
                   ")",
                   "0",
                   {Error(0, " : očakávala sa binárna konštanta")},
                   true,
                   Token::RightParen},
        ReaderCase{"LabelName",
                   Reader::LabelName,
                   "Moj cyklus:\r",
                   "[Moj cyklus]",
                   {},
                   false,
                   Token::NewLine},
        ReaderCase{"LabelNameTwoSpaces",
                   Reader::LabelName,
                   "Moj  cyklus:\r",
                   "[Moj  cyklus]",
                   {},
                   false,
                   Token::NewLine},
        ReaderCase{"LabelNameDigitsAndLowerKeyword",
                   Reader::LabelName,
                   "1 ak2:\r",
                   "[1 ak2]",
                   {},
                   false,
                   Token::NewLine},
        ReaderCase{"LabelNameSpaceBeforeColon",
                   Reader::LabelName,
                   "Moj cyklus :\r",
                   "[Moj cyklus  ]",
                   {Error(11, " : očakávalo sa veľké, malé písmeno alebo číslica")},
                   false,
                   Token::NewLine},
        ReaderCase{"LabelNameWithoutColon",
                   Reader::LabelName,
                   "Moj\r",
                   "[Moj]",
                   {Error(3, " : očakával sa symbol dvojbodka \":\"")},
                   false,
                   Token::NewLine},
        ReaderCase{"LabelNameEndsAtKeyword",
                   Reader::LabelName,
                   "ZORO:",
                   "[Z]",
                   {Error(1, " : očakával sa symbol dvojbodka \":\"")},
                   false,
                   Token::OR},
        ReaderCase{"LabelNameKeywordAfterSpace",
                   Reader::LabelName,
                   "Krok OR:",
                   "[Krok  ]",
                   {Error(5, " : očakávalo sa veľké, malé písmeno alebo číslica"),
                    Error(5, " : očakával sa symbol dvojbodka \":\"", 2)},
                   false,
                   Token::OR},
        ReaderCase{"LabelNameEmpty",
                   Reader::LabelName,
                   ":\r",
                   "[ ]",
                   {Error(0, " : očakávalo sa veľké, malé písmeno alebo číslica")},
                   false,
                   Token::NewLine}),
    [](const testing::TestParamInfo<ReaderCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kmp::test
