#include "text_panes.h"

namespace kmpc {
namespace {

constexpr std::size_t kStreamBuffer = 65536;

}  // namespace

void TextPane::AppendLine(std::string_view line) {
    text_ += line;
    text_ += '\n';
}

void StreamPane::AppendLine(std::string_view line) {
    buffer_ += line;
    buffer_ += '\n';
    if (buffer_.size() >= kStreamBuffer) Flush();
}

void StreamPane::Flush() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stream_);
    buffer_.clear();
}

}  // namespace kmpc
