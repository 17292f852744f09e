#include "HandOver.h"

#include <QMetaObject>

namespace kmp {

void HandOver::RunOnMainThread(QObject* context, std::function<void()> job) {
    std::unique_lock lock(mutex_);
    job_ = std::move(job);
    jobQueued_ = true;
    jobDone_ = false;
    jobError_ = nullptr;
    changed_.notify_all();
    lock.unlock();
    std::weak_ptr<HandOver> self = weak_from_this();
    QMetaObject::invokeMethod(
        context,
        [self] {
            if (auto handOver = self.lock()) handOver->RunQueued();
        },
        Qt::QueuedConnection);
    lock.lock();
    changed_.wait(lock, [this] { return jobDone_ || stopInsideJob_; });
    if (jobError_) std::rethrow_exception(std::exchange(jobError_, nullptr));
}

void HandOver::RunQueued() {
    std::unique_lock lock(mutex_);
    if (!jobQueued_) return;
    jobQueued_ = false;
    jobRunning_ = true;
    auto job = std::move(job_);
    lock.unlock();
    std::exception_ptr error;
    try {
        job();
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    jobRunning_ = false;
    jobError_ = error;
    jobDone_ = true;
    changed_.notify_all();
}

void HandOver::SendToWindow(const std::function<void(std::uint64_t)>& post) {
    std::unique_lock lock(mutex_);
    const std::uint64_t ticket = ++windowPosted_;
    lock.unlock();
    post(ticket);
    lock.lock();
    windowQueued_ = ticket;
    changed_.notify_all();
    changed_.wait(lock, [&] { return windowReleased_ >= ticket || stopInsideJob_; });
}

void HandOver::ReleaseSender(std::uint64_t ticket) {
    std::lock_guard lock(mutex_);
    if (ticket > windowReleased_) windowReleased_ = ticket;
    changed_.notify_all();
}

bool HandOver::WaitUntilQueued(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return jobQueued_ || ended_; }) && jobQueued_;
}

void HandOver::MarkEnded() {
    std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
}

void HandOver::WaitForEnd(const std::function<void()>& deliverWindowMessages) {
    // Keeps this object alive while a queued job below may close the port.
    auto keepAlive = shared_from_this();
    std::unique_lock lock(mutex_);
    if (jobRunning_) {
        // Close from inside a reaction: the thread may not wait for it.
        stopInsideJob_ = true;
        changed_.notify_all();
    }
    while (!ended_) {
        if (jobQueued_) {
            lock.unlock();
            RunQueued();
            lock.lock();
        } else if (windowQueued_ > windowReleased_) {
            lock.unlock();
            deliverWindowMessages();
            lock.lock();
        } else {
            changed_.wait(lock);
        }
    }
}

}  // namespace kmp
