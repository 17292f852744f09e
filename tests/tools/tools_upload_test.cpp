// kmpc --upload as a process: the virtual controller, a pseudo-terminal with
// an echoing peer script, and the failures of ports and boards.
#include "echo_peer.h"
#include "example_program.h"
#include "run_process.h"
#include "upload_expectations.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

namespace fs = std::filesystem;

const std::string kExample = std::string(KMP_SOURCE_DIR) + "/examples/priklad.txt";
const std::string kListingFirstLine = "0: 200 1 0 3 \n";

ProcessResult Kmpc(std::vector<std::string> args, const std::vector<std::string>& env = {}) {
    args.insert(args.begin(), KMPC_PATH);
    std::vector<std::string> fullEnv = env;
    for (const std::string& fallback :
         std::vector<std::string>{"LC_ALL=C", "LANGUAGE=", "KMP_SIMULATOR="}) {
        const std::string name = fallback.substr(0, fallback.find('=') + 1);
        if (std::none_of(env.begin(), env.end(),
                         [&](const std::string& e) { return e.starts_with(name); }))
            fullEnv.push_back(fallback);
    }
    return RunProcess(args, {}, fullEnv);
}

// The log lines after the four lines of a successful compile run.
std::vector<std::string> LinesAfterCompileLog(const std::string& err) {
    std::vector<std::string> lines = SplitLines(err);
    EXPECT_GE(lines.size(), 4u) << err;
    if (lines.size() < 4) return lines;
    EXPECT_EQ(lines[0], "Začínam prekladať...");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}"))) << lines[1];
    EXPECT_EQ(lines[2], "Preklad prebehol úspešne!");
    return {lines.begin() + 4, lines.end()};
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct SimulatorCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> env;
};

class SimulatorUpload : public testing::TestWithParam<SimulatorCase> {};

TEST_P(SimulatorUpload, EchoedFrameAndEndOfSending) {
    std::vector<std::string> args = GetParam().args;
    args.push_back(kExample);
    const ProcessResult r = Kmpc(args, GetParam().env);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with(kListingFirstLine)) << r.out;
    EXPECT_EQ(LinesAfterCompileLog(r.err), EchoedUploadLines(kExampleFrame));
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, SimulatorUpload,
    testing::Values(SimulatorCase{"Option", {"--simulator", "--upload", "sim"}, {}},
                    SimulatorCase{"Variable", {"--upload=sim"}, {"KMP_SIMULATOR=1"}},
                    SimulatorCase{
                        "Handshake", {"--upload", "sim", "--handshake", "--simulator"}, {}}),
    [](const testing::TestParamInfo<SimulatorCase>& param) {
        return std::string(param.param.name);
    });

class PtyUpload : public testing::TestWithParam<bool> {};

TEST_P(PtyUpload, PeerReceivesExactlyTheFrame) {
    EchoPeer peer;
    ASSERT_TRUE(peer.Port().starts_with("/dev/pts/")) << "the peer script did not start";
    std::vector<std::string> args = {"--upload", peer.Port(), kExample};
    if (GetParam()) args.insert(args.begin(), "--handshake");
    const ProcessResult r = Kmpc(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(peer.Received(), kExampleFrame);
    EXPECT_EQ(LinesAfterCompileLog(r.err), EchoedUploadLines(kExampleFrame));
}

INSTANTIATE_TEST_SUITE_P(Kmpc, PtyUpload, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "Handshake" : "NoFlowControl";
                         });

struct PortFailureCase {
    const char* name;
    std::string port;
    std::string message;
};

class PortFailure : public testing::TestWithParam<PortFailureCase> {};

TEST_P(PortFailure, ExitsWithThreeAndTheMessage) {
    const ProcessResult r = Kmpc({"--upload", GetParam().port, kExample});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.out.starts_with(kListingFirstLine)) << "the program was compiled first";
    EXPECT_EQ(LinesAfterCompileLog(r.err),
              std::vector<std::string>{"kmpc: " + GetParam().port + ": " + GetParam().message});
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, PortFailure,
    testing::Values(PortFailureCase{"MissingDeviceName", "ttyKMPNONE",
                                    "Unable to open com port (win error code: 2)"},
                    PortFailureCase{"MissingPath", "/nonexistent/ttyUSB0",
                                    "Unable to open com port (win error code: 2)"},
                    PortFailureCase{"SimulatorNotSwitchedOn", "sim",
                                    "Unable to open com port (win error code: 2)"}),
    [](const testing::TestParamInfo<PortFailureCase>& param) {
        return std::string(param.param.name);
    });

TEST(KmpcUpload, CompileFailureOpensNoPort) {
    const fs::path program =
        fs::temp_directory_path() / ("kmpc_bad_" + std::to_string(getpid()) + ".txt");
    std::ofstream(program) << "PROGRAM x:\nVYSTUP\nKONIEC\n";
    const ProcessResult r = Kmpc({"--upload", "/nonexistent/ttyUSB0", program.string()});
    fs::remove(program);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(Contains(r.err, "Unable to open com port")) << r.err;
    EXPECT_FALSE(Contains(r.err, "Odosielam")) << r.err;
}

TEST(KmpcUpload, DsrHeldOffEndsAfterTheTimeOut) {
    const ProcessResult r =
        Kmpc({"--simulator", "--upload", "sim", "--dsr-timeout", "0.2", kExample},
             {"KMP_SIMULATOR_DSR=0"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(LinesAfterCompileLog(r.err),
              std::vector<std::string>{"Doska na porte sim nezapla signál DSR do 0,2 s: nie je "
                                       "pripojená, zapnutá alebo pripravená."});
}

// --verify: exit 0 only when the board returned the frame exactly.
TEST(KmpcUpload, VerifyExitsThreeUnlessTheFrameCameBack) {
    const struct {
        const char* echo;
        int status;
        const char* last;
    } cases[] = {
        {"KMP_SIMULATOR_ECHO=1", 0, "Overenie: doska vrátila presne odoslané bajty (25)."},
        {"KMP_SIMULATOR_ECHO=0", 3, "Doska neodpovedá: po odoslaní sa nevrátil žiadny bajt."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.echo);
        const ProcessResult r =
            Kmpc({"--simulator", "--upload", "sim", "--verify", "--reply-timeout", "0.2", kExample},
                 {c.echo});
        EXPECT_EQ(r.status, c.status) << r.err;
        ASSERT_FALSE(LinesAfterCompileLog(r.err).empty());
        EXPECT_EQ(LinesAfterCompileLog(r.err).back(), c.last);
    }
}

TEST(KmpcUpload, SilentBoardStillTakesTheFrame) {
    const ProcessResult r =
        Kmpc({"--simulator", "--upload", "sim", "--reply-timeout", "0.1", kExample},
             {"KMP_SIMULATOR_ECHO=0"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(LinesAfterCompileLog(r.err),
              (std::vector<std::string>{" Odosielam dáta...",
                                        "Doska neodpovedá: po odoslaní sa nevrátil žiadny bajt."}));
}

// The frame waits for CTS that never comes (the write time limit would be
// minutes); --max-time ends the whole upload with one line and exit 3.
TEST(KmpcUpload, MaxTimeEndsASendingThatCtsHoldsBack) {
    const ProcessResult r =
        Kmpc({"--simulator", "--upload", "sim", "--handshake", "--max-time", "0.3", kExample},
             {"KMP_SIMULATOR_CTS=0"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(LinesAfterCompileLog(r.err),
              (std::vector<std::string>{
                  " Odosielam dáta...",
                  "Nahrávanie na port sim neskončilo do 0,3 s (--max-time): kmpc ho ukončil."}));
}

struct FullOutputCase {
    const char* name;
    std::vector<std::string> args;
};

class FullOutput : public testing::TestWithParam<FullOutputCase> {};

// Standard output that cannot be written: exit 2 with the compile path's
// message, and nothing is uploaded.
TEST_P(FullOutput, ExitsWithTwoAndTheMessage) {
    std::vector<std::string> args = {"/bin/sh", "-c", "exec \"$0\" \"$@\" >/dev/full", KMPC_PATH};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const ProcessResult r = RunProcess(args, {}, {"LC_ALL=C", "LANGUAGE=", "KMP_SIMULATOR="});
    EXPECT_EQ(r.status, 2);
    const std::vector<std::string> lines = SplitLines(r.err);
    EXPECT_EQ(
        std::count(lines.begin(), lines.end(), "kmpc: standard output: No space left on device"), 1)
        << r.err;
    EXPECT_FALSE(Contains(r.err, "Odosielam")) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, FullOutput,
    testing::Values(FullOutputCase{"Compile", {kExample}},
                    FullOutputCase{"ListPorts", {"--simulator", "--list-ports"}},
                    FullOutputCase{"WatchPorts", {"--simulator", "--list-ports", "--watch"}},
                    FullOutputCase{"Upload", {"--simulator", "--upload", "sim", kExample}}),
    [](const testing::TestParamInfo<FullOutputCase>& param) {
        return std::string(param.param.name);
    });

// A pseudo-terminal made by the test; the port end is `Path()`.
class TestPty {
public:
    TestPty() : master_(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            path_ = ptsname(master_);
    }
    ~TestPty() {
        if (master_ >= 0) close(master_);
    }
    TestPty(const TestPty&) = delete;
    TestPty& operator=(const TestPty&) = delete;
    const std::string& Path() const { return path_; }

private:
    int master_;
    std::string path_;
};

// The group that owns `path`, as the permission line names it.
std::string OwningGroup(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return "dialout";
    const group* gr = getgrgid(st.st_gid);
    return gr == nullptr || gr->gr_gid == 0 ? "dialout" : gr->gr_name;
}

// This test program's name as /proc shows it (at most 15 characters).
std::string OwnCommandName() {
    std::ifstream comm("/proc/self/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

// The test holds the port, so the hint names the test program.
TEST(KmpcUpload, PortHeldByAnotherProgram) {
    TestPty pty;
    ASSERT_FALSE(pty.Path().empty());
    const int holder = open(pty.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    const ProcessResult r = Kmpc({"--upload", pty.Path(), kExample});
    close(holder);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(LinesAfterCompileLog(r.err),
              (std::vector<std::string>{
                  "kmpc: " + pty.Path() + ": Unable to open com port (win error code: 11)",
                  "Port " + pty.Path() + " práve používa iný program. Zatvorte ho a skúste znovu." +
                      " Drží ho program " + OwnCommandName() + " (PID " + std::to_string(getpid()) +
                      ")."}));
}

TEST(KmpcUpload, NoPermissionForTheDevice) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run kmpc as the user nobody on a device only root may open";
    if (access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv (util-linux) is missing";
    const std::vector<std::string> asNobody = {"/usr/bin/setpriv", "--reuid=nobody",
                                               "--regid=nogroup", "--clear-groups"};
    std::vector<std::string> probe = asNobody;
    probe.insert(probe.end(), {KMPC_PATH, "--version"});
    if (RunProcess(probe).status != 0) GTEST_SKIP() << "the user nobody cannot run " << KMPC_PATH;
    TestPty pty;
    ASSERT_FALSE(pty.Path().empty());
    ASSERT_EQ(chmod(pty.Path().c_str(), 0600), 0);
    std::vector<std::string> args = asNobody;
    args.insert(args.end(), {KMPC_PATH, "--upload", pty.Path(), kExample});
    const ProcessResult r = RunProcess(args, {}, {"LC_ALL=C", "LANGUAGE=", "KMP_SIMULATOR="});
    EXPECT_EQ(r.status, 3);
    const std::string group = OwningGroup(pty.Path());
    EXPECT_EQ(LinesAfterCompileLog(r.err),
              (std::vector<std::string>{
                  "kmpc: " + pty.Path() + ": Unable to open com port (win error code: 13)",
                  "Nemáte oprávnenie otvoriť zariadenie " + pty.Path() +
                      ". Na Debiane sa pridajte do skupiny " + group +
                      ", ktorá ho vlastní (sudo usermod -aG " + group +
                      " $USER), potom sa odhláste a znova prihláste."}));
}

// --trace: one timed line each for the open, the settings as the pty reads
// them back, the event mask and the write's outcome; none without it.
TEST(KmpcUpload, TraceOfTheSerialLayer) {
    TestPty pty;
    ASSERT_FALSE(pty.Path().empty());
    const ProcessResult r =
        Kmpc({"--upload", pty.Path(), "--trace", "--reply-timeout", "0.1", kExample});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> trace;
    const std::regex timed("kmp\\.serial: \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d (.*)");
    for (const std::string& line : SplitLines(r.err)) {
        std::smatch match;
        if (std::regex_match(line, match, timed)) trace.push_back(match[1]);
    }
    EXPECT_EQ(trace, (std::vector<std::string>{
                         "open " + pty.Path(),
                         "settings read back: 300 baud, 8 data bits, 2 stop bits, no parity, "
                         "CTS flow off",
                         "event mask 0x5ff",
                         "write completed: 25 of 25 bytes",
                     }))
        << r.err;
    const ProcessResult quiet = Kmpc({"--upload", pty.Path(), "--reply-timeout", "0.1", kExample});
    EXPECT_FALSE(Contains(quiet.err, "kmp.serial")) << quiet.err;
}

}  // namespace
}  // namespace kmp::test
