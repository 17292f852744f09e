#include "editor_text.h"

#include "utf8_codec.h"

namespace kmp {
namespace {

// The character that the editor gives back for `cp`.
char32_t HeldCharacter(char32_t cp) {
    switch (cp) {
    case U'\u00A0':  // no-break space
        return U' ';
    case U'\r':
    case U'\u2028':  // line separator
    case U'\u2029':  // paragraph separator
    case U'\uFDD0':  // start and end of a frame
    case U'\uFDD1': return U'\n';
    default: return cp;
    }
}

}  // namespace

std::string EditorHeldText(std::string_view text) {
    std::string held;
    held.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
            ++pos;  // CR LF is one line end
            continue;
        }
        if (byte < 0x80 && byte != '\r') {
            held += static_cast<char>(byte);
            ++pos;
            continue;
        }
        AppendUtf8(held, HeldCharacter(NextCodePoint(text, pos)));
    }
    return held;
}

}  // namespace kmp
