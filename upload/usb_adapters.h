// The USB serial adapters that schools use, by their USB ids, so that the
// window, kmpc and the page name the adapter the same way.
#pragma once

#include <cstdint>
#include <string>

namespace kmp {

// The adapter's chip ("CH340", "CP210x", ...), or nullptr for one not in
// the table.
const char* UsbAdapterName(std::uint16_t vendorId, std::uint16_t productId);

// "Prevodník: CH340 (USB 1a86:7523)." for a known adapter,
// "Prevodník: USB vvvv:pppp." otherwise.
std::string AdapterLine(std::uint16_t vendorId, std::uint16_t productId);

}  // namespace kmp
