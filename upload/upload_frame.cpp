#include "upload_frame.h"

#include <algorithm>

namespace kmp {

std::vector<std::uint8_t> UploadFrame(const ProgramImage& image) {
    auto end = std::find(image.begin(), image.end(), kFrameEndByte);
    if (end != image.end()) ++end;  // the first 255 is sent as the end byte
    std::vector<std::uint8_t> frame;
    frame.reserve(kMaxFrameSize);
    frame.push_back(kFrameFirstByte);
    frame.push_back(kFrameStartByte);
    frame.insert(frame.end(), image.begin(), end);
    return frame;
}

}  // namespace kmp
