// JSON string literals for kmpc's --errors json.
#pragma once

#include <string>
#include <string_view>

namespace kmpc {

// `text` as a JSON string, quotes included: quote, backslash and control
// characters escaped, and every byte that is no valid UTF-8 replaced by
// U+FFFD, so that the result is valid UTF-8.
std::string JsonString(std::string_view text);

}  // namespace kmpc
