// kmpc --upload to several boards at once (echoing pseudo-terminals and the
// virtual controller), and kmpc --list-ports --watch on a test folder.
#include "echo_peer.h"
#include "run_process.h"
#include "upload_expectations.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace kmp::test {
namespace {

namespace fs = std::filesystem;

const std::string kExample = std::string(KMP_SOURCE_DIR) + "/examples/priklad.txt";
const std::vector<std::string> kBaseEnv = {"LC_ALL=C", "LANGUAGE=", "KMP_SIMULATOR="};

ProcessResult Kmpc(std::vector<std::string> args, std::vector<std::string> env = {}) {
    args.insert(args.begin(), KMPC_PATH);
    env.insert(env.end(), kBaseEnv.begin(), kBaseEnv.end());
    return RunProcess(args, {}, env);
}

// A folder of its own for one test, removed at the end.
class TempFolder {
public:
    TempFolder() {
        char name[] = "/tmp/kmpc_ports_XXXXXX";
        path_ = mkdtemp(name) != nullptr ? name : "";
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The log lines of one port: those that begin with "PORT: ", without it.
std::vector<std::string> LinesOf(const std::vector<std::string>& lines, const std::string& port) {
    std::vector<std::string> own;
    const std::string prefix = port + ": ";
    for (const std::string& line : lines)
        if (line.starts_with(prefix)) own.push_back(line.substr(prefix.size()));
    return own;
}

// The standard error lines after the compile log (its four lines).
std::vector<std::string> AfterCompileLog(const std::string& err) {
    const std::vector<std::string> lines = SplitLines(err);
    EXPECT_GE(lines.size(), 5u) << err;
    if (lines.size() < 5) return {};
    EXPECT_EQ(lines[0], "Začínam prekladať...");
    return {lines.begin() + 4, lines.end()};
}

// A board in a case: "peerN" (the Nth echoing pseudo-terminal), "sim", or
// any other text as the port name itself.
struct ClassroomCase {
    const char* name;
    std::vector<std::string> boards;
    std::vector<std::string> notes;  // the lines before the upload logs, "peerN" replaced
    std::string summary;
    int status;
};

class ClassroomUpload : public testing::TestWithParam<ClassroomCase> {};

TEST_P(ClassroomUpload, EveryBoardGetsTheFrameOnce) {
    std::size_t peerCount = 0;
    for (const std::string& board : GetParam().boards)
        if (board.starts_with("peer"))
            peerCount = std::max(peerCount, std::stoul(board.substr(4)) + 1);
    std::vector<std::unique_ptr<EchoPeer>> peers;
    for (std::size_t i = 0; i < peerCount; ++i) {
        peers.push_back(std::make_unique<EchoPeer>());
        ASSERT_TRUE(peers.back()->Port().starts_with("/dev/pts/")) << "the peer did not start";
    }
    const auto portOf = [&](const std::string& board) {
        return board.starts_with("peer") ? peers[std::stoul(board.substr(4))]->Port() : board;
    };
    std::string list;
    for (const std::string& board : GetParam().boards)
        list += (list.empty() ? "" : ",") + portOf(board);
    const ProcessResult r = Kmpc({"--simulator", "--upload", list, kExample});
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_TRUE(r.out.starts_with("0: 200 1 0 3 \n")) << r.out;
    const std::vector<std::string> lines = AfterCompileLog(r.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), GetParam().summary);

    std::vector<std::string> notes;
    for (std::string note : GetParam().notes) {
        for (std::size_t i = 0; i < peerCount; ++i) {
            const std::string key = "peer" + std::to_string(i);
            if (const auto at = note.find(key); at != std::string::npos)
                note.replace(at, key.size(), peers[i]->Port());
        }
        notes.push_back(note);
    }
    EXPECT_EQ(
        std::vector<std::string>(
            lines.begin(), lines.begin() + static_cast<long>(std::min(notes.size(), lines.size()))),
        notes);

    std::set<std::string> seen;
    for (const std::string& board : GetParam().boards) {
        const std::string port = portOf(board);
        if (!seen.insert(port).second) continue;
        if (board.starts_with("peer")) {
            EXPECT_EQ(peers[std::stoul(board.substr(4))]->Received(), kExampleFrame) << port;
            EXPECT_EQ(LinesOf(lines, port), EchoedUploadLines(kExampleFrame)) << port;
        } else if (board == "sim") {
            EXPECT_EQ(LinesOf(lines, port), EchoedUploadLines(kExampleFrame));
        } else {
            EXPECT_EQ(LinesOf(lines, port),
                      std::vector<std::string>{"kmpc: " + port +
                                               ": Unable to open com port (win error code: 2)"});
        }
    }
    // Every line between the notes and the summary belongs to a port.
    std::size_t owned = 0;
    for (const std::string& port : seen) owned += LinesOf(lines, port).size();
    EXPECT_EQ(owned + notes.size() + 1, lines.size()) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, ClassroomUpload,
    testing::Values(ClassroomCase{"FourBoards",
                                  {"peer0", "peer1", "peer2", "sim"},
                                  {},
                                  "4 of 4 boards received the program",
                                  0},
                    ClassroomCase{"OneMissing",
                                  {"peer0", "/nonexistent/ttyKMP", "peer1", "sim"},
                                  {},
                                  "3 of 4 boards received the program",
                                  3},
                    ClassroomCase{"PortTwice",
                                  {"peer0", "sim", "peer0", "peer1"},
                                  {"kmpc: peer0 is named more than once; it gets the program once"},
                                  "3 of 3 boards received the program",
                                  0}),
    [](const testing::TestParamInfo<ClassroomCase>& param) {
        return std::string(param.param.name);
    });

// --upload all takes the list (here the test folder's entries) but not the
// terminal that the console file names.
// A port name with a line feed is escaped in its messages and as the
// prefix of its lines, so that grep '^PORT: ' finds every line of a board.
TEST(KmpcUploadNames, ControlCharactersAreEscaped) {
    const std::string name = "tty\nUSB0";
    const ProcessResult one = Kmpc({"--upload", name, kExample});
    EXPECT_EQ(one.status, 3);
    EXPECT_TRUE(
        one.err.ends_with("kmpc: tty\\nUSB0: Unable to open com port (win error code: 2)\n"))
        << one.err;
    const ProcessResult many = Kmpc({"--simulator", "--upload", name + ",sim", kExample});
    EXPECT_EQ(many.status, 3);
    for (const std::string& line : SplitLines(many.err)) {
        if (line.find("USB0") == std::string::npos) continue;
        EXPECT_TRUE(line.starts_with("tty\\nUSB0: kmpc: tty\\nUSB0: ")) << line;
    }
    EXPECT_NE(many.err.find("1 of 2 boards received the program"), std::string::npos);
}

TEST(KmpcUploadAll, EveryListedPortButTheConsole) {
    EchoPeer first, second;
    ASSERT_TRUE(first.Port().starts_with("/dev/pts/"));
    ASSERT_TRUE(second.Port().starts_with("/dev/pts/"));
    TempFolder ports, other;
    fs::create_symlink(first.Port(), ports / "ttyA");
    fs::create_symlink(second.Port(), ports / "ttyB");
    // The console's entry leads nowhere: opening it would fail the upload.
    fs::create_symlink("/nonexistent/console", ports / "ttyS0");
    std::ofstream(other / "active") << "tty0 ttyS0\n";
    const ProcessResult r = Kmpc(
        {"--upload", "all", kExample},
        {"KMP_TEST_PORT_FOLDER=" + ports.Path(), "KMP_TEST_CONSOLE_ACTIVE=" + (other / "active")});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = AfterCompileLog(r.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(),
              "kmpc: " + (ports / "ttyS0") + " is the system console; it gets no program");
    EXPECT_EQ(lines.back(), "2 of 2 boards received the program");
    EXPECT_EQ(first.Received(), kExampleFrame);
    EXPECT_EQ(second.Received(), kExampleFrame);
    EXPECT_EQ(LinesOf(lines, ports / "ttyA"), EchoedUploadLines(kExampleFrame));
    EXPECT_TRUE(LinesOf(lines, ports / "ttyS0").empty());
}

TEST(KmpcUploadAll, NoPortAtAll) {
    TempFolder ports;
    const ProcessResult r =
        Kmpc({"--upload", "all", kExample}, {"KMP_TEST_PORT_FOLDER=" + ports.Path()});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(AfterCompileLog(r.err),
              std::vector<std::string>{"kmpc: --upload all: no serial port found"});
}

// kmpc --list-ports --watch as a running process whose lines the test reads.
class Watcher {
public:
    explicit Watcher(const std::string& folder) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[1], STDOUT_FILENO);
            for (const std::string& e : kBaseEnv) putenv(const_cast<char*>(e.c_str()));
            setenv("KMP_TEST_PORT_FOLDER", folder.c_str(), 1);
            execl(KMPC_PATH, KMPC_PATH, "--list-ports", "--watch", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        out_ = fds[0];
    }
    ~Watcher() {
        if (pid_ > 0) Stop(SIGKILL);
        if (out_ >= 0) close(out_);
    }
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    // The next line; empty at the end of the output, or when nothing comes
    // within a minute (a hung watch fails the test instead of hanging it).
    std::string NextLine() {
        for (;;) {
            if (const auto end = buffer_.find('\n'); end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            pollfd fd{out_, POLLIN, 0};
            if (poll(&fd, 1, 60000) <= 0) return {};
            char chunk[4096];
            const ssize_t n = read(out_, chunk, sizeof chunk);
            if (n <= 0) return {};
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }
    std::set<std::string> NextLines(std::size_t count) {
        std::set<std::string> lines;
        for (std::size_t i = 0; i < count; ++i) lines.insert(NextLine());
        return lines;
    }
    // Sends `signal` and returns the exit status (-1 when killed).
    int Stop(int signal) {
        kill(pid_, signal);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffer_;
};

class ListPortsWatch : public testing::TestWithParam<int> {};

TEST_P(ListPortsWatch, PlusAndMinusOnceForEveryPort) {
    TempFolder folder;
    std::ofstream(folder / "ttyA").put('\n');
    Watcher watch(folder.Path());
    EXPECT_EQ(watch.NextLine(), "+ " + (folder / "ttyA"));
    fs::create_symlink("/dev/null", folder / "ttyB");
    EXPECT_EQ(watch.NextLine(), "+ " + (folder / "ttyB"));
    fs::remove(folder / "ttyB");
    EXPECT_EQ(watch.NextLine(), "- " + (folder / "ttyB"));

    // A flood of links: each appears once, whatever bursts the events come in.
    std::set<std::string> added, removed;
    for (int i = 0; i < 40; ++i) {
        const std::string link = folder / ("ttyF" + std::to_string(i));
        fs::create_symlink("/dev/null", link);
        added.insert("+ " + link);
        removed.insert("- " + link);
    }
    EXPECT_EQ(watch.NextLines(added.size()), added);
    for (int i = 0; i < 40; ++i) fs::remove(folder / ("ttyF" + std::to_string(i)));
    EXPECT_EQ(watch.NextLines(removed.size()), removed);

    EXPECT_EQ(watch.Stop(GetParam()), 0);
    EXPECT_EQ(watch.NextLine(), "") << "nothing after the stop";
}

INSTANTIATE_TEST_SUITE_P(Kmpc, ListPortsWatch, testing::Values(SIGINT, SIGTERM),
                         [](const testing::TestParamInfo<int>& param) {
                             return param.param == SIGINT ? "Interrupt" : "Terminate";
                         });

}  // namespace
}  // namespace kmp::test
