// kmpc's FILE when it is no regular file: what could wait for ever is refused
// at once, what has a writer is read, and no input is read past 64 MiB.
#include "run_process.h"
#include "whole_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace kmp::test {
namespace {

namespace fs = std::filesystem;

const std::string kProgram = "PROGRAM x:\nKONIEC\n";

// The FILE of one case in a fresh folder.
class InputSource {
public:
    explicit InputSource(const fs::path& dir) : dir_(dir) {}
    ~InputSource() {
        if (writer_.joinable()) {
            // Wakes the writer if kmpc never opened the FIFO.
            const int reader = ::open(FifoPath().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            writer_.join();
            if (reader >= 0) ::close(reader);
        }
        for (const int fd : {master_, slave_, opened_}) {
            if (fd >= 0) ::close(fd);
        }
    }
    InputSource(const InputSource&) = delete;
    InputSource& operator=(const InputSource&) = delete;

    std::string Terminal() {
        char name[256];
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return "";
        return name;
    }
    // With a writer, the program is in the FIFO before kmpc starts, and the
    // writer lets go when kmpc has opened it, so that kmpc reads to the end.
    std::string Fifo(bool withWriter) {
        const std::string path = FifoPath();
        ::mkfifo(path.c_str(), 0600);
        if (!withWriter) return path;
        const int holder = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (holder < 0 || ::write(holder, kProgram.data(), kProgram.size()) < 0) return "";
        opened_ = ::inotify_init1(IN_CLOEXEC);
        ::inotify_add_watch(opened_, path.c_str(), IN_OPEN);
        writer_ = std::thread([this, holder] {
            alignas(inotify_event) char event[sizeof(inotify_event) + NAME_MAX + 1];
            [[maybe_unused]] const ssize_t n = ::read(opened_, event, sizeof event);
            ::close(holder);
        });
        return path;
    }

private:
    std::string FifoPath() const { return (dir_ / "fifo").string(); }

    fs::path dir_;
    std::thread writer_;
    int master_ = -1;
    int slave_ = -1;
    int opened_ = -1;
};

struct InputCase {
    const char* name;
    std::string (*make)(InputSource& source);
    std::string input;   // kmpc's standard input
    std::string reason;  // empty: read, as the window's editor would get it
};

struct Mode {
    const char* name;
    std::vector<std::string> before;  // the arguments before FILE
    bool out;                         // --to-kmp: OUT after FILE
};

const InputCase kInputs[] = {
    {"Terminal", [](InputSource& s) { return s.Terminal(); }, "", "Invalid argument"},
    {"FifoWithoutWriter", [](InputSource& s) { return s.Fifo(false); }, "", "Invalid argument"},
    {"FifoWithWriter", [](InputSource& s) { return s.Fifo(true); }, "", ""},
    {"PipeAsFile", [](InputSource&) { return std::string("/dev/stdin"); }, kProgram, ""},
    {"EndlessDevice", [](InputSource&) { return std::string("/dev/zero"); }, "",
     "program text too long"},
    {"StandardInputTooLong", [](InputSource&) { return std::string("-"); },
     std::string(kMaxProgramFileBytes + 1, '\n'), "program text too long"},
};

const Mode kModes[] = {
    {"Compile", {}, false},
    {"Text", {"--text"}, false},
    {"ToKmp", {"--to-kmp"}, true},
};

void PrintTo(const InputCase& input, std::ostream* os) {
    *os << input.name;
}
void PrintTo(const Mode& mode, std::ostream* os) {
    *os << mode.name;
}

class KmpcInput : public testing::TestWithParam<std::tuple<InputCase, Mode>> {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kmpc-input-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_P(KmpcInput, RefusesAtOnceOrReads) {
    const auto& [input, mode] = GetParam();
    InputSource source(dir_);
    const std::string file = input.make(source);
    ASSERT_FALSE(file.empty());
    std::vector<std::string> args = {KMPC_PATH};
    args.insert(args.end(), mode.before.begin(), mode.before.end());
    args.push_back(file);
    const std::string out = (dir_ / "out.kmp").string();
    if (mode.out) args.push_back(out);

    const ProcessResult r = RunProcess(args, input.input, {"LC_ALL=C"});

    if (input.reason.empty()) {
        EXPECT_EQ(r.status, 0) << r.err;
        if (std::string(mode.name) == "Text") {
            EXPECT_EQ(r.out, kProgram);
        }
        EXPECT_EQ(fs::exists(out), mode.out);
    } else {
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "kmpc: " + file + ": " + input.reason + "\n");
        EXPECT_FALSE(fs::exists(out));
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, KmpcInput,
                         testing::Combine(testing::ValuesIn(kInputs), testing::ValuesIn(kModes)),
                         [](const auto& param) {
                             return std::string(std::get<0>(param.param).name) +
                                    std::get<1>(param.param).name;
                         });

// The limit itself: a file of exactly 64 MiB is read, one byte more is not.
TEST(ProgramInputLimit, SixtyFourMebibytesAndNoMore) {
    char pattern[] = "/tmp/kmpc-limit-XXXXXX";
    const int fd = ::mkstemp(pattern);
    ASSERT_GE(fd, 0);
    std::string bytes;
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxProgramFileBytes)), 0);
    EXPECT_EQ(ReadProgramInput(pattern, bytes), 0);
    EXPECT_EQ(bytes.size(), kMaxProgramFileBytes);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxProgramFileBytes + 1)), 0);
    EXPECT_EQ(ReadProgramInput(pattern, bytes), kTextTooLong);
    EXPECT_TRUE(bytes.empty());
    ::close(fd);
    ::unlink(pattern);
}

}  // namespace
}  // namespace kmp::test
