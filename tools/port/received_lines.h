// The log lines of the bytes that the board returns, as the window logs them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kmpc {

inline constexpr const char* kSendingLine = " Odosielam dáta...";
inline constexpr const char* kEndOfSendingLine = "Koniec odosielania!";

// "Odosielam : N" for each byte, in order, and "Koniec odosielania!" right
// after each byte 255.
std::vector<std::string> ReceivedByteLines(std::string_view bytes);

}  // namespace kmpc
