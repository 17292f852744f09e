// VYSTUP, CASOVANIE and RESET.
#include "literal_readers.h"
#include "messages.h"
#include "translators.h"

namespace kmp {
namespace {

// bit n := 0 | 1
InstructionWord PutBit(InstructionWord word, unsigned n, std::uint8_t bit) {
    return bit == 1 ? SetBit(word, n) : ClearBit(word, n);
}

}  // namespace

// VYSTUP(a,b,c) CAS t
InstructionWord TranslateOutput() {
    InstructionWord word = 0;
    NextToken();
    ExpectToken(Token::LeftParen, msg::kExpectedLeftParen);
    word = PutBit(word, 2, ReadBit());
    ExpectToken(Token::Comma, msg::kExpectedComma);
    word = PutBit(word, 1, ReadBit());
    ExpectToken(Token::Comma, msg::kExpectedComma);
    word = PutBit(word, 0, ReadBit());
    ExpectToken(Token::RightParen, msg::kExpectedRightParen);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    ExpectToken(Token::CAS, msg::kExpectedCas);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    return SetHighByte(word, ReadConst253());
}

// CASOVANIE n, PERIODA p
InstructionWord TranslateTiming() {
    InstructionWord word = 0;
    NextToken();
    ExpectToken(Token::Space, msg::kExpectedSpace);
    word = SetBit(SetLowByte(word, ReadConst7()), 3);
    ExpectToken(Token::Comma, msg::kExpectedComma);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    ExpectToken(Token::PERIODA, msg::kExpectedPerioda);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    return SetHighByte(word, ReadConst253());
}

// RESET
InstructionWord TranslateReset() {
    NextToken();
    return 0xFFFF;
}

}  // namespace kmp
