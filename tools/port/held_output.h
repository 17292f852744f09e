// Output of a run held in memory until the run is over, so that the listing
// reaches standard output before the log reaches standard error, and a
// standard output that cannot be written shows at once.
#pragma once

#include <cstdio>

namespace kmpc {

class HeldOutput {
public:
    HeldOutput();
    ~HeldOutput();
    HeldOutput(const HeldOutput&) = delete;
    HeldOutput& operator=(const HeldOutput&) = delete;

    // Where the run writes what belongs on standard output and standard error.
    std::FILE* Out() const { return out_.stream ? out_.stream : stdout; }
    std::FILE* Err() const { return err_.stream ? err_.stream : stderr; }

    // Writes the held output to standard output, then the held errors to
    // standard error. Returns the usage failure (with its message) when
    // standard output cannot be written, otherwise 0.
    int Release();

private:
    struct Memory {
        Memory();
        ~Memory();
        void Close();
        char* text = nullptr;
        std::size_t size = 0;
        std::FILE* stream = nullptr;
    };

    Memory out_;
    Memory err_;
};

}  // namespace kmpc
