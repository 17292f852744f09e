#include "compiler.h"

#include <ctime>

namespace kmp {

std::string SystemClock::LongTimeText() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%X", &local);
    return std::string(text, length);
}

}  // namespace kmp
