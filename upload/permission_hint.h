// The line that says how to get the right to open a serial device on Linux.
#pragma once

#include <string>
#include <string_view>

namespace kmp {

// "Nemáte oprávnenie otvoriť zariadenie DEVICE. Na Debiane sa pridajte do
// skupiny GROUP, ktorá ho vlastní (sudo usermod -aG GROUP $USER), potom sa
// odhláste a znova prihláste."
std::string NoPermissionHint(std::string_view device, std::string_view group);

}  // namespace kmp
