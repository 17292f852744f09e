// The catalogue lookup under the environment's language settings, each case
// in a child process that starts the lookup as the programs do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.h"

namespace {

using kmp::test::LocaleEnvironment;
using kmp::test::RunChild;

const std::string kLocPath = "LOCPATH=" KMP_TEST_LOCPATH;

// Looked up in every case: a serial text, the suffix, a window caption and
// the empty text (which gettext would answer with the catalogue's header).
const std::vector<std::string> kMsgids = {"Unable to open com port", " (win error code: %d)",
                                          "Pripojiť", ""};

const std::string kEnglish = "Unable to open com port\n (win error code: %d)\nPripojiť\n\n";
const std::string kSlovak = "Nemôžem otvoriť COM port\n (chybový kód systému: %d)\nPripojiť\n\n";
const std::string kWindowEnglish = "Unable to open com port\n (win error code: %d)\nConnect\n\n";

struct LookupCase {
    const char* name;
    std::vector<std::string> locale;
    const std::string& expected;
};

class LookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(LookupTest, TranslatesAsTheEnvironmentSays) {
    std::vector<std::string> argv = {KMP_PROBE};
    argv.insert(argv.end(), kMsgids.begin(), kMsgids.end());
    const auto result = RunChild(argv, LocaleEnvironment(GetParam().locale));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, LookupTest,
    testing::Values(
        LookupCase{"SlovakLang", {"LANG=sk_SK.UTF-8", kLocPath}, kSlovak},
        LookupCase{"SlovakLcMessages", {"LANG=C", "LC_MESSAGES=sk_SK.UTF-8", kLocPath}, kSlovak},
        LookupCase{"LcAllOverridesLang", {"LANG=sk_SK.UTF-8", "LC_ALL=C", kLocPath}, kEnglish},
        LookupCase{"SlovakLanguage", {"LC_ALL=C.UTF-8", "LANGUAGE=sk"}, kSlovak},
        LookupCase{"LanguageList", {"LC_ALL=C.UTF-8", "LANGUAGE=de:sk"}, kSlovak},
        LookupCase{"EnglishLanguage", {"LC_ALL=C.UTF-8", "LANGUAGE=en"}, kWindowEnglish},
        LookupCase{"NoCatalogue", {"LC_ALL=C.UTF-8", "LANGUAGE=de"}, kEnglish},
        LookupCase{"PlainC", {"LANG=C"}, kEnglish},
        LookupCase{"EmptyLanguage", {"LANGUAGE=", "LANG=C"}, kEnglish},
        LookupCase{"CIgnoresLanguage", {"LANGUAGE=sk", "LANG=C"}, kEnglish},
        LookupCase{"LocaleNotPresent", {"LANG=sk_SK.UTF-8", "LOCPATH=/nonexistent"}, kEnglish},
        LookupCase{"NothingSet", {}, kEnglish}),
    [](const testing::TestParamInfo<LookupCase>& p) { return p.param.name; });

}  // namespace
