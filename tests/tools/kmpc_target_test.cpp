// Where kmpc -o, kmpc --to-kmp and the window's save write when the target
// is a device, a FIFO, a symbolic link or a directory.
#include "program_file.h"
#include "run_process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

namespace fs = std::filesystem;

const std::string kProgram = "PROGRAM x:\nKONIEC\n";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ProcessResult Kmpc(std::vector<std::string> args, const std::string& input) {
    args.insert(args.begin(), KMPC_PATH);
    return RunProcess(args, input, {"LC_ALL=C"});
}

// One way of writing a file, with the bytes that it writes and the message
// that a failure with `reason` gives.
struct Writer {
    const char* name;
    ProcessResult (*write)(const std::string& path);
    std::string bytes;
    std::string (*message)(const std::string& path, const std::string& reason);
};

std::string ImageOfProgram() {
    std::string image(128, '\xFF');
    const char header[] = {'\xC8', '\x01', '\x00', '\x03'};
    std::copy(std::begin(header), std::end(header), image.begin());
    return image;
}

const Writer kWriters[] = {
    {"ImageOption",
     [](const std::string& path) {
         return Kmpc({"-o", path, "-"}, kProgram);
     },
     ImageOfProgram(),
     [](const std::string& path, const std::string& reason) {
         return "kmpc: " + path + ": " + reason + "\n";
     }},
    {"ToKmp",
     [](const std::string& path) {
         return Kmpc({"--to-kmp", "-", path}, kProgram);
     },
     ProgramFileBytesFromText(kProgram),
     [](const std::string& path, const std::string& reason) {
         return "kmpc: Cannot create file \"" + path + "\". " + reason + "\n";
     }},
    {"WindowSave",
     [](const std::string& path) {
         ProcessResult result;
         try {
             WriteProgramFile(path, kProgram);
             result.status = 0;
         } catch (const FileError& e) {
             result.status = 2;
             result.err = std::string(e.what()) + "\n";
         }
         return result;
     },
     ProgramFileBytesFromText(kProgram),
     [](const std::string& path, const std::string& reason) {
         return "Cannot create file \"" + path + "\". " + reason + "\n";
     }},
};

enum class Kind { kCharDevice, kFifo, kLink, kDirectory };

// The target "out" in a fresh folder, how it is made, and what writing to it
// must leave behind.
struct TargetCase {
    const char* name;
    void (*make)(const fs::path& dir);
    Kind kindAfter;
    std::string reason;                // empty: the write succeeds
    const char* landsIn;               // the file that then holds the bytes, or ""
    std::vector<std::string> entries;  // everything in the folder afterwards
};

void MakeDevice(const fs::path& dir, unsigned minor) {
    if (::geteuid() != 0) GTEST_SKIP() << "device nodes can be made only as root";
    ASSERT_EQ(::mknod((dir / "out").c_str(), S_IFCHR | 0666, makedev(1, minor)), 0);
}

void MakeRealFile(const fs::path& dir) {
    fs::create_directory(dir / "real");
    std::ofstream(dir / "real" / "target.kmp") << "old";
}

const TargetCase kTargets[] = {
    {"NullDevice",
     [](const fs::path& dir) { MakeDevice(dir, 3); },
     Kind::kCharDevice,
     "",
     "",
     {"out"}},
    {"FullDevice",
     [](const fs::path& dir) { MakeDevice(dir, 7); },
     Kind::kCharDevice,
     "No space left on device",
     "",
     {"out"}},
    {"FifoWithReader",
     [](const fs::path& dir) { ::mkfifo((dir / "out").c_str(), 0600); },
     Kind::kFifo,
     "",
     "",
     {"out"}},
    {"FifoWithoutReader",
     [](const fs::path& dir) { ::mkfifo((dir / "out").c_str(), 0600); },
     Kind::kFifo,
     "No such device or address",
     "",
     {"out"}},
    {"Link",
     [](const fs::path& dir) {
         MakeRealFile(dir);
         fs::create_symlink("real/target.kmp", dir / "out");
     },
     Kind::kLink,
     "",
     "real/target.kmp",
     {"out", "real", "real/target.kmp"}},
    {"LinkChain",
     [](const fs::path& dir) {
         MakeRealFile(dir);
         fs::create_symlink("target.kmp", dir / "real" / "second");
         fs::create_symlink("real/second", dir / "out");
     },
     Kind::kLink,
     "",
     "real/target.kmp",
     {"out", "real", "real/second", "real/target.kmp"}},
    {"DanglingLinkCreatesItsTarget",
     [](const fs::path& dir) {
         fs::create_directory(dir / "real");
         fs::create_symlink("real/new.kmp", dir / "out");
     },
     Kind::kLink,
     "",
     "real/new.kmp",
     {"out", "real", "real/new.kmp"}},
    {"DanglingLinkIntoNoFolder",
     [](const fs::path& dir) { fs::create_symlink("nowhere/new.kmp", dir / "out"); },
     Kind::kLink,
     "No such file or directory",
     "",
     {"out"}},
    {"LinkLoop",
     [](const fs::path& dir) { fs::create_symlink("out", dir / "out"); },
     Kind::kLink,
     "Too many levels of symbolic links",
     "",
     {"out"}},
    {"Directory",
     [](const fs::path& dir) {
         fs::create_directory(dir / "out");
         std::ofstream(dir / "out" / "inside") << "x";
     },
     Kind::kDirectory,
     "Is a directory",
     "",
     {"out", "out/inside"}},
    {"LinkToDirectory",
     [](const fs::path& dir) {
         fs::create_directory(dir / "real");
         fs::create_directory_symlink("real", dir / "out");
     },
     Kind::kLink,
     "Is a directory",
     "",
     {"out", "real"}},
};

void PrintTo(const TargetCase& target, std::ostream* os) {
    *os << target.name;
}
void PrintTo(const Writer& writer, std::ostream* os) {
    *os << writer.name;
}

Kind KindOf(const fs::path& path) {
    const fs::file_status status = fs::symlink_status(path);
    if (fs::is_symlink(status)) return Kind::kLink;
    if (fs::is_character_file(status)) return Kind::kCharDevice;
    if (fs::is_fifo(status)) return Kind::kFifo;
    return Kind::kDirectory;
}

std::vector<std::string> Entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        names.push_back(entry.path().lexically_relative(dir).string());
    std::sort(names.begin(), names.end());
    return names;
}

class WriteTarget : public testing::TestWithParam<std::tuple<TargetCase, Writer>> {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kmpc-target-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        if (reader_ >= 0) ::close(reader_);
        fs::remove_all(dir_);
    }
    fs::path dir_;
    int reader_ = -1;
};

TEST_P(WriteTarget, KeepsTheTargetAndWritesWhereEditorsDo) {
    const auto& [target, writer] = GetParam();
    target.make(dir_);
    if (testing::Test::IsSkipped() || testing::Test::HasFatalFailure()) return;
    if (std::string(target.name) == "FifoWithReader") {
        reader_ = ::open((dir_ / "out").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(reader_, 0);
    }
    const std::string path = (dir_ / "out").string();

    const ProcessResult r = writer.write(path);

    if (target.reason.empty()) {
        EXPECT_EQ(r.status, 0) << r.err;
    } else {
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.ends_with(writer.message(path, target.reason))) << r.err;
    }
    EXPECT_EQ(KindOf(dir_ / "out"), target.kindAfter);
    EXPECT_EQ(Entries(dir_), target.entries) << "nothing replaced, no temporary file left";
    if (*target.landsIn != '\0') {
        EXPECT_EQ(ReadFile(dir_ / target.landsIn), writer.bytes);
    }
    if (reader_ >= 0) {
        std::string got(4096, '\0');
        const ssize_t n = ::read(reader_, got.data(), got.size());
        got.resize(static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        EXPECT_EQ(got, writer.bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, WriteTarget,
                         testing::Combine(testing::ValuesIn(kTargets), testing::ValuesIn(kWriters)),
                         [](const auto& param) {
                             return std::string(std::get<0>(param.param).name) +
                                    std::get<1>(param.param).name;
                         });

// Standard output as IMAGE or OUT: written where the descriptor stands, a
// pipe or a file that the shell opened (which must not be replaced).
TEST(WriteTargetStandardOutput, ImageAndProgramFileGoToStandardOutput) {
    const ProcessResult piped = Kmpc({"-o", "/dev/stdout", "-"}, kProgram);
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, "0: 200 1 0 3 \n4: 255 255\n" + ImageOfProgram());

    char pattern[] = "/tmp/kmpc-stdout-XXXXXX";
    const int fd = ::mkstemp(pattern);
    ASSERT_GE(fd, 0);
    struct stat before {};
    ::fstat(fd, &before);
    const ProcessResult redirected = RunProcess(
        {"/bin/sh", "-c", std::string("exec \"$0\" --to-kmp - /dev/stdout >") + pattern, KMPC_PATH},
        kProgram);
    EXPECT_EQ(redirected.status, 0) << redirected.err;
    EXPECT_EQ(ReadFile(pattern), ProgramFileBytesFromText(kProgram));
    struct stat after {};
    ::stat(pattern, &after);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the shell's file is written, not replaced";
    ::close(fd);
    ::unlink(pattern);
}

}  // namespace
}  // namespace kmp::test
