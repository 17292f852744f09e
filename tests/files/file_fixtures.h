// Files under tests/files/data, and small helpers for file tests.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace kmp {

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline std::string ReadFixture(const std::string& name) {
    return ReadBytes(std::string(KMP_SOURCE_DIR) + "/tests/files/data/" + name);
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string WithoutFinalLineEnd(std::string text) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

}  // namespace kmp
