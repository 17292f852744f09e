// The program text as the window's editor holds it.
#pragma once

#include <string>
#include <string_view>

namespace kmp {

// The text that the editor gives back after it was given `text` (UTF-8):
// the editor keeps a no-break space as a plain space and every paragraph,
// line or frame separator (and CR or CR LF) as one line end. The window saves and
// compiles that text, so kmpc and the page do the same.
std::string EditorHeldText(std::string_view text);

}  // namespace kmp
