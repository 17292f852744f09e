
#include "compile_state.h"
#include "error_hints.h"
#include "error_report.h"
#include "instruction_word.h"
#include "labels.h"
#include "listing.h"
#include "literal_readers.h"
#include "messages.h"
#include "translators.h"

namespace kmp {
namespace {

void SkipSpaces() {
    while (TokenKind == Token::Space && !ParseStopped) NextToken();
}

void SkipNewLinesAndSpaces() {
    while ((TokenKind == Token::NewLine || TokenKind == Token::Space) && !ParseStopped) NextToken();
}

// eol = {Space} NewLine {NewLine | Space}
void EndOfLine() {
    SkipSpaces();
    ExpectToken(Token::NewLine, msg::kExpectedNewLine);
    SkipNewLinesAndSpaces();
}

// The tokens that can begin a statement.
bool BeginsStatement(Token kind) {
    switch (kind) {
    case Token::VYSTUP:
    case Token::OPAKUJ:
    case Token::ROTUJ:
    case Token::RESET:
    case Token::CASOVANIE:
    case Token::AK:
    case Token::UpperLetter:
    case Token::LowerLetter:
    case Token::Digit: return true;
    default: return false;
    }
}

// The translator of the current statement keyword.
InstructionWord TranslateStatement() {
    switch (TokenKind) {
    case Token::VYSTUP: return TranslateOutput();
    case Token::CASOVANIE: return TranslateTiming();
    case Token::RESET: return TranslateReset();
    case Token::ROTUJ: return TranslateRotation();
    case Token::OPAKUJ: return TranslateRepeat();
    default: return TranslateCondition();
    }
}

// Stores the instruction of the statement on `sourceLine`.
void StoreInstruction(InstructionWord word, int sourceLine) {
    if (WritePos >= kCodeImageSize) throw RangeCheckError();
    CodeImage[WritePos] = LowByte(word);
    CodeImage[WritePos + 1] = HighByte(word);
    Places.instructionLineAt[WritePos] = sourceLine;
    AppendInstructionLine(WritePos, LowByte(word), HighByte(word), true, sourceLine);
    WritePos = static_cast<std::uint8_t>(WritePos + 2);
}

}  // namespace

// program = {NewLine} PROGRAM Space labelname statements KONIEC
void ParseProgram() {
    while (TokenKind == Token::NewLine && !ParseStopped) NextToken();
    if (TokenKind == Token::PROGRAM) SetHeaderSourceLine(CurrentTokenSpan().line);
    ExpectToken(Token::PROGRAM, msg::kExpectedProgram);
    ExpectToken(Token::Space, msg::kExpectedSpace);
    ReadLabelName();
    ParseStatements();
    if (TokenKind != Token::KONIEC) {
        ReportError(msg::kExpectedEnd);
    } else if (ParseStopped || ErrorCount > 0) {
        CompileLog->AppendLine(msg::kCannotCompile);
    }
}

// statements = eol {statement eol} {NewLine | Space}
void ParseStatements() {
    EndOfLine();
    while (BeginsStatement(TokenKind) && !ParseStopped) {
        ParseStatement();
        EndOfLine();
    }
    SkipNewLinesAndSpaces();
}

// statement = VYSTUP... | CASOVANIE... | RESET | ROTUJ... | OPAKUJ... | AK... | label
void ParseStatement() {
    const TextSpan start = CurrentTokenSpan();
    try {
        switch (TokenKind) {
        case Token::UpperLetter:
        case Token::LowerLetter:
        case Token::Digit: DefineLabel(); return;
        default: StoreInstruction(TranslateStatement(), start.line);
        }
    } catch (RangeCheckError& error) {
        // The statement that no longer fits, marked where it begins.
        error.statement = {start.line,
                           start.column,
                           start.length,
                           LineNo,
                           ColumnNo,
                           0,
                           std::string(error.what()),
                           -1,
                           std::string(kHintTooManyStatements)};
        throw;
    }
}

}  // namespace kmp
