// The window in the user's language: with the English catalogue its
// captions, file filters and message boxes read in English; otherwise they
// stay Slovak as written, and Qt's own standard buttons read in Slovak too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.h"

namespace {

using kmp::test::LocaleEnvironment;
using kmp::test::RunChild;

const std::string kLocPath = "LOCPATH=" KMP_TEST_LOCPATH;

const std::string kEnglish =
    "caption=Compiler of programs that drive an HDD stepper motor.\n"
    "Label1=Program editor\n"
    "CheckBox1=Tick if the interface uses handshake - Tx + CTS channel\n"
    "Button5=Open program\n"
    "Button6=Save program\n"
    "Button1=Compile program into binary form\n"
    "Button3=Find ports\n"
    "Button2=Connect\n"
    "Button4=Send\n"
    "Label5=slow\n"
    "Label6=fast\n"
    "filters=Stepper Motor Program - kmp (*.kmp);all files - all (*.*)\n"
    "boxCaption=I cannot send the program\n"
    "boxText=The program has to be compiled first, then it can be sent!\n"
    "okBoxButtons=OK\n"
    "yesNoBoxButtons=&Yes;&No\n"
    "openDialogButtons=&Open;Cancel\n"
    "saveDialogButtons=&Save;Cancel\n";

const std::string kSlovak =
    "caption=Prekladač programu na riadenie krokového motorčeka z HDD.\n"
    "Label1=Editovacie okno programu\n"
    "CheckBox1=Zaškrtnite ak je interfase typu handshake - Tx + CTS kanál\n"
    "Button5=Otvor program\n"
    "Button6=Ulož program\n"
    "Button1=Prelož program do binárneho tvaru\n"
    "Button3=Hľadaj porty\n"
    "Button2=Pripojiť\n"
    "Button4=Odošli\n"
    "Label5=pomalé\n"
    "Label6=rýchle\n"
    "filters=Krokový Motor Program - kmp (*.kmp);všetky súbory - all (*.*)\n"
    "boxCaption=Nemôžem odoslať program\n"
    "boxText=Najprv treba preložiť program a potom sa môže odoslať!\n"
    "okBoxButtons=OK\n"
    "yesNoBoxButtons=Án&o;&Nie\n"
    "openDialogButtons=&Otvoriť;Zrušiť\n"
    "saveDialogButtons=&Uložiť;Zrušiť\n";

struct WindowCase {
    const char* name;
    std::vector<std::string> locale;
    const std::string& expected;
};

class WindowLanguageTest : public testing::TestWithParam<WindowCase> {};

TEST_P(WindowLanguageTest, CaptionsAndBoxes) {
    const auto result = RunChild({KMP_WINDOW_PROBE}, LocaleEnvironment(GetParam().locale));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, WindowLanguageTest,
    testing::Values(WindowCase{"English", {"LC_ALL=C.UTF-8", "LANGUAGE=en"}, kEnglish},
                    WindowCase{
                        "EnglishFirstInList", {"LC_ALL=C.UTF-8", "LANGUAGE=en:sk"}, kEnglish},
                    WindowCase{"PlainC", {"LANG=C"}, kSlovak},
                    WindowCase{"EmptyLanguage", {"LANGUAGE=", "LANG=C"}, kSlovak},
                    WindowCase{"SlovakDesktop", {"LANG=sk_SK.UTF-8", kLocPath}, kSlovak},
                    WindowCase{"NoCatalogue", {"LC_ALL=C.UTF-8", "LANGUAGE=de"}, kSlovak}),
    [](const testing::TestParamInfo<WindowCase>& p) { return p.param.name; });

}  // namespace
