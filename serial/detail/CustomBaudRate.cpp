// A baud rate outside the standard list, through termios2 (BOTHER). Kept in
// a file of its own: the kernel's termios headers clash with <termios.h>.
#include <asm/ioctls.h>
#include <asm/termbits.h>

#include <cerrno>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace kmp {

namespace {

// The ioctl, again while a signal interrupts it; 0 or errno.
int Control(int fd, unsigned long request, struct termios2* t) {
    while (ioctl(fd, request, t) != 0)
        if (errno != EINTR) return errno;
    return 0;
}

}  // namespace

int SetCustomBaudRate(int fd, unsigned rate) {
    struct termios2 t {};
    if (const int error = Control(fd, TCGETS2, &t)) return error;
    t.c_cflag &= ~static_cast<tcflag_t>(CBAUD);
    t.c_cflag |= BOTHER;
    t.c_ispeed = rate;
    t.c_ospeed = rate;
    return Control(fd, TCSETS2, &t);
}

}  // namespace kmp
