// UploadFrame: 0x80, 0xFE, then the image up to and including its first 255.
#include "upload_frame.h"

#include <gtest/gtest.h>

#include <compiler.h>

#include <array>
#include <cstdint>
#include <vector>

namespace kmp {
namespace {

using Image = ProgramImage;
using Bytes = std::vector<std::uint8_t>;

// An image that starts with `start` and holds 255 everywhere else.
Image ImageOf(const Bytes& start) {
    Image image{};
    image.fill(255);
    std::copy(start.begin(), start.end(), image.begin());
    return image;
}

struct FrameCase {
    const char* name;
    Bytes start;
    Bytes frame;
};

TEST(UploadFrame, EndsAtTheFirst255) {
    const FrameCase cases[] = {
        {"no instructions", {200, 1, 0, 3}, {128, 254, 200, 1, 0, 3, 255}},
        {"RESET first", {1, 0, 0, 0, 255, 255, 0, 120}, {128, 254, 1, 0, 0, 0, 255}},
        {"two instructions",
         {253, 253, 253, 7, 0, 120, 66, 200},
         {128, 254, 253, 253, 253, 7, 0, 120, 66, 200, 255}},
        {"255 as a high byte", {200, 1, 0, 3, 12, 255, 0, 1}, {128, 254, 200, 1, 0, 3, 12, 255}},
        {"254 and 128 are no end",
         {200, 1, 0, 3, 254, 128},
         {128, 254, 200, 1, 0, 3, 254, 128, 255}},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UploadFrame(ImageOf(c.start)), c.frame);
    }
}

TEST(UploadFrame, WholeImageWithout255) {
    Image image{};
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i);
    const Bytes frame = UploadFrame(image);
    ASSERT_EQ(frame.size(), 130u);
    EXPECT_EQ(frame[0], 128);
    EXPECT_EQ(frame[1], 254);
    EXPECT_EQ(Bytes(frame.begin() + 2, frame.end()), Bytes(image.begin(), image.end()));
}

TEST(UploadFrame, LastByteOfTheImageIsTheOnly255) {
    Image image{};
    image.fill(7);
    image[127] = 255;
    const Bytes frame = UploadFrame(image);
    ASSERT_EQ(frame.size(), 130u);
    EXPECT_EQ(frame.back(), 255);
}

}  // namespace
}  // namespace kmp
