// What the window says of the board: DSR that stays off after a connect,
// the check of the returned bytes, the count of a send whose line is lost,
// and the send's controls and the drops while and after it runs.
#include "upload_test_support.h"

#include "CPortCtl.h"
#include "program_file.h"

#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

namespace kmp::testing {
namespace {

const QString kShortProgram = QStringLiteral("PROGRAM p:\nKONIEC");  // 7 bytes
const QString kNoReply =
    QString::fromUtf8("Doska neodpovedá: po odoslaní sa nevrátil žiadny bajt.");

class BoardReplyTest : public UploadTest {};

struct EchoCase {
    const char* name;
    bool echo;
    int changedIndex;  // -1: none
    const char* last;  // the last log line
};

const EchoCase kEchoes[] = {
    {"EchoOn", true, -1, "Overenie: doska vrátila presne odoslané bajty (7)."},
    {"EchoChanged", true, 5,
     "Overenie: doska vrátila iné bajty, ako sa odoslali – prvý rozdiel na bajte 6: odoslaný 3, "
     "vrátený 99."},
    {"EchoOff", false, -1, "Doska neodpovedá: po odoslaní sa nevrátil žiadny bajt."},
};

class EchoTest : public BoardReplyTest, public ::testing::WithParamInterface<EchoCase> {};

TEST_P(EchoTest, OneLineComparesTheReturnedBytes) {
    const EchoCase& c = GetParam();
    board->SetEcho(c.echo);
    if (c.changedIndex >= 0) board->ChangeEcho(static_cast<std::size_t>(c.changedIndex), 99);
    ConnectWith(kShortProgram);
    const qsizetype before = LogLines().size();
    Click(*ui().Button4);
    ASSERT_TRUE(WaitForSendEnd());
    const QString last = QString::fromUtf8(c.last);
    // No reply is said after 2 s of quiet.
    ASSERT_TRUE(QTest::qWaitFor([&] { return LogLines().last() == last; }, 3000));
    QTest::qWait(c.echo ? 2200 : 100);  // and nothing more comes
    const QStringList lines = LogLinesFrom(before);
    EXPECT_EQ(lines.last(), last);
    EXPECT_EQ(lines.size(), c.echo ? 10 : 2) << lines.join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Board, EchoTest, ::testing::ValuesIn(kEchoes),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(BoardReplyTest, DsrStillOffAfterASecondIsLoggedOnce) {
    board->SetDSR(false);
    ShowWindow({"sim"});
    EXPECT_EQ(ui().ComLed1->toolTip(), QString::fromUtf8("Linka otvorená"));
    EXPECT_EQ(ui().ComLed2->toolTip(), QString::fromUtf8("Doska pripravená (DSR)"));
    Click(*ui().Button2);
    const QString line = QString::fromUtf8(
        "Doska na porte sim nezapla signál DSR do 1 s: nie je pripojená, zapnutá alebo "
        "pripravená.");
    QTest::qWait(700);
    EXPECT_FALSE(LogLines().contains(line));
    ASSERT_TRUE(QTest::qWaitFor([&] { return LogLines().contains(line); }, 2000));
    QTest::qWait(1200);
    EXPECT_EQ(LogLines().count(line), 1);

    // A board that raises DSR in time gets no line.
    Click(*ui().Button2);
    board->SetDSR(true);
    const qsizetype before = LogLines().size();
    Click(*ui().Button2);
    QTest::qWait(1300);
    EXPECT_EQ(LogLines().size(), before);
}

// The board took 32 of 130 bytes when its plug was pulled: the count line
// and the bar say 32.
TEST_F(BoardReplyTest, LineLostMidSendCountsWhatTheBoardTook) {
    QString program = QStringLiteral("PROGRAM p:\n");
    for (int i = 0; i < 62; ++i) program += QStringLiteral("VYSTUP(1,0,1) CAS 7\n");
    board = std::make_shared<VirtualController>(std::chrono::milliseconds(10));
    ConnectWith(program + QStringLiteral("KONIEC"));
    Click(*ui().Button4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return board->ReceivedBytes().size() >= 32; }, kLongWaitMs));
    board->Unplug();
    ASSERT_TRUE(WaitForSendEnd());
    const int taken = static_cast<int>(board->ReceivedBytes().size());
    EXPECT_GE(taken, 32);
    EXPECT_LT(taken, 130);
    const QString count =
        QString::fromUtf8("Odoslaných bolo len %1 z 130 bajtov: linka zlyhala.").arg(taken);
    EXPECT_TRUE(LogLines().contains(count)) << LogLines().join(u'|').toStdString();
    EXPECT_EQ(ui().ProgressBar1->value(), taken);
}

// Cancel goes with the send's end; the bar goes at the next compile; a drop
// while sending is refused where the user sees it; the compile button is
// grey while disabled.
TEST_F(BoardReplyTest, SendControlsAfterTheEndAndDuringIt) {
    board = std::make_shared<VirtualController>();  // the real line time
    ConnectWith(kShortProgram);
    const auto greenPixels = [&] {
        const QImage image = ui().Button1->grab().toImage();
        int green = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == QColor(0, 128, 0)) ++green;
        return green;
    };
    EXPECT_GT(greenPixels(), 0);
    Click(*ui().Button4);
    ASSERT_TRUE(state().Sending());
    EXPECT_TRUE(ui().Button7->isVisible());
    EXPECT_FALSE(ui().Button1->isEnabled());
    EXPECT_EQ(greenPixels(), 0);

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("iny.kmp"));
    WriteProgramFile(file.toStdString(), "PROGRAM q:\nKONIEC");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_EQ(ui().RichEdit1->toPlainText(), kShortProgram);

    ASSERT_TRUE(WaitForSendEnd());
    EXPECT_FALSE(ui().Button7->isVisible());
    EXPECT_TRUE(ui().ProgressBar1->isVisible());
    Click(*ui().Button4);
    Click(*ui().Button7);
    ASSERT_TRUE(WaitForSendEnd());
    EXPECT_FALSE(ui().Button7->isVisible());
    EXPECT_TRUE(ui().ProgressBar1->isVisible());
    Compile();
    EXPECT_FALSE(ui().ProgressBar1->isVisible());
}

}  // namespace
}  // namespace kmp::testing
