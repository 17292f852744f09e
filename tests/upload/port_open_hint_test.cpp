// The log line that explains a port that could not be opened.
#include "port_open_hint.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kmp {
namespace {

std::string PermissionHint(const std::string& path, const std::string& group) {
    return "Nemáte oprávnenie otvoriť zariadenie " + path + ". Na Debiane sa pridajte do skupiny " +
           group + ", ktorá ho vlastní (sudo usermod -aG " + group +
           " $USER), potom sa odhláste a znova prihláste.";
}

TEST(PortOpenHint, OneLineForEachMendableFailure) {
    const std::string busy =
        "Port /dev/ttyUSB0 práve používa iný program. Zatvorte ho a skúste znovu.";
    const struct {
        const char* port;
        int error;
        std::string hint;
    } cases[] = {
        {"ttyUSB0", EBUSY, busy},
        {"ttyUSB0", EAGAIN, busy},
        {"/dev/pts/7", EAGAIN,
         "Port /dev/pts/7 práve používa iný program. Zatvorte ho a skúste znovu."},
        {"ttyNOSUCH9", EACCES, PermissionHint("/dev/ttyNOSUCH9", "dialout")},
        {"ttyNOSUCH9", EPERM, PermissionHint("/dev/ttyNOSUCH9", "dialout")},
        {"ttyUSB0", ENOENT, ""},
        {"ttyUSB0", EIO, ""},
        {"ttyUSB0", -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.port) + " " + std::to_string(c.error));
        EXPECT_EQ(PortOpenHint(c.port, c.error), c.hint);
    }
}

TEST(PortOpenHint, NamesTheGroupThatOwnsTheDevice) {
    const group* tty = getgrnam("tty");
    if (tty == nullptr || geteuid() != 0) GTEST_SKIP() << "needs the tty group and root";
    char path[] = "/tmp/kmp_hint_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(chown(path, 0, tty->gr_gid), 0);
    EXPECT_EQ(PortOpenHint(path, EACCES), PermissionHint(path, "tty"));
    std::remove(path);
}

TEST(PortOpenHint, DevicePathOfAPortName) {
    EXPECT_EQ(PortDevicePath("ttyS1"), "/dev/ttyS1");
    EXPECT_EQ(PortDevicePath("/dev/pts/3"), "/dev/pts/3");
}

}  // namespace
}  // namespace kmp
