// Reads a descriptor's output speed in baud through termios2.
#pragma once

namespace kmp::test {
unsigned OutputSpeed(int fd);
}
