// Base64 with the URL's alphabet and no padding (RFC 4648, section 5).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kmp {

std::string Base64UrlEncode(std::string_view bytes);

// The bytes of `text`, or nothing when it holds a character outside the
// alphabet, padding, or a length that no byte count gives.
std::optional<std::string> Base64UrlDecode(std::string_view text);

}  // namespace kmp
