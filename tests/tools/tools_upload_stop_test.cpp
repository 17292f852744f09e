// kmpc --upload stopped by SIGINT or SIGTERM (in the middle of the frame to
// the virtual controller, while waiting for DSR, while waiting for returned
// bytes on a pseudo-terminal, several boards at once), and its progress bar
// on a terminal.
#include "run_process.h"
#include "upload_expectations.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace kmp::test {
namespace {

namespace fs = std::filesystem;

const std::string kExample = std::string(KMP_SOURCE_DIR) + "/examples/priklad.txt";
const std::string kCompiled = "Preklad prebehol úspešne!\n";

// 62 instructions and no RESET: the longest frame, 130 bytes (4.8 s to the
// virtual controller at 300 baud).
class FullProgram {
public:
    FullProgram() : path_(fs::temp_directory_path() / ("kmpc_full_" + std::to_string(getpid()))) {
        std::ofstream file(path_);
        file << "PROGRAM plny:\r\n";
        for (int i = 0; i < 62; ++i) file << "VYSTUP(0,0,0) CAS 120\r\n";
        file << "KONIEC\r\n";
    }
    ~FullProgram() { fs::remove(path_); }
    std::string Path() const { return path_.string(); }
    // The frame that it uploads.
    static std::vector<std::uint8_t> Frame() {
        std::vector<std::uint8_t> frame = {128, 254, 200, 1, 0, 3};
        for (int i = 0; i < 62; ++i) frame.insert(frame.end(), {0, 120});
        return frame;
    }

private:
    fs::path path_;
};

// kmpc running, its standard error read as it comes (from a pipe, or from
// the master of the pseudo-terminal that `errFd` is the other end of).
class RunningKmpc {
public:
    RunningKmpc(std::vector<std::string> args, const std::vector<std::string>& env,
                int errFd = -1) {
        int fds[2] = {-1, -1};
        if (errFd < 0) {
            if (pipe2(fds, O_CLOEXEC) != 0) return;
            errFd = fds[1];
            readFd_ = fds[0];
        }
        args.insert(args.begin(), KMPC_PATH);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> envText(env);
        for (const std::string base : {"LC_ALL=C", "LANGUAGE=", "KMP_SIMULATOR="})
            envText.push_back(base);
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry(*e);
            const std::string name = entry.substr(0, entry.find('=') + 1);
            if (std::none_of(envText.begin(), envText.end(),
                             [&](const std::string& x) { return x.starts_with(name); }))
                envText.push_back(entry);
        }
        std::vector<char*> envp;
        for (std::string& e : envText) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, errFd, 2);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        if (fds[1] >= 0) close(fds[1]);
    }
    ~RunningKmpc() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (ownsReadFd_ && readFd_ >= 0) close(readFd_);
    }
    RunningKmpc(const RunningKmpc&) = delete;
    RunningKmpc& operator=(const RunningKmpc&) = delete;

    // Standard error comes from `fd` (a pseudo-terminal's master), not owned.
    void ReadFrom(int fd) {
        readFd_ = fd;
        ownsReadFd_ = false;
    }
    bool Started() const { return pid_ > 0 && readFd_ >= 0; }
    const std::string& Err() const { return err_; }

    // Reads standard error until `text` is in it; false at its end.
    bool WaitFor(const std::string& text) {
        while (err_.find(text) == std::string::npos)
            if (!ReadSome()) return false;
        return true;
    }

    // Waits until kmpc has blocked SIGINT and SIGTERM, from where on it
    // takes them as events.
    bool WaitForStopSignalsBlocked() {
        const unsigned long both = (1ul << (SIGINT - 1)) | (1ul << (SIGTERM - 1));
        for (int tries = 0; tries < 1000; ++tries) {
            std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
            std::string line;
            while (std::getline(status, line))
                if (line.starts_with("SigBlk:") &&
                    (std::stoul(line.substr(7), nullptr, 16) & both) == both)
                    return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    void Signal(int signal) { kill(pid_, signal); }

    // Reads standard error to its end; the exit status, or -1 after a signal.
    int Finish() {
        while (ReadSome()) {
        }
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    bool ReadSome() {
        char buffer[4096];
        ssize_t n;
        do {
            n = read(readFd_, buffer, sizeof buffer);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) return false;  // a pseudo-terminal ends with EIO
        err_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int readFd_ = -1;
    bool ownsReadFd_ = true;
    std::string err_;
};

// The log lines after the compile log.
std::vector<std::string> UploadLines(const std::string& err) {
    const std::size_t at = err.find(kCompiled);
    if (at == std::string::npos) return {"no compile log in: " + err};
    std::vector<std::string> lines = SplitLines(err.substr(at + kCompiled.size()));
    if (!lines.empty()) lines.erase(lines.begin());  // "Môžete odoslať program..."
    return lines;
}

std::vector<std::string> ReturnedLines(const std::vector<std::string>& lines) {
    std::vector<std::string> returned;
    for (const std::string& line : lines)
        if (line.starts_with("Odosielam : ")) returned.push_back(line);
    return returned;
}

struct StopCase {
    const char* name;
    int signal;
    int status;
};

const auto kStopCases =
    testing::Values(StopCase{"Sigint", SIGINT, 130}, StopCase{"Sigterm", SIGTERM, 143});
const auto kStopCaseName = [](const testing::TestParamInfo<StopCase>& param) {
    return std::string(param.param.name);
};

class StopMidFrame : public testing::TestWithParam<StopCase> {};

// The write is cancelled: its count line names the bytes that went out, and
// every returned byte logged is one of them, in order.
TEST_P(StopMidFrame, CancelsTheWriteAndTellsTheCount) {
    const FullProgram program;
    RunningKmpc kmpc({"--simulator", "--upload", "sim", program.Path()}, {});
    ASSERT_TRUE(kmpc.Started());
    ASSERT_TRUE(kmpc.WaitFor("Odosielam : ")) << kmpc.Err();
    kmpc.Signal(GetParam().signal);
    EXPECT_EQ(kmpc.Finish(), GetParam().status) << kmpc.Err();
    const std::vector<std::string> lines = UploadLines(kmpc.Err());
    ASSERT_GE(lines.size(), 3u) << kmpc.Err();
    EXPECT_EQ(lines.front(), " Odosielam dáta...");
    std::smatch count;
    const std::regex countLine("Odosielanie zrušené: odoslaných bolo ([0-9]+) z 130 bajtov\\.");
    ASSERT_TRUE(std::regex_match(lines.back(), count, countLine)) << lines.back();
    const std::size_t sent = std::stoul(count[1]);
    EXPECT_LT(sent, 130u);
    const std::vector<std::string> returned = ReturnedLines(lines);
    EXPECT_EQ(returned.size() + 2, lines.size()) << kmpc.Err();
    EXPECT_GE(returned.size(), 1u);
    EXPECT_LE(returned.size(), sent);
    std::vector<std::uint8_t> prefix = FullProgram::Frame();
    prefix.resize(returned.size());
    std::vector<std::string> expected = EchoedUploadLines(prefix);
    expected.erase(expected.begin());
    expected.pop_back();  // a cancelled send is not checked
    EXPECT_EQ(returned, expected);
}

INSTANTIATE_TEST_SUITE_P(Kmpc, StopMidFrame, kStopCases, kStopCaseName);

class StopWaitingForDsr : public testing::TestWithParam<StopCase> {};

TEST_P(StopWaitingForDsr, EndsWithoutALine) {
    RunningKmpc kmpc({"--simulator", "--upload", "sim", "--dsr-timeout", "60", kExample},
                     {"KMP_SIMULATOR_DSR=0"});
    ASSERT_TRUE(kmpc.Started());
    ASSERT_TRUE(kmpc.WaitFor(kCompiled)) << kmpc.Err();
    ASSERT_TRUE(kmpc.WaitForStopSignalsBlocked());
    kmpc.Signal(GetParam().signal);
    EXPECT_EQ(kmpc.Finish(), GetParam().status) << kmpc.Err();
    EXPECT_EQ(UploadLines(kmpc.Err()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Kmpc, StopWaitingForDsr, kStopCases, kStopCaseName);

// A pseudo-terminal with both ends open; the test is the board at the
// master end.
struct TestTerminal {
    TestTerminal() {
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slave, nullptr, &raw, nullptr) == 0) path = ttyname(slave);
    }
    ~TestTerminal() {
        if (master >= 0) close(master);
        if (slave >= 0) close(slave);
    }
    TestTerminal(const TestTerminal&) = delete;
    TestTerminal& operator=(const TestTerminal&) = delete;
    int master = -1;
    int slave = -1;
    std::string path;
};

// Reads `count` bytes from `fd`.
std::vector<std::uint8_t> ReadBytes(int fd, std::size_t count) {
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count) {
        std::uint8_t buffer[256];
        const ssize_t n = read(fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

class StopWaitingForReplies : public testing::TestWithParam<StopCase> {};

// The frame is out, one byte came back; the stop adds no line, and the port
// is free at once for the next upload.
TEST_P(StopWaitingForReplies, ClosesThePort) {
    TestTerminal board;
    ASSERT_FALSE(board.path.empty());
    RunningKmpc kmpc({"--upload", board.path, "--reply-timeout", "60", kExample}, {});
    ASSERT_TRUE(kmpc.Started());
    EXPECT_EQ(ReadBytes(board.master, kExampleFrame.size()), kExampleFrame);
    ASSERT_EQ(write(board.master, "\x07", 1), 1);
    ASSERT_TRUE(kmpc.WaitFor("Odosielam : 7\n")) << kmpc.Err();
    kmpc.Signal(GetParam().signal);
    EXPECT_EQ(kmpc.Finish(), GetParam().status) << kmpc.Err();
    EXPECT_EQ(UploadLines(kmpc.Err()),
              (std::vector<std::string>{" Odosielam dáta...", "Odosielam : 7"}));

    const ProcessResult again =
        RunProcess({KMPC_PATH, "--upload", board.path, "--reply-timeout", "0.1", kExample}, {},
                   {"LC_ALL=C", "LANGUAGE=", "KMP_SIMULATOR="});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(UploadLines(again.err),
              (std::vector<std::string>{" Odosielam dáta...",
                                        "Doska neodpovedá: po odoslaní sa nevrátil žiadny bajt."}));
    EXPECT_EQ(ReadBytes(board.master, kExampleFrame.size()), kExampleFrame);
}

INSTANTIATE_TEST_SUITE_P(Kmpc, StopWaitingForReplies, kStopCases, kStopCaseName);

class StopClassroom : public testing::TestWithParam<StopCase> {};

// The signal reaches kmpc alone: it stops both uploads and still sums up.
TEST_P(StopClassroom, EveryChildStopsAndTheSummaryComes) {
    const FullProgram program;
    TestTerminal board;  // takes the frame and returns nothing
    ASSERT_FALSE(board.path.empty());
    RunningKmpc kmpc(
        {"--simulator", "--upload", "sim," + board.path, "--reply-timeout", "60", program.Path()},
        {});
    ASSERT_TRUE(kmpc.Started());
    ASSERT_TRUE(kmpc.WaitFor("sim: Odosielam : ")) << kmpc.Err();
    ASSERT_TRUE(kmpc.WaitFor(board.path + ":  Odosielam dáta...\n")) << kmpc.Err();
    kmpc.Signal(GetParam().signal);
    EXPECT_EQ(kmpc.Finish(), GetParam().status) << kmpc.Err();
    const std::vector<std::string> lines = SplitLines(kmpc.Err());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "0 of 2 boards received the program");
    const std::string simEnd = lines[lines.size() - 2].starts_with("sim: ")
                                   ? lines[lines.size() - 2]
                                   : lines[lines.size() - 3];
    EXPECT_TRUE(std::regex_match(
        simEnd, std::regex("sim: Odosielanie zrušené: odoslaných bolo [0-9]+ z 130 bajtov\\.")))
        << kmpc.Err();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& l) { return l.starts_with(board.path + ": "); }),
              1)
        << kmpc.Err();
}

INSTANTIATE_TEST_SUITE_P(Kmpc, StopClassroom, kStopCases, kStopCaseName);

struct TerminalCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> env;
    int status;
    std::string bar;  // a regular expression for one drawing of the bar
    std::vector<std::string> log;
};

class ProgressOnATerminal : public testing::TestWithParam<TerminalCase> {};

// Standard error on a terminal: the bar is drawn over and over and erased
// before each log line, so that without it the log is as on a pipe.
TEST_P(ProgressOnATerminal, BarLeavesTheLogWhole) {
    TestTerminal terminal;
    ASSERT_FALSE(terminal.path.empty());
    std::vector<std::string> args = GetParam().args;
    args.push_back(kExample);
    RunningKmpc kmpc(args, GetParam().env, terminal.slave);
    kmpc.ReadFrom(terminal.master);
    close(terminal.slave);
    terminal.slave = -1;
    ASSERT_TRUE(kmpc.Started());
    EXPECT_EQ(kmpc.Finish(), GetParam().status) << kmpc.Err();
    const std::string& err = kmpc.Err();
    EXPECT_NE(err.find("\r["), std::string::npos) << err;
    EXPECT_TRUE(std::regex_search(
        err, std::regex("\r\\[[#-]{20}\\] +[0-9]+ %  " + GetParam().bar + "\033\\[K")))
        << err;
    const std::string plain = std::regex_replace(err, std::regex("\r(\\[[^\r\n]*)?\033\\[K"), "");
    EXPECT_EQ(UploadLines(plain), GetParam().log) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, ProgressOnATerminal,
    testing::Values(TerminalCase{"Sending",
                                 {"--simulator", "--upload", "sim"},
                                 {},
                                 0,
                                 "[0-9]+ z 25 bajtov, zostáva [0-9]+,[0-9] s",
                                 EchoedUploadLines(kExampleFrame)},
                    TerminalCase{
                        "BoardNotReady",
                        {"--simulator", "--upload", "sim", "--handshake", "--max-time", "1.5"},
                        {"KMP_SIMULATOR_CTS=0"},
                        3,
                        "Doska nie je pripravená \\(CTS vypnuté\\): 0 z 25 bajtov",
                        {" Odosielam dáta...",
                         "Nahrávanie na port sim neskončilo do "
                         "1,5 s (--max-time): kmpc ho ukončil."}}),
    [](const testing::TestParamInfo<TerminalCase>& param) {
        return std::string(param.param.name);
    });

}  // namespace
}  // namespace kmp::test
