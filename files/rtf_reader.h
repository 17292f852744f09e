// Reads the plain text of an RTF document.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kmp {

// True when `bytes` begins like an RTF document ("{\rtf").
bool LooksLikeRtf(std::string_view bytes);

// The plain text of an RTF document as UTF-8 with LF line ends, or nothing
// when `rtf` is no RTF document. Formatting, pictures and the destinations
// that hold no body text are dropped; one paragraph mark at the very end of
// the document is dropped too (the implicit last paragraph of an editor).
// Damaged documents (unbalanced braces, truncated escapes, binary junk)
// give what text can be read. Runs in time linear in the input's length.
std::optional<std::string> TextFromRtf(std::string_view rtf);

}  // namespace kmp
