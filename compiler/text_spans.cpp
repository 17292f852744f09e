// Lines and columns of byte offsets in the program text, for the places of
// errors and listing lines.
#include "compile_state.h"

#include <algorithm>
#include <cstring>

namespace kmp {
namespace {

// Where the last look ended. The parse asks for places in text order, so
// each look walks on from the one before and a run walks the text once.
struct Walk {
    const char* text = nullptr;
    std::int32_t size = 0;
    std::int32_t offset = 0;     // bytes walked
    int line = 0;                // line at `offset`
    std::int32_t lineStart = 0;  // offset of that line's first byte
};

Walk walk;

// A CR ends a line unless a LF follows it (then the LF ends the line).
bool LoneCr(std::int32_t i) {
    return i + 1 >= walk.size || walk.text[i + 1] != '\n';
}

// Counts the line ends of [walk.offset, offset) with memchr, which is fast
// on long lines and comments; the line starts after the last one.
void WalkTo(std::int32_t offset) {
    if (walk.text != SourceText.data() || walk.size != SourceLength || offset < walk.offset) {
        walk = Walk{SourceText.data(), SourceLength};
    }
    const char* const end = walk.text + offset;
    for (const char* p = walk.text + walk.offset;;) {
        const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (lf == nullptr) break;
        p = static_cast<const char*>(lf) + 1;
        ++walk.line;
        walk.lineStart = static_cast<std::int32_t>(p - walk.text);
    }
    for (const char* p = walk.text + walk.offset;;) {
        const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
        if (cr == nullptr) break;
        p = static_cast<const char*>(cr) + 1;
        const auto next = static_cast<std::int32_t>(p - walk.text);
        if (LoneCr(next - 1)) {
            ++walk.line;
            walk.lineStart = std::max(walk.lineStart, next);
        }
    }
    walk.offset = offset;
}

}  // namespace

TextSpan SpanAt(std::int32_t offset, std::int32_t length) {
    WalkTo(offset);
    return {walk.line, static_cast<int>(offset - walk.lineStart), static_cast<int>(length), offset};
}

void ResetSpans() {
    walk = Walk{};
}

}  // namespace kmp
