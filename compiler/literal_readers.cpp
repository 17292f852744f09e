#include "literal_readers.h"

#include "compile_state.h"
#include "error_report.h"
#include "messages.h"

#include <string_view>

namespace kmp {
namespace {

bool IsNameChar(Token kind) {
    return kind == Token::UpperLetter || kind == Token::LowerLetter || kind == Token::Digit;
}

int DigitValue(char digit) {
    return digit - '0';
}

// A decimal number of one or more digits. `fits(value, d)` tells whether the
// digit d may follow value; the first digit that may not ends the read.
// number = digit {digit}
template <typename Fits>
std::uint8_t ReadConst(Fits fits, std::string_view rangeMessage) {
    int value = DigitValue(ReadDigit());
    while (TokenKind == Token::Digit && !ParseStopped) {
        const int d = DigitValue(ReadDigit());
        if (fits(value, d) && !ParseStopped) {
            value = value * 10 + d;
        } else {
            ParseStopped = true;
            ReportError(rangeMessage);
            break;
        }
    }
    return static_cast<std::uint8_t>(value);
}

}  // namespace

// expected = the one token `kind`
void ExpectToken(Token kind, std::string_view message) {
    if (TokenKind == kind) {
        NextToken();
    } else {
        ReportError(message);
    }
}

// namechar = UpperLetter | LowerLetter | Digit
char ReadNameChar() {
    if (!IsNameChar(TokenKind)) {
        ReportError(msg::kExpectedNameChar);
        return ' ';
    }
    const char c = CurrentChar;
    NextToken();
    return c;
}

// name = namechar {{Space} namechar}
std::string ReadName() {
    const TextSpan start = CurrentTokenSpan();
    const std::int32_t first = CurrentTokenExtent().offset;
    // Just after the last token of the name: its tokens share one line.
    std::int32_t end = first;
    const auto readChar = [&end] {
        if (IsNameChar(TokenKind)) end = CurrentTokenExtent().offset + 1;
        return ReadNameChar();
    };
    std::string name(1, readChar());
    while ((IsNameChar(TokenKind) || TokenKind == Token::Space) && !ParseStopped) {
        while (TokenKind == Token::Space && !ParseStopped) {
            name += ' ';
            end = CurrentTokenExtent().offset + 1;
            NextToken();
        }
        name += readChar();
    }
    Places.name = start;
    Places.name.length = static_cast<int>(end - first);
    return name;
}

// labelname = name ":"
std::string ReadLabelName() {
    std::string name = ReadName();
    ExpectToken(Token::Colon, msg::kExpectedColon);
    return name;
}

// digit = "0" | "1" | ... | "9"
char ReadDigit() {
    if (TokenKind != Token::Digit) {
        ParseStopped = true;
        ReportError(msg::kExpectedInteger);
        return '0';
    }
    const char c = CurrentChar;
    NextToken();
    return c;
}

// bit = "0" | "1"
std::uint8_t ReadBit() {
    if (TokenKind != Token::Digit) {
        ParseStopped = true;
        ReportError(msg::kExpectedBit);
        return 0;
    }
    if (CurrentChar != '0' && CurrentChar != '1') {
        ParseStopped = true;
        ReportError(msg::kExpectedBitValue);
        return 0;
    }
    const auto bit = static_cast<std::uint8_t>(DigitValue(CurrentChar));
    NextToken();
    return bit;
}

// const253 = number, 0..253
std::uint8_t ReadConst253() {
    return ReadConst([](int value, int d) { return value < 25 || (value == 25 && d <= 3); },
                     msg::kRange253);
}

// const15 = number, 0..15
std::uint8_t ReadConst15() {
    return ReadConst([](int value, int d) { return value == 0 || (value == 1 && d <= 5); },
                     msg::kRange15);
}

// const7 = digit, 0..7
// Reads exactly one digit: in "07" the value is 0 and the 7 stays current.
std::uint8_t ReadConst7() {
    if (TokenKind != Token::Digit) {
        ParseStopped = true;
        ReportError(msg::kRange7);
        return 0;
    }
    const int d = DigitValue(ReadDigit());
    if (d <= 7) return static_cast<std::uint8_t>(d);
    ParseStopped = true;
    ReportError(msg::kRange7);
    return 0;
}

}  // namespace kmp
