// The send in the background: the window lives during it, shows its
// progress, can cancel it, shows a board that holds CTS off, closes during
// it; and a line that vanishes while open.
#include "upload_test_support.h"

#include "CPortCtl.h"

#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace kmp::testing {
namespace {

// 62 instructions: the whole image goes, 130 bytes, about 4.8 s at 300 baud.
const QString kFullImageProgram = [] {
    QString text = QStringLiteral("PROGRAM p:\n");
    for (int i = 0; i < 62; ++i) text += QStringLiteral("VYSTUP(1,0,1) CAS 7\n");
    return text + QStringLiteral("KONIEC");
}();

Bytes FullFrame() {
    Bytes frame = {128, 254, 200, 1, 0, 3};
    for (int i = 0; i < 62; ++i) frame.insert(frame.end(), {5, 7});
    return frame;
}

int ThreadCount() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/task"))
                                .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                .size());
}

class LiveSendTest : public UploadTest {
protected:
    // A board at the real line time, connected, with `program` compiled.
    void ConnectRealTimeBoard(const QString& program, bool handshake = false) {
        board = std::make_shared<VirtualController>();
        ConnectWith(program, handshake);
    }
    QString ProgressText() const { return form->Controls().ProgressBar1->format(); }
};

TEST_F(LiveSendTest, WindowLivesAndShowsProgressDuringAFullFrame) {
    ConnectRealTimeBoard(kFullImageProgram);
    const qsizetype before = LogLines().size();
    int ticks = 0, returnedBeforeEnd = 0, highest = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!state().Sending()) return;
        ++ticks;
        returnedBeforeEnd = static_cast<int>(LogLinesFrom(before).size()) - 1;
        highest = std::max(highest, ui().ProgressBar1->value());
    });
    timer.start(20);
    Click(*ui().Button4);
    EXPECT_TRUE(state().Sending());
    EXPECT_TRUE(ui().ProgressBar1->isVisible());
    EXPECT_TRUE(ui().Button7->isVisible());
    for (QWidget* off : {static_cast<QWidget*>(ui().Button1), static_cast<QWidget*>(ui().Button2),
                         static_cast<QWidget*>(ui().Button4), static_cast<QWidget*>(ui().Button5)})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    ASSERT_TRUE(WaitForSendEnd());
    EXPECT_GT(ticks, 100);  // 4.8 s of 20 ms ticks
    EXPECT_GT(returnedBeforeEnd, 60);
    EXPECT_GT(highest, 100);
    // The bar stays with the send's end until the next send.
    EXPECT_EQ(ui().ProgressBar1->value(), 130);
    EXPECT_EQ(ui().ProgressBar1->maximum(), 130);
    EXPECT_EQ(ProgressText(), "130 z 130 bajtov");
    EXPECT_FALSE(ui().Button7->isVisible());
    EXPECT_TRUE(ui().Button4->isEnabled());
    EXPECT_TRUE(ui().Button1->isEnabled());
    const QStringList expected = EchoLines(FullFrame());
    EXPECT_TRUE(QTest::qWaitFor([&] { return LogLinesFrom(before).size() >= expected.size(); },
                                kLongWaitMs));
    EXPECT_EQ(LogLinesFrom(before), expected);
    EXPECT_EQ(board->ReceivedBytes(), FullFrame());
    EXPECT_TRUE(dialogs.boxes.empty());
}

// A cancel in the middle (twice, and once more after the end), a send
// clicked while sending, and a new send afterwards.
TEST_F(LiveSendTest, CancelStopsTheLineAndTheNextSendWorks) {
    ConnectRealTimeBoard(kFullImageProgram);
    const qsizetype before = LogLines().size();
    Click(*ui().Button4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return LogLinesFrom(before).size() > 10; }, kLongWaitMs));
    state().Button4Click();  // while sending: nothing
    Click(*ui().Button7);
    state().Button7Click();
    ASSERT_TRUE(WaitForSendEnd());
    state().Button7Click();
    const int sent = static_cast<int>(board->ReceivedBytes().size());
    EXPECT_LT(sent, 130);
    EXPECT_EQ(LogLines().last(),
              QString::fromUtf8("Odosielanie zrušené: odoslaných bolo %1 z 130 bajtov.").arg(sent));
    const Bytes frame = FullFrame();
    EXPECT_EQ(board->ReceivedBytes(), Bytes(frame.begin(), frame.begin() + sent));
    EXPECT_TRUE(port().Connected());
    EXPECT_TRUE(ui().Button4->isEnabled());

    SetProgram(QStringLiteral("PROGRAM p:\nKONIEC"));
    Compile();
    const Bytes seven = {128, 254, 200, 1, 0, 3, 255};
    const qsizetype last = LogLines().size();
    Click(*ui().Button4);
    ASSERT_TRUE(WaitForSendEnd());
    const Bytes received = board->ReceivedBytes();
    EXPECT_EQ(Bytes(received.begin() + sent, received.end()), seven);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return LogLines().last() ==
                   QString::fromUtf8("Overenie: doska vrátila presne odoslané bajty (7).");
        },
        kLongWaitMs));
    EXPECT_EQ(LogLinesFrom(last).first(), QString::fromUtf8(" Odosielam dáta..."));
}

TEST_F(LiveSendTest, BoardHoldingCtsOffShowsNotReadyAndEscCancels) {
    ConnectRealTimeBoard(QStringLiteral("PROGRAM p:\nKONIEC"), true);
    board->SetCTS(false);
    Click(*ui().Button4);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return ProgressText() ==
                   QString::fromUtf8("Doska nie je pripravená (CTS vypnuté): 0 z 7 bajtov");
        },
        5000));
    QTest::keyClick(form.get(), Qt::Key_Escape);
    ASSERT_TRUE(WaitForSendEnd());
    EXPECT_EQ(LogLines().last(),
              QString::fromUtf8("Odosielanie zrušené: odoslaných bolo 0 z 7 bajtov."));
    EXPECT_TRUE(board->ReceivedBytes().empty());
}

TEST_F(LiveSendTest, ClosingTheWindowDuringASendLeavesNoThreadAndNoOpenPort) {
    board = std::make_shared<VirtualController>();
    ShowWindow({"sim"});
    const int threadsBefore = ThreadCount();
    SetProgram(kFullImageProgram);
    Compile();
    Click(*ui().Button2);
    Click(*ui().Button4);
    ASSERT_TRUE(state().Sending());
    form->close();
    EXPECT_FALSE(port().Connected());
    EXPECT_FALSE(board->IsOpen());
    EXPECT_LE(ThreadCount(), threadsBefore);
    EXPECT_TRUE(dialogs.boxes.empty());
}

// The pseudo-terminal's master closes: the window is back in its closed
// state within a second, without a box.
TEST_F(LiveSendTest, VanishedLineBringsTheClosedState) {
    PtyLine line;
    ShowWindow({line.Path()});
    Click(*ui().Button2);
    ASSERT_TRUE(port().Connected());
    line.CloseMaster();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !port().Connected(); }, 1000));
    EXPECT_EQ(LogLines().last(), QString::fromUtf8("Spojenie sa prerušilo: prevodník portu ") +
                                     line.Path() + QString::fromUtf8(" bol odpojený."));
    EXPECT_EQ(ui().ComLed1->State(), lsOff);
    EXPECT_EQ(ui().ComLed2->State(), lsOff);
    EXPECT_FALSE(ui().Button4->isEnabled());
    EXPECT_EQ(ui().Button2->text(), QString::fromUtf8("Pripojiť"));
    EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
}  // namespace kmp::testing
