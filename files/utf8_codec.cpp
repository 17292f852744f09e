#include "utf8_codec.h"

namespace kmp {

void AppendUtf8(std::string& out, char32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacementCharacter;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {

bool IsContinuation(std::string_view text, std::size_t pos) {
    return pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80;
}

// Skips the continuation bytes after a bad lead byte; returns U+FFFD.
char32_t Malformed(std::string_view text, std::size_t& pos, std::size_t maxTrail) {
    for (std::size_t k = 0; k < maxTrail && IsContinuation(text, pos); ++k) ++pos;
    return kReplacementCharacter;
}

}  // namespace

char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) return lead;
    std::size_t trail;
    char32_t cp;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1;
        cp = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        cp = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        cp = lead & 0x07u;
        minimum = 0x10000;
    } else
        return Malformed(text, pos, 3);
    const std::size_t start = pos;
    for (std::size_t k = 0; k < trail; ++k) {
        if (!IsContinuation(text, start + k)) {
            pos = start + k;
            return kReplacementCharacter;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(text[start + k]) & 0x3Fu);
    }
    pos = start + trail;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return kReplacementCharacter;
    return cp;
}

}  // namespace kmp
