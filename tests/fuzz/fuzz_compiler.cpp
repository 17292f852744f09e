// Fuzzes the compile run with arbitrary source bytes: no input may crash,
// hang, read outside the text or the tables, or throw anything but the
// range error. The first two bytes choose the timing settings.
#include "compile_state.h"
#include "compiler.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// A pane that checks that every line it gets is printable as UTF-8 text.
class CheckingPane final : public kmp::Pane {
public:
    void Clear() override {}
    void AppendLine(std::string_view line) override {
        for (const char c : line) {
            if (c == '\0' || c == '\r' || c == '\n') std::abort();
        }
    }
    void SetColor(std::uint32_t) override {}
};

class FixedClock final : public kmp::Clock {
public:
    std::string LongTimeText() const override { return "12:34:56"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kmp::TimingSettings timing;
    if (size >= 2) {
        timing.period = 1 + data[0] % 253;
        timing.delay = 1 + data[1] * 257;
        timing.prescaler = data[0] % 8;
        data += 2;
        size -= 2;
    }
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    CheckingPane log;
    CheckingPane listing;
    const FixedClock clock;
    try {
        kmp::CompileProgram(source, timing, log, listing, clock);
    } catch (const kmp::RangeCheckError&) {
        if (kmp::CompiledOk || kmp::WritePos != 128) std::abort();
        return 0;
    }
    if (kmp::CompiledOk && (kmp::ParseStopped || kmp::ErrorCount != 0)) std::abort();
    if (kmp::WritePos > 128 || kmp::WritePos % 2 != 0) std::abort();
    return 0;
}
