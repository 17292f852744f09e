#include "run_process.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kmp::test {
namespace {

struct Pipe {
    int fd[2];
    Pipe() {
        if (pipe2(fd, O_CLOEXEC) != 0) throw std::runtime_error(std::strerror(errno));
    }
};

// Feeds `input` to `inFd` and drains `outFd` and `errFd` until both close.
void Exchange(int inFd, int outFd, int errFd, const std::string& input, ProcessResult& result) {
    std::size_t written = 0;
    if (input.empty()) {
        close(inFd);
        inFd = -1;
    }
    int open = 2;
    while (open > 0 || inFd >= 0) {
        pollfd fds[3] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}, {inFd, POLLOUT, 0}};
        if (poll(fds, 3, -1) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[65536];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                (i == 0 ? outFd : errFd) = -1;
                --open;
            }
        }
        if (inFd >= 0 && fds[2].revents != 0) {
            const ssize_t n = write(inFd, input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<std::size_t>(n);
            if (n <= 0 || written == input.size()) {
                close(inFd);
                inFd = -1;
            }
        }
    }
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input,
                         const std::vector<std::string>& extraEnv) {
    // A child that exits before reading its input must not kill the test.
    signal(SIGPIPE, SIG_IGN);
    Pipe in, out, err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.fd[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.fd[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err.fd[1], 2);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string_view entry(*e);
        const std::string_view name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& x : extraEnv)
            replaced = replaced || x.starts_with(std::string(name) + "=");
        if (!replaced) env.push_back(*e);
    }
    for (const std::string& e : extraEnv) env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in.fd[0]);
    close(out.fd[1]);
    close(err.fd[1]);
    ProcessResult result;
    if (rc != 0) {
        close(in.fd[1]);
        close(out.fd[0]);
        close(err.fd[0]);
        throw std::runtime_error(std::string("cannot start ") + argv[0] + ": " + std::strerror(rc));
    }
    Exchange(in.fd[1], out.fd[0], err.fd[0], input, result);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace kmp::test
