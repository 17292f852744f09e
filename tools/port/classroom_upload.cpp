#include "classroom_upload.h"

#include "printable_name.h"

#include "run.h"
#include "stop_signal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>

namespace kmpc {
namespace {

// One child upload as the parent sees it.
struct Board {
    std::string port;
    pid_t pid = -1;
    int logFd = -1;       // the read end of the child's standard error
    std::string pending;  // the start of a line not ended yet
};

void PrintLine(std::FILE* err, const std::string& port, const std::string& line) {
    // A name with control characters stays one line's prefix.
    std::fprintf(err, "%s: %s\n", PrintableName(port).c_str(), line.c_str());
}

// The child: standard error into the pipe, one upload, no return.
[[noreturn]] void RunChild(const std::vector<Board>& boards, std::size_t index, int writeFd,
                           pid_t parent, const PortUpload& upload) {
    // An upload whose kmpc was stopped ends with it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(kExitPortFailed);
    for (std::size_t i = 0; i < index; ++i) close(boards[i].logFd);
    while (dup2(writeFd, STDERR_FILENO) < 0 && errno == EINTR) {
    }
    close(writeFd);
    int status = kExitPortFailed;
    try {
        status = upload(boards[index].port);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kmpc: %s\n", error.what());
    }
    std::fflush(stderr);
    _exit(status);
}

// Starts the child of `boards[index]`; false (with a line) when it cannot.
bool StartChild(std::vector<Board>& boards, std::size_t index, const PortUpload& upload,
                std::FILE* err) {
    Board& board = boards[index];
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        PrintLine(err, board.port,
                  std::string("kmpc: cannot start the upload: ") + std::strerror(errno));
        return false;
    }
    const pid_t parent = getpid();
    board.pid = fork();
    if (board.pid == 0) {
        close(fds[0]);
        RunChild(boards, index, fds[1], parent, upload);
    }
    const int forkError = errno;
    close(fds[1]);
    if (board.pid < 0) {
        close(fds[0]);
        PrintLine(err, board.port,
                  std::string("kmpc: cannot start the upload: ") + std::strerror(forkError));
        return false;
    }
    board.logFd = fds[0];
    return true;
}

// Reads what is there from a board's pipe and prints its complete lines;
// at the end of the pipe, also an unfinished last line.
void ReadLog(Board& board, std::FILE* err) {
    char buffer[4096];
    ssize_t n;
    do {
        n = read(board.logFd, buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        board.pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = board.pending.find('\n')) != std::string::npos;) {
            PrintLine(err, board.port, board.pending.substr(0, end));
            board.pending.erase(0, end + 1);
        }
        std::fflush(err);
        return;
    }
    if (!board.pending.empty()) PrintLine(err, board.port, board.pending);
    std::fflush(err);
    close(board.logFd);
    board.logFd = -1;
}

// Hands a stop signal that reached kmpc on to every child. On Ctrl+C the
// children have it already; they take a second one as the same stop.
void ForwardStop(const std::vector<Board>& boards, int signal) {
    for (const Board& board : boards)
        if (board.pid > 0) kill(board.pid, signal);
}

// Prints the lines of every board until all pipes are closed; returns the
// stop signal that came meanwhile, or 0.
int GatherLogs(std::vector<Board>& boards, std::FILE* err, int stopFd) {
    int stopped = 0;
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<Board*> open;
        for (Board& board : boards) {
            if (board.logFd < 0) continue;
            fds.push_back({board.logFd, POLLIN, 0});
            open.push_back(&board);
        }
        if (fds.empty()) return stopped;
        fds.push_back({stopFd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            // Only without memory: read on, one blocking read a pipe.
            for (Board* board : open) ReadLog(*board, err);
            continue;
        }
        for (std::size_t i = 0; i < open.size(); ++i)
            if (fds[i].revents != 0) ReadLog(*open[i], err);
        if (fds.back().revents == 0) continue;
        if (const int signal = ReadStopSignal(stopFd); signal != 0) {
            if (stopped == 0) stopped = signal;
            ForwardStop(boards, signal);
        }
    }
}

// True when the board's child ended with status 0.
bool Received(const Board& board, std::FILE* err) {
    if (board.pid < 0) return false;
    int status = 0;
    while (waitpid(board.pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    if (WIFSIGNALED(status)) {
        PrintLine(err, board.port,
                  "kmpc: the upload ended by signal " + std::to_string(WTERMSIG(status)));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == kExitOk;
}

}  // namespace

std::string SummaryLine(int received, int total) {
    return std::to_string(received) + " of " + std::to_string(total) +
           " boards received the program";
}

int UploadToEach(const std::vector<std::string>& ports, const PortUpload& upload, std::FILE* err) {
    std::fflush(stdout);
    std::fflush(err);
    std::vector<Board> boards;
    for (const std::string& port : ports) boards.push_back({port, -1, -1, {}});
    for (std::size_t i = 0; i < boards.size(); ++i) StartChild(boards, i, upload, err);
    // Opened after the forks, so that no child holds it; a signal that came
    // before is pending and read all the same. Without one (-1) poll skips it.
    const int stopFd = OpenStopSignals();
    const int stopped = GatherLogs(boards, err, stopFd);
    if (stopFd >= 0) close(stopFd);
    int received = 0;
    for (const Board& board : boards)
        if (Received(board, err)) ++received;
    std::fprintf(err, "%s\n", SummaryLine(received, static_cast<int>(boards.size())).c_str());
    std::fflush(err);
    if (stopped != 0) return ExitStatusOfStop(stopped);
    return received == static_cast<int>(boards.size()) ? kExitOk : kExitPortFailed;
}

}  // namespace kmpc
