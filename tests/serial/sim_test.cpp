// The virtual controller on the port "sim": lines, echo, timing and unplug.
#include <gtest/gtest.h>

#include <chrono>

#include "serial_test_support.h"

namespace kmp {
namespace {

using test::Bytes;
using test::Eventually;

class SimTest : public ::testing::Test {
protected:
    SimTest() {
        port.SetVirtualController(board);
        port.SetPort("sim");
        port.SetBaudRate(br300);
        port.SetStopBits(sbTwoStopBits);
        port.Timeouts().SetReadTotalMultiplier(10000);
        port.Timeouts().SetReadTotalConstant(10000);
        port.Timeouts().SetWriteTotalMultiplier(10000);
        port.Timeouts().SetWriteTotalConstant(10000);
        port.OnRxChar = [this](QObject*, int) {
            std::string text;
            port.ReadString(text, 128);
            echoed.insert(echoed.end(), text.begin(), text.end());
        };
    }
    std::shared_ptr<VirtualController> board = std::make_shared<VirtualController>();
    TComPort port;
    std::vector<std::uint8_t> echoed;
};

TEST_F(SimTest, DsrChangesReachOnDSRChangeInOrder) {
    std::vector<bool> states;
    port.OnDSRChange = [&](QObject* sender, bool on) {
        EXPECT_EQ(sender, &port);
        states.push_back(on);
    };
    port.Open();
    EXPECT_EQ(states, std::vector<bool>{true});  // the reading inside Open
    for (bool on : {false, true, false}) {
        board->SetDSR(on);
        const std::size_t expected = states.size() + 1;
        ASSERT_TRUE(Eventually([&] { return states.size() == expected; }));
    }
    port.Close();
    EXPECT_EQ(states, (std::vector<bool>{true, false, true, false, false}));
}

TEST_F(SimTest, DsrOffAtOpenIsReportedOff) {
    board->SetDSR(false);
    std::vector<bool> states;
    port.OnDSRChange = [&](QObject*, bool on) { states.push_back(on); };
    port.Open();
    EXPECT_EQ(states, std::vector<bool>{false});
    EXPECT_EQ(port.ReadModemLines(), (ModemLines{mlCTS, mlRLSD}));
    port.Close();
}

TEST_F(SimTest, SevenByteFrameComesBackAsSevenEchoedBytes) {
    port.Open();
    port.SetRTS(true);
    port.SetDTR(false);
    EXPECT_TRUE(board->RTS());
    EXPECT_FALSE(board->DTR());
    const auto frame = Bytes({0x80, 0xFE, 200, 1, 0, 3, 0xFF});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Write(frame.data(), 7), 7);
    const auto took = std::chrono::steady_clock::now() - start;
    // Never faster than the line allows: 7 bytes of 11 bits at 300 baud.
    EXPECT_GE(took, 7 * VirtualController::kByteTime);
    EXPECT_EQ(board->ReceivedBytes(), frame);
    ASSERT_TRUE(Eventually([&] { return echoed.size() == 7; }));
    EXPECT_EQ(echoed, frame);
}

TEST_F(SimTest, TxEmptyFollowsAWrite) {
    std::vector<std::string> lines;
    TComLink link;
    link.TxActivityNotice = [&](TCustomComPort*, bool on) {
        lines.push_back(on ? "tx(1)" : "tx(0)");
    };
    link.TxEmptyNotice = [&](TCustomComPort*) { lines.emplace_back("TxEmptyNotice"); };
    port.OnTxEmpty = [&](QObject*) { lines.emplace_back("OnTxEmpty"); };
    port.RegisterLink(&link);
    board->SetEcho(false);
    port.Open();
    const auto byte = Bytes({9});
    port.Write(byte.data(), 1);
    ASSERT_TRUE(Eventually([&] { return lines.size() == 4; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"tx(1)", "tx(0)", "TxEmptyNotice", "OnTxEmpty"}));
    port.Close();
    port.UnRegisterLink(&link);
}

TEST_F(SimTest, EventCharacterAndFullQueue) {
    std::vector<std::string> lines;
    port.OnRxChar = nullptr;  // the bytes stay waiting
    port.OnRxFlag = [&](QObject*) { lines.emplace_back("RxFlag"); };
    port.OnRx80Full = [&](QObject*) { lines.emplace_back("Rx80Full"); };
    port.SetEventChar(0x0D);
    port.Buffer().SetInputSize(10);
    port.Open();
    board->Send(Bytes({1, 0x0D}));
    ASSERT_TRUE(Eventually([&] { return lines.size() == 1; }));
    board->Send(Bytes({3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(Eventually([&] { return lines.size() == 2; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"RxFlag", "Rx80Full"}));
    port.Close();
}

TEST_F(SimTest, EchoOffAndCtsHeldOff) {
    board->SetEcho(false);
    port.Open();
    const auto byte = Bytes({0x42});
    EXPECT_EQ(port.Write(byte.data(), 1), 1);
    EXPECT_EQ(port.BytesWaiting(), 0);
    // CTS held off with CTS flow control: the write times out unsent.
    board->SetCTS(false);
    port.FlowControl().SetOutCTSFlow(true);
    port.Timeouts().SetWriteTotalMultiplier(0);
    port.Timeouts().SetWriteTotalConstant(50);
    EXPECT_EQ(port.Write(byte.data(), 1), 0);
    EXPECT_EQ(board->ReceivedBytes(), byte);
}

TEST_F(SimTest, OnlyOneUserAtATime) {
    port.Open();
    TComPort second;
    second.SetVirtualController(board);
    second.SetPort("sim");
    try {
        second.Open();
        FAIL() << "no exception";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorCode(), 1);
        EXPECT_EQ(e.SystemError(), EBUSY);
    }
}

TEST_F(SimTest, UnplugFailsEveryCallAndCloseStillCloses) {
    port.Open();
    const int threads = test::ThreadCount();
    board->Unplug();
    ASSERT_TRUE(Eventually([&] { return test::ThreadCount() == threads - 1; }));
    const auto byte = Bytes({1});
    struct Case {
        std::function<void()> call;
        int code;
    };
    const Case cases[] = {
        {[&] { port.Write(byte.data(), 1); }, 2},
        {[&] {
             std::string t;
             port.ReadString(t, 128);
         },
         3},
        {[&] { port.SetRTS(true); }, 12},
        {[&] { port.BytesWaiting(); }, 10},
        {[&] { port.ReadModemLines(); }, 11},
        {[&] { port.SetBaudRate(br1200); }, 7},
        {[&] { port.Timeouts().SetReadInterval(5); }, 8},
        {[&] { port.Buffer().SetInputSize(2048); }, 9},
        {[&] { port.Close(); }, 5},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "no exception for code " << c.code;
        } catch (const EComPort& e) {
            EXPECT_EQ(e.ErrorCode(), c.code);
            EXPECT_EQ(e.SystemError(), EIO) << c.code;
        }
    }
    EXPECT_FALSE(port.Connected());
    try {
        port.Open();
        FAIL() << "no exception";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorCode(), 1);
        EXPECT_EQ(e.SystemError(), ENOENT);
    }
    board->PlugIn();
    port.Open();
    EXPECT_TRUE(port.Connected());
}

}  // namespace
}  // namespace kmp
