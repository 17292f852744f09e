// Speed of the compile run: the example program in memory, and the scan of
// long texts.
#include "compiler.h"
#include "example_program.h"
#include "text_encoding.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

class RecordingPane final : public kmp::Pane {
public:
    void Clear() override { lines_.clear(); }
    void AppendLine(std::string_view line) override { lines_.emplace_back(line); }
    void SetColor(std::uint32_t color) override { color_ = color; }

private:
    std::vector<std::string> lines_;
    std::uint32_t color_ = 0;
};

class FixedClock final : public kmp::Clock {
public:
    std::string LongTimeText() const override { return "12:34:56"; }
};

// Returns the last run's result.
kmp::CompileResult Compile(const std::string& source, benchmark::State& state,
                           bool mustCompile = true) {
    RecordingPane log;
    RecordingPane listing;
    const FixedClock clock;
    kmp::CompileResult result;
    for (auto _ : state) {
        result = kmp::CompileProgram(source, {}, log, listing, clock);
        benchmark::DoNotOptimize(kmp::CodeImage.data());
    }
    if (mustCompile && !kmp::CompiledOk) state.SkipWithError("the program did not compile");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(source.size()));
    return result;
}

void CompileExampleProgram(benchmark::State& state) {
    Compile(kmp::EditorTextToSource(kmp::kExampleProgram), state);
}
BENCHMARK(CompileExampleProgram);

// About 10 MB of 1000-character comment lines before the statements.
void ScanLongComments(benchmark::State& state) {
    std::string source = "PROGRAM dlhy:\r\n";
    const std::string line = "// " + std::string(997, 'k') + "\r\n";
    while (source.size() < 10'000'000) source += line;
    source += "RESET\r\nKONIEC\r\n";
    Compile(source, state);
}
BENCHMARK(ScanLongComments)->Unit(benchmark::kMillisecond);

// About 10 MB of indented empty lines: one token per character.
void ScanBlankLines(benchmark::State& state) {
    std::string source = "PROGRAM dlhy:\r\n";
    const std::string line = std::string(98, ' ') + "\r\n";
    while (source.size() < 10'000'000) source += line;
    source += "RESET\r\nKONIEC\r\n";
    Compile(source, state);
}
BENCHMARK(ScanBlankLines)->Unit(benchmark::kMillisecond);

// About 1 MB of indented duplicate label lines: one error (and one error
// place) per line, some 170,000 in all.
void ManyErrors(benchmark::State& state) {
    std::string source = "PROGRAM dlhy:\r\nA:\r\n";
    while (source.size() < 1'000'000) source += "  A:\r\n";
    source += "KONIEC\r\n";
    if (Compile(source, state, false).errorPlaces.size() < 100'000)
        state.SkipWithError("too few errors");
}
BENCHMARK(ManyErrors)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
