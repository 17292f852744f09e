// The send button and the returned bytes: the frame that reaches the
// controller, the log lines, the flag table, and failures of the line.
#include "upload_test_support.h"

#include "app_texts.h"

#include <QPushButton>
#include <QSlider>

namespace kmp::testing {
namespace {

const QString kChangedCaption = QString::fromUtf8("Program bol zmenený a nepreložený");
const QString kChangedText = QString::fromUtf8("Chcete nahrať posledný preložený binárny výstup?");
const QString kNotCompiledCaption = QString::fromUtf8("Nemôžem odoslať program");
const QString kNotCompiledText =
    QString::fromUtf8("Najprv treba preložiť program a potom sa môže odoslať!");

QString RepeatedLines(const QString& line, int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i) lines << line;
    return lines.join(QLatin1Char('\n'));
}

class SendTest : public UploadTest {
protected:
    // Compiles the editor text and connects to "sim".
    void CompileAndConnect() {
        Compile();
        ASSERT_TRUE(CompiledOk);
        Click(*ui().Button2);
        ASSERT_TRUE(port().Connected());
        ASSERT_TRUE(ui().Button4->isEnabled());
    }
    // Sends and waits until the send has ended and the log shows every byte
    // of `frame` come back.
    void SendAndExpectEcho(const Bytes& frame) {
        const qsizetype before = LogLines().size();
        Click(*ui().Button4);
        const QStringList expected = EchoLines(frame);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !state().Sending() && LogLinesFrom(before).size() >= expected.size(); },
            kLongWaitMs));
        EXPECT_EQ(LogLinesFrom(before), expected);
    }
};

TEST_F(SendTest, ExampleProgramReachesTheVirtualControllerAsOneFrame) {
    board = std::make_shared<VirtualController>();  // the real line time
    ShowWindow({"sim"});
    CompileAndConnect();
    SendAndExpectEcho(ExampleFrame());
    EXPECT_EQ(board->ReceivedBytes(), ExampleFrame());
    EXPECT_EQ(LogLines().back(), "Overenie: doska vrátila presne odoslané bajty (25).");
    EXPECT_TRUE(dialogs.boxes.empty());
    // What a screen reader is told at the send's end.
    EXPECT_EQ(ui().Memo1->accessibleDescription(),
              QStringLiteral("Odosielanie skončilo: 25 z 25 bajtov."));
}

TEST_F(SendTest, ExampleProgramOverAPseudoTerminalThatEchoes) {
    PtyLine line;
    line.StartEcho();
    ShowWindow({line.Path()});
    CompileAndConnect();
    SendAndExpectEcho(ExampleFrame());
    EXPECT_EQ(line.Received(), ExampleFrame());
}

// Frames of different programs: the end byte is the first 255 of the image.
TEST_F(SendTest, FrameEndsAtTheFirst255OfTheImage) {
    const Bytes seven = {128, 254, 200, 1, 0, 3, 255};
    const struct {
        const char* name;
        const char* program;
        Bytes frame;
    } cases[] = {
        {"no instructions", "PROGRAM p:\nKONIEC", seven},
        {"RESET first", "PROGRAM p:\nRESET\nVYSTUP(1,0,0) CAS 10\nKONIEC", seven},
        {"statements after RESET",
         "PROGRAM p:\nVYSTUP(0,0,0) CAS 120\nRESET\nVYSTUP(1,0,0) CAS 10\nKONIEC",
         {128, 254, 200, 1, 0, 3, 0, 120, 255}},
    };
    ShowWindow({"sim"});
    Click(*ui().Button2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t sentBefore = board->ReceivedBytes().size();
        SetProgram(QString::fromUtf8(c.program));
        Compile();
        ASSERT_TRUE(CompiledOk);
        SendAndExpectEcho(c.frame);
        const Bytes received = board->ReceivedBytes();
        EXPECT_EQ(Bytes(received.begin() + static_cast<std::ptrdiff_t>(sentBefore), received.end()),
                  c.frame);
    }
}

// 62 instructions and no RESET: the whole image goes, with no end byte; the
// echo of 130 bytes is logged in full although one read takes at most 128.
TEST_F(SendTest, FullImageSends130BytesAndNoEndLine) {
    PtyLine line;
    line.StartEcho();
    ShowWindow({line.Path()});
    SetProgram(QStringLiteral("PROGRAM p:\n") + RepeatedLines("VYSTUP(1,0,1) CAS 7", 62) +
               QStringLiteral("\nKONIEC"));
    CompileAndConnect();
    Bytes frame = {128, 254, 200, 1, 0, 3};
    for (int i = 0; i < 62; ++i) frame.insert(frame.end(), {5, 7});
    ASSERT_EQ(frame.size(), 130u);
    SendAndExpectEcho(frame);
    EXPECT_EQ(line.Received(), frame);
    EXPECT_FALSE(LogLines().contains("Koniec odosielania!"));
}

// The four rows of the flag table, reached through the window.
TEST_F(SendTest, FlagTableGivesTheFourBehavioursOfTheSendButton) {
    ShowWindow({"sim"});
    Click(*ui().Button2);
    const Bytes frame = ExampleFrame();

    // false / false: refuses.
    Click(*ui().Button4);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, kNotCompiledCaption);
    EXPECT_EQ(dialogs.boxes[0].text, kNotCompiledText);
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Information);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_TRUE(LogLines().isEmpty());

    // true / false: sends without asking.
    Compile();
    SendAndExpectEcho(frame);
    EXPECT_EQ(dialogs.boxes.size(), 1u);

    // true / true: asks; No leaves everything, Yes sends the earlier image.
    ui().TrackBar1->setValue(17);
    ASSERT_TRUE(ProgramChanged);
    const QStringList logBefore = LogLines();
    const std::size_t sentBefore = board->ReceivedBytes().size();
    dialogs.boxAnswers = {Answer::No};
    Click(*ui().Button4);
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].caption, kChangedCaption);
    EXPECT_EQ(dialogs.boxes[1].text, kChangedText);
    EXPECT_EQ(dialogs.boxes[1].icon, BoxIcon::Information);
    EXPECT_EQ(dialogs.boxes[1].buttons, BoxButtons::YesNo);
    EXPECT_EQ(dialogs.boxes[1].defaultButton, Answer::Yes);
    EXPECT_EQ(LogLines(), logBefore);
    EXPECT_EQ(board->ReceivedBytes().size(), sentBefore);
    dialogs.boxAnswers = {Answer::Yes};
    SendAndExpectEcho(frame);
    EXPECT_EQ(dialogs.boxes.size(), 3u);

    // false / true: asks, then refuses.
    SetProgram("PROGRAM p:\nVYSTUP(2,0,0) CAS 1\nKONIEC");
    Compile();
    ASSERT_FALSE(CompiledOk);
    ASSERT_TRUE(ProgramChanged);
    const QStringList logAfterFailure = LogLines();
    dialogs.boxAnswers = {Answer::Yes};
    Click(*ui().Button4);
    ASSERT_EQ(dialogs.boxes.size(), 5u);
    EXPECT_EQ(dialogs.boxes[3].caption, kChangedCaption);
    EXPECT_EQ(dialogs.boxes[4].caption, kNotCompiledCaption);
    EXPECT_EQ(LogLines(), logAfterFailure);
    EXPECT_EQ(board->ReceivedBytes().size(), sentBefore + frame.size());
}

TEST_F(SendTest, UnaskedBytesAreLoggedAnd255EndsTheTransfer) {
    ShowWindow({"sim"});
    Click(*ui().Button2);
    board->Send({0, 7, 255, 128});
    const QStringList expected = {"Odosielam : 0", "Odosielam : 7", "Odosielam : 255",
                                  "Koniec odosielania!", "Odosielam : 128"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return LogLines().size() >= expected.size(); }, kLongWaitMs));
    EXPECT_EQ(LogLines(), expected);
}

// An unplug while the frame waits for CTS: the general error display shows
// the serial layer's message, the log says how much went out and that the
// adapter is gone, and the window is back in its closed state.
TEST_F(SendTest, UnplugDuringASendShowsTheErrorAndTheWindowGoesOn) {
    ShowWindow({"sim"});
    ui().CheckBox1->setChecked(true);
    board->SetCTS(false);
    CompileAndConnect();
    std::thread unplug;
    TComLink link;
    link.TxActivityNotice = [&](TCustomComPort*, bool on) {
        if (on && !unplug.joinable()) unplug = std::thread([this] { board->Unplug(); });
    };
    port().RegisterLink(&link);
    Click(*ui().Button4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !port().Connected(); }, kLongWaitMs));
    if (unplug.joinable()) unplug.join();
    port().UnRegisterLink(&link);

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, QString::fromUtf8(kApplicationTitle));
    EXPECT_EQ(dialogs.boxes[0].text, "WriteFile function failed (win error code: 5)");
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Error);
    EXPECT_EQ(LogLines().mid(LogLines().size() - 3),
              (QStringList{
                  QString::fromUtf8(" Odosielam dáta..."),
                  QString::fromUtf8("Odoslaných bolo len 0 z 25 bajtov: linka zlyhala."),
                  QString::fromUtf8("Spojenie sa prerušilo: prevodník portu sim bol odpojený.")}));
    EXPECT_TRUE(board->ReceivedBytes().empty());
    EXPECT_FALSE(state().Sending());
    EXPECT_EQ(ui().Button2->text(), QString::fromUtf8("Pripojiť"));
    EXPECT_TRUE(ui().Button1->isEnabled());

    board->PlugIn();
    board->SetCTS(true);
    Click(*ui().Button2);
    ASSERT_TRUE(port().Connected());
    SendAndExpectEcho(ExampleFrame());
}

}  // namespace
}  // namespace kmp::testing
