// kmpc's port and text options on the command line, the port list and its
// descriptions.
#include "ListSerialPorts.h"
#include "options.h"
#include "port_list.h"
#include "port_watch.h"
#include "run_process.h"
#include "upload_targets.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <fstream>
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
        UsageCase{"FromLinkOneArgument",
                  {"--from-link", "#p=AA"},
                  "--from-link needs a link and a file: LINK OUT"},
        UsageCase{"FromLinkToStandardOutput",
                  {"--from-link", "#p=AA", "-"},
                  "--from-link cannot write to standard output"},
        UsageCase{"ToKmpToStandardOutput",
                  {"--to-kmp", "a", "-"},
                  "--to-kmp cannot write to standard output"},
        UsageCase{"UploadEmptyNameInList",
                  {"--upload", "ttyUSB0,,ttyUSB1", "-"},
                  "option --upload has an empty port name in 'ttyUSB0,,ttyUSB1'"},
        UsageCase{"UploadTrailingComma",
                  {"--upload=sim,", "-"},
                  "option --upload has an empty port name in 'sim,'"},
        UsageCase{"UploadAllAndNames",
                  {"--upload", "sim,all", "-"},
                  "--upload all cannot be combined with port names"},
        UsageCase{"WatchWithoutList", {"--watch", "-"}, "option --watch needs --list-ports"},
        UsageCase{"WatchWithValue", {"--list-ports", "--watch=1"}, "option --watch takes no value"},
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

// A known adapter's chip leads its line; others keep what the system tells.
TEST(KmpcPortList, NamesKnownAdapters) {
    const std::vector<SerialDeviceInfo> devices{
        {QStringLiteral("ttyUSB0"),
         true,
         QStringLiteral("QinHeng USB Serial 1a86:7523"),
         {},
         0x1a86,
         0x7523},
        {QStringLiteral("ttyUSB1"),
         true,
         QStringLiteral("Arduino Uno 2341:0043"),
         {},
         0x2341,
         0x0043},
        {QStringLiteral("ttyUSB2"), true, QString(), {}, 0x10c4, 0xea60},
        {QStringLiteral("ttyS1"), false, QString()},
    };
    std::vector<std::string> lines;
    for (const kmpc::ListedPort& port : kmpc::ListPorts(false, [&] { return devices; }))
        lines.push_back(kmpc::PortListLine(port.name, port.description));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"ttyS1", "ttyUSB0\tCH340 – QinHeng USB Serial 1a86:7523",
                                        "ttyUSB1\tArduino Uno 2341:0043", "ttyUSB2\tCP210x"}));
}

struct UploadListCase {
    const char* name;
    std::string value;
    std::vector<std::string> ports;
    bool all;
    bool classroom;
};

class UploadList : public testing::TestWithParam<UploadListCase> {};

TEST_P(UploadList, NamesInOrder) {
    const kmpc::Options options = kmpc::ParseOptions({"--upload", GetParam().value, "-"});
    EXPECT_EQ(options.uploadPorts, GetParam().ports);
    EXPECT_EQ(options.uploadAll, GetParam().all);
    EXPECT_EQ(kmpc::ClassroomUpload(options), GetParam().classroom);
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, UploadList,
    testing::Values(UploadListCase{"One", "ttyUSB0", {"ttyUSB0"}, false, false},
                    UploadListCase{
                        "Three", "a,/dev/pts/3,sim", {"a", "/dev/pts/3", "sim"}, false, true},
                    UploadListCase{"Twice", "sim,sim", {"sim", "sim"}, false, true},
                    UploadListCase{"All", "all", {}, true, true}),
    [](const testing::TestParamInfo<UploadListCase>& param) {
        return std::string(param.param.name);
    });

struct TargetsCase {
    const char* name;
    std::vector<std::string> names;
    std::vector<std::string> ports;
    std::vector<std::string> notes;
};

class NamedTargets : public testing::TestWithParam<TargetsCase> {};

TEST_P(NamedTargets, EachDeviceOnce) {
    const kmpc::UploadTargets targets = kmpc::NamedTargets(GetParam().names);
    EXPECT_EQ(targets.ports, GetParam().ports);
    EXPECT_EQ(targets.notes, GetParam().notes);
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, NamedTargets,
    testing::Values(
        TargetsCase{"Distinct", {"ttyKMP1", "sim", "ttyKMP2"}, {"ttyKMP1", "sim", "ttyKMP2"}, {}},
        TargetsCase{"SameName",
                    {"sim", "ttyKMP1", "sim"},
                    {"sim", "ttyKMP1"},
                    {"kmpc: sim is named more than once; it gets the program once"}},
        TargetsCase{"NameAndPath",
                    {"ttyKMP1", "/dev/ttyKMP1"},
                    {"ttyKMP1"},
                    {"kmpc: /dev/ttyKMP1 is the same port as ttyKMP1; it gets the program once"}},
        TargetsCase{"TwoSpellings",
                    {"/dev/null", "/dev/./null"},
                    {"/dev/null"},
                    {"kmpc: /dev/./null is the same port as /dev/null; it gets the program "
                     "once"}}),
    [](const testing::TestParamInfo<TargetsCase>& param) { return std::string(param.param.name); });

TEST(KmpcUploadAll, LeavesOutTheConsoleTerminals) {
    const std::string file = testing::TempDir() + "kmpc_console_active";
    std::ofstream(file) << "tty0 ttyS0\n";
    const std::vector<std::string> console = kmpc::ConsoleNames(file);
    std::remove(file.c_str());
    EXPECT_EQ(console, (std::vector<std::string>{"tty0", "ttyS0"}));
    EXPECT_TRUE(kmpc::ConsoleNames("/nonexistent/active").empty());
    const kmpc::UploadTargets targets = kmpc::AllTargets(
        {{"ttyS0", ""}, {"ttyS1", ""}, {"sim", "x"}, {"ttyUSB0", "FTDI"}}, console);
    EXPECT_EQ(targets.ports, (std::vector<std::string>{"ttyS1", "sim", "ttyUSB0"}));
    EXPECT_EQ(targets.notes,
              std::vector<std::string>{"kmpc: ttyS0 is the system console; it gets no program"});
}

struct ChangesCase {
    const char* name;
    std::vector<kmpc::ListedPort> before;
    std::vector<kmpc::ListedPort> after;
    std::vector<std::string> lines;
};

class PortChanges : public testing::TestWithParam<ChangesCase> {};

TEST_P(PortChanges, GoneThenNew) {
    EXPECT_EQ(kmpc::PortChanges(GetParam().before, GetParam().after), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, PortChanges,
    testing::Values(
        ChangesCase{
            "First", {}, {{"ttyS1", ""}, {"ttyUSB0", "FTDI"}}, {"+ ttyS1", "+ ttyUSB0\tFTDI"}},
        ChangesCase{"Same", {{"ttyS1", ""}}, {{"ttyS1", ""}}, {}},
        ChangesCase{"DescriptionOnly", {{"ttyUSB0", ""}}, {{"ttyUSB0", "FTDI"}}, {}},
        ChangesCase{"Swap",
                    {{"ttyUSB0", ""}, {"ttyS1", ""}},
                    {{"ttyS1", ""}, {"ttyACM0", ""}},
                    {"- ttyUSB0", "+ ttyACM0"}},
        ChangesCase{"Duplicates", {{"a", ""}, {"a", ""}}, {{"b", ""}, {"b", ""}}, {"- a", "+ b"}},
        ChangesCase{"AllGone", {{"a", ""}, {"b", ""}}, {}, {"- a", "- b"}}),
    [](const testing::TestParamInfo<ChangesCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kmp::test
