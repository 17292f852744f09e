// What an upload of the example program sends and logs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kmp::test {

// The frame of the example program at the default timing: 128, 254, the
// image up to and including its first 255.
inline const std::vector<std::uint8_t> kExampleFrame = {128, 254, 200, 1,   0,  3,   0,  120, 66,
                                                        200, 50,  200, 4,   10, 2,   20, 138, 100,
                                                        16,  18,  1,   200, 12, 120, 255};

// The log lines of an upload whose every byte comes back.
inline std::vector<std::string> EchoedUploadLines(const std::vector<std::uint8_t>& frame) {
    std::vector<std::string> lines = {" Odosielam dáta..."};
    for (const std::uint8_t byte : frame) lines.push_back("Odosielam : " + std::to_string(byte));
    if (!frame.empty() && frame.back() == 255) lines.emplace_back("Koniec odosielania!");
    lines.push_back("Overenie: doska vrátila presne odoslané bajty (" +
                    std::to_string(frame.size()) + ").");
    return lines;
}

}  // namespace kmp::test
