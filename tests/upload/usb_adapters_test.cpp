// The adapter line of a connect, for the adapters that schools use and for
// one that is not in the table.
#include "usb_adapters.h"

#include <gtest/gtest.h>

namespace kmp {
namespace {

TEST(UsbAdapters, LineNamesKnownAdaptersByTheirIds) {
    const struct {
        std::uint16_t vendor;
        std::uint16_t product;
        const char* line;
    } cases[] = {
        {0x1a86, 0x7523, "Prevodník: CH340 (USB 1a86:7523)."},
        {0x1a86, 0x5523, "Prevodník: CH341 (USB 1a86:5523)."},
        {0x1a86, 0x55d4, "Prevodník: CH9102 (USB 1a86:55d4)."},
        {0x10c4, 0xea60, "Prevodník: CP210x (USB 10c4:ea60)."},
        {0x0403, 0x6001, "Prevodník: FT232R (USB 0403:6001)."},
        {0x0403, 0x6015, "Prevodník: FT231X (USB 0403:6015)."},
        {0x067b, 0x2303, "Prevodník: PL2303 (USB 067b:2303)."},
        {0x2341, 0x0043, "Prevodník: USB 2341:0043."},
        {0x0000, 0xffff, "Prevodník: USB 0000:ffff."},
    };
    for (const auto& c : cases) EXPECT_EQ(AdapterLine(c.vendor, c.product), c.line);
    EXPECT_EQ(UsbAdapterName(0x1a86, 0x7524), nullptr);
}

}  // namespace
}  // namespace kmp
