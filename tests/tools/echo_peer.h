// The echo peer script (echo_peer.py) on its own pseudo-terminal, for the
// upload tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kmp::test {

// The echo peer script on its own pseudo-terminal.
class EchoPeer {
public:
    EchoPeer() {
        const std::string command =
            "/usr/bin/python3 " + std::string(KMP_SOURCE_DIR) + "/tests/tools/echo_peer.py 10";
        pipe_ = popen(command.c_str(), "r");
        port_ = ReadLine();
    }
    ~EchoPeer() {
        if (pipe_ != nullptr) pclose(pipe_);
    }
    EchoPeer(const EchoPeer&) = delete;
    EchoPeer& operator=(const EchoPeer&) = delete;

    const std::string& Port() const { return port_; }
    // The bytes that reached the peer, once it has seen the end byte.
    std::vector<std::uint8_t> Received() {
        const std::string hex = ReadLine();
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        return bytes;
    }

private:
    std::string ReadLine() {
        char line[1024] = {};
        if (pipe_ == nullptr || std::fgets(line, sizeof line, pipe_) == nullptr) return {};
        std::string text = line;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }

    FILE* pipe_ = nullptr;
    std::string port_;
};

}  // namespace kmp::test
