// The upload sequence of kmpc in-process, against fast virtual controllers:
// the window's connect, DSR that comes on late, a frame longer than one
// read, a board that is unplugged during the write or the replies, a write
// cut short by its time limit, and the overall limit of --max-time.
#include "ComPort.h"
#include "send_progress_bar.h"
#include "VirtualController.h"
#include "upload_expectations.h"
#include "upload_session.h"
#include "upload_port.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <chrono>
#include <algorithm>
#include <memory>

namespace kmp::test {
namespace {

using namespace std::chrono_literals;

std::shared_ptr<VirtualController> FastBoard() {
    return std::make_shared<VirtualController>(1ms);
}

kmp::ProgramImage ExampleImage() {
    kmp::ProgramImage image{};
    image.fill(255);
    const std::vector<std::uint8_t> body(kExampleFrame.begin() + 2, kExampleFrame.end());
    std::copy(body.begin(), body.end(), image.begin());
    return image;
}

// Runs one upload to "sim" and keeps its log lines.
struct Upload {
    explicit Upload(std::shared_ptr<VirtualController> b) : board(std::move(b)) {
        port.SetVirtualController(board);
    }
    int Run(const kmp::ProgramImage& image, int replyTimeoutMs = 2000) {
        kmpc::UploadRequest request{"sim", false, 2000, replyTimeoutMs};
        kmpc::UploadSession session(port, request,
                                    [this](const std::string& line) { log.push_back(line); });
        return session.Run(image);
    }
    std::shared_ptr<VirtualController> board;
    TComPort port;
    std::vector<std::string> log;
};

struct ConnectCase {
    bool handshake;
    TFlowControl preset;
};

class WindowConnect : public testing::TestWithParam<ConnectCase> {};

TEST_P(WindowConnect, SettingsAndLinesOfTheWindow) {
    const auto board = FastBoard();
    TComPort port;
    port.SetVirtualController(board);
    DescribeComPort1(port);
    ConnectPort(port, "sim", GetParam().handshake);
    ASSERT_TRUE(port.Connected());
    EXPECT_EQ(port.BaudRate(), br300);
    EXPECT_EQ(port.DataBits(), dbEight);
    EXPECT_EQ(port.StopBits(), sbTwoStopBits);
    EXPECT_EQ(port.Parity().Bits(), prNone);
    EXPECT_EQ(port.FlowControl().FlowControl(), GetParam().preset);
    EXPECT_EQ(port.FlowControl().OutCTSFlow(), GetParam().handshake);
    EXPECT_FALSE(port.FlowControl().OutDSRFlow());
    EXPECT_EQ(port.FlowControl().ControlDTR(), dtrDisable);
    EXPECT_EQ(port.FlowControl().ControlRTS(), rtsDisable);
    const TComTimeouts& t = port.Timeouts();
    EXPECT_EQ(std::vector<int>({t.ReadInterval(), t.ReadTotalMultiplier(), t.ReadTotalConstant(),
                                t.WriteTotalMultiplier(), t.WriteTotalConstant()}),
              std::vector<int>({-1, 10000, 10000, 10000, 10000}));
    EXPECT_TRUE(board->RTS());
    EXPECT_FALSE(board->DTR());
    port.Close();
}

INSTANTIATE_TEST_SUITE_P(Kmpc, WindowConnect,
                         testing::Values(ConnectCase{false, fcNone}, ConnectCase{true, fcCustom}),
                         [](const testing::TestParamInfo<ConnectCase>& param) {
                             return param.param.handshake ? "Handshake" : "NoFlowControl";
                         });

TEST(UploadSession, WaitsForDsrThatComesOnLater) {
    Upload upload(FastBoard());
    upload.board->SetDSR(false);
    QTimer::singleShot(50, [board = upload.board] { board->SetDSR(true); });
    EXPECT_EQ(upload.Run(ExampleImage()), 0);
    EXPECT_EQ(upload.board->ReceivedBytes(), kExampleFrame);
    EXPECT_EQ(upload.log, EchoedUploadLines(kExampleFrame));
    EXPECT_FALSE(upload.port.Connected());
}

// 62 instructions and no RESET: 130 bytes without an end byte, more than
// one read of 128 takes.
TEST(UploadSession, FullImageWithoutEndByte) {
    kmp::ProgramImage image{};
    image.fill(0);
    image[0] = 200;
    image[1] = 1;
    image[3] = 3;
    std::vector<std::uint8_t> frame = {128, 254};
    frame.insert(frame.end(), image.begin(), image.end());
    Upload upload(FastBoard());
    EXPECT_EQ(upload.Run(image, 100), 0);
    EXPECT_EQ(upload.board->ReceivedBytes(), frame);
    EXPECT_EQ(upload.log, EchoedUploadLines(frame));
    EXPECT_EQ(upload.log[upload.log.size() - 2], "Odosielam : 0");
}

TEST(UploadSession, BoardUnpluggedWhileWaitingForReplies) {
    Upload upload(FastBoard());
    upload.board->SetEcho(false);
    // Once the whole frame has gone out, the board goes away.
    TComLink unplugWhenSent;
    unplugWhenSent.SentBlockNotice = [board = upload.board](TCustomComPort*, const std::uint8_t*,
                                                            int) {
        QTimer::singleShot(0, [board] { board->Unplug(); });
    };
    upload.port.RegisterLink(&unplugWhenSent);
    EXPECT_EQ(upload.Run(ExampleImage(), 100), 3);
    upload.port.UnRegisterLink(&unplugWhenSent);
    EXPECT_EQ(upload.board->ReceivedBytes(), kExampleFrame);
    ASSERT_FALSE(upload.log.empty());
    EXPECT_EQ(upload.log.front(), " Odosielam dáta...");
    EXPECT_EQ(upload.log.back(), "kmpc: sim: PurgeComm function failed (win error code: 5)");
    EXPECT_FALSE(upload.port.Connected());
}

// The board goes away right as the write starts: the write fails, the
// failure is logged with the count of the bytes sent, and the port ends
// closed.
TEST(UploadSession, BoardUnpluggedAsTheWriteStarts) {
    Upload upload(FastBoard());
    TComLink unplugOnSend;
    unplugOnSend.TxActivityNotice = [board = upload.board](TCustomComPort*, bool on) {
        if (on) board->Unplug();
    };
    upload.port.RegisterLink(&unplugOnSend);
    EXPECT_EQ(upload.Run(ExampleImage()), 3);
    upload.port.UnRegisterLink(&unplugOnSend);
    EXPECT_TRUE(upload.board->ReceivedBytes().empty());
    EXPECT_EQ(upload.log,
              (std::vector<std::string>{" Odosielam dáta...",
                                        "kmpc: sim: WriteFile function failed (win error code: 5)",
                                        "Odoslaných bolo len 0 z 25 bajtov: linka zlyhala."}));
    EXPECT_FALSE(upload.port.Connected());
}

struct ShortWriteCase {
    const char* name;
    bool handshake;
    std::string cause;
};

class ShortWrite : public testing::TestWithParam<ShortWriteCase> {};

// A write that ends at its time limit names the cause that applies: CTS
// only with the handshake, the line itself without it.
TEST_P(ShortWrite, NamesTheCauseThatApplies) {
    const auto board = std::make_shared<VirtualController>();  // 37 ms a byte
    board->SetCTS(false);
    board->SetEcho(false);
    TComPort port;
    port.SetVirtualController(board);
    std::vector<std::string> log;
    kmpc::UploadSession session(port, {"sim", GetParam().handshake, 2000, 100},
                                [&](const std::string& line) { log.push_back(line); });
    port.Timeouts().SetWriteTotalMultiplier(0);
    port.Timeouts().SetWriteTotalConstant(50);
    EXPECT_EQ(session.Run(ExampleImage()), 3);
    const std::size_t sent = board->ReceivedBytes().size();
    EXPECT_EQ(log, (std::vector<std::string>{" Odosielam dáta...",
                                             "Odoslaných bolo len " + std::to_string(sent) +
                                                 " z 25 bajtov: " + GetParam().cause}));
    EXPECT_LT(sent, kExampleFrame.size());
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, ShortWrite,
    testing::Values(
        ShortWriteCase{"Handshake", true, "doska v čase odosielania nepustila dáta (CTS)."},
        ShortWriteCase{"NoFlowControl", false, "linka neprevzala dáta v časovom limite zápisu."}),
    [](const testing::TestParamInfo<ShortWriteCase>& param) {
        return std::string(param.param.name);
    });

// A board that keeps returning bytes without a 255 would keep the reply
// wait going for ever; the maximum time ends the upload.
TEST(UploadSession, MaxTimeEndsABoardThatKeepsSending) {
    const auto board = FastBoard();
    board->SetEcho(false);
    TComPort port;
    port.SetVirtualController(board);
    std::vector<std::string> log;
    kmpc::UploadSession session(port, {"sim", false, 2000, 2000, 300},
                                [&](const std::string& line) { log.push_back(line); });
    QTimer chatter;
    QObject::connect(&chatter, &QTimer::timeout, [&] { board->Send({7}); });
    chatter.start(20);
    EXPECT_EQ(session.Run(ExampleImage()), 3);
    chatter.stop();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(),
              "Nahrávanie na port sim neskončilo do 0,3 s (--max-time): kmpc ho ukončil.");
    EXPECT_EQ(std::count(log.begin(), log.end(), log.back()), 1);
    EXPECT_NE(std::find(log.begin(), log.end(), "Odosielam : 7"), log.end());
    EXPECT_FALSE(port.Connected());
}

// A stop in the middle of the frame: the board has exactly the bytes that
// the count line names, the port ends closed, the status is the one given.
TEST(UploadSession, StopCancelsTheWriteAndCountsWhatWentOut) {
    const auto board = std::make_shared<VirtualController>();  // 37 ms a byte
    board->SetEcho(false);
    TComPort port;
    port.SetVirtualController(board);
    std::vector<std::string> log;
    kmpc::UploadSession session(port, {"sim", false, 2000, 2000},
                                [&](const std::string& line) { log.push_back(line); });
    std::vector<bool> sending;
    session.OnSending([&](bool on) {
        sending.push_back(on);
        if (!on) return;
        QTimer::singleShot(200, &port, [&] {
            session.Stop(143);
            session.Stop(130);  // a second stop changes nothing
        });
    });
    EXPECT_EQ(session.Run(ExampleImage()), 143);
    const std::size_t sent = board->ReceivedBytes().size();
    EXPECT_EQ(log, (std::vector<std::string>{" Odosielam dáta...",
                                             "Odosielanie zrušené: odoslaných bolo " +
                                                 std::to_string(sent) + " z 25 bajtov."}));
    EXPECT_LT(sent, kExampleFrame.size());
    EXPECT_EQ(sending, (std::vector<bool>{true, false}));
    EXPECT_FALSE(port.Connected());
}

struct BarCase {
    kmp::SendProgress progress;
    std::string line;
};

class ProgressBar : public testing::TestWithParam<BarCase> {};

TEST_P(ProgressBar, LineOfTheBar) {
    EXPECT_EQ(kmpc::ProgressBarLine(GetParam().progress), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, ProgressBar,
    testing::Values(
        BarCase{{true, 0, 130, 0, 4.77, false},
                "\r[--------------------]   0 %  0 z 130 bajtov, zostáva 4,8 s"},
        BarCase{{true, 66, 132, 50, 2.42, false},
                "\r[##########----------]  50 %  66 z 132 bajtov, zostáva 2,4 s"},
        BarCase{{true, 37, 130, 28, 3.4, true},
                "\r[#####---------------]  28 %  Doska nie je pripravená (CTS vypnuté): 37 z 130 "
                "bajtov"},
        BarCase{{true, 25, 25, 100, 0, false},
                "\r[####################] 100 %  25 z 25 bajtov, zostáva 0,0 s"}));

}  // namespace
}  // namespace kmp::test
