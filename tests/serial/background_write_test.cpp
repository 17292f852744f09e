// WriteInBackground, WriteProgress, CancelWrite and OnLineLost over the
// virtual controller and pseudo-terminals.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QTimer>

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

#include "serial_test_support.h"

namespace kmp {
namespace {

using test::Eventually;
using test::Pty;
using Bytes = std::vector<std::uint8_t>;

// A fast board: 2 ms a byte, so that a frame takes about a quarter second.
constexpr std::chrono::milliseconds kFastByte{2};

Bytes Frame(std::size_t size) {
    Bytes frame{0x80, 0xFE};
    for (std::size_t i = 2; i + 1 < size; ++i) frame.push_back(static_cast<std::uint8_t>(i * 37));
    frame.push_back(0xFF);
    return frame;
}

// The far end of the line.
class Peer {
public:
    virtual ~Peer() = default;
    virtual void Attach(TComPort& port) = 0;
    // Every byte that has arrived so far.
    virtual Bytes Arrived() = 0;
    // Pulls the plug or closes the pseudo-terminal's master.
    virtual void Vanish() = 0;
    // From now on the far end takes the bytes (a pseudo-terminal's master
    // reads nothing until then, so that a large write stays blocked).
    virtual void StartReading() {}
};

class BoardPeer : public Peer {
public:
    explicit BoardPeer(std::chrono::nanoseconds byteTime = kFastByte)
        : board(std::make_shared<VirtualController>(byteTime)) {}
    void Attach(TComPort& port) override {
        port.SetVirtualController(board);
        port.SetPort("sim");
    }
    Bytes Arrived() override { return board->ReceivedBytes(); }
    void Vanish() override { board->Unplug(); }
    std::shared_ptr<VirtualController> board;
};

// The test holds the master; a thread of its own reads it and, with echo,
// sends every byte back.
class PtyPeer : public Peer {
public:
    explicit PtyPeer(bool echo, bool readAtOnce) : echo_(echo), reading_(readAtOnce) {
        thread_ = std::thread([this] { Run(); });
    }
    ~PtyPeer() override {
        stop_ = true;
        thread_.join();
    }
    void Attach(TComPort& port) override { port.SetPort(pty_.path()); }
    Bytes Arrived() override {
        std::lock_guard lock(mutex_);
        return arrived_;
    }
    void Vanish() override {
        stop_ = true;
        thread_.join();
        pty_.CloseMaster();
        thread_ = std::thread([] {});
    }
    void StartReading() override { reading_ = true; }

private:
    void Run() {
        std::uint8_t buffer[4096];
        while (!stop_) {
            pollfd p{pty_.master(), POLLIN, 0};
            if (!reading_ || poll(&p, 1, 20) <= 0) {
                if (!reading_) usleep(20000);
                continue;
            }
            const ssize_t n = read(pty_.master(), buffer, sizeof buffer);
            if (n <= 0) continue;
            {
                std::lock_guard lock(mutex_);
                arrived_.insert(arrived_.end(), buffer, buffer + n);
            }
            if (echo_) pty_.WriteAtMaster(Bytes(buffer, buffer + n));
        }
    }

    Pty pty_;
    const bool echo_;
    std::atomic<bool> reading_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    Bytes arrived_;
    std::thread thread_;
};

// A port on a peer, with the window's time limits, which logs its echo,
// the done reports and the lost line in order.
class Line {
public:
    explicit Line(std::unique_ptr<Peer> p) : peer(std::move(p)) {
        peer->Attach(port);
        port.Timeouts().SetWriteTotalMultiplier(10000);
        port.Timeouts().SetWriteTotalConstant(10000);
        port.OnRxChar = [this](QObject*, int) {
            std::string text;
            port.ReadString(text, 128);
            echoed.insert(echoed.end(), text.begin(), text.end());
            log.emplace_back("rx");
        };
        port.OnLineLost = [this](QObject* sender) {
            EXPECT_EQ(sender, &port);
            log.emplace_back("lost");
        };
        port.Open();
    }
    // Starts a background write that logs its end and keeps its outcome.
    void Start(const Bytes& data) {
        port.WriteInBackground(data, [this](const WriteOutcome& o) {
            outcomes.push_back(o);
            log.emplace_back("done");
        });
    }
    bool WaitForDone(std::size_t count = 1) {
        return Eventually([&] { return outcomes.size() >= count; }, 10000);
    }

    std::unique_ptr<Peer> peer;
    TComPort port;
    Bytes echoed;
    std::vector<std::string> log;
    std::vector<WriteOutcome> outcomes;
};

struct PeerCase {
    const char* name;
    std::function<std::unique_ptr<Peer>()> make;
};

const PeerCase kEchoPeers[] = {
    {"board", [] { return std::make_unique<BoardPeer>(); }},
    {"pty", [] { return std::make_unique<PtyPeer>(true, true); }},
};

int ErrorCode(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const EComPort& e) {
        return e.ErrorCode() * 1000 + e.SystemError();
    } catch (...) {
        return -1;
    }
}

TEST(BackgroundWrite, FrameGoesOutAsWithWriteWhileTheLoopRuns) {
    const Bytes frame = Frame(132);
    for (const auto& c : kEchoPeers) {
        SCOPED_TRACE(c.name);
        Line line(c.make());
        ASSERT_EQ(line.port.Write(frame.data(), 132), 132);
        ASSERT_TRUE(Eventually([&] { return line.echoed.size() == 132; }));
        const Bytes bySyncWrite = line.peer->Arrived();
        ASSERT_EQ(bySyncWrite, frame);
        line.echoed.clear();
        line.log.clear();

        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(5);
        std::vector<int> progress;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout,
                         [&] { progress.push_back(line.port.WriteProgress().Written); });
        poll.start(10);
        line.Start(frame);
        const WriteStatus first = line.port.WriteProgress();
        EXPECT_TRUE(first.Running);
        EXPECT_EQ(first.Total, 132);
        EXPECT_LE(first.Written, 132);
        ASSERT_TRUE(line.WaitForDone());
        const int ticksAtDone = ticks;
        ASSERT_TRUE(Eventually([&] { return line.echoed.size() == 132; }));
        EXPECT_EQ(line.echoed, frame);
        Bytes twice = frame;
        twice.insert(twice.end(), frame.begin(), frame.end());
        EXPECT_EQ(line.peer->Arrived(), twice);
        ASSERT_EQ(line.outcomes.size(), 1u);
        EXPECT_EQ(line.outcomes[0].End, weCompleted);
        EXPECT_EQ(line.outcomes[0].Written, 132);
        EXPECT_EQ(line.outcomes[0].Total, 132);
        EXPECT_FALSE(line.outcomes[0].Error);
        const WriteStatus after = line.port.WriteProgress();
        EXPECT_FALSE(after.Running);
        EXPECT_EQ(after.Written, 132);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        if (std::string(c.name) == "board") {
            // 132 bytes of 2 ms: the loop ran and echoes came before the end.
            EXPECT_GT(ticksAtDone, 2);
            EXPECT_EQ(line.log.front(), "rx");
            EXPECT_GT(progress.size(), 3u);
            EXPECT_GT(progress[progress.size() / 2], 0);
            EXPECT_LT(progress.front(), 132);
        }
        line.port.Close();
    }
}

TEST(BackgroundWrite, CancelInTheMiddleStopsWithTheExactCount) {
    struct Case {
        const char* name;
        std::function<std::unique_ptr<Peer>()> make;
        std::size_t size;
    };
    // A pseudo-terminal takes some kilobytes at once: 256 KiB that nobody
    // reads keep the write blocked with part of them taken.
    const Case cases[] = {
        {"board", [] { return std::make_unique<BoardPeer>(std::chrono::milliseconds(10)); }, 132},
        {"pty", [] { return std::make_unique<PtyPeer>(false, false); }, 256 * 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Line line(c.make());
        const Bytes data = Frame(c.size);
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(5);
        line.Start(data);
        ASSERT_TRUE(Eventually([&] { return line.port.WriteProgress().Written > 10; }));
        ASSERT_TRUE(Eventually([&] { return ticks > 3; }));  // the loop goes on meanwhile
        line.port.CancelWrite();
        line.port.CancelWrite();  // twice: harmless
        ASSERT_TRUE(line.WaitForDone());
        const WriteOutcome o = line.outcomes[0];
        EXPECT_EQ(o.End, weCancelled);
        EXPECT_EQ(o.Total, static_cast<int>(c.size));
        EXPECT_GT(o.Written, 10);
        EXPECT_LT(o.Written, o.Total);
        line.peer->StartReading();
        ASSERT_TRUE(Eventually(
            [&] { return line.peer->Arrived().size() >= static_cast<std::size_t>(o.Written); }));
        QTest::qWait(100);  // nothing more comes
        EXPECT_EQ(line.peer->Arrived(), Bytes(data.begin(), data.begin() + o.Written));
        EXPECT_EQ(line.port.WriteProgress().Written, o.Written);
        EXPECT_FALSE(line.port.WriteProgress().Running);

        // The port goes on: a new write works.
        const Bytes more{1, 2, 3};
        line.Start(more);
        ASSERT_TRUE(line.WaitForDone(2));
        EXPECT_EQ(line.outcomes[1].End, weCompleted);
        ASSERT_TRUE(Eventually([&] {
            return line.peer->Arrived().size() == static_cast<std::size_t>(o.Written) + 3;
        }));
        const Bytes arrived = line.peer->Arrived();
        EXPECT_EQ(Bytes(arrived.end() - 3, arrived.end()), more);
        line.port.Close();
        EXPECT_EQ(line.outcomes.size(), 2u);
    }
}

TEST(BackgroundWrite, CtsHeldOffShowsInTheProgressAndCancels) {
    auto peer = std::make_unique<BoardPeer>();
    auto board = peer->board;
    Line line(std::move(peer));
    line.port.FlowControl().SetOutCTSFlow(true);
    board->SetCTS(false);
    const auto start = WriteStatus::Clock::now();
    line.Start(Frame(132));
    ASSERT_TRUE(Eventually([&] { return line.port.WriteProgress().Held; }));
    WriteStatus held = line.port.WriteProgress();
    EXPECT_TRUE(held.Running);
    EXPECT_EQ(held.Written, 0);
    EXPECT_GE(held.HeldSince, start);
    EXPECT_LE(held.HeldSince, WriteStatus::Clock::now());
    // CTS on: the bytes go; off again: held again, with a later start.
    board->SetCTS(true);
    ASSERT_TRUE(Eventually([&] {
        const WriteStatus s = line.port.WriteProgress();
        return !s.Held && s.Written > 5;
    }));
    board->SetCTS(false);
    ASSERT_TRUE(Eventually([&] { return line.port.WriteProgress().Held; }));
    EXPECT_GT(line.port.WriteProgress().HeldSince, held.HeldSince);
    QTest::qWait(50);  // a byte already on the wire still arrives
    held = line.port.WriteProgress();
    QTest::qWait(50);
    EXPECT_EQ(line.port.WriteProgress().Written, held.Written);  // nothing leaves meanwhile
    line.port.CancelWrite();
    ASSERT_TRUE(line.WaitForDone());
    EXPECT_EQ(line.outcomes[0].End, weCancelled);
    EXPECT_EQ(line.outcomes[0].Written, held.Written);
    EXPECT_EQ(board->ReceivedBytes().size(), static_cast<std::size_t>(held.Written));
    EXPECT_FALSE(line.port.WriteProgress().Held);
    line.port.Close();
}

TEST(BackgroundWrite, TimeLimitEndsAHeldWriteShort) {
    auto peer = std::make_unique<BoardPeer>();
    auto board = peer->board;
    Line line(std::move(peer));
    line.port.FlowControl().SetOutCTSFlow(true);
    line.port.Timeouts().SetWriteTotalMultiplier(0);
    line.port.Timeouts().SetWriteTotalConstant(50);
    board->SetCTS(false);
    line.Start(Frame(132));
    ASSERT_TRUE(line.WaitForDone());
    EXPECT_EQ(line.outcomes[0].End, weTimedOut);
    EXPECT_EQ(line.outcomes[0].Written, 0);
    EXPECT_EQ(line.outcomes[0].Total, 132);
}

TEST(BackgroundWrite, LostLineFiresOnLineLostOnceAndFailsTheWrite) {
    const PeerCase cases[] = {
        {"board", [] { return std::make_unique<BoardPeer>(); }},
        {"pty", [] { return std::make_unique<PtyPeer>(false, false); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Line line(c.make());
        line.Start(Frame(256 * 1024));
        ASSERT_TRUE(Eventually([&] { return line.port.WriteProgress().Written > 0; }));
        line.peer->Vanish();
        ASSERT_TRUE(Eventually([&] { return !line.log.empty() && line.log.back() == "lost"; }));
        QTest::qWait(100);           // and no second report
        std::erase(line.log, "rx");  // the board's echo
        EXPECT_EQ(line.log, (std::vector<std::string>{"done", "lost"}));
        EXPECT_EQ(line.outcomes[0].End, weFailed);
        EXPECT_EQ(ErrorCode(line.outcomes[0].Error), 2 * 1000 + EIO);
        // A failed write never counts the whole write, and counts what the
        // device took; the progress says the same.
        EXPECT_GT(line.outcomes[0].Written, 0);
        EXPECT_LT(line.outcomes[0].Written, line.outcomes[0].Total);
        EXPECT_EQ(line.port.WriteProgress().Written, line.outcomes[0].Written);
        EXPECT_TRUE(line.port.Connected());  // the window closes it
        try {
            line.port.Close();
            ADD_FAILURE() << "no exception";
        } catch (const EComPort& e) {
            EXPECT_EQ(e.ErrorCode(), 5);
        }
        EXPECT_FALSE(line.port.Connected());
    }
}

TEST(BackgroundWrite, LostLineWithoutAWriteAndNoneAfterClose) {
    {
        Line line(std::make_unique<BoardPeer>());
        line.peer->Vanish();
        ASSERT_TRUE(Eventually([&] { return !line.log.empty(); }));
        EXPECT_EQ(line.log, std::vector<std::string>{"lost"});
        EXPECT_THROW(line.port.Close(), EComPort);
    }
    Line line(std::make_unique<BoardPeer>());
    line.port.Close();
    QTest::qWait(50);
    EXPECT_TRUE(line.log.empty());  // a close is no lost line
}

TEST(BackgroundWrite, CloseDuringAWriteCancelsItAndLeavesNoThread) {
    const PeerCase cases[] = {
        {"board", [] { return std::make_unique<BoardPeer>(); }},
        {"pty", [] { return std::make_unique<PtyPeer>(false, false); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Line line(c.make());
        const int open = test::ThreadCount();
        line.Start(Frame(256 * 1024));
        EXPECT_EQ(test::ThreadCount(), open + 1);
        ASSERT_TRUE(Eventually([&] { return line.port.WriteProgress().Written > 0; }));
        line.port.Close();
        EXPECT_EQ(test::ThreadCount(), open - 1);
        ASSERT_EQ(line.outcomes.size(), 1u);  // reported inside Close
        EXPECT_EQ(line.outcomes[0].End, weCancelled);
        EXPECT_GT(line.outcomes[0].Written, 0);
        QTest::qWait(50);
        EXPECT_EQ(line.outcomes.size(), 1u);
    }
}

TEST(BackgroundWrite, AReactionThatFailsEndsTheEventsButNotTheWrite) {
    auto peer = std::make_unique<BoardPeer>();
    auto board = peer->board;
    Line line(std::move(peer));
    int failed = 0;
    line.port.OnRxChar = [&](QObject*, int) {
        ++failed;
        throw std::runtime_error("reaction failed");
    };
    const Bytes frame = Frame(132);
    line.Start(frame);
    ASSERT_TRUE(line.WaitForDone());
    EXPECT_EQ(failed, 1);  // the event thread ended there
    EXPECT_EQ(line.outcomes[0].End, weCompleted);
    EXPECT_EQ(board->ReceivedBytes(), frame);
    EXPECT_TRUE(std::find(line.log.begin(), line.log.end(), "lost") == line.log.end());
}

// Bytes that a pseudo-terminal took count as written: the close keeps them
// for the peer, who reads exactly the count reported.
TEST(BackgroundWrite, CloseDuringAWriteOnAPtyKeepsWhatItCounted) {
    auto peer = std::make_unique<PtyPeer>(false, false);
    PtyPeer& pty = *peer;
    Line line(std::move(peer));
    line.Start(Frame(256 * 1024));
    ASSERT_TRUE(Eventually([&] { return line.port.WriteProgress().Written > 0; }));
    line.port.Close();
    ASSERT_EQ(line.outcomes.size(), 1u);
    const std::size_t counted = static_cast<std::size_t>(line.outcomes[0].Written);
    pty.StartReading();
    EXPECT_TRUE(Eventually([&] { return pty.Arrived().size() >= counted; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(pty.Arrived().size(), counted);
}

// A reaction that fails with EIO on a healthy line ends the events, but the
// line is not lost: no OnLineLost, and Close succeeds.
TEST(BackgroundWrite, AReactionsEioOnAHealthyLineIsNoLostLine) {
    auto peer = std::make_unique<BoardPeer>();
    auto board = peer->board;
    Line line(std::move(peer));
    int failed = 0;
    line.port.OnRxChar = [&](QObject*, int) {
        ++failed;
        throw EComPort(CError_ReadFailed, EIO);
    };
    board->Send({1});
    ASSERT_TRUE(Eventually([&] { return failed == 1; }));
    QTest::qWait(100);
    EXPECT_TRUE(line.log.empty());
    EXPECT_NO_THROW(line.port.Close());
}

TEST(BackgroundWrite, RefusalsAndHarmlessCalls) {
    Line line(std::make_unique<BoardPeer>());
    line.port.CancelWrite();  // no write: nothing
    line.Start(Frame(132));
    const Bytes byte{7};
    struct Case {
        const char* name;
        std::function<void()> call;
    };
    const Case cases[] = {
        {"second background write", [&] { line.Start(byte); }},
        {"Write meanwhile", [&] { line.port.Write(byte.data(), 1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.call();
            ADD_FAILURE() << "no exception";
        } catch (const EComPort& e) {
            EXPECT_EQ(e.ErrorCode(), 2);
            EXPECT_EQ(e.SystemError(), EBUSY);
        }
    }
    ASSERT_TRUE(line.WaitForDone());
    line.port.CancelWrite();  // after the end: nothing
    EXPECT_EQ(line.outcomes[0].End, weCompleted);
    line.Start(byte);
    ASSERT_TRUE(line.WaitForDone(2));
    EXPECT_EQ(line.outcomes[1].End, weCompleted);
    EXPECT_EQ(line.outcomes.size(), 2u);
    line.port.Close();
    try {
        line.Start(byte);
        ADD_FAILURE() << "no exception";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorCode(), 2);
        EXPECT_EQ(e.SystemError(), EBADF);
    }
}

TEST(BackgroundWrite, SettingsChangedMeanwhileApplyAfterTheWrite) {
    auto peer = std::make_unique<BoardPeer>();
    auto board = peer->board;
    Line line(std::move(peer));
    line.Start(Frame(132));
    // CTS flow control chosen during the write is held back: CTS off does
    // not stop this write...
    line.port.FlowControl().SetOutCTSFlow(true);
    board->SetCTS(false);
    ASSERT_TRUE(line.WaitForDone());
    EXPECT_EQ(line.outcomes[0].End, weCompleted);
    EXPECT_EQ(line.outcomes[0].Written, 132);
    // ...but holds the next one.
    line.Start(Frame(132));
    ASSERT_TRUE(Eventually([&] { return line.port.WriteProgress().Held; }));
    line.port.CancelWrite();
    ASSERT_TRUE(line.WaitForDone(2));
    EXPECT_EQ(line.outcomes[1].End, weCancelled);
    EXPECT_EQ(line.outcomes[1].Written, 0);
}

}  // namespace
}  // namespace kmp
