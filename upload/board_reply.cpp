#include "board_reply.h"

#include <algorithm>

namespace kmp {

std::string SlovakSeconds(int ms) {
    std::string text = std::to_string(ms / 1000);
    if (const int fraction = ms % 1000; fraction != 0) {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "," + digits;
    }
    return text;
}

std::string DsrOffLine(std::string_view portName, int timeoutMs) {
    return "Doska na porte " + std::string(portName) + " nezapla signál DSR do " +
           SlovakSeconds(timeoutMs) + " s: nie je pripojená, zapnutá alebo pripravená.";
}

void EchoCheck::Start(std::vector<std::uint8_t> frame) {
    frame_ = std::move(frame);
    returned_.clear();
}

bool EchoCheck::Take(std::string_view bytes) {
    for (const char byte : bytes) {
        if (Complete()) break;
        returned_.push_back(static_cast<std::uint8_t>(byte));
    }
    return Complete();
}

bool EchoCheck::Exact() const {
    return !frame_.empty() && returned_ == frame_;
}

std::string EchoCheck::Line() const {
    if (returned_.empty()) return kNoReplyLine;
    const auto [back, sent] = std::mismatch(returned_.begin(), returned_.end(), frame_.begin());
    if (back != returned_.end()) {
        return "Overenie: doska vrátila iné bajty, ako sa odoslali – prvý rozdiel na bajte " +
               std::to_string(back - returned_.begin() + 1) + ": odoslaný " +
               std::to_string(*sent) + ", vrátený " + std::to_string(*back) + ".";
    }
    if (Complete()) {
        return "Overenie: doska vrátila presne odoslané bajty (" + std::to_string(frame_.size()) +
               ").";
    }
    return "Overenie: doska vrátila len " + std::to_string(returned_.size()) + " z " +
           std::to_string(frame_.size()) + " bajtov.";
}

}  // namespace kmp
