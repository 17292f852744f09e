// The example program that the editor shows at start.
#pragma once

namespace kmp {

// 34 lines, UTF-8, LF between lines, no line end after the last one.
extern const char* const kExampleProgram;

}  // namespace kmp
