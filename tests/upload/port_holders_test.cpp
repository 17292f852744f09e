// Who holds a port: a child process with a pseudo-terminal open, a /proc of
// our own making with entries that point nowhere, and the hint's sentences.
#include "port_holders.h"
#include "port_open_hint.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace kmp {
namespace {

TEST(PortHolders, FindsTheChildThatHoldsAPseudoTerminal) {
    int master = -1, slave = -1;
    char name[64] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child keeps only the slave: it is the one holder besides us.
        dup2(slave, 0);
        close(ready[0]);
        (void)write(ready[1], "x", 1);
        execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    // exec has replaced the child's name once /proc says "sleep".
    std::vector<PortHolder> holders;
    for (int i = 0; i < 200; ++i) {
        holders = FindPortHolders(name);
        if (!holders.empty() && holders[0].name == "sleep") break;
        usleep(10000);
    }
    const std::string hint = PortOpenHint(name, EBUSY);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(slave);
    close(master);
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].pid, child);
    EXPECT_EQ(holders[0].name, "sleep");
    EXPECT_EQ(hint, "Port " + std::string(name) +
                        " práve používa iný program. Zatvorte ho a skúste znovu. Drží ho program "
                        "sleep (PID " +
                        std::to_string(child) + ").");
}

TEST(PortHolders, ProcEntriesThatPointNowhereOrAreNoProcess) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("kmp_proc_" + std::to_string(getpid()));
    fs::remove_all(root);
    char device[] = "/tmp/kmp_holder_XXXXXX";
    const int fd = mkstemp(device);
    ASSERT_GE(fd, 0);
    close(fd);
    fs::create_directories(root / "12" / "fd");
    fs::create_directories(root / "7" / "fd");
    fs::create_directories(root / "self" / "fd");
    fs::create_directories(root / "40");  // ended: no fd folder left
    fs::create_symlink(device, root / "12" / "fd" / "3");
    fs::create_symlink(device, root / "12" / "fd" / "4");  // held twice, listed once
    fs::create_symlink("/nowhere/at/all", root / "7" / "fd" / "0");
    fs::create_symlink(device, root / "self" / "fd" / "1");
    std::ofstream(root / "12" / "comm") << "ModemManager\n";
    const std::vector<PortHolder> holders = FindPortHolders(device, root.string());
    fs::remove_all(root);
    std::remove(device);
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].pid, 12);
    EXPECT_EQ(holders[0].name, "ModemManager");
    EXPECT_TRUE(FindPortHolders("/dev/kmp-no-such-device").empty());
}

TEST(PortHolders, SentencesNameTheProgramAndTheRemedy) {
    const struct {
        std::vector<PortHolder> holders;
        std::string text;
    } cases[] = {
        {{}, ""},
        {{{812, "minicom"}}, " Drží ho program minicom (PID 812)."},
        {{{600, "ModemManager"}},
         " Drží ho program ModemManager (PID 600). ModemManager skúša sériové porty ako modemy: "
         "pravidlo udev s ENV{ID_MM_DEVICE_IGNORE}=\"1\" pre tento prevodník mu to zakáže."},
        {{{5, "brltty"}},
         " Drží ho program brltty (PID 5). brltty zaberá USB prevodníky: ak nepoužívate Braillov "
         "riadok, odstráňte ho (sudo apt remove brltty)."},
    };
    for (const auto& c : cases) EXPECT_EQ(PortHolderSentences(c.holders), c.text);
}

}  // namespace
}  // namespace kmp
