// Reading a 1 MB program file written as RTF and as plain Windows-1250 text,
// and writing one.
#include "example_program.h"
#include "program_file.h"
#include "text_encoding.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// About 1 MB of program text: the example program with Slovak comments.
std::string MegabyteOfProgram() {
    const std::string block =
        std::string(kmp::kExampleProgram) +
        "\n// \xC4\xBD\xC5\xA1\xC4\x8D\xC5\xA5\xC5\xBE\xC3\xBD\xC3\xA1\xC3\xAD\xC3\xA9 "
        "\xE2\x82\xAC\n";
    std::string text;
    while (text.size() < (1u << 20)) text += block;
    return text;
}

std::string TempPath(const char* name) {
    return "/tmp/kmp-bench-" + std::to_string(::getpid()) + "-" + name;
}

void ReadFile(benchmark::State& state, const std::string& bytes) {
    const std::string path = TempPath("read.kmp");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    for (auto _ : state) benchmark::DoNotOptimize(kmp::ReadProgramFile(path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    std::remove(path.c_str());
}

void BM_ReadRtfProgramFile(benchmark::State& state) {
    ReadFile(state, kmp::ProgramFileBytesFromText(MegabyteOfProgram()));
}

void BM_ReadPlainCp1250ProgramFile(benchmark::State& state) {
    ReadFile(state, kmp::NormalizeLineEndsCrLf(kmp::Utf8ToCp1250(MegabyteOfProgram())));
}

void BM_ReadPlainUtf8ProgramFile(benchmark::State& state) {
    ReadFile(state, MegabyteOfProgram());
}

void BM_WriteRtfProgramFile(benchmark::State& state) {
    const std::string text = MegabyteOfProgram();
    const std::string path = TempPath("write.kmp");
    for (auto _ : state) kmp::WriteProgramFile(path, text);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    std::remove(path.c_str());
}

}  // namespace

BENCHMARK(BM_ReadRtfProgramFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPlainCp1250ProgramFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPlainUtf8ProgramFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteRtfProgramFile)->Unit(benchmark::kMillisecond);
