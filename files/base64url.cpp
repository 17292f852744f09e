#include "base64url.h"

#include <cstdint>

namespace kmp {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int ValueOf(char c) {
    const std::size_t at = kAlphabet.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

}  // namespace

std::string Base64UrlEncode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() * 4 + 2) / 3);
    std::uint32_t buffer = 0;
    int filled = 0;
    for (const char c : bytes) {
        buffer = buffer << 8 | static_cast<unsigned char>(c);
        filled += 8;
        while (filled >= 6) {
            filled -= 6;
            out.push_back(kAlphabet[(buffer >> filled) & 63]);
        }
    }
    if (filled > 0) out.push_back(kAlphabet[(buffer << (6 - filled)) & 63]);
    return out;
}

std::optional<std::string> Base64UrlDecode(std::string_view text) {
    // One character alone holds six bits, less than a byte.
    if (text.size() % 4 == 1) return std::nullopt;
    std::string out;
    out.reserve(text.size() * 3 / 4);
    std::uint32_t buffer = 0;
    int filled = 0;
    for (const char c : text) {
        const int value = ValueOf(c);
        if (value < 0) return std::nullopt;
        buffer = (buffer << 6 | static_cast<std::uint32_t>(value)) & 0xFFFFFF;
        filled += 6;
        if (filled >= 8) {
            filled -= 8;
            out.push_back(static_cast<char>((buffer >> filled) & 0xFF));
        }
    }
    return out;
}

}  // namespace kmp
