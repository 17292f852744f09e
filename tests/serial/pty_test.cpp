// TComPort over pseudo-terminals: open and close order, failures, termios
// state, bytes across the line, reads and an unplugged line.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

#include <QDir>
#include <QTemporaryDir>

#include "Descriptors.h"
#include "ModemWatcher.h"
#include "TermiosDevice.h"
#include "serial_test_support.h"
#include "termios2_speed.h"

#include <poll.h>

namespace kmp {
namespace {

using test::Bytes;
using test::Eventually;
using test::Pty;
using test::Recorder;
using Lines = std::vector<std::string>;

const Lines kOpenLines = {"BeforeOpen",   "link.Connection(1)", "AfterOpen",
                          "link.CTS(1)",  "CTSChange(1)",       "link.DSR(1)",
                          "DSRChange(1)", "link.RLSD(1)",       "RLSDChange(1)"};
const Lines kCloseLines = {"link.CTS(0)",  "link.DSR(0)",        "link.RLSD(0)",
                           "CTSChange(0)", "DSRChange(0)",       "RLSDChange(0)",
                           "BeforeClose",  "link.Connection(0)", "AfterClose"};

// Runs `call` and returns the EComPort it raised.
template <typename Call>
EComPort Raised(Call call) {
    try {
        call();
    } catch (const EComPort& e) {
        return e;
    }
    ADD_FAILURE() << "no EComPort raised";
    return EComPort(0);
}

TEST(PtyPortTest, OpenAndCloseFireEventsAndNoticesInOrder) {
    Pty pty;
    TComPort port;
    Recorder rec(port);
    port.SetPort(pty.path());
    port.Open();
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(ComPortTestPeer::ThreadRunning(port));
    port.Open();  // already open: nothing
    EXPECT_EQ(rec.lines, kOpenLines);
    rec.lines.clear();
    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(ComPortTestPeer::ThreadRunning(port));
    port.Close();  // already closed: nothing
    EXPECT_EQ(rec.lines, kCloseLines);
}

TEST(PtyPortTest, OpenFailuresRaiseCode1AndLeaveThePortClosed) {
    Pty pty;
    TComPort holder;
    holder.SetPort(pty.path());
    holder.Open();
    const int other = open(pty.path().c_str(), O_RDWR | O_NOCTTY);
    struct Case {
        std::string port;
        int systemError;
        const char* message;
    };
    const Case cases[] = {
        {"/dev/kmp-no-such-port", ENOENT, "Unable to open com port (win error code: 2)"},
        {"kmp-no-such-port", ENOENT, "Unable to open com port (win error code: 2)"},
        {"", ENOENT, "Unable to open com port (win error code: 2)"},
        {"/dev/null", ENOTTY, "Unable to open com port (win error code: 25)"},
        {pty.path(), EAGAIN, "Unable to open com port (win error code: 11)"},
        {"sim", ENOENT, "Unable to open com port (win error code: 2)"},  // no board attached
    };
    for (const auto& c : cases) {
        TComPort port;
        Recorder rec(port);
        port.SetPort(c.port);
        const EComPort e = Raised([&] { port.Open(); });
        EXPECT_EQ(e.ErrorCode(), 1) << c.port;
        EXPECT_EQ(e.SystemError(), c.systemError) << c.port;
        EXPECT_STREQ(e.what(), c.message) << c.port;
        EXPECT_FALSE(port.Connected());
        EXPECT_EQ(rec.lines, Lines{"BeforeOpen"}) << c.port;
    }
    holder.Close();
    // Held by another program (its own lock on the device).
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    TComPort port;
    port.SetPort(pty.path());
    EXPECT_EQ(Raised([&] { port.Open(); }).ErrorCode(), 1);
    close(other);
    port.Open();
    EXPECT_TRUE(port.Connected());
}

TEST(PtyPortTest, TermiosStateFollowsTheSettings) {
    struct Case {
        TBaudRate baud;
        TDataBits data;
        TParityBits parity;
        TStopBits stop;
        speed_t speed;
        tcflag_t size;
        bool parenb, parodd, cstopb;
    };
    // A pseudo-terminal always keeps CS8 without parity, whatever is set.
    const Case cases[] = {
        {br300, dbEight, prNone, sbTwoStopBits, B300, CS8, false, false, true},
        {br9600, dbEight, prNone, sbOneStopBit, B9600, CS8, false, false, false},
        {br115200, dbEight, prNone, sbOne5StopBits, B115200, CS8, false, false, true},
        {br1200, dbSeven, prEven, sbOneStopBit, B1200, CS8, false, false, false},
    };
    Pty pty;
    for (const auto& c : cases) {
        TComPort port;
        port.SetPort(pty.path());
        port.SetBaudRate(c.baud);
        port.SetDataBits(c.data);
        port.Parity().SetBits(c.parity);
        port.SetStopBits(c.stop);
        port.Open();
        termios t{};
        ASSERT_EQ(tcgetattr(pty.master(), &t), 0);  // the master reads the slave's settings
        EXPECT_EQ(cfgetospeed(&t), c.speed);
        EXPECT_EQ(t.c_cflag & CSIZE, c.size);
        EXPECT_EQ(bool(t.c_cflag & PARENB), c.parenb);
        EXPECT_EQ(bool(t.c_cflag & PARODD), c.parodd);
        EXPECT_EQ(bool(t.c_cflag & CSTOPB), c.cstopb);
        EXPECT_FALSE(t.c_cflag & CRTSCTS);
        EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN));
        EXPECT_FALSE(t.c_oflag & OPOST);
        EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP));
        // Settings pushed while open reach the device at once.
        port.FlowControl().SetFlowControl(fcHardware);
        ASSERT_EQ(tcgetattr(pty.master(), &t), 0);
        EXPECT_TRUE(t.c_cflag & CRTSCTS);
        port.FlowControl().SetFlowControl(fcSoftware);
        ASSERT_EQ(tcgetattr(pty.master(), &t), 0);
        EXPECT_FALSE(t.c_cflag & CRTSCTS);
        EXPECT_TRUE(t.c_iflag & IXON);
        EXPECT_TRUE(t.c_iflag & IXOFF);
    }
}

// The close gives the terminal back with the settings it had before the
// open: speed, character format and line discipline.
TEST(PtyPortTest, CloseRestoresTheSettingsBeforeTheOpen) {
    Pty pty;
    termios before{};
    ASSERT_EQ(tcgetattr(pty.master(), &before), 0);
    cfsetispeed(&before, B9600);
    cfsetospeed(&before, B9600);
    before.c_lflag |= ICANON | ECHO;
    before.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
    ASSERT_EQ(tcsetattr(pty.master(), TCSANOW, &before), 0);
    ASSERT_EQ(tcgetattr(pty.master(), &before), 0);
    {
        TComPort port;
        port.SetPort(pty.path());
        port.SetBaudRate(br300);
        port.SetStopBits(sbTwoStopBits);
        port.Open();
        termios open{};
        ASSERT_EQ(tcgetattr(pty.master(), &open), 0);
        ASSERT_EQ(cfgetospeed(&open), static_cast<speed_t>(B300));
        port.Close();
    }
    termios after{};
    ASSERT_EQ(tcgetattr(pty.master(), &after), 0);
    EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B9600));
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
}

// What the driver did not take is named; a pseudo-terminal's fixed 8 data
// bits and no parity are no refusal, nor a custom speed read back as B38400.
TEST(RefusedLineSetting, NamesTheSettingThatDidNotStick) {
    termios asked{};
    cfsetospeed(&asked, B300);
    asked.c_cflag =
        (asked.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS7 | CSTOPB | PARENB | CRTSCTS;
    const auto taken = [&](auto change) {
        termios t = asked;
        change(t);
        return t;
    };
    const struct {
        const char* name;
        termios taken;
        bool pty, custom;
        const char* refused;
    } cases[] = {
        {"AllTaken", asked, false, false, ""},
        {"Speed", taken([](termios& t) { cfsetospeed(&t, B9600); }), false, false, "speed"},
        {"CustomSpeed", taken([](termios& t) { cfsetospeed(&t, B38400); }), false, true, ""},
        {"DataBits", taken([](termios& t) { t.c_cflag = (t.c_cflag & ~CSIZE) | CS8; }), false,
         false, "data bits"},
        {"DataBitsOnAPty", taken([](termios& t) { t.c_cflag = (t.c_cflag & ~CSIZE) | CS8; }), true,
         false, ""},
        {"StopBits", taken([](termios& t) { t.c_cflag &= ~CSTOPB; }), true, false, "stop bits"},
        {"Parity", taken([](termios& t) { t.c_cflag &= ~PARENB; }), false, false, "parity"},
        {"ParityOnAPty", taken([](termios& t) { t.c_cflag &= ~PARENB; }), true, false, ""},
        {"CtsFlow", taken([](termios& t) { t.c_cflag &= ~CRTSCTS; }), true, false,
         "CTS flow control"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RefusedLineSetting(asked, c.taken, c.pty, c.custom), c.refused);
    }
}

TEST(PtyPortTest, BaudRatesOutsideTheStandardListGoThroughTermios2) {
    const std::pair<TBaudRate, unsigned> cases[] = {
        {br14400, 14400}, {br56000, 56000}, {br128000, 128000}, {br256000, 256000}, {br300, 300}};
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    port.Open();
    for (auto [baud, speed] : cases) {
        port.SetBaudRate(baud);
        EXPECT_EQ(test::OutputSpeed(pty.master()), speed) << baud;
    }
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(250000);
    EXPECT_EQ(test::OutputSpeed(pty.master()), 250000u);
    EXPECT_THROW(port.SetCustomBaudRate(-5), std::range_error);
}

TEST(PtyPortTest, OperationsOnAClosedPortRaiseTheirOwnCode) {
    TComPort port;
    const std::uint8_t byte = 1;
    std::string text;
    EXPECT_EQ(Raised([&] { port.Write(&byte, 1); }).ErrorCode(), 2);
    EXPECT_EQ(Raised([&] { port.ReadString(text, 1); }).ErrorCode(), 3);
    EXPECT_EQ(Raised([&] { port.SetDTR(true); }).ErrorCode(), 12);
    EXPECT_EQ(Raised([&] { port.ReadModemLines(); }).ErrorCode(), 11);
    EXPECT_EQ(Raised([&] { port.BytesWaiting(); }).ErrorCode(), 10);
}

TEST(PtyPortTest, OutOfRangeQueueSizeEndsOpenClosed) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    port.Buffer().SetInputSize(262144);
    EXPECT_THROW(port.Open(), std::range_error);
    EXPECT_FALSE(port.Connected());
    port.Buffer().SetInputSize(1024);
    port.Open();
    EXPECT_TRUE(port.Connected());
}

TEST(PtyPortTest, WriteOf130BytesArrivesIntact) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    std::vector<std::pair<std::vector<std::uint8_t>, int>> sent;
    TComLink link;
    link.SentBlockNotice = [&](TCustomComPort*, const std::uint8_t* data, int count) {
        sent.emplace_back(std::vector<std::uint8_t>(data, data + count), count);
    };
    port.RegisterLink(&link);
    port.Open();
    std::vector<std::uint8_t> frame(130);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>(255 - i * 7);
    frame[0] = 0x80;
    frame[1] = 0xFE;
    EXPECT_EQ(port.Write(frame.data(), 130), 130);
    EXPECT_EQ(pty.ReadAtMaster(130), frame);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, frame);
    EXPECT_EQ(port.Write(frame.data(), 0), 0);  // nothing written, no notice
    EXPECT_EQ(sent.size(), 1u);
    port.UnRegisterLink(&link);
}

// The peer does not read: the write times out with the kernel's buffers
// full, and every byte that it counts reaches the peer when it reads.
TEST(PtyPortTest, TimedOutWriteCountsNoDiscardedByte) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    port.Timeouts().SetWriteTotalMultiplier(0);
    port.Timeouts().SetWriteTotalConstant(100);
    port.Open();
    std::vector<std::uint8_t> data(1 << 20);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i % 251);
    const int written = port.Write(data.data(), static_cast<int>(data.size()));
    ASSERT_GT(written, 0);
    ASSERT_LT(written, static_cast<int>(data.size()));
    const std::vector<std::uint8_t> arrived = pty.ReadAtMaster(static_cast<std::size_t>(written));
    EXPECT_EQ(arrived.size(), static_cast<std::size_t>(written));
    EXPECT_TRUE(std::equal(arrived.begin(), arrived.end(), data.begin()));
    port.Close();
}

TEST(PtyPortTest, ReceivedBytesReachOnRxCharOnTheMainThread) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    std::vector<int> counts;
    std::string text;
    bool onMainThread = true;
    int readWithZero = -1;
    port.OnRxChar = [&](QObject* sender, int count) {
        onMainThread =
            onMainThread && QThread::currentThread() == qApp->thread() && sender == &port;
        counts.push_back(count);
        std::string zero = "x";
        readWithZero = port.ReadString(zero, 0);
        EXPECT_EQ(zero, "");
        std::string got;
        EXPECT_EQ(port.ReadString(got, 128), count);
        text += got;
    };
    port.Open();
    pty.WriteAtMaster(Bytes({1, 2, 0, 255, 128}));
    ASSERT_TRUE(Eventually([&] { return text.size() == 5; }));
    EXPECT_EQ(counts, std::vector<int>{5});
    EXPECT_EQ(text, std::string("\x01\x02\x00\xff\x80", 5));
    EXPECT_TRUE(onMainThread);
    EXPECT_EQ(readWithZero, 0);
    port.Close();
}

TEST(PtyPortTest, BytesLeftAfterARead128AreReportedAgain) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    std::string text;
    port.OnRxChar = [&](QObject*, int) {
        std::string got;
        port.ReadString(got, 128);
        text += got;
    };
    port.Open();
    std::vector<std::uint8_t> burst(300);
    for (std::size_t i = 0; i < burst.size(); ++i) burst[i] = static_cast<std::uint8_t>(i % 251);
    pty.WriteAtMaster(burst);
    ASSERT_TRUE(Eventually([&] { return text.size() == 300; }));
    EXPECT_EQ(std::vector<std::uint8_t>(text.begin(), text.end()), burst);
    port.Close();
}

TEST(PtyPortTest, ReadStringTakesAtMost128AndLeavesTheRest) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    port.SetEvents(TComEvents{});  // no event thread: the test reads itself
    port.Open();
    EXPECT_FALSE(ComPortTestPeer::ThreadRunning(port));
    std::vector<std::uint8_t> burst(200);
    for (std::size_t i = 0; i < burst.size(); ++i) burst[i] = static_cast<std::uint8_t>(i);
    pty.WriteAtMaster(burst);
    ASSERT_TRUE(Eventually([&] { return port.BytesWaiting() == 200; }));
    std::string text;
    EXPECT_EQ(port.ReadString(text, 128), 128);
    EXPECT_EQ(text.size(), 128u);
    EXPECT_EQ(static_cast<std::uint8_t>(text[127]), 127);
    EXPECT_EQ(port.BytesWaiting(), 72);
    EXPECT_EQ(port.ReadString(text, 128), 72);
    EXPECT_EQ(static_cast<std::uint8_t>(text[0]), 128);
    // Nothing waiting: the read returns at once with nothing.
    port.Timeouts().SetReadTotalMultiplier(0);
    port.Timeouts().SetReadTotalConstant(0);
    EXPECT_EQ(port.ReadString(text, 128), 0);
    EXPECT_EQ(text, "");
}

TEST(PtyPortTest, LinesOfAPseudoTerminal) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    port.Open();
    EXPECT_EQ(port.ReadModemLines(), (ModemLines{mlCTS, mlDSR, mlRLSD}));
    port.SetRTS(true);  // no modem lines: accepted as no-ops
    port.SetDTR(false);
    EXPECT_TRUE(port.TakeLineErrors().Empty());
}

TEST(ModemWatcherTest, DriverWithoutLineWaitFallsBackAndWakesTheWait) {
    Pty pty;
    const EventFd wake;
    ModemWatcher watcher(pty.master(), wake);
    pollfd p{wake.Fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1);
    EXPECT_TRUE(watcher.Unsupported());
}

TEST(PtyPortTest, PortRenameReopensOnlyOnARealChange) {
    Pty pty;
    QTemporaryDir dir;
    const std::string upper = dir.filePath("TTYK").toStdString();
    const std::string lower = dir.filePath("ttyk").toStdString();
    ASSERT_EQ(symlink(pty.path().c_str(), upper.c_str()), 0);
    ASSERT_EQ(symlink(pty.path().c_str(), lower.c_str()), 0);
    TComPort port;
    port.SetPort(upper);
    port.Open();
    Recorder rec(port);
    port.SetPort(upper);
    EXPECT_TRUE(rec.lines.empty());
    port.SetPort(lower);
    Lines expected = kCloseLines;
    expected.insert(expected.end(), kOpenLines.begin(), kOpenLines.end());
    EXPECT_EQ(rec.lines, expected);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(port.Port(), lower);
}

TEST(PtyPortTest, SyncMethodCannotChangeWhileOpen) {
    Pty pty;
    TComPort port;
    port.SetPort(pty.path());
    port.Open();
    const EComPort e = Raised([&] { port.SetSyncMethod(smWindowSync); });
    EXPECT_EQ(e.ErrorCode(), 14);
    EXPECT_STREQ(e.what(), "Cannot set property while connected");
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
}

TEST(PtyPortTest, LoadingRecordsConnectedAndOpensAtItsEnd) {
    Pty pty;
    TComPort port;
    port.BeginLoading();
    port.SetPort(pty.path());
    port.SetConnected(true);
    EXPECT_FALSE(port.Connected());
    port.EndLoading();
    EXPECT_TRUE(port.Connected());

    TComPort broken;
    std::vector<std::string> shown;
    broken.ShowException = [&](const std::exception& e) { shown.emplace_back(e.what()); };
    broken.BeginLoading();
    broken.SetPort("/dev/kmp-no-such-port");
    broken.SetConnected(true);
    broken.EndLoading();
    EXPECT_FALSE(broken.Connected());
    EXPECT_EQ(shown, std::vector<std::string>{"Unable to open com port (win error code: 2)"});
}

TEST(PtyPortTest, UnpluggedLineFailsWritesEndsTheThreadAndStillCloses) {
    Pty pty;
    const int threadsBefore = test::ThreadCount();
    TComPort port;
    port.SetPort(pty.path());
    port.Open();
    EXPECT_EQ(test::ThreadCount(), threadsBefore + 1);
    pty.CloseMaster();
    // The event thread sees the hang-up and ends without spinning.
    ASSERT_TRUE(Eventually([&] { return test::ThreadCount() == threadsBefore; }));
    const std::uint8_t byte = 0x80;
    const EComPort written = Raised([&] { port.Write(&byte, 1); });
    EXPECT_EQ(written.ErrorCode(), 2);
    EXPECT_EQ(written.SystemError(), EIO);
    EXPECT_STREQ(written.what(), "WriteFile function failed (win error code: 5)");
    // The line is gone: Close finishes and reports the loss.
    Recorder rec(port);
    const EComPort closed = Raised([&] { port.Close(); });
    EXPECT_EQ(closed.ErrorCode(), 5);
    EXPECT_EQ(closed.SystemError(), EIO);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(rec.lines, kCloseLines);
}

}  // namespace
}  // namespace kmp
