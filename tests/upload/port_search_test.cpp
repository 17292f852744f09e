// Port search and choice: the search at the first showing and by Button3,
// the message boxes, "n/a", and when Button2 is inert.
#include "upload_test_support.h"

#include <QComboBox>
#include <QLineEdit>

namespace kmp::testing {
namespace {

const QString kNoPortCaption = QString::fromUtf8("Nenašiel sa sériový port!");
const QString kNoPortText = QString::fromUtf8(
    "Nenašiel som vhodný sériový port na vašom počítači!!! Ak ide o laptot, tak sa uistite, že "
    "USB prevodník na COM sériový port je správne pripojený k laptopu. ");

QString CannotConnectText(const QString& name) {
    return QString::fromUtf8("Nemôžem sa pripojiť cez PORT ") + name +
           QString::fromUtf8(
               ". Tento port je obsadený iným programom alebo to nie je sériový "
               "port!!! Skúste vybrať iný port.");
}

QStringList Entries(const QComboBox& combo) {
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i) entries << combo.itemText(i);
    return entries;
}

using PortSearchTest = UploadTest;

TEST_F(PortSearchTest, StartWithoutAnyPortShowsTheBoxAndBlocksConnecting) {
    ShowWindow({}, true);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    const ScriptedDialogs::Box& box = dialogs.boxes[0];
    EXPECT_EQ(box.caption, kNoPortCaption);
    EXPECT_EQ(box.text, kNoPortText);
    EXPECT_EQ(box.icon, BoxIcon::Information);
    EXPECT_EQ(box.buttons, BoxButtons::Ok);
    EXPECT_EQ(Entries(*ui().ComboBox1), QStringList{"n/a"});
    EXPECT_EQ(ui().ComboBox1->currentText(), "n/a");
    EXPECT_TRUE(state().PortBlocked);

    Click(*ui().Button2);
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_FALSE(port().Connected());
    EXPECT_EQ(port().Port(), "COM1");
    EXPECT_EQ(ui().Button2->text(), QString::fromUtf8("Pripojiť"));
}

TEST_F(PortSearchTest, StartWithPortsSelectsTheFirstWithoutMessage) {
    ShowWindow({"sim", "ttyUSB7"});
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(Entries(*ui().ComboBox1), (QStringList{"sim", "ttyUSB7"}));
    EXPECT_EQ(ui().ComboBox1->currentText(), "sim");
    ASSERT_TRUE(state().PortNames);
    EXPECT_EQ(*state().PortNames, (QStringList{"sim", "ttyUSB7"}));
    EXPECT_FALSE(state().PortBlocked);

    Click(*ui().Button2);
    EXPECT_TRUE(port().Connected());
    EXPECT_EQ(port().Port(), "sim");
    EXPECT_TRUE(board->IsOpen());
}

TEST_F(PortSearchTest, FirstShowingClearsTheCompileLog) {
    form = std::make_unique<TForm1>(dialogs);
    SetPortList({"sim"});
    ui().Memo1->setPlainText("stary riadok");
    form->show();
    EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(PortSearchTest, SearchButtonListsEveryPortFollowedByCommaAndSpace) {
    ShowWindow({"sim"});
    SetPortList({"ttyACM0", "ttyUSB0"});
    Click(*ui().Button3);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, QString::fromUtf8("Našiel som tieto sériové porty!"));
    EXPECT_EQ(dialogs.boxes[0].text, "ttyACM0, ttyUSB0, ");
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Information);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(Entries(*ui().ComboBox1), (QStringList{"ttyACM0", "ttyUSB0"}));
    EXPECT_EQ(ui().ComboBox1->currentText(), "ttyACM0");
    EXPECT_FALSE(state().PortBlocked);
}

TEST_F(PortSearchTest, SearchFindingNothingKeepsTheShownTextAndBlocks) {
    ShowWindow({"sim"});
    SetPortList({});
    Click(*ui().Button3);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(ui().ComboBox1->count(), 0);
    EXPECT_EQ(ui().ComboBox1->currentText(), "sim");
    EXPECT_TRUE(state().PortBlocked);
    Click(*ui().Button2);
    EXPECT_FALSE(port().Connected());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(PortSearchTest, FailedSearchAfterAGoodOneLeavesOnlyNa) {
    ShowWindow({"sim", "ttyUSB7"});
    SetPortList({}, true);
    Click(*ui().Button3);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, kNoPortCaption);
    EXPECT_EQ(Entries(*ui().ComboBox1), QStringList{"n/a"});
    EXPECT_EQ(ui().ComboBox1->currentText(), "n/a");
    EXPECT_TRUE(state().PortBlocked);
}

TEST_F(PortSearchTest, ChoosingNaAfterAFailedSearchConnectsToNa) {
    ShowWindow({}, true);
    ChooseEntry(0);
    EXPECT_FALSE(state().PortBlocked);
    Click(*ui().Button2);
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].caption, "Chyba!");
    EXPECT_EQ(dialogs.boxes[1].text, CannotConnectText("n/a"));
    EXPECT_EQ(dialogs.boxes[1].icon, BoxIcon::Error);
    EXPECT_EQ(dialogs.boxes[1].buttons, BoxButtons::Ok);
    EXPECT_TRUE(state().PortBlocked);
    EXPECT_EQ(state().LastFailedPort, "n/a");
}

TEST_F(PortSearchTest, TypedTextConnectsWithAnEmptyPortName) {
    ShowWindow({"sim"});
    QLineEdit& edit = *ui().ComboBox1->lineEdit();
    edit.selectAll();
    QTest::keyClicks(&edit, "sim2");
    EXPECT_EQ(ui().ComboBox1->currentText(), "sim2");
    Click(*ui().Button2);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, CannotConnectText(""));
    EXPECT_FALSE(port().Connected());
    EXPECT_FALSE(board->IsOpen());
    EXPECT_EQ(port().Port(), "");
}

// The simulator choice (--simulator or KMP_SIMULATOR=1, read at start) puts
// a virtual controller behind "sim" and "sim" into the port list.
TEST_F(PortSearchTest, SimulatorChoiceAttachesAVirtualController) {
    form = std::make_unique<TForm1>(dialogs, true);
    QStringList listed;
    form->Upload().ListPorts(listed);
    EXPECT_TRUE(listed.contains("sim"));
    const std::shared_ptr<VirtualController> simulated = port().GetVirtualController();
    ASSERT_TRUE(simulated);
    SetPortList({"sim"});
    form->show();
    Click(*ui().Button2);
    EXPECT_TRUE(port().Connected());
    EXPECT_TRUE(simulated->IsOpen());
    EXPECT_TRUE(ui().Button4->isEnabled());

    TForm1 plain(dialogs);
    EXPECT_FALSE(plain.Upload().ComPort1.GetVirtualController());
}

}  // namespace
}  // namespace kmp::testing
