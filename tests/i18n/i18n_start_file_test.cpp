// kmp-studio FILE: the file named on the command line opens into the editor
// as the open button would, and a file that cannot be read is shown by the
// general error display.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <filesystem>
#include <string>

#include "TForm1.h"
#include "app_texts.h"
#include "command_line.h"
#include "example_program.h"
#include "program_file.h"
#include "scripted_dialogs.h"
#include "ui_TForm1.h"

namespace {

namespace fs = std::filesystem;

struct ArgumentCase {
    const char* name;
    QStringList arguments;
    QString expected;
};

class ProgramFileArgumentTest : public testing::TestWithParam<ArgumentCase> {};

TEST_P(ProgramFileArgumentTest, FindsTheFile) {
    EXPECT_EQ(kmp::ProgramFileArgument(GetParam().arguments), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ProgramFileArgumentTest,
    testing::Values(
        ArgumentCase{"None", {"kmp-studio"}, ""},
        ArgumentCase{"File", {"kmp-studio", "motor.kmp"}, "motor.kmp"},
        ArgumentCase{"AfterSimulator", {"kmp-studio", "--simulator", "motor.kmp"}, "motor.kmp"},
        ArgumentCase{"BeforeSimulator", {"kmp-studio", "motor.kmp", "--simulator"}, "motor.kmp"},
        ArgumentCase{"ScreenshotValueIsNoFile",
                     {"kmp-studio", "--screenshot", "window.png", "motor.kmp"},
                     "motor.kmp"},
        ArgumentCase{"AfterDoubleDash", {"kmp-studio", "--", "-odd name.kmp"}, "-odd name.kmp"},
        ArgumentCase{"Accents", {"kmp-studio", "/tmp/motorček.kmp"}, "/tmp/motorček.kmp"}),
    [](const testing::TestParamInfo<ArgumentCase>& p) { return p.param.name; });

class StartFileTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "i18n_start_file_test";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kmp-start-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    QString EditorText() { return form_.Controls().RichEdit1->toPlainText(); }

    fs::path dir_;
    kmp::ScriptedDialogs dialogs_;
    kmp::TForm1 form_{dialogs_};
};

TEST_F(StartFileTest, OpensTheFileWithoutADialog) {
    const std::string text = "PROGRAM motorček:\nVYSTUP(1,0,0) CAS 10\nKONIEC\n";
    const fs::path file = dir_ / "motor.kmp";
    kmp::WriteProgramFile(file, text);

    form_.OpenProgramFile(QString::fromStdString(file));

    EXPECT_EQ(EditorText(), QString::fromStdString(text));
    EXPECT_TRUE(dialogs_.fileRequests.empty());
    EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(StartFileTest, MissingFileShowsTheGeneralErrorDisplay) {
    const fs::path file = dir_ / "chýba.kmp";

    form_.OpenProgramFile(QString::fromStdString(file));

    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    const auto& box = dialogs_.boxes.front();
    EXPECT_EQ(box.caption, QString::fromUtf8(kmp::kApplicationTitle));
    EXPECT_EQ(box.text, QString::fromStdString("Cannot open file \"" + file.string() +
                                               "\". No such file or directory."));
    EXPECT_EQ(box.icon, kmp::BoxIcon::Error);
    EXPECT_EQ(box.buttons, kmp::BoxButtons::Ok);
    EXPECT_EQ(EditorText(), QString::fromUtf8(kmp::kExampleProgram));
}

}  // namespace
