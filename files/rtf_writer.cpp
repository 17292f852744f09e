#include "rtf_writer.h"

#include "text_encoding.h"
#include "utf8_codec.h"

#include <cstdint>

namespace kmp {
namespace {

void AppendHexEscape(std::string& out, unsigned char b) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\'";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
}

// \uN with N as a signed 16-bit number, followed by the fallback "?".
void AppendUnicodeUnit(std::string& out, std::uint16_t unit) {
    out += "\\u";
    out += std::to_string(static_cast<std::int16_t>(unit));
    out += '?';
}

void AppendUnicode(std::string& out, char32_t cp) {
    if (cp < 0x10000) {
        AppendUnicodeUnit(out, static_cast<std::uint16_t>(cp));
        return;
    }
    const char32_t v = cp - 0x10000;
    AppendUnicodeUnit(out, static_cast<std::uint16_t>(0xD800 + (v >> 10)));
    AppendUnicodeUnit(out, static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)));
}

void AppendCharacter(std::string& out, char32_t cp) {
    switch (cp) {
    case '\n': out += "\\par\r\n"; return;
    case '\t': out += "\\tab "; return;
    case '\\': out += "\\\\"; return;
    case '{': out += "\\{"; return;
    case '}': out += "\\}"; return;
    default: break;
    }
    if (cp >= 0x20 && cp < 0x7F) {
        out += static_cast<char>(cp);
    } else if (cp < 0x80) {
        AppendHexEscape(out, static_cast<unsigned char>(cp));
    } else if (const int b = Cp1250ByteOf(cp); b >= 0) {
        AppendHexEscape(out, static_cast<unsigned char>(b));
    } else {
        AppendUnicode(out, cp);
    }
}

}  // namespace

std::string RtfFromText(std::string_view text) {
    const std::string lines = NormalizeLineEndsLf(text);
    std::string out;
    out.reserve(lines.size() + lines.size() / 4 + 256);
    out += "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1051{\\fonttbl{\\f0\\fswiss\\fcharset238 ";
    out += kProgramFileFont;
    out += ";}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs16 ";
    for (std::size_t pos = 0; pos < lines.size();) AppendCharacter(out, NextCodePoint(lines, pos));
    out += "\\par\r\n}\r\n";
    return out;
}

}  // namespace kmp
