#include "text_encoding.h"

#include "utf8_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace kmp {
namespace {

// One iconv conversion descriptor, closed when it goes out of scope.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " +
                                     to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of [in, in+inLeft) as it can, appending to `out`.
    // Returns false when it stopped at a sequence it cannot convert.
    bool Convert(const char*& in, std::size_t& inLeft, std::string& out) {
        char buffer[4096];
        while (inLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            char* src = const_cast<char*>(in);
            const std::size_t rc = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
            const int err = errno;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            in = src;
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (err == E2BIG) continue;
            return false;
        }
        return true;
    }

private:
    iconv_t cd_;
};

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
    Converter conv("UTF-8", "CP1250");
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    const char* in = bytes.data();
    std::size_t left = bytes.size();
    while (!conv.Convert(in, left, out)) {
        // A byte that Windows-1250 leaves undefined keeps its own value.
        AppendUtf8(out, static_cast<unsigned char>(*in));
        ++in;
        --left;
    }
    return out;
}

std::string Utf8ToCp1250(std::string_view utf8, char replacement) {
    Converter conv("CP1250", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    while (!conv.Convert(in, left, out)) {
        // One replacement per character, or per ill-formed sequence.
        std::size_t skip = 0;
        NextCodePoint(std::string_view(in, left), skip);
        out += replacement;
        in += skip;
        left -= skip;
    }
    return out;
}

bool FitsCp1250(std::string_view utf8) {
    Converter conv("CP1250", "UTF-8");
    std::string out;
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    return conv.Convert(in, left, out);
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
