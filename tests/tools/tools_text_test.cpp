// kmpc --text and --to-kmp: the editor's text of program files, and program
// files written as the window's save writes them.
#include "example_program.h"
#include "program_file.h"
#include "program_link.h"
#include "run_process.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Fixture(const std::string& name) {
    return ReadFile(fs::path(KMP_SOURCE_DIR) / "tests/files/data" / name);
}

std::string WithoutFinalLineEnd(std::string text) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

ProcessResult Kmpc(std::vector<std::string> args, const std::string& input = {}) {
    args.insert(args.begin(), KMPC_PATH);
    return RunProcess(args, input, {"LC_ALL=C"});
}

// Slovak letters, a tab, RTF's special characters, blank lines and no final line end.
const std::string kSlovakText =
    "PROGRAM \xC5\xA1\xC4\xBEuk:\n// \xC3\xA1\xC3\xA4\xC4\x8D\xC4\x8F\xC3\xA9 "
    "\xC3\x94\xC5\x94\xC5\xA0\n\n"
    "\tVYSTUP(1,0,1) CAS 10 {x} \\y\\\n\n\nKONIEC";

class TextDir : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tools_text_" + std::to_string(getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return (dir_ / name).string();
    }
    fs::path dir_;
};

struct TextCase {
    const char* name;
    std::string fileBytes;
    std::string editorText;
};

class KmpcText : public TextDir, public testing::WithParamInterface<TextCase> {};

TEST_P(KmpcText, PrintsTheEditorsText) {
    const ProcessResult r = Kmpc({"--text", Write("p.kmp", GetParam().fileBytes)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, GetParam().editorText);
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, KmpcText,
    testing::Values(
        TextCase{"WindowSavedExample", ProgramFileBytesFromText(kExampleProgram), kExampleProgram},
        TextCase{"WindowSavedSlovak", ProgramFileBytesFromText(kSlovakText), kSlovakText},
        TextCase{"WindowSavedEmpty", ProgramFileBytesFromText(""), ""},
        TextCase{"WordProcessorProgram", Fixture("lo_program.rtf"),
                 WithoutFinalLineEnd(Fixture("lo_program.txt"))},
        TextCase{"WordProcessorTable", Fixture("lo_table.rtf"),
                 "PROGRAM tu\xC4\x8Dn\xC3\xBD:\nVYSTUP\t\xC4\xBE"
                 "ava\nCAS\t120\nKONIEC"},
        TextCase{"PlainWindows1250", "PROGRAM \xE8:\r\nKONIEC\r\n", "PROGRAM \xC4\x8D:\nKONIEC\n"},
        TextCase{"PlainMixedLineEnds", "a\rb\r\nc\n", "a\nb\nc\n"},
        // The editor keeps a no-break space as a space, a line separator as a line end.
        TextCase{"EditorsOwnCharacters",
                 ProgramFileBytesFromText("PROGRAM\xC2\xA0x:\xE2\x80\xA8KONIEC"),
                 "PROGRAM x:\nKONIEC"}),
    [](const testing::TestParamInfo<TextCase>& param) { return std::string(param.param.name); });

TEST(KmpcTextInput, StandardInputAndMissingFile) {
    EXPECT_EQ(Kmpc({"--text", "-"}, "PROGRAM x:\r\nKONIEC").out, "PROGRAM x:\nKONIEC");
    const ProcessResult r = Kmpc({"--text", "/nonexistent/p.kmp"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kmpc: /nonexistent/p.kmp: No such file or directory\n");
}

struct ToKmpCase {
    const char* name;
    std::string inputBytes;
    std::string editorText;
};

class KmpcToKmp : public TextDir, public testing::WithParamInterface<ToKmpCase> {};

TEST_P(KmpcToKmp, WritesTheWindowsProgramFile) {
    const std::string in = Write("in", GetParam().inputBytes);
    const std::string out = Write("out.kmp", "an older file");
    const ProcessResult r = Kmpc({"--to-kmp", in, out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(ReadFile(out), ProgramFileBytesFromText(GetParam().editorText));
    EXPECT_EQ(Kmpc({"--text", out}).out, GetParam().editorText)
        << "the file reads back as its text";
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"in", "out.kmp"})) << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, KmpcToKmp,
    testing::Values(
        ToKmpCase{"PlainUtf8", kSlovakText, kSlovakText},
        ToKmpCase{"PlainWindows1250", "PROGRAM \xE8:\r\nKONIEC\r\n", "PROGRAM \xC4\x8D:\nKONIEC\n"},
        ToKmpCase{"WordProcessorRtf", Fixture("lo_table.rtf"),
                  "PROGRAM tu\xC4\x8Dn\xC3\xBD:\nVYSTUP\t\xC4\xBE"
                  "ava\nCAS\t120\nKONIEC"},
        ToKmpCase{"WindowSaved", ProgramFileBytesFromText(kExampleProgram), kExampleProgram}),
    [](const testing::TestParamInfo<ToKmpCase>& param) { return std::string(param.param.name); });

TEST_F(TextDir, ToKmpIntoAMissingFolder) {
    const std::string in = Write("in.txt", "PROGRAM x:\nKONIEC\n");
    const std::string out = (dir_ / "missing" / "out.kmp").string();
    const ProcessResult r = Kmpc({"--to-kmp", in, out});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.starts_with("kmpc: Cannot create file \"" + out + "\".")) << r.err;
    EXPECT_FALSE(fs::exists(out));
}

// A share link's program saved as the page saves it, its values printed
// as options; a link that cannot be read writes nothing.
TEST_F(TextDir, FromLink) {
    const std::string out = Write("out.kmp", "an older file");
    const TimingSettings timing{17, 300, 6};
    const std::string link = "https://kmp.example/#" + ProgramLinkFragment(kSlovakText, timing);
    ProcessResult r = Kmpc({"--from-link", link, out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "--prescaler 6 --period 17 --delay 300\n");
    EXPECT_EQ(ReadFile(out), ProgramFileBytesFromText(kSlovakText));

    const std::string other = (dir_ / "other.kmp").string();
    const std::string fragment = ProgramLinkFragment("x", timing);
    r = Kmpc({"--from-link", "#" + fragment.substr(0, fragment.find('&')) + "&c=3.254.1", other});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "kmpc: Odkaz na program sa nedá prečítať: hodnoty c= musia byť "
              "delička.perióda.oneskorenie v rozsahoch 0..7, 1..253 a 1..65535.\n");
    EXPECT_FALSE(fs::exists(other));

    r = Kmpc({"--from-link", link, (dir_ / "missing" / "out.kmp").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.starts_with("kmpc: Cannot create file")) << r.err;
}

// The window compiles what its editor holds: a no-break space is a space.
TEST(KmpcCompile, NoBreakSpaceIsASpaceAsInTheEditor) {
    const ProcessResult r = Kmpc({"-"}, "PROGRAM\xC2\xA0x:\nRESET\nKONIEC\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0: 200 1 0 3 \n4: 255 255\n6: 255 255\n");
}

}  // namespace
}  // namespace kmp::test
