#include "compile_state.h"

namespace kmp {

ProgramImage CodeImage = [] {
    ProgramImage image{};
    image.fill(255);
    return image;
}();
bool CompiledOk = false;
bool ProgramChanged = false;

std::uint8_t WritePos = 4;
std::array<std::string, kCodeImageSize> LabelAtAddress;
std::array<std::string, kCodeImageSize> JumpTargetAt;

std::string SourceText;
std::int32_t SourceLength = 0;
std::int32_t SourcePos = 1;
std::int32_t TokenStart = 1;
Token TokenKind = Token::NewLine;
char CurrentChar = '\0';
std::int32_t LineNo = 1;
std::int32_t ColumnNo = 0;

SourcePlaces Places;

std::int32_t ErrorCount = 0;
bool ParseStopped = false;

Pane* CompileLog = nullptr;
Pane* ListingView = nullptr;

}  // namespace kmp
