// kmpc's port and text options on the command line, the port list and its
// descriptions.
#include "ListSerialPorts.h"
#include "run_process.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <regex>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

ProcessResult Kmpc(std::vector<std::string> args, const std::vector<std::string>& env = {}) {
    args.insert(args.begin(), KMPC_PATH);
    std::vector<std::string> fullEnv = env;
    for (const std::string& fallback : std::vector<std::string>{"LC_ALL=C", "KMP_SIMULATOR="}) {
        const std::string name = fallback.substr(0, fallback.find('=') + 1);
        if (std::none_of(env.begin(), env.end(),
                         [&](const std::string& e) { return e.starts_with(name); }))
            fullEnv.push_back(fallback);
    }
    return RunProcess(args, "PROGRAM x:\nKONIEC\n", fullEnv);
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    std::string message;
};

class PortUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(PortUsage, ExitsWithTwoAndOneMessage) {
    const ProcessResult r = Kmpc(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kmpc: " + GetParam().message + "\nTry 'kmpc --help' for more information.\n");
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, PortUsage,
    testing::Values(
        UsageCase{"UploadWithoutPort", {"-", "--upload"}, "option --upload needs a value"},
        UsageCase{"UploadEmptyPort", {"--upload=", "-"}, "option --upload needs a port name"},
        UsageCase{"HandshakeAlone", {"--handshake", "-"}, "option --handshake needs --upload"},
        UsageCase{
            "DsrTimeoutAlone", {"--dsr-timeout", "1", "-"}, "option --dsr-timeout needs --upload"},
        UsageCase{"DsrTimeoutNegative",
                  {"--upload", "sim", "--dsr-timeout", "-1", "-"},
                  "invalid value '-1' for --dsr-timeout (allowed 0..3600 seconds)"},
        UsageCase{"ReplyTimeoutNotANumber",
                  {"--upload", "sim", "--reply-timeout=2s", "-"},
                  "invalid value '2s' for --reply-timeout (allowed 0..3600 seconds)"},
        UsageCase{"ReplyTimeoutTooLong",
                  {"--upload", "sim", "--reply-timeout", "3601", "-"},
                  "invalid value '3601' for --reply-timeout (allowed 0..3600 seconds)"},
        UsageCase{"HandshakeWithValue",
                  {"--upload", "sim", "--handshake=1", "-"},
                  "option --handshake takes no value"},
        UsageCase{"ListPortsWithFile", {"--list-ports", "-"}, "--list-ports takes no FILE"},
        UsageCase{"ListPortsAndUpload",
                  {"--list-ports", "--upload", "sim"},
                  "option --upload cannot be combined with --list-ports"},
        UsageCase{"TextWithoutFile", {"--text"}, "no FILE given"},
        UsageCase{"TextTwoFiles", {"--text", "a", "b"}, "--text takes one FILE"},
        UsageCase{
            "TextAndImage", {"--text", "a", "-o", "b"}, "option -o cannot be combined with --text"},
        UsageCase{"TextAndToKmp",
                  {"--text", "--to-kmp", "a", "b"},
                  "options --text and --to-kmp cannot be combined"},
        UsageCase{"ToKmpOneFile", {"--to-kmp", "a"}, "--to-kmp needs two files: IN OUT"},
        UsageCase{"ToKmpToStandardOutput",
                  {"--to-kmp", "a", "-"},
                  "--to-kmp cannot write to standard output"},
        UsageCase{"ToKmpAndUpload",
                  {"--to-kmp", "a", "b", "--upload", "sim"},
                  "option --upload cannot be combined with --to-kmp"}),
    [](const testing::TestParamInfo<UsageCase>& param) { return std::string(param.param.name); });

TEST(KmpcPortList, OneNameALineAndTheSimulator) {
    const std::regex line("[^\t\n]+(\t[^\t\n]+)?");
    for (const auto& env :
         {std::vector<std::string>{}, std::vector<std::string>{"KMP_SIMULATOR=1"}}) {
        const ProcessResult r = Kmpc({"--list-ports"}, env);
        EXPECT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> lines = SplitLines(r.out);
        for (const std::string& l : lines) EXPECT_TRUE(std::regex_match(l, line)) << l;
        const bool hasSim = std::find(lines.begin(), lines.end(),
                                      "sim\tvirtuálny ovládač (simulátor dosky)") != lines.end();
        EXPECT_EQ(hasSim, !env.empty()) << r.out;
    }
    const ProcessResult withOption = Kmpc({"--simulator", "--list-ports"});
    EXPECT_EQ(withOption.out, Kmpc({"--list-ports"}, {"KMP_SIMULATOR=1"}).out);
}

struct DescriptionCase {
    const char* name;
    UsbIdentity identity;
    std::string description;
};

class PortDescription : public testing::TestWithParam<DescriptionCase> {};

TEST_P(PortDescription, MakerProductAndIds) {
    EXPECT_EQ(kmp::PortDescription(GetParam().identity), GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, PortDescription,
    testing::Values(
        DescriptionCase{"Nothing", {}, ""},
        DescriptionCase{"Everything",
                        {"Prolific", "USB-Serial Controller", 0x067B, 0x2303},
                        "Prolific USB-Serial Controller 067b:2303"},
        DescriptionCase{"ProductRepeatsMaker",
                        {"FTDI", "FTDI FT232R USB UART", 0x0403, 0x6001},
                        "FTDI FT232R USB UART 0403:6001"},
        DescriptionCase{"IdsOnly", {"", "", 0x1A86, 0x7523}, "1a86:7523"},
        DescriptionCase{"VendorWithoutProductId", {"QinHeng", "", 0x1A86, std::nullopt}, "QinHeng"},
        DescriptionCase{
            "ProductOnly", {"", "Dual RS232", std::nullopt, std::nullopt}, "Dual RS232"}),
    [](const testing::TestParamInfo<DescriptionCase>& param) {
        return std::string(param.param.name);
    });

}  // namespace
}  // namespace kmp::test
