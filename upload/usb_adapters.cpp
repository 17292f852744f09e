#include "usb_adapters.h"

#include <array>
#include <cstdio>

namespace kmp {
namespace {

struct UsbAdapter {
    std::uint16_t vendorId;
    std::uint16_t productId;
    const char* name;
};

constexpr std::array kAdapters{
    UsbAdapter{0x1a86, 0x7523, "CH340"},  UsbAdapter{0x1a86, 0x5523, "CH341"},
    UsbAdapter{0x1a86, 0x55d4, "CH9102"}, UsbAdapter{0x10c4, 0xea60, "CP210x"},
    UsbAdapter{0x0403, 0x6001, "FT232R"}, UsbAdapter{0x0403, 0x6015, "FT231X"},
    UsbAdapter{0x0403, 0x6010, "FT2232"}, UsbAdapter{0x0403, 0x6014, "FT232H"},
    UsbAdapter{0x067b, 0x2303, "PL2303"}, UsbAdapter{0x067b, 0x23a3, "PL2303GS"},
};

std::string UsbIds(std::uint16_t vendorId, std::uint16_t productId) {
    char ids[16];
    std::snprintf(ids, sizeof ids, "USB %04x:%04x", unsigned{vendorId}, unsigned{productId});
    return ids;
}

}  // namespace

const char* UsbAdapterName(std::uint16_t vendorId, std::uint16_t productId) {
    for (const UsbAdapter& adapter : kAdapters)
        if (adapter.vendorId == vendorId && adapter.productId == productId) return adapter.name;
    return nullptr;
}

std::string AdapterLine(std::uint16_t vendorId, std::uint16_t productId) {
    const char* name = UsbAdapterName(vendorId, productId);
    const std::string ids = UsbIds(vendorId, productId);
    return std::string("Prevodník: ") + (name ? std::string(name) + " (" + ids + ")" : ids) + ".";
}

}  // namespace kmp
