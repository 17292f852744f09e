#include "display_text.h"

namespace kmp {

std::string DisplayedErrorText(std::string_view message) {
    std::string text(message);
    // The last byte of a UTF-8 sequence beyond ASCII is 0x80 or more.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

}  // namespace kmp
