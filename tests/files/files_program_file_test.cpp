// Reading and writing program files on disk, with the window's messages.
#include "example_program.h"
#include "file_fixtures.h"
#include "program_file.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

namespace kmp {
namespace {

namespace fs = std::filesystem;

// A fresh folder for one test, removed afterwards.
class ProgramFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kmp-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }
    std::string MessageOf(void (*action)(const std::string&), const std::string& path) {
        try {
            action(path);
        } catch (const FileError& e) {
            return e.what();
        }
        return "no error";
    }

    fs::path dir_;
};

void Open(const std::string& path) {
    ReadProgramFile(path);
}
void Save(const std::string& path) {
    WriteProgramFile(path, "x");
}

struct PlainCase {
    const char* name;
    std::string bytes;
    std::string text;
};

class PlainFileText : public testing::TestWithParam<PlainCase> {};

TEST_P(PlainFileText, OpensAsText) {
    EXPECT_EQ(ProgramTextFromFileBytes(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, PlainFileText,
    testing::Values(
        PlainCase{"Cp1250CrLf", "// \xE8\x9E\r\nKONIEC\r\n", "// \xC4\x8D\xC5\xBE\nKONIEC\n"},
        PlainCase{"Utf8", "// \xC4\x8D\nKONIEC", "// \xC4\x8D\nKONIEC"},
        PlainCase{"Utf8Bom", "\xEF\xBB\xBF// \xC4\x8D\r\nKONIEC", "// \xC4\x8D\nKONIEC"},
        PlainCase{"LoneCr", "a\rb\r", "a\nb\n"}, PlainCase{"Empty", "", ""},
        PlainCase{"RtfEscapedCrLf", "{\\rtf1 a\\'0d\\'0ab\\'0dc}", "a\nb\nc"},
        PlainCase{"RtfLookalikeIsPlain", " {\\rtf1 x}", " {\\rtf1 x}"},
        PlainCase{"BinaryJunk", std::string("\x00\xFF\x81{\\", 5),
                  std::string("\x00\xCB\x99\xC2\x81{\\", 7)}),
    [](const testing::TestParamInfo<PlainCase>& param) { return std::string(param.param.name); });

TEST_F(ProgramFileTest, ExampleProgramAsPlainFilesOpensLikeBuiltIn) {
    const std::string example = kExampleProgram;
    WriteBytes(Path("cp1250.kmp"), NormalizeLineEndsCrLf(Utf8ToCp1250(example)) + "\r\n");
    WriteBytes(Path("utf8.kmp"), "\xEF\xBB\xBF" + example);
    EXPECT_EQ(ReadProgramFile(Path("cp1250.kmp")), example + "\n");
    EXPECT_EQ(ReadProgramFile(Path("utf8.kmp")), example);
    EXPECT_EQ(ReadProgramFile(std::string(KMP_SOURCE_DIR) + "/examples/priklad.txt"),
              example + "\n");
}

TEST_F(ProgramFileTest, SaveThenOpenRestoresText) {
    const std::string text =
        std::string(kExampleProgram) + "\n// \xC4\xBD\xC5\xA1\xC4\x8D\xC5\xA5\xC5\xBE\xC3\xBD\n";
    WriteProgramFile(Path("p.kmp"), text);
    EXPECT_EQ(ReadProgramFile(Path("p.kmp")), text);
    EXPECT_TRUE(ReadBytes(Path("p.kmp")).starts_with("{\\rtf1\\ansi\\ansicpg1250"));
}

TEST_F(ProgramFileTest, SaveNameUsedAsGiven) {
    WriteProgramFile(Path("program"), "KONIEC");
    WriteProgramFile(Path("program.txt"), "KONIEC");
    EXPECT_TRUE(fs::is_regular_file(Path("program")));
    EXPECT_TRUE(fs::is_regular_file(Path("program.txt")));
    EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(ProgramFileTest, SaveReplacesAndKeepsPermissions) {
    WriteBytes(Path("p.kmp"), "old content that is longer than the new one");
    ::chmod(Path("p.kmp").c_str(), 0640);
    WriteProgramFile(Path("p.kmp"), "new");
    EXPECT_EQ(ReadProgramFile(Path("p.kmp")), "new");
    struct stat info {};
    ASSERT_EQ(::stat(Path("p.kmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(ProgramFileTest, SaveThroughSymbolicLinkReplacesItsTarget) {
    WriteBytes(Path("real.kmp"), "old");
    fs::create_symlink(Path("real.kmp"), Path("link.kmp"));
    WriteProgramFile(Path("link.kmp"), "new");
    EXPECT_TRUE(fs::is_symlink(Path("link.kmp")));
    EXPECT_EQ(ReadProgramFile(Path("real.kmp")), "new");
}

TEST_F(ProgramFileTest, OpenMessages) {
    EXPECT_EQ(MessageOf(Open, Path("missing.kmp")),
              "Cannot open file \"" + Path("missing.kmp") + "\". No such file or directory");
    EXPECT_EQ(MessageOf(Open, dir_.string()),
              "Cannot open file \"" + dir_.string() + "\". Is a directory");
    ::mkfifo(Path("fifo").c_str(), 0600);
    EXPECT_EQ(MessageOf(Open, Path("fifo")),
              "Cannot open file \"" + Path("fifo") + "\". Invalid argument");
    WriteBytes(Path("huge.kmp"), "");
    fs::resize_file(Path("huge.kmp"), (std::uintmax_t{64} << 20) + 1);
    EXPECT_EQ(MessageOf(Open, Path("huge.kmp")),
              "Cannot open file \"" + Path("huge.kmp") + "\". File too large");
}

TEST_F(ProgramFileTest, OpenUnreadableFile) {
    WriteBytes(Path("secret.kmp"), "x");
    ::chmod(Path("secret.kmp").c_str(), 0);
    if (::access(Path("secret.kmp").c_str(), R_OK) == 0) {
        GTEST_SKIP() << "running as root: file permissions do not stop reading";
    }
    EXPECT_EQ(MessageOf(Open, Path("secret.kmp")),
              "Cannot open file \"" + Path("secret.kmp") + "\". Permission denied");
}

TEST_F(ProgramFileTest, SaveMessages) {
    EXPECT_EQ(
        MessageOf(Save, Path("no/such/folder.kmp")),
        "Cannot create file \"" + Path("no/such/folder.kmp") + "\". No such file or directory");
    fs::create_directory(Path("dir.kmp"));
    WriteBytes(Path("dir.kmp/inside"), "x");
    EXPECT_EQ(MessageOf(Save, Path("dir.kmp")),
              "Cannot create file \"" + Path("dir.kmp") + "\". Is a directory");
    EXPECT_EQ(EntryCount(), 1u);  // no temporary file left
}

// A write that fails half-way (the file size limit, which binds root too)
// leaves the earlier file byte for byte and no temporary file.
TEST_F(ProgramFileTest, FailedSaveKeepsOldFile) {
    const std::string old = ProgramFileBytesFromText("old program");
    WriteBytes(Path("p.kmp"), old);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = MessageOf(
        [](const std::string& path) { WriteProgramFile(path, std::string(100'000, 'x')); },
        Path("p.kmp"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(message, "Cannot create file \"" + Path("p.kmp") + "\". File too large");
    EXPECT_EQ(ReadBytes(Path("p.kmp")), old);
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(ProgramFileTest, SaveIntoReadOnlyFolderKeepsOldFile) {
    const std::string old = ProgramFileBytesFromText("old program");
    WriteBytes(Path("p.kmp"), old);
    ::chmod(dir_.c_str(), 0500);
    if (::access(dir_.c_str(), W_OK) == 0) {
        GTEST_SKIP() << "running as root: a read-only folder stays writable "
                        "(FailedSaveKeepsOldFile covers the failed save)";
    }
    EXPECT_EQ(MessageOf(Save, Path("p.kmp")),
              "Cannot create file \"" + Path("p.kmp") + "\". Permission denied");
    EXPECT_EQ(ReadBytes(Path("p.kmp")), old);
}

TEST_F(ProgramFileTest, LargeFilesOpen) {
    std::string plain;
    plain.reserve(50u << 20);
    while (plain.size() < (50u << 20)) plain += "VYSTUP(1,0,0) CAS 10 // \xE8\r\n";
    WriteBytes(Path("plain.kmp"), plain);
    EXPECT_EQ(ReadProgramFile(Path("plain.kmp")).size(), plain.size());

    const std::string rtf = "{\\rtf1 " + std::string(50u << 20, '{') + "x";
    WriteBytes(Path("nested.kmp"), rtf);
    EXPECT_EQ(ReadProgramFile(Path("nested.kmp")), "x");
}

}  // namespace
}  // namespace kmp
