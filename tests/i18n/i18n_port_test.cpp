// The serial layer's messages in the user's language: `Open` of a missing
// port, an exception without a system error, and the whole message table.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"

namespace {

using kmp::test::LocaleEnvironment;
using kmp::test::RunChild;

const std::string kLocPath = "LOCPATH=" KMP_TEST_LOCPATH;
const std::string kMissingPort = "/dev/kmp-no-such-port";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> RunProbe(const std::vector<std::string>& locale) {
    const auto result = RunChild({KMP_PORT_PROBE, kMissingPort}, LocaleEnvironment(locale));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    return Lines(result.out);
}

const std::vector<std::string> kEnglishTable = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

struct PortCase {
    const char* name;
    std::vector<std::string> locale;
    std::string openMessage;
    std::string propertyMessage;
};

class PortMessageTest : public testing::TestWithParam<PortCase> {};

TEST_P(PortMessageTest, OpenOfMissingPort) {
    const auto lines = RunProbe(GetParam().locale);
    ASSERT_EQ(lines.size(), 2u + 23u);
    EXPECT_EQ(lines[0], GetParam().openMessage);
    EXPECT_EQ(lines[1], GetParam().propertyMessage);
}

const std::string kSlovakOpen = "Nemôžem otvoriť COM port (chybový kód systému: 2)";
const std::string kSlovakProperty = "Počas pripojenia nemožno meniť vlastnosť";
const std::string kEnglishOpen = "Unable to open com port (win error code: 2)";
const std::string kEnglishProperty = "Cannot set property while connected";

INSTANTIATE_TEST_SUITE_P(
    Languages, PortMessageTest,
    testing::Values(
        PortCase{"SlovakDesktop", {"LANG=sk_SK.UTF-8", kLocPath}, kSlovakOpen, kSlovakProperty},
        PortCase{"SlovakLanguage", {"LC_ALL=C.UTF-8", "LANGUAGE=sk"}, kSlovakOpen, kSlovakProperty},
        PortCase{"PlainC", {"LANG=C"}, kEnglishOpen, kEnglishProperty},
        PortCase{"EmptyLanguage", {"LANGUAGE=", "LANG=C"}, kEnglishOpen, kEnglishProperty},
        PortCase{
            "EnglishWindow", {"LC_ALL=C.UTF-8", "LANGUAGE=en"}, kEnglishOpen, kEnglishProperty}),
    [](const testing::TestParamInfo<PortCase>& p) { return p.param.name; });

TEST(PortMessageTable, EnglishWithoutCatalogue) {
    const auto lines = RunProbe({"LANG=C"});
    ASSERT_EQ(lines.size(), 2u + 23u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), kEnglishTable);
}

// A Slovak desktop reads every one of the 23 texts in Slovak.
TEST(PortMessageTable, EverySlovakTextTranslated) {
    const auto lines = RunProbe({"LANG=sk_SK.UTF-8", kLocPath});
    ASSERT_EQ(lines.size(), 2u + 23u);
    for (std::size_t i = 0; i < kEnglishTable.size(); ++i) {
        const std::string& slovak = lines[2 + i];
        EXPECT_FALSE(slovak.empty()) << "text " << i + 1;
        EXPECT_NE(slovak, kEnglishTable[i]) << "text " << i + 1;
    }
}

}  // namespace
