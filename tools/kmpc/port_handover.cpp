#include "port_handover.h"

#include <cerrno>
#include <climits>
#include <string>
#include <unistd.h>

namespace kmpc {

int ExecPortProgram(char** argv) {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return errno;
    std::string path(self, static_cast<std::size_t>(length));
    path.erase(path.rfind('/') + 1);
    path += kPortProgramName;
    execv(path.c_str(), argv);
    return errno;
}

}  // namespace kmpc
