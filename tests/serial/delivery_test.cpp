// Event delivery: the three sync methods, the order of reactions in one
// batch, Close with reactions already handed over, and a reaction that fails.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <stdexcept>

#include "serial_test_support.h"

namespace kmp {
namespace {

using test::Bytes;
using test::Eventually;
using test::Pty;

TEST(DeliveryTest, ReactionsOfOneBatchRunInTheFixedOrder) {
    auto board = std::make_shared<VirtualController>();
    TComPort port;
    port.SetVirtualController(board);
    port.SetPort("sim");
    std::vector<std::string> lines;
    port.Open();
    port.OnRxChar = [&](QObject*, int count) {
        lines.push_back("RxChar(" + std::to_string(count) + ")");
    };
    port.OnDSRChange = [&](QObject*, bool on) {
        lines.push_back(std::string("DSR(") + (on ? "1" : "0") + ")");
    };
    board->Send(Bytes({1}));
    // The thread now waits for its first batch; the next events queue up.
    ASSERT_TRUE(ComPortTestPeer::WaitForQueuedHandOver(port, 5000));
    board->SetDSR(false);
    board->Send(Bytes({2}));
    ASSERT_TRUE(Eventually([&] { return lines.size() == 3; }));
    // The first reaction already sees both bytes waiting; the second batch
    // gives OnRxChar before OnDSRChange.
    EXPECT_EQ(lines, (std::vector<std::string>{"RxChar(2)", "RxChar(2)", "DSR(0)"}));
    port.Close();
}

// A handler that waits for a whole reply before it reads: every arrival of
// bytes raises evRxChar again, whatever is still waiting.
TEST(DeliveryTest, EveryArrivalIsReportedWhileEarlierBytesWait) {
    Pty pty;
    auto board = std::make_shared<VirtualController>();
    struct Line {
        const char* name;
        std::string port;
        std::function<void(const std::vector<std::uint8_t>&)> send;
    };
    const Line lines[] = {
        {"pty", pty.path(), [&](const std::vector<std::uint8_t>& b) { pty.WriteAtMaster(b); }},
        {"sim", "sim", [&](const std::vector<std::uint8_t>& b) { board->Send(b); }},
    };
    for (const Line& line : lines) {
        TComPort port;
        port.SetVirtualController(board);
        port.SetPort(line.port);
        std::vector<int> counts;
        std::string reply;
        port.OnRxChar = [&](QObject*, int count) {
            counts.push_back(count);
            if (count >= 5) port.ReadString(reply, 128);
        };
        port.Open();
        line.send(Bytes({1, 2, 3}));
        ASSERT_TRUE(Eventually([&] { return counts.size() == 1; })) << line.name;
        line.send(Bytes({4, 5}));
        ASSERT_TRUE(Eventually([&] { return !reply.empty(); })) << line.name;
        EXPECT_EQ(counts, (std::vector<int>{3, 5})) << line.name;
        EXPECT_EQ(reply, "\x01\x02\x03\x04\x05") << line.name;
        port.Close();
    }
}

TEST(DeliveryTest, CloseRunsReactionsHandedOverBeforeIt) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    std::vector<std::string> lines;
    port.Open();
    port.OnRxChar = [&](QObject*, int) {
        std::string text;
        port.ReadString(text, 128);
        lines.push_back(port.Connected() ? "RxChar(open)" : "RxChar(closed)");
    };
    port.OnBeforeClose = [&](QObject*) { lines.emplace_back("BeforeClose"); };
    port.OnAfterClose = [&](QObject*) { lines.emplace_back("AfterClose"); };
    pty.WriteAtMaster(std::vector<std::uint8_t>(4000, 0x55));
    ASSERT_TRUE(ComPortTestPeer::WaitForQueuedHandOver(port, 5000));
    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(lines, (std::vector<std::string>{"BeforeClose", "RxChar(open)", "AfterClose"}));
}

TEST(DeliveryTest, CloseRunsWindowMessagesQueuedBeforeIt) {
    auto board = std::make_shared<VirtualController>();
    TComPort port;
    port.SetVirtualController(board);
    port.SetPort("sim");
    port.SetSyncMethod(smWindowSync);
    std::vector<std::string> lines;
    port.Open();
    port.OnDSRChange = [&](QObject*, bool on) { lines.push_back(on ? "DSR(1)" : "DSR(0)"); };
    port.OnBeforeClose = [&](QObject*) { lines.emplace_back("BeforeClose"); };
    port.OnAfterClose = [&](QObject*) { lines.emplace_back("AfterClose"); };
    board->SetDSR(false);
    ASSERT_TRUE(ComPortTestPeer::WaitForQueuedHandOver(port, 5000));
    port.Close();
    // The queued message reaches the window inside Close, while still open.
    EXPECT_EQ(lines, (std::vector<std::string>{"DSR(0)", "BeforeClose", "DSR(0)", "AfterClose"}));
}

TEST(DeliveryTest, CloseFromInsideAReaction) {
    const int threadsBefore = test::ThreadCount();
    auto board = std::make_shared<VirtualController>();
    TComPort port;
    port.SetVirtualController(board);
    port.SetPort("sim");
    std::vector<bool> states;
    port.OnDSRChange = [&](QObject*, bool on) {
        states.push_back(on);
        if (!on) port.Close();  // also called again by Close itself
    };
    port.Open();
    board->SetDSR(false);
    ASSERT_TRUE(Eventually([&] { return !port.Connected(); }));
    EXPECT_EQ(states, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(test::ThreadCount(), threadsBefore);
    board->SetDSR(true);
    port.Open();  // a new thread, a new start
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(states.back(), true);
    port.OnDSRChange = nullptr;
}

TEST(DeliveryTest, CloseFromInsideAWindowReaction) {
    auto board = std::make_shared<VirtualController>();
    TComPort port;
    port.SetVirtualController(board);
    port.SetPort("sim");
    port.SetSyncMethod(smWindowSync);
    std::vector<bool> states;
    port.OnDSRChange = [&](QObject*, bool on) {
        states.push_back(on);
        if (!on) port.Close();
    };
    port.Open();
    board->SetDSR(false);
    ASSERT_TRUE(Eventually([&] { return !port.Connected(); }));
    EXPECT_EQ(states, (std::vector<bool>{true, false, false}));
    port.OnDSRChange = nullptr;
}

TEST(DeliveryTest, AFailingHandedOverReactionEndsTheThreadSilently) {
    Pty pty;
    const int threadsBefore = test::ThreadCount();
    TComPort port;
    port.SetPort(pty.path());
    int calls = 0;
    port.OnRxChar = [&](QObject*, int) {
        ++calls;
        throw std::runtime_error("reaction failed");
    };
    port.Open();
    pty.WriteAtMaster(Bytes({7}));
    ASSERT_TRUE(Eventually([&] { return test::ThreadCount() == threadsBefore; }));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(port.Connected());
    port.Close();  // works as usual
    EXPECT_FALSE(port.Connected());
}

TEST(DeliveryTest, WindowSyncReactsOnTheMainThreadAndShowsFailures) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    port.SetSyncMethod(smWindowSync);
    std::vector<std::string> shown;
    port.ShowException = [&](const std::exception& e) { shown.emplace_back(e.what()); };
    std::string text;
    bool onMainThread = true;
    port.OnRxChar = [&](QObject*, int) {
        onMainThread = onMainThread && QThread::currentThread() == qApp->thread();
        std::string got;
        port.ReadString(got, 128);
        text += got;
        if (got == "a") throw std::runtime_error("shown, not fatal");
    };
    port.Open();
    pty.WriteAtMaster(Bytes({'a'}));
    ASSERT_TRUE(Eventually([&] { return shown.size() == 1; }));
    EXPECT_EQ(shown[0], "shown, not fatal");
    pty.WriteAtMaster(Bytes({'b'}));
    ASSERT_TRUE(Eventually([&] { return text == "ab"; }));
    EXPECT_TRUE(onMainThread);
    port.Close();
}

TEST(DeliveryTest, SyncNoneReactsOnTheEventThread) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    port.SetSyncMethod(smNone);
    std::mutex mutex;
    std::vector<int> counts;
    bool onMainThread = false;
    port.OnRxChar = [&](QObject*, int count) {
        std::lock_guard lock(mutex);
        onMainThread = QThread::currentThread() == qApp->thread();
        counts.push_back(count);
    };
    port.Open();
    pty.WriteAtMaster(Bytes({1, 2, 3}));
    ASSERT_TRUE(Eventually([&] {
        std::lock_guard lock(mutex);
        return !counts.empty();
    }));
    port.Close();
    std::lock_guard lock(mutex);
    EXPECT_EQ(counts.front(), 3);
    EXPECT_FALSE(onMainThread);
}

TEST(DeliveryTest, BlockReaderTakesTheBytesInsteadOfOnRxChar) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    std::vector<std::string> lines;
    port.OnRxChar = [&](QObject*, int) { lines.emplace_back("RxChar"); };
    port.OnRxBuf = [&](QObject*, const std::uint8_t* data, int count) {
        lines.push_back("RxBuf(" +
                        std::string(reinterpret_cast<const char*>(data), std::size_t(count)) + ")");
    };
    TComLink first, plain, second;
    first.ReceivedBlockNotice = [&](TCustomComPort*, const std::uint8_t* data, int count) {
        lines.push_back("first(" +
                        std::string(reinterpret_cast<const char*>(data), std::size_t(count)) + ")");
    };
    plain.RxActivityNotice = [&](TCustomComPort*, bool on) {
        lines.push_back(on ? "rx(1)" : "rx(0)");
    };
    second.ReceivedBlockNotice = [&](TCustomComPort*, const std::uint8_t*, int count) {
        lines.push_back("second(" + std::to_string(count) + ")");
    };
    port.RegisterLink(&first);
    port.RegisterLink(&plain);
    port.RegisterLink(&second);
    port.Open();
    pty.WriteAtMaster(Bytes({'x', 'y'}));
    ASSERT_TRUE(Eventually([&] { return lines.size() >= 5; }));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"rx(1)", "rx(0)", "RxBuf(xy)", "first(xy)", "second(2)"}));
    port.Close();
    port.UnRegisterLink(&first);
    port.UnRegisterLink(&plain);
    port.UnRegisterLink(&second);
}

}  // namespace
}  // namespace kmp
