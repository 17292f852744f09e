// The compiler's output is the program's result, never translated: kmpc's
// listing, compile log and usage messages are the same bytes under every
// locale (the time line of the log aside).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"

namespace {

namespace fs = std::filesystem;
using kmp::test::LocaleEnvironment;
using kmp::test::RunChild;

const std::string kLocPath = "LOCPATH=" KMP_TEST_LOCPATH;

const std::vector<std::vector<std::string>> kLocales = {
    {"LANG=sk_SK.UTF-8", kLocPath},
    {"LC_ALL=sk_SK.UTF-8", kLocPath},
    {"LANG=C", "LC_CTYPE=sk_SK.UTF-8", "LC_NUMERIC=sk_SK.UTF-8", kLocPath},
    {"LC_ALL=C.UTF-8", "LANGUAGE=sk"},
    {"LC_ALL=C.UTF-8", "LANGUAGE=en"},
    {"LANGUAGE=sk", "LANG=C"},
    {},
};

struct Output {
    int exitCode;
    std::string out;
    std::string err;
};

// kmpc's output without the time line that follows "Začínam prekladať...".
Output RunKmpc(const std::vector<std::string>& args, const std::vector<std::string>& locale) {
    std::vector<std::string> argv = {KMP_KMPC};
    argv.insert(argv.end(), args.begin(), args.end());
    auto result = RunChild(argv, LocaleEnvironment(locale));
    const std::string start = "Začínam prekladať...\n";
    if (result.err.rfind(start, 0) == 0) {
        const auto timeEnd = result.err.find('\n', start.size());
        if (timeEnd != std::string::npos)
            result.err.erase(start.size(), timeEnd + 1 - start.size());
    }
    return {result.exitCode, result.out, result.err};
}

struct Program {
    const char* name;
    std::string text;  // written to a file given as the last argument; empty: no file
    std::vector<std::string> args;
};

class CompilerOutputTest : public testing::TestWithParam<Program> {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kmp-output-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        args_ = GetParam().args;
        if (!GetParam().text.empty()) {
            const fs::path file = dir_ / "program.txt";
            std::ofstream(file, std::ios::binary) << GetParam().text;
            args_.push_back(file.string());
        }
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    std::vector<std::string> args_;
};

TEST_P(CompilerOutputTest, SameBytesUnderEveryLocale) {
    const Output reference = RunKmpc(args_, {"LANG=C"});
    EXPECT_FALSE(reference.err.empty());
    for (const auto& locale : kLocales) {
        const Output output = RunKmpc(args_, locale);
        const std::string where = testing::PrintToString(locale);
        EXPECT_EQ(output.exitCode, reference.exitCode) << where;
        EXPECT_EQ(output.out, reference.out) << where;
        EXPECT_EQ(output.err, reference.err) << where;
    }
}

std::string ExampleProgram() {
    std::ifstream in(KMP_SOURCE_DIR "/examples/priklad.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

INSTANTIATE_TEST_SUITE_P(
    Programs, CompilerOutputTest,
    testing::Values(
        Program{"Example", ExampleProgram(), {}},
        Program{"ExampleOtherTiming", ExampleProgram(), {"--period", "120", "--prescaler=7"}},
        Program{"Errors",
                "PROGRAM motorček:\r\nVYSTUP(2,0,0) CAS 10\r\nSKOK nikam:\r\nOPAKUJ x: 300\r\n",
                {}},
        // "č" and "ž" in Windows-1250, in a comment and in a label.
        Program{"Windows1250",
                "PROGRAM a:\r\n// \xe8\x9e\r\nn\xe8:\r\nOPAKUJ n\xe8: 5\r\nKONIEC\r\n",
                {}},
        Program{"BadOption", "", {"--period", "999", "x.kmp"}},
        Program{"UnknownOption", "", {"--rychlo"}}, Program{"MissingFile", "", {}}),
    [](const testing::TestParamInfo<Program>& p) { return p.param.name; });

}  // namespace
