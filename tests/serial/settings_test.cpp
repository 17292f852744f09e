// Settings objects, EComPort texts, link registration and the port list.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "Deadline.h"
#include "serial_test_support.h"

namespace kmp {
namespace {

struct FlowCase {
    TRTSFlowControl rts;
    bool outCts, xonIn, xonOut;
    TFlowControl expected;
};

TEST(FlowControlTest, ComputedPresetFollowsTheFields) {
    const FlowCase cases[] = {
        {rtsHandshake, true, false, false, fcHardware}, {rtsDisable, false, true, true, fcSoftware},
        {rtsDisable, false, false, false, fcNone},      {rtsHandshake, true, true, false, fcCustom},
        {rtsEnable, false, false, false, fcCustom},     {rtsDisable, true, false, false, fcCustom},
        {rtsDisable, false, true, false, fcCustom},     {rtsToggle, false, true, true, fcCustom},
    };
    for (const auto& c : cases) {
        TComFlowControl f;
        f.SetControlRTS(c.rts);
        f.SetOutCTSFlow(c.outCts);
        f.SetXonXoffIn(c.xonIn);
        f.SetXonXoffOut(c.xonOut);
        f.SetControlDTR(dtrHandshake);  // plays no part
        f.SetOutDSRFlow(true);
        EXPECT_EQ(f.FlowControl(), c.expected) << c.rts << c.outCts << c.xonIn << c.xonOut;
    }
}

TEST(FlowControlTest, WritingAPresetSetsOnlyItsFields) {
    struct Case {
        TFlowControl preset;
        TRTSFlowControl rts;
        bool outCts, xonIn, xonOut;
    };
    const Case cases[] = {
        {fcHardware, rtsHandshake, true, false, false},
        {fcSoftware, rtsDisable, false, true, true},
        {fcNone, rtsDisable, false, false, false},
        {fcCustom, rtsToggle, true, true, false},  // unchanged start values
    };
    for (const auto& c : cases) {
        TComFlowControl f;
        f.SetControlRTS(rtsToggle);
        f.SetOutCTSFlow(true);
        f.SetXonXoffIn(true);
        f.SetControlDTR(dtrEnable);
        f.SetOutDSRFlow(true);
        f.SetFlowControl(c.preset);
        EXPECT_EQ(f.ControlRTS(), c.rts) << c.preset;
        EXPECT_EQ(f.OutCTSFlow(), c.outCts) << c.preset;
        EXPECT_EQ(f.XonXoffIn(), c.xonIn) << c.preset;
        EXPECT_EQ(f.XonXoffOut(), c.xonOut) << c.preset;
        EXPECT_EQ(f.ControlDTR(), dtrEnable) << c.preset;
        EXPECT_TRUE(f.OutDSRFlow()) << c.preset;
    }
}

TEST(ComBufferTest, SizesStayEven) {
    const std::pair<int, int> cases[] = {{1025, 1024}, {1024, 1024}, {7, 6},  {1, 0},
                                         {2048, 2048}, {0, 0},       {-3, -3}};
    for (auto [set, stored] : cases) {
        TComBuffer b;
        b.SetInputSize(set);
        b.SetOutputSize(set);
        EXPECT_EQ(b.InputSize(), stored) << set;
        EXPECT_EQ(b.OutputSize(), stored) << set;
    }
}

// Multiplier × count + constant milliseconds; 0 is no limit, and the longest
// limits stay within the clock's range instead of wrapping into the past.
TEST(DeadlineTest, TotalTimeOutOfATransfer) {
    struct Case {
        std::uint32_t multiplier, constant;
        std::size_t count;
        int fromMs, toMs;  // RemainingMs() right after; -1 for none
    };
    const Case cases[] = {
        {0, 0, 130, -1, -1},
        {10000, 0, 0, -1, -1},
        {0, 50, 1000, 1, 50},
        {10000, 10000, 130, 1'300'000, 1'310'000},
        {MAXDWORD, MAXDWORD, SIZE_MAX, INT_MAX, INT_MAX},
    };
    for (const auto& c : cases) {
        const Deadline d = Deadline::ForTransfer(c.multiplier, c.constant, c.count);
        EXPECT_EQ(d.None(), c.fromMs < 0) << c.multiplier << " " << c.count;
        EXPECT_GE(d.RemainingMs(), c.fromMs) << c.multiplier << " " << c.count;
        EXPECT_LE(d.RemainingMs(), c.toMs) << c.multiplier << " " << c.count;
    }
}

TEST(ComPortTest, CreationDefaults) {
    TComPort port;
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.StopBits(), sbOneStopBit);
    EXPECT_EQ(port.DataBits(), dbEight);
    EXPECT_EQ(port.Events(), kAllComEvents);
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
    EXPECT_EQ(port.CustomBaudRate(), 9600);
    EXPECT_EQ(port.Parity().Bits(), prNone);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcNone);
    EXPECT_EQ(port.FlowControl().XonChar(), 17);
    EXPECT_EQ(port.FlowControl().XoffChar(), 19);
    EXPECT_EQ(port.Timeouts().ReadInterval(), -1);
    EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 100);
    EXPECT_EQ(port.Timeouts().WriteTotalConstant(), 1000);
    EXPECT_EQ(port.Buffer().InputSize(), 1024);
    EXPECT_EQ(port.Parity().ComPort(), &port);
}

TEST(EComPortTest, MessagesAndSuffix) {
    const auto& texts = ComErrorMessages();
    ASSERT_EQ(texts.size(), 23u);
    EXPECT_EQ(texts[0], "Unable to open com port");
    EXPECT_EQ(texts[9], "ClearCommError function failed");
    EXPECT_EQ(texts[17], "Link (un)registration failed");
    EXPECT_EQ(texts[18], "Cannot change led state if ComPort is selected");
    EXPECT_EQ(texts[22], "Registry error");
    struct Case {
        int code, system;
        const char* message;
    };
    const Case cases[] = {
        {1, 2, "Unable to open com port (win error code: 2)"},
        {1, 5, "Unable to open com port (win error code: 5)"},
        {2, 5, "WriteFile function failed (win error code: 5)"},
        {14, -1, "Cannot set property while connected"},
        {18, -1, "Link (un)registration failed"},
        {23, 2, "Registry error (win error code: 2)"},
    };
    for (const auto& c : cases) {
        const EComPort e(c.code, c.system);
        EXPECT_STREQ(e.what(), c.message);
        EXPECT_EQ(e.ErrorCode(), c.code);
        EXPECT_EQ(e.SystemError(), c.system);
    }
}

TEST(ComPortTest, LinkRegisteredTwiceOrMissingRaisesCode18) {
    TComPort port;
    TComLink a, b;
    b.ReceivedBlockNotice = [](TCustomComPort*, const std::uint8_t*, int) {};
    port.RegisterLink(&a);
    EXPECT_FALSE(ComPortTestPeer::HasBlockReader(port));
    port.RegisterLink(&b);
    EXPECT_TRUE(ComPortTestPeer::HasBlockReader(port));
    try {
        port.RegisterLink(&a);
        FAIL() << "no exception";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorCode(), 18);
        EXPECT_EQ(e.SystemError(), -1);
    }
    port.UnRegisterLink(&b);
    EXPECT_FALSE(ComPortTestPeer::HasBlockReader(port));
    EXPECT_THROW(port.UnRegisterLink(&b), EComPort);
}

TEST(ComPortTest, ClosedPortOperationsAndSettersDoNothingVisible) {
    TComPort port;
    std::vector<std::string> fired;
    port.OnBeforeClose = [&](QObject*) { fired.push_back("BeforeClose"); };
    port.Close();                      // not open: nothing
    port.SetSyncMethod(smWindowSync);  // allowed while closed
    EXPECT_EQ(port.SyncMethod(), smWindowSync);
    port.SetBaudRate(br300);
    port.Buffer().SetInputSize(-2);  // not pushed while closed
    EXPECT_TRUE(fired.empty());
}

std::vector<SerialDeviceInfo> Devices(std::initializer_list<const char*> names) {
    std::vector<SerialDeviceInfo> devices;
    for (const char* n : names) devices.push_back({QString::fromLatin1(n), false});
    return devices;
}

TEST(ListSerialPortsTest, SortedCaseInsensitivelyWithDuplicatesAndFilter) {
    struct Case {
        std::initializer_list<const char*> found;
        bool simulator;
        QStringList expected;
    };
    const Case cases[] = {
        {{"COM3", "COM1", "COM10"}, false, {"COM1", "COM10", "COM3"}},
        {{"ttyUSB0", "ttyS0", "ttyUSB0"}, false, {"ttyS0", "ttyUSB0", "ttyUSB0"}},
        {{"ttyUSB1", "rfcomm0", "ttyGS0", "ttyACM0"}, true, {"sim", "ttyACM0", "ttyUSB1"}},
        {{"b", "A", "c"}, false, {"A", "b", "c"}},
        {{}, true, {"sim"}},
    };
    for (const auto& c : cases) {
        QStringList list{"old"};
        const std::vector<SerialDeviceInfo> found = Devices(c.found);
        ListSerialPorts(list, c.simulator, [&] { return found; });
        EXPECT_EQ(list, c.expected);
    }
}

TEST(ListSerialPortsTest, NoPortRaisesCode23AndKeepsTheList) {
    QStringList list{"COM7"};
    try {
        ListSerialPorts(list, false, [] { return Devices({"rfcomm0"}); });
        FAIL() << "no exception";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorCode(), 23);
        EXPECT_EQ(e.SystemError(), 2);
        EXPECT_STREQ(e.what(), "Registry error (win error code: 2)");
    }
    EXPECT_EQ(list, QStringList{"COM7"});
    EXPECT_THROW(ListSerialPorts(list, false,
                                 []() -> std::vector<SerialDeviceInfo> { throw EComPort(23, 13); }),
                 EComPort);
    EXPECT_EQ(list, QStringList{"COM7"});
}

TEST(ListSerialPortsTest, UsbAdaptersAlwaysCount) {
    EXPECT_TRUE(IsRealSerialPort({"ttyUSB0", true}));
    EXPECT_TRUE(IsRealSerialPort({"rfcomm0", true}));
    EXPECT_FALSE(IsRealSerialPort({"rfcomm0", false}));
    EXPECT_FALSE(IsRealSerialPort({"", false}));
}

}  // namespace
}  // namespace kmp
