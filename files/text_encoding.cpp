#include "text_encoding.h"

#include "rtf_codepage.h"
#include "utf8_codec.h"

#include <cstdint>
#include <unordered_map>

namespace kmp {
namespace {

constexpr int kWindows1250 = 1250;

// The Windows-1250 byte of each character above 7-bit ASCII that it holds,
// built once from the code page's table.
const std::unordered_map<char32_t, unsigned char>& Cp1250Bytes() {
    static const std::unordered_map<char32_t, unsigned char> bytes = [] {
        const CodePageTable& table = SharedCodePageTable(kWindows1250);
        std::unordered_map<char32_t, unsigned char> reverse;
        for (unsigned b = 0x80; b < 256; ++b) {
            if (table.defined[b])
                reverse.emplace(table.character[b], static_cast<unsigned char>(b));
        }
        return reverse;
    }();
    return bytes;
}

// The tag characters (U+E0000 to U+E007F) have no visible form: the
// conversion to Windows-1250 drops them, as iconv does.
bool IsTagCharacter(char32_t cp) {
    return cp >= 0xE0000 && cp <= 0xE007F;
}

template <typename Emit>
std::string NormalizeLineEnds(std::string_view text, Emit lineEnd) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += lineEnd;
        } else if (c == '\n') {
            out += lineEnd;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len;
        std::uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1Fu;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0Fu;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07u;
        } else
            return false;
        if (i + len > n) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += len;
    }
    return true;
}

std::string Cp1250ToUtf8(std::string_view bytes) {
    // A byte that Windows-1250 leaves undefined keeps its own value in the table.
    const CodePageTable& table = SharedCodePageTable(kWindows1250);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else
            AppendUtf8(out, table.character[b]);
    }
    return out;
}

int Cp1250ByteOf(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    const auto& bytes = Cp1250Bytes();
    const auto it = bytes.find(cp);
    return it != bytes.end() ? it->second : -1;
}

std::string Utf8ToCp1250(std::string_view utf8, char replacement) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char c = utf8[pos];
        if (static_cast<unsigned char>(c) < 0x80) {
            out += c;
            ++pos;
            continue;
        }
        // One replacement per character, or per ill-formed sequence (U+FFFD
        // has no Windows-1250 byte either).
        const char32_t cp = NextCodePoint(utf8, pos);
        if (IsTagCharacter(cp)) continue;
        const int b = Cp1250ByteOf(cp);
        out += b >= 0 ? static_cast<char>(b) : replacement;
    }
    return out;
}

bool FitsCp1250(std::string_view utf8) {
    if (!IsValidUtf8(utf8)) return false;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = NextCodePoint(utf8, pos);
        if (!IsTagCharacter(cp) && Cp1250ByteOf(cp) < 0) return false;
    }
    return true;
}

std::string NormalizeLineEndsCrLf(std::string_view text) {
    return NormalizeLineEnds(text, "\r\n");
}

std::string NormalizeLineEndsLf(std::string_view text) {
    return NormalizeLineEnds(text, "\n");
}

std::string DecodePlainText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
        return std::string(bytes);
    }
    return Cp1250ToUtf8(bytes);
}

std::string EditorTextToSource(std::string_view utf8) {
    return Utf8ToCp1250(NormalizeLineEndsCrLf(utf8));
}

}  // namespace kmp
