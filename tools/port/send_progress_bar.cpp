#include "send_progress_bar.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace kmpc {
namespace {

constexpr int kBarWidth = 20;
constexpr std::chrono::milliseconds kRedrawEvery{150};

}  // namespace

std::string ProgressBarLine(const kmp::SendProgress& progress) {
    const int filled = std::clamp(progress.percent, 0, 100) * kBarWidth / 100;
    std::string percent = std::to_string(progress.percent);
    percent.insert(0, 3 - std::min<std::size_t>(percent.size(), 3), ' ');
    return "\r[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + "] " +
           percent + " %  " + kmp::ProgressText(progress);
}

SendProgressBar::SendProgressBar(std::FILE* err, std::function<kmp::WriteStatus()> status)
    : err_(err), status_(std::move(status)) {
    timer_.setInterval(kRedrawEvery);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Draw(); });
}

void SendProgressBar::Start() {
    timer_.start();
}

void SendProgressBar::Stop() {
    timer_.stop();
    Erase();
}

void SendProgressBar::PrintLine(const std::string& line) {
    Erase();
    std::fprintf(err_, "%s\n", line.c_str());
    std::fflush(err_);
}

void SendProgressBar::Draw() {
    const kmp::WriteStatus status = status_();
    if (!status.Running) return;
    // Cleared to the line's end: a shorter line leaves nothing of a longer one.
    std::fprintf(err_, "%s\033[K", ProgressBarLine(kmp::ProgressOf(status)).c_str());
    std::fflush(err_);
    drawn_ = true;
}

void SendProgressBar::Erase() {
    if (!drawn_) return;
    std::fputs("\r\033[K", err_);
    std::fflush(err_);
    drawn_ = false;
}

}  // namespace kmpc
