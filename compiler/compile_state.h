// The compile state: one set of variables global to the compiler, set up
// again by every compile run (only ProgramChanged carries over).
#pragma once

#include "compiler.h"

#include <array>
#include <cstdint>
#include <string>

namespace kmp {

// Token kinds with the codes that TokenKind holds. Code 13 is never used.
enum class Token : std::uint8_t {
    NewLine = 0,
    LeftParen = 1,
    RightParen = 2,
    VSTUP1 = 3,
    VSTUP2 = 4,
    UpperLetter = 5,
    LowerLetter = 6,
    Digit = 7,
    Space = 8,
    OPAKUJ = 9,
    RESET = 10,
    CASOVANIE = 11,
    PERIODA = 12,
    VYSTUP = 14,
    CAS = 15,
    ROTUJ = 16,
    STALE = 17,
    DOLAVA = 18,
    DOPRAVA = 19,
    ROZBEH = 20,
    AK = 21,
    DIGITAL = 22,
    KOMPARATOR = 23,
    NEG_VSTUP1 = 24,
    NEG_VSTUP2 = 25,
    AND = 26,
    NAND = 27,
    OR = 28,
    NOR = 29,
    SKOK = 30,
    Colon = 31,
    PROGRAM = 32,
    KONIEC = 33,
    BadChar = 34,
    Comma = 35,
};

// Address at which the next instruction is written: 4 at run start, +2 per
// instruction. Never above 128: a store at 128 abandons the run.
extern std::uint8_t WritePos;

// Label tables, indexed by image address.
extern std::array<std::string, kCodeImageSize> LabelAtAddress;
extern std::array<std::string, kCodeImageSize> JumpTargetAt;

// Scanner state. Positions are 1-based byte indexes into SourceText.
extern std::string SourceText;
extern std::int32_t SourceLength;
extern std::int32_t SourcePos;
extern std::int32_t TokenStart;
extern Token TokenKind;
extern char CurrentChar;
extern std::int32_t LineNo;
extern std::int32_t ColumnNo;

// The scanner: consumes the current token and scans the next one into
// TokenKind and CurrentChar, advancing SourcePos, LineNo and ColumnNo.
void NextToken();

// Where the current token really stands: its 0-based byte offset in
// SourceText and its length (0 for a line end or the end of the text; a
// comment, which scans as the NewLine of its line, is its whole text).
struct TokenExtent {
    std::int32_t offset = 0;
    std::int32_t length = 0;
};
TokenExtent CurrentTokenExtent();

// A stretch of the program text: 0-based line and column in characters of
// the editor's text (CR LF, LF or a lone CR ends a line) and its length.
struct TextSpan {
    int line = 0;
    int column = 0;
    int length = 0;
    std::int32_t offset = 0;  // of its first byte in SourceText
};

// The span of the byte `offset` of SourceText, `length` long.
TextSpan SpanAt(std::int32_t offset, std::int32_t length);

// The span of the current token.
inline TextSpan CurrentTokenSpan() {
    const TokenExtent token = CurrentTokenExtent();
    return SpanAt(token.offset, token.length);
}

// Forgets where SpanAt last looked: a new text follows.
void ResetSpans();

// Where the run's output comes from in the program text: the places of the
// errors and the source lines of the listing, kept beside the compile state
// that the language needs, for one run.
struct SourcePlaces {
    // The span of the last name that ReadName read.
    TextSpan name;
    // The 0-based source line of the PROGRAM header, and of the instruction
    // and the label at each address; -1 for none.
    int programLine = -1;
    std::array<int, kCodeImageSize> instructionLineAt{};
    std::array<int, kCodeImageSize> labelLineAt{};
    // Where the name of each JumpTargetAt entry stands.
    std::array<TextSpan, kCodeImageSize> jumpTargetSpanAt{};
    // The lines written to the compile log in this run so far.
    int logLines = 0;
    // The last line that a hint about its statement's words was given for.
    int hintedLine = -1;
    // What the run returns, and what it does with the error places.
    CompileResult result;
    PlaceRecording recording = PlaceRecording::Keep;
    ErrorPlaceSink* sink = nullptr;
};
extern SourcePlaces Places;

extern std::int32_t ErrorCount;
extern bool ParseStopped;

// The panes of the current run.
extern Pane* CompileLog;
extern Pane* ListingView;

}  // namespace kmp
