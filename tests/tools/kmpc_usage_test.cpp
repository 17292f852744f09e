// kmpc's command line: usage errors, --help and --version.
#include "kmp_version.h"
#include "run_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kmp::test {
namespace {

ProcessResult Kmpc(std::vector<std::string> args) {
    args.insert(args.begin(), KMPC_PATH);
    return RunProcess(args, "PROGRAM x:\nKONIEC\n");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    std::string firstLine;
};

class KmpcUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(KmpcUsage, ExitsWithTwoAndOneMessage) {
    const ProcessResult r = Kmpc(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, GetParam().firstLine + "\nTry 'kmpc --help' for more information.\n");
}

INSTANTIATE_TEST_SUITE_P(
    Usage, KmpcUsage,
    testing::Values(
        UsageCase{"NoFile", {}, "kmpc: no FILE given"},
        UsageCase{"TwoFiles", {"a", "b"}, "kmpc: only one FILE can be compiled"},
        UsageCase{"UnknownOption", {"-x", "-"}, "kmpc: unknown option '-x'"},
        UsageCase{"PeriodZero",
                  {"--period", "0", "-"},
                  "kmpc: invalid value '0' for --period (allowed 1..253)"},
        UsageCase{"PeriodOver",
                  {"--period=254", "-"},
                  "kmpc: invalid value '254' for --period (allowed 1..253)"},
        UsageCase{"PeriodNotANumber",
                  {"--period", "2x", "-"},
                  "kmpc: invalid value '2x' for --period (allowed 1..253)"},
        UsageCase{"DelayZero",
                  {"--delay", "0", "-"},
                  "kmpc: invalid value '0' for --delay (allowed 1..65535)"},
        UsageCase{"DelayOver",
                  {"--delay", "65536", "-"},
                  "kmpc: invalid value '65536' for --delay (allowed 1..65535)"},
        UsageCase{"DelayNegative",
                  {"--delay", "-1", "-"},
                  "kmpc: invalid value '-1' for --delay (allowed 1..65535)"},
        UsageCase{"PrescalerOver",
                  {"--prescaler", "8", "-"},
                  "kmpc: invalid value '8' for --prescaler (allowed 0..7)"},
        UsageCase{"MissingValue", {"-", "--prescaler"}, "kmpc: option --prescaler needs a value"},
        UsageCase{"MissingImageName", {"-", "-o"}, "kmpc: option -o needs a value"},
        UsageCase{"ControlCharacterInOption", {"--a\nb", "-"}, "kmpc: unknown option '--a\\nb'"},
        UsageCase{"BadErrorFormat",
                  {"--errors", "xml", "-"},
                  "kmpc: invalid value 'xml' for --errors (allowed gnu, json)"},
        UsageCase{"MissingErrorFormat", {"-", "--errors"}, "kmpc: option --errors needs a value"},
        UsageCase{"ErrorsWithText",
                  {"--errors=gnu", "--text", "-"},
                  "kmpc: option --errors cannot be combined with --text"},
        UsageCase{"JsonWithImageOnStandardOutput",
                  {"--errors", "json", "-o", "-", "-"},
                  "kmpc: option -o - cannot be combined with --errors json"}),
    [](const testing::TestParamInfo<UsageCase>& param) { return std::string(param.param.name); });

TEST(KmpcInfo, Help) {
    const ProcessResult r = Kmpc({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("Usage: kmpc [OPTION]... FILE\n")) << r.out;
    EXPECT_NE(r.out.find("--period N"), std::string::npos);
    EXPECT_EQ(r.err, "");
}

TEST(KmpcInfo, Version) {
    const ProcessResult r = Kmpc({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "kmpc (kmp) " KMP_VERSION "\n");
}

TEST(KmpcInfo, DoubleDashEndsOptions) {
    const ProcessResult r = Kmpc({"--", "-"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0: 200 1 0 3 \n4: 255 255\n");
}

// --help and --version that cannot be written fail as the compile does.
class KmpcInfoUnwritten : public testing::TestWithParam<const char*> {};

TEST_P(KmpcInfoUnwritten, ExitsWithTwoAndOneMessage) {
    const ProcessResult r =
        RunProcess({"/bin/sh", "-c", "exec \"$0\" \"$1\" >/dev/full", KMPC_PATH, GetParam()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kmpc: standard output: No space left on device\n");
}

INSTANTIATE_TEST_SUITE_P(Info, KmpcInfoUnwritten,
                         testing::Values("--help", "-h", "--version", "-V"));

// A name with control characters stays on the one line of its message.
struct NameCase {
    const char* name;
    std::string fileName;
    std::string shown;
};

class KmpcNameInMessage : public testing::TestWithParam<NameCase> {};

TEST_P(KmpcNameInMessage, IsEscaped) {
    const std::string dir = "/nonexistent/";
    const std::string path = dir + GetParam().fileName;
    const std::string shown = dir + GetParam().shown;
    ProcessResult r = Kmpc({path});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kmpc: " + shown + ": No such file or directory\n");
    r = Kmpc({"--to-kmp", "-", path});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kmpc: Cannot create file \"" + shown + "\". No such file or directory\n");
    r = Kmpc({"-o", path, "-"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.ends_with("\nkmpc: " + shown + ": No such file or directory\n")) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Names, KmpcNameInMessage,
    testing::Values(NameCase{"LineEnd", "a\nb.kmp", "a\\nb.kmp"},
                    NameCase{"CarriageReturnAndTab", "a\rb\tc", "a\\rb\\tc"},
                    NameCase{"Escape", "\x1b[31mred", "\\x1b[31mred"},
                    NameCase{"OtherControls", std::string("\x01\x7f\x1f", 3), "\\x01\\x7f\\x1f"},
                    NameCase{"PlainNameUnchanged", "p\xC3\xA1 \\ x.kmp", "p\xC3\xA1 \\ x.kmp"}),
    [](const testing::TestParamInfo<NameCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kmp::test
