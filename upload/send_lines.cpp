#include "send_lines.h"

#include "ComTypes.h"
#include "upload_texts.h"

#include <algorithm>
#include <cstdio>

namespace kmp {

namespace {

std::string Counts(int written, int total) {
    return std::to_string(written) + " z " + std::to_string(total) + " bajtov";
}

// Seconds in Slovak writing with one decimal: "3,5".
std::string SlovakTenths(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::max(seconds, 0.0));
    std::string result(text);
    std::replace(result.begin(), result.end(), '.', ',');
    return result;
}

}  // namespace

std::string SendEndLine(const WriteOutcome& outcome, bool handshake) {
    const std::string counts = Counts(outcome.Written, outcome.Total);
    switch (outcome.End) {
    case weCompleted: return {};
    case weCancelled: return kSendCancelledPrefix + counts + ".";
    case weTimedOut:
        // With the handshake the board holds the sending back through CTS;
        // without it only the line itself can have left the bytes untaken.
        return kShortWritePrefix + counts + ": " +
               (handshake ? kShortWriteByBoard : kShortWriteByLine);
    case weFailed: return kShortWritePrefix + counts + ": " + kShortWriteByFailure;
    }
    return {};
}

SendProgress ProgressOf(const WriteStatus& status, WriteStatus::Clock::time_point now) {
    const double secondsPerByte = std::chrono::duration<double>(kLineByteTime).count();
    SendProgress progress;
    progress.running = status.Running;
    progress.written = status.Written;
    progress.total = status.Total;
    progress.percent = status.Total > 0 ? status.Written * 100 / status.Total : 0;
    progress.secondsLeft = (status.Total - status.Written) * secondsPerByte;
    progress.boardNotReady =
        status.Running && status.Held && now - status.HeldSince > std::chrono::seconds(1);
    return progress;
}

std::string ProgressText(const SendProgress& progress) {
    const std::string counts = Counts(progress.written, progress.total);
    if (!progress.running) return counts;
    if (progress.boardNotReady) return kBoardNotReadyPrefix + counts;
    return counts + ", zostáva " + SlovakTenths(progress.secondsLeft) + " s";
}

}  // namespace kmp
