#include "HandOver.h"

#include <QMetaObject>

namespace kmp {

void HandOver::RunOnMainThread(QObject* receiver, std::function<void()> job) {
    std::unique_lock lock(mutex_);
    job_ = std::move(job);
    jobQueued_ = true;
    jobDone_ = false;
    jobError_ = nullptr;
    changed_.notify_all();
    // Posted under the lock: whoever takes the lock later also sees the
    // queued call (and may free it) after it was made.
    QMetaObject::invokeMethod(receiver, "RunQueued", Qt::QueuedConnection);
    changed_.wait(lock, [this] { return jobDone_ || stopInsideJob_; });
    if (jobError_) std::rethrow_exception(std::exchange(jobError_, nullptr));
}

void HandOver::Post(QObject* receiver, std::function<void()> job) {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(job));
    QMetaObject::invokeMethod(receiver, "RunPosted", Qt::QueuedConnection);
}

void HandOver::RunPosted() {
    std::unique_lock lock(mutex_);
    std::deque<std::function<void()>> jobs;
    jobs.swap(posted_);
    lock.unlock();
    for (const auto& job : jobs) job();
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

void HandOver::SendToWindow(int code, const std::function<void()>& post) {
    std::unique_lock lock(mutex_);
    const std::uint64_t ticket = ++windowPosted_;
    windowMessages_.emplace_back(code, ticket);
    post();  // under the lock, as in RunOnMainThread
    windowQueued_ = ticket;
    changed_.notify_all();
    changed_.wait(lock, [&] { return windowReleased_ >= ticket || stopInsideJob_; });
}

bool HandOver::TakeWindowMessage(int& code) {
    std::lock_guard lock(mutex_);
    if (windowMessages_.empty()) return false;
    code = windowMessages_.front().first;
    windowReleased_ = windowMessages_.front().second;
    windowMessages_.pop_front();
    changed_.notify_all();
    return true;
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
