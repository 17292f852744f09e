#include "file_error.h"

#include <cstring>

namespace kmp {
namespace {

std::string Message(const char* what, const std::string& path, int error) {
    return std::string(what) + " \"" + path + "\". " + std::strerror(error);
}

}  // namespace

std::string CannotOpenMessage(const std::string& path, int error) {
    return Message("Cannot open file", path, error);
}

std::string CannotCreateMessage(const std::string& path, int error) {
    return Message("Cannot create file", path, error);
}

}  // namespace kmp
