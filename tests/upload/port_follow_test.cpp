// The port list that follows plugged and unplugged adapters, their
// tooltips, and the closed state after the open line's adapter vanished.
#include "upload_test_support.h"

#include "CPortCtl.h"
#include "port_choice.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kmp::testing {
namespace {

QStringList Entries(const QComboBox& combo) {
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i) entries << combo.itemText(i);
    return entries;
}

struct FollowCase {
    const char* name;
    QStringList before;  // empty: the search fails
    int chosen;
    QStringList after;  // empty: the listing fails
    QStringList entries;
    QString current;
    bool blocked;
};

class PortFollowTest : public UploadTest, public ::testing::WithParamInterface<FollowCase> {};

TEST_P(PortFollowTest, ListFollowsWithoutAnyBox) {
    const FollowCase& c = GetParam();
    ShowWindow(c.before, c.before.isEmpty());
    if (!c.before.isEmpty()) ChooseEntry(c.chosen);
    const std::size_t boxes = dialogs.boxes.size();
    SetPortList(c.after, c.after.isEmpty());
    state().PortsChanged();
    EXPECT_EQ(dialogs.boxes.size(), boxes);
    EXPECT_EQ(Entries(*ui().ComboBox1), c.entries);
    EXPECT_EQ(ui().ComboBox1->currentText(), c.current);
    EXPECT_EQ(state().PortBlocked, c.blocked);
    ASSERT_TRUE(state().PortNames);
    EXPECT_EQ(*state().PortNames, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Upload, PortFollowTest,
    ::testing::Values(
        FollowCase{"AppearingPortKeepsTheSelection",
                   {"sim", "ttyUSB0"},
                   1,
                   {"sim", "ttyACM0", "ttyUSB0"},
                   {"sim", "ttyACM0", "ttyUSB0"},
                   "ttyUSB0",
                   false},
        FollowCase{"UnselectedPortGoes", {"sim", "ttyUSB0"}, 0, {"sim"}, {"sim"}, "sim", false},
        FollowCase{"SelectedPortGoesTheFirstIsChosen",
                   {"sim", "ttyUSB0"},
                   1,
                   {"ttyACM0", "sim"},
                   {"ttyACM0", "sim"},
                   "ttyACM0",
                   false},
        FollowCase{"LastPortGoesNaIsShown", {"ttyUSB0"}, 0, {}, {"n/a"}, "n/a", true},
        FollowCase{
            "FirstPortAfterNoneIsChosen", {}, 0, {"ttyUSB0"}, {"ttyUSB0"}, "ttyUSB0", false}),
    [](const ::testing::TestParamInfo<FollowCase>& p) { return p.param.name; });

using PortFollowWindowTest = UploadTest;

TEST_F(PortFollowWindowTest, OpenLineKeepsTheList) {
    ShowWindow({"sim"});
    Click(*ui().Button2);
    ASSERT_TRUE(port().Connected());
    SetPortList({"ttyUSB0"});
    state().PortsChanged();
    EXPECT_EQ(Entries(*ui().ComboBox1), QStringList{"sim"});
    EXPECT_TRUE(port().Connected());
}

TEST_F(PortFollowWindowTest, EachEntryTellsWhatTheSystemKnows) {
    form = std::make_unique<TForm1>(dialogs);
    state().IdentifyPorts = [] {
        return std::map<QString, PortIdentity>{
            {"ttyUSB0",
             {"FTDI FT232R USB UART 0403:6001", "A50285BI",
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"}},
            {"ttyS4", {"", "", ""}}};
    };
    SetPortList({"sim", "ttyS4", "ttyUSB0"});
    form->show();
    const QComboBox& combo = *ui().ComboBox1;
    EXPECT_EQ(combo.itemData(2, Qt::ToolTipRole).toString(),
              "FTDI FT232R USB UART 0403:6001\nS/N A50285BI\n"
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    EXPECT_EQ(combo.itemData(1, Qt::ToolTipRole).toString(), "");
    EXPECT_FALSE(combo.itemData(0, Qt::ToolTipRole).isValid());
}

// The adapter behind "sim" is pulled out, and comes back as ttyUSB1.
TEST_F(PortFollowWindowTest, LostLineClosesAndTheAdapterIsChosenAgain) {
    ShowWindow({"sim", "ttyUSB0"});
    const PortIdentity adapter{"CH340 1a86:7523", "", "/dev/serial/by-id/usb-1a86_CH340-port0"};
    std::map<QString, PortIdentity> identities{{"sim", adapter}};
    state().IdentifyPorts = [&identities] { return identities; };
    Click(*ui().Button2);
    ASSERT_TRUE(port().Connected());

    identities = {};
    SetPortList({"ttyUSB0"});
    state().LineLost();
    EXPECT_FALSE(port().Connected());
    EXPECT_EQ(LogLines().last(),
              QString::fromUtf8("Spojenie sa prerušilo: prevodník portu sim bol odpojený."));
    EXPECT_EQ(ui().Button2->text(), QString::fromUtf8("Pripojiť"));
    EXPECT_FALSE(ui().Button4->isEnabled());
    EXPECT_TRUE(ui().Button3->isEnabled());
    EXPECT_TRUE(ui().ComboBox1->isEnabled());
    EXPECT_EQ(ui().ComLed1->State(), lsOff);
    EXPECT_EQ(ui().ComboBox1->currentText(), "ttyUSB0");
    EXPECT_TRUE(dialogs.boxes.empty());

    identities = {{"ttyUSB1", adapter}};
    SetPortList({"ttyUSB0", "ttyUSB1"});
    state().PortsChanged();
    EXPECT_EQ(ui().ComboBox1->currentText(), "ttyUSB1");
    EXPECT_FALSE(state().PortBlocked);
}

// The quiet list's rule by itself: which entry, and whether connect is
// blocked, after adapters came or went.
TEST(ChoosePortAfterChange, TheRulesOfTheQuietList) {
    const QStringList two = {"ttyUSB0", "ttyUSB1"};
    const struct {
        const char* name;
        QStringList names;
        QString selected;
        int returning;
        QString lastFailed;
        bool blocked;
        PortChoice expected;
    } cases[] = {
        {"NoPortLeft", {}, "ttyUSB0", -1, "", false, {-1, true, false}},
        {"SelectedStays", two, "ttyUSB1", -1, "", false, {1, false, false}},
        {"SelectedStaysBlocked", two, "ttyUSB1", -1, "ttyUSB1", true, {1, true, false}},
        {"SelectedGoneFirstChosen", two, "ttyACM0", -1, "ttyACM0", true, {0, false, false}},
        {"LostAdapterBack", two, "ttyUSB0", 1, "", true, {1, false, true}},
        {"LostAdapterBackUnderTheFailedName", two, "ttyUSB0", 1, "ttyUSB1", true, {1, true, true}},
        {"NothingSelectedFirstChosen", two, "", -1, "", true, {0, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PortChoice choice =
            ChoosePortAfterChange(c.names, c.selected, c.returning, c.lastFailed, c.blocked);
        EXPECT_EQ(choice.index, c.expected.index);
        EXPECT_EQ(choice.blocked, c.expected.blocked);
        EXPECT_EQ(choice.adapterBack, c.expected.adapterBack);
    }
}

TEST(PortIdentities, ByIdLinksNameTheirDevicesAndDanglingOnesAreLeftOut) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    PtyLine line;
    ASSERT_TRUE(QFile::link(line.Path(), folder.filePath("usb-Board_A1-port0")));
    ASSERT_TRUE(QFile::link(folder.filePath("gone"), folder.filePath("usb-Gone-port0")));
    const auto identities = SystemPortIdentities(folder.path());
    const QString device = QFileInfo(line.Path()).fileName();
    ASSERT_EQ(identities.count(device), 1u);
    EXPECT_EQ(identities.at(device).stableName, folder.filePath("usb-Board_A1-port0"));
    for (const auto& [name, identity] : identities)
        EXPECT_NE(identity.stableName, folder.filePath("usb-Gone-port0")) << name.toStdString();
}

}  // namespace
}  // namespace kmp::testing
