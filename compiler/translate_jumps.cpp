// OPAKUJ and AK ... SKOK: the two statements that name a label.
#include "error_report.h"
#include "labels.h"
#include "literal_readers.h"
#include "messages.h"
#include "translators.h"

#include <string>

namespace kmp {
namespace {

// src = DIGITAL | KOMPARATOR
// AK step 3: the source in bit 3.
InstructionWord ReadSource(InstructionWord word) {
    if (TokenKind == Token::DIGITAL) {
        word = ClearBit(word, 3);
        NextToken();
    } else if (TokenKind == Token::KOMPARATOR) {
        word = SetBit(word, 3);
        NextToken();
    } else {
        ParseStopped = true;
        ReportError(msg::kExpectedSource);
    }
    return word;
}

// in1 = VSTUP1 | NEG_VSTUP1
// AK step 6: the first input; bit 2 and `negated` tell whether it is negated.
InstructionWord ReadFirstInput(InstructionWord word, bool& negated) {
    if (TokenKind == Token::VSTUP1) {
        word = ClearBit(word, 2);
        negated = false;
        NextToken();
    } else if (TokenKind == Token::NEG_VSTUP1) {
        word = SetBit(word, 2);
        negated = true;
        NextToken();
    } else {
        ReportError(msg::kExpectedInput1);
    }
    return word;
}

// op = AND | NAND | OR | NOR
// AK step 9: the operation in bits 1 and 0.
InstructionWord ReadOperation(InstructionWord word) {
    std::uint8_t code;
    switch (TokenKind) {
    case Token::AND: code = 0; break;
    case Token::NAND: code = 1; break;
    case Token::OR: code = 2; break;
    case Token::NOR: code = 3; break;
    default: ReportError(msg::kExpectedOperation); return word;
    }
    NextToken();
    word = (code & 2u) != 0 ? SetBit(word, 1) : ClearBit(word, 1);
    return (code & 1u) != 0 ? SetBit(word, 0) : ClearBit(word, 0);
}

// in2 = VSTUP2 | NEG_VSTUP2
// AK step 12: the second input must be negated exactly when the first is.
void ReadSecondInput(bool negated) {
    if (TokenKind != Token::VSTUP2 && TokenKind != Token::NEG_VSTUP2) {
        ReportError(msg::kExpectedInput2);
        return;
    }
    if ((TokenKind == Token::NEG_VSTUP2) != negated) {
        ParseStopped = true;
        ReportError(msg::kOneInputNegated);
    }
    NextToken();
}

// AK step 18: the target's address now, or a fix-up after the parse.
InstructionWord PlaceJumpTarget(InstructionWord word, std::string target) {
    if (LabelExists(target)) return SetHighByte(word, LabelAddress(target));
    // The fix-up entry belongs to this instruction's high byte, which lies
    // past the image when the instruction itself does.
    if (WritePos + 1 >= kCodeImageSize) throw RangeCheckError();
    JumpTargetAt[WritePos + 1] = std::move(target);
    Places.jumpTargetSpanAt[WritePos + 1] = Places.name;
    return SetHighByte(word, 4);
}

}  // namespace

// OPAKUJ L: c
InstructionWord TranslateRepeat() {
    InstructionWord word = 0;
    NextToken();
    ExpectToken(Token::Space, msg::kExpectedSpace);
    const std::string target = ReadLabelName();
    std::uint8_t address = 4;
    if (LabelExists(target)) {
        address = LabelAddress(target);
    } else {
        ReportLabelError(Places.name, msg::kUnknownLabel, target, msg::kLabelBeforeLoop);
    }
    word = SetBit(SetLowByte(word, address), 7);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    return SetHighByte(word, ReadConst253());
}

// AK src (in1) op (in2) SKOK L:
InstructionWord TranslateCondition() {
    InstructionWord word = SetBit(0, 4);
    bool inputsNegated = false;
    NextToken();
    ExpectToken(Token::Space, msg::kExpectedSpace);
    word = ReadSource(word);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    ExpectToken(Token::LeftParen, msg::kExpectedLeftParen);
    word = ReadFirstInput(word, inputsNegated);
    ExpectToken(Token::RightParen, msg::kExpectedRightParen);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    word = ReadOperation(word);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    ExpectToken(Token::LeftParen, msg::kExpectedLeftParen);
    ReadSecondInput(inputsNegated);
    ExpectToken(Token::RightParen, msg::kExpectedRightParen);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    ExpectToken(Token::SKOK, msg::kExpectedSkok);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    return PlaceJumpTarget(word, ReadLabelName());
}

}  // namespace kmp
