#include "received_lines.h"

namespace kmpc {

std::vector<std::string> ReceivedByteLines(std::string_view bytes) {
    std::vector<std::string> lines;
    for (const char c : bytes) {
        const auto value = static_cast<unsigned char>(c);
        lines.push_back("Odosielam : " + std::to_string(value));
        if (value == 255) lines.emplace_back(kEndOfSendingLine);
    }
    return lines;
}

}  // namespace kmpc
