// The hand-over of work from the event thread to the port's thread.
//
// The event thread queues a job and waits until the port's thread has run
// it. The port's thread runs queued jobs from its event loop and, while it
// waits for the event thread to end, in that wait (see WaitForEnd), so that a
// waiting event thread never blocks Close.
#pragma once

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace kmp {

class HandOver : public std::enable_shared_from_this<HandOver> {
public:
    // Event thread: runs `job` on the thread of `receiver` (a
    // HandOverReceiver) and waits until it has run; rethrows what escaped
    // the job. Returns early without running the job once a stop was
    // requested from inside a job.
    void RunOnMainThread(QObject* receiver, std::function<void()> job);
    // Port's thread: runs the queued job, if any.
    void RunQueued();
    // Event thread: runs `job` later on the thread of `receiver`, without
    // waiting for it. As with RunOnMainThread the queued call carries no
    // data: the job waits here, taken under the lock. A receiver freed
    // before drops the call.
    void Post(QObject* receiver, std::function<void()> job);
    // Port's thread: runs the posted jobs.
    void RunPosted();

    // Event thread: queues the window message `code`; `post` wakes the
    // window. Waits until the window has taken the message.
    void SendToWindow(int code, const std::function<void()>& post);
    // Port's thread: takes the next window message and releases its sender.
    bool TakeWindowMessage(int& code);

    // Event thread: its run has ended.
    void MarkEnded();

    // Port's thread: waits until the event thread has ended, meanwhile
    // running queued jobs and letting `deliverWindowMessages` hand queued
    // window messages to the window.
    void WaitForEnd(const std::function<void()>& deliverWindowMessages);

private:
    friend class ComPortTestPeer;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool jobQueued_ = false;
    bool jobRunning_ = false;
    bool jobDone_ = false;
    std::exception_ptr jobError_;
    std::deque<std::function<void()>> posted_;
    bool stopInsideJob_ = false;
    std::deque<std::pair<int, std::uint64_t>> windowMessages_;
    std::uint64_t windowPosted_ = 0;
    std::uint64_t windowQueued_ = 0;
    std::uint64_t windowReleased_ = 0;
    bool ended_ = false;
};

// Runs the queued or posted jobs of a HandOver when the queued call reaches
// it. The call carries no data of its own: the jobs are taken from the
// HandOver under its lock.
class HandOverReceiver : public QObject {
    Q_OBJECT

public:
    explicit HandOverReceiver(std::weak_ptr<HandOver> handOver) : handOver_(std::move(handOver)) {}

    // True while its slot runs (a reaction may close the port meanwhile).
    bool Running() const { return running_; }

public slots:
    void RunQueued() { Run(&HandOver::RunQueued); }
    void RunPosted() { Run(&HandOver::RunPosted); }

private:
    void Run(void (HandOver::*run)()) {
        auto handOver = handOver_.lock();
        if (!handOver) return;
        running_ = true;
        struct Done {
            bool& running;
            ~Done() { running = false; }
        } done{running_};
        ((*handOver).*run)();
    }

    std::weak_ptr<HandOver> handOver_;
    bool running_ = false;
};

}  // namespace kmp
