// The scanner: cuts the source text into tokens, one per call.
#pragma once

namespace kmp {

// Consumes the current token and scans the next one into TokenKind and
// CurrentChar, advancing SourcePos, LineNo and ColumnNo.
void NextToken();

}  // namespace kmp
