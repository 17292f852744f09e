// ROTUJ.
#include "error_report.h"
#include "literal_readers.h"
#include "messages.h"
#include "translators.h"

namespace kmp {
namespace {

// [STALE Space] DOLAVA | DOPRAVA
// Optional STALE (bit 4), then the direction (bit 6 left, bit 5 right).
InstructionWord ReadContinuousAndDirection(InstructionWord word) {
    if (TokenKind == Token::STALE) {
        word = SetBit(word, 4);
        NextToken();
        ExpectToken(Token::Space, msg::kExpectedSpace);
    } else {
        word = ClearBit(word, 4);
    }
    if (TokenKind == Token::DOLAVA) {
        word = SetBit(ClearBit(word, 5), 6);
        NextToken();
    } else if (TokenKind == Token::DOPRAVA) {
        word = SetBit(ClearBit(word, 6), 5);
        NextToken();
    } else {
        ParseStopped = true;
        ReportError(msg::kExpectedDirection);
    }
    return word;
}

}  // namespace

// ROTUJ [STALE] DOLAVA|DOPRAVA, ROZBEH r CAS t
InstructionWord TranslateRotation() {
    InstructionWord word = 0;
    NextToken();
    ExpectToken(Token::Space, msg::kExpectedSpace);
    word = ReadContinuousAndDirection(word);
    ExpectToken(Token::Comma, msg::kExpectedComma);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    ExpectToken(Token::ROZBEH, msg::kExpectedRozbeh);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    const std::uint8_t startUp = ReadConst15();
    word = SetLowByte(word, static_cast<std::uint8_t>((LowByte(word) & 0xF0u) | (startUp & 0x0Fu)));
    ExpectToken(Token::Space, msg::kExpectedSpace);
    ExpectToken(Token::CAS, msg::kExpectedCas);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    return SetHighByte(word, ReadConst253());
}

}  // namespace kmp
