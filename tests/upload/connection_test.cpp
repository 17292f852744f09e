// Connecting and disconnecting: the state table of the buttons, the line
// settings, DSR, the lamps, a busy port, a vanished line and window close.
#include "upload_test_support.h"

#include "CPortCtl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <cerrno>

namespace kmp::testing {
namespace {

const QString kLostOnDisconnect = QString::fromUtf8(
    "COM port bol náhle odpojený. Je možné, že ste vytiahli prevodník z USB na Sériový port "
    "skôr ako ste tento program odpojili z portu. ");
const QString kLostOnClose = QString::fromUtf8(
    "COM port bol náhle odpojený. Je možné, že ste vytiahli prevodník z USB na Sériový port "
    "skôr ako ste ukončili tento program. ");

class ConnectionTest : public UploadTest {
protected:
    // The rows of the state table.
    void ExpectClosedState() {
        EXPECT_EQ(ui().Button2->text(), QString::fromUtf8("Pripojiť"));
        EXPECT_TRUE(ui().Button3->isEnabled());
        EXPECT_TRUE(ui().ComboBox1->isEnabled());
        EXPECT_TRUE(ui().CheckBox1->isEnabled());
        EXPECT_FALSE(ui().Button4->isEnabled());
    }
    void ExpectOpenState() {
        EXPECT_EQ(ui().Button2->text(), QString::fromUtf8("Odpojiť"));
        EXPECT_FALSE(ui().Button3->isEnabled());
        EXPECT_FALSE(ui().ComboBox1->isEnabled());
        EXPECT_FALSE(ui().CheckBox1->isEnabled());
    }
};

TEST_F(ConnectionTest, ConnectWithDsrOnEnablesSendingAtOnce) {
    ShowWindow({"sim"});
    ExpectClosedState();
    Click(*ui().Button2);
    ExpectOpenState();
    EXPECT_TRUE(ui().Button4->isEnabled());
    EXPECT_TRUE(board->IsOpen());
    EXPECT_TRUE(board->RTS());
    EXPECT_FALSE(board->DTR());
    EXPECT_EQ(ui().ComLed1->State(), lsOn);
    EXPECT_EQ(ui().ComLed2->State(), lsOn);
    EXPECT_TRUE(dialogs.boxes.empty());
}

// The handshake box decides whether CTS holds back the transmitter; the
// terminal's own settings show what the port asked for.
TEST_F(ConnectionTest, HandshakeBoxSetsCtsFlowControlOnTheLine) {
    const struct {
        bool ticked;
        TFlowControl preset;
    } cases[] = {{true, fcCustom}, {false, fcNone}, {true, fcCustom}};
    PtyLine line;
    ShowWindow({line.Path()});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ticked);
        ui().CheckBox1->setChecked(c.ticked);
        Click(*ui().Button2);
        ASSERT_TRUE(port().Connected());
        const termios settings = line.Settings();
        EXPECT_EQ((settings.c_cflag & CRTSCTS) != 0, c.ticked);
        EXPECT_EQ(cfgetospeed(&settings), speed_t(B300));
        EXPECT_EQ(settings.c_cflag & CSIZE, tcflag_t(CS8));
        EXPECT_NE(settings.c_cflag & CSTOPB, 0u);
        EXPECT_EQ(settings.c_cflag & PARENB, 0u);
        EXPECT_EQ(port().FlowControl().FlowControl(), c.preset);
        EXPECT_EQ(port().FlowControl().OutCTSFlow(), c.ticked);
        EXPECT_FALSE(port().FlowControl().OutDSRFlow());
        Click(*ui().Button2);
        ASSERT_FALSE(port().Connected());
    }
}

TEST_F(ConnectionTest, DsrOffKeepsSendingDisabledUntilDsrComesOn) {
    board->SetDSR(false);
    ShowWindow({"sim"});
    Click(*ui().Button2);
    ExpectOpenState();
    EXPECT_FALSE(ui().Button4->isEnabled());
    EXPECT_EQ(ui().ComLed1->State(), lsOn);
    EXPECT_EQ(ui().ComLed2->State(), lsOff);

    board->SetDSR(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui().Button4->isEnabled(); }, kLongWaitMs));
    EXPECT_EQ(ui().ComLed2->State(), lsOn);
    board->SetDSR(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ui().Button4->isEnabled(); }, kLongWaitMs));
    EXPECT_EQ(ui().ComLed2->State(), lsOff);
    EXPECT_EQ(ui().ComLed1->State(), lsOn);
}

TEST_F(ConnectionTest, DisconnectRestoresTheClosedState) {
    ShowWindow({"sim"});
    Click(*ui().Button2);
    Click(*ui().Button2);
    ExpectClosedState();
    EXPECT_FALSE(port().Connected());
    EXPECT_FALSE(board->IsOpen());
    EXPECT_EQ(ui().ComLed1->State(), lsOff);
    EXPECT_EQ(ui().ComLed2->State(), lsOff);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(ConnectionTest, DisconnectFromAVanishedLineShowsTheBoxAndCloses) {
    ShowWindow({"sim"});
    Click(*ui().Button2);
    board->Unplug();
    Click(*ui().Button2);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Chyba!");
    EXPECT_EQ(dialogs.boxes[0].text, kLostOnDisconnect);
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Error);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::Ok);
    ExpectClosedState();
    EXPECT_FALSE(port().Connected());
    EXPECT_EQ(ui().ComLed1->State(), lsOff);
    EXPECT_EQ(ui().ComLed2->State(), lsOff);

    board->PlugIn();
    Click(*ui().Button2);
    EXPECT_TRUE(port().Connected());
}

// A port that another program holds: the box names it, the log says why,
// and connecting stays blocked until another entry is chosen.
TEST_F(ConnectionTest, BusyPortBlocksUntilAnotherEntryIsChosen) {
    PtyLine line;
    const auto holder = OpenTermiosDevice(line.Path().toStdString());
    ShowWindow({line.Path(), "sim"});
    Click(*ui().Button2);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Chyba!");
    EXPECT_EQ(dialogs.boxes[0].text,
              QString::fromUtf8("Nemôžem sa pripojiť cez PORT ") + line.Path() +
                  QString::fromUtf8(". Tento port je obsadený iným programom alebo to nie je "
                                    "sériový port!!! Skúste vybrať iný port."));
    EXPECT_EQ(LogLines(), QStringList{QString::fromUtf8("Port ") + line.Path() +
                                      QString::fromUtf8(" práve používa iný program. Zatvorte "
                                                        "ho a skúste znovu.")});
    EXPECT_TRUE(state().PortBlocked);
    EXPECT_EQ(state().LastFailedPort, line.Path());
    ExpectClosedState();

    Click(*ui().Button2);
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    ChooseEntry(0);
    Click(*ui().Button2);
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_FALSE(port().Connected());

    ConnectTo(1);
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(port().Connected());
    EXPECT_EQ(port().Port(), "sim");
}

TEST_F(ConnectionTest, NewSearchThatFindsPortsUnblocks) {
    ShowWindow({"sim"});
    const auto holder = board->OpenDevice();
    Click(*ui().Button2);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    ASSERT_TRUE(state().PortBlocked);
    Click(*ui().Button3);
    EXPECT_FALSE(state().PortBlocked);
    EXPECT_EQ(dialogs.boxes.size(), 2u);
}

TEST_F(ConnectionTest, ClosingTheWindowClosesTheLine) {
    ShowWindow({"sim"});
    Click(*ui().Button2);
    ASSERT_TRUE(board->IsOpen());
    form->close();
    EXPECT_FALSE(board->IsOpen());
    EXPECT_FALSE(state().PortNames);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(ConnectionTest, ClosingTheWindowOnAVanishedLineShowsTheBox) {
    ShowWindow({"sim"});
    Click(*ui().Button2);
    board->Unplug();
    form->close();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Chyba!");
    EXPECT_EQ(dialogs.boxes[0].text, kLostOnClose);
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Error);
    EXPECT_FALSE(port().Connected());
}

// The lamp repaints inside Open without running other window events: a
// click queued before the connect has not run when the port's Open ends.
TEST_F(ConnectionTest, LampRepaintsInsideOpenWithoutRunningQueuedEvents) {
    ShowWindow({"sim"});
    bool queuedRan = false;
    QMetaObject::invokeMethod(
        form.get(), [&] { queuedRan = true; }, Qt::QueuedConnection);
    int lampPaints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++count;
            return false;
        }
    } counter(lampPaints);
    ui().ComLed1->installEventFilter(&counter);
    bool ranDuringOpen = true;
    int paintsDuringOpen = 0;
    port().OnAfterOpen = [&](QObject*) {
        ranDuringOpen = queuedRan;
        paintsDuringOpen = lampPaints;
    };
    form->Button2Click();
    EXPECT_FALSE(ranDuringOpen);
    EXPECT_GE(paintsDuringOpen, 1);
    EXPECT_TRUE(port().Connected());
    EXPECT_TRUE(QTest::qWaitFor([&] { return queuedRan; }, kLongWaitMs));
}

}  // namespace
}  // namespace kmp::testing
