#include "upload_controller.h"

#include "CPortCtl.h"
#include "announce.h"
#include "ListSerialPorts.h"
#include "PortWatcher.h"
#include "port_choice.h"
#include "returned_bytes.h"
#include "simulator_choice.h"
#include "upload_frame.h"
#include "upload_port.h"
#include "upload_texts.h"

#include <compiler.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

namespace kmp {
namespace {

// The window's texts, looked up as the window's own.
QString Text(const char* source) {
    return QCoreApplication::translate("kmp::TForm1", source);
}

// The compile log as the upload's log.
class MemoLog final : public UploadLog {
public:
    explicit MemoLog(QPlainTextEdit& memo) : memo_(memo) {}
    void AppendLine(std::string_view line) override {
        memo_.appendPlainText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
    }

private:
    QPlainTextEdit& memo_;
};

void TieLamp(TComLed& lamp, TLedKind kind, TComLedSignal signal, TComPort& port) {
    lamp.SetKind(kind);
    lamp.SetLedSignal(signal);
    lamp.SetComPort(&port);
}

// A lamp's name for a screen reader says its state and changes with it;
// the tooltip stays the window's.
void NameLamp(TComLed& lamp, const char* on, const char* off) {
    const auto name = [&lamp, on, off](TLedState state) {
        lamp.setAccessibleName(Text(state == lsOn ? on : off));
        QAccessibleEvent event(&lamp, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    };
    name(lamp.State());
    lamp.OnChange = [name](QObject*, TLedState state) { name(state); };
}

}  // namespace

UploadController::UploadController(const UploadControls& controls, Dialogs& dialogs,
                                   bool withSimulator, QObject* parent)
    : QObject(parent),
      // One reading of the system's devices gives the names and the tooltips.
      ListPorts([this, withSimulator](QStringList& list) {
          ListSerialPorts(list, withSimulator, [this] { return devices_ = SystemSerialDevices(); });
      }),
      IdentifyPorts([this] { return PortIdentities(devices_); }),
      ui_(controls),
      dialogs_(dialogs),
      watcher_(std::make_unique<PortWatcher>()) {
    ComPort1.setObjectName(QStringLiteral("ComPort1"));
    DescribeComPort1(ComPort1);
    if (withSimulator) ComPort1.SetVirtualController(SimulatorBoardFromEnvironment());
    TieLamp(*ui_.ComLed1, lkYellowLight, lsConn, ComPort1);
    TieLamp(*ui_.ComLed2, lkGreenLight, lsDSR, ComPort1);
    ui_.ComLed1->setToolTip(Text(kLineOpenLampTip));
    ui_.ComLed2->setToolTip(Text(kBoardReadyLampTip));
    NameLamp(*ui_.ComLed1, kLineOpenLampTip, kLineClosedLampName);
    NameLamp(*ui_.ComLed2, kBoardReadyLampTip, kBoardNotReadyLampName);
    connect(watcher_.get(), &PortWatcher::Changed, this, [this] { PortsChanged(); });
    // The port's events come here directly; a lost line is shown as any
    // failure of a reaction of the window.
    ComPort1.OnRxChar = [this](QObject*, int count) { ComPort1RxChar(count); };
    ComPort1.OnDSRChange = [this](QObject*, bool onOff) { ComPort1DSRChange(onOff); };
    ComPort1.OnLineLost = [this](QObject*) { RunGuarded([this] { LineLost(); }); };
    // Ten readings a second: enough for a bar that moves a byte in 37 ms.
    progressTimer_.setInterval(100);
    connect(&progressTimer_, &QTimer::timeout, this, [this] { ShowProgress(); });
    dsrTimer_.setSingleShot(true);
    dsrTimer_.setInterval(kDsrWaitMs);
    connect(&dsrTimer_, &QTimer::timeout, this, [this] { CheckDsr(); });
    replyTimer_.setSingleShot(true);
    replyTimer_.setInterval(kReplyQuietMs);
    connect(&replyTimer_, &QTimer::timeout, this, [this] { EndEchoCheck(); });
}

UploadController::~UploadController() {
    // The window is going away: the port closes while everything that its
    // events reach is still there, and they change nothing any more.
    closing_ = true;
    try {
        ComPort1.Close();
    } catch (const std::exception&) {
        // A vanished device; nobody is left to tell.
    }
}

void UploadController::ShowError(const QString& text) {
    dialogs_.MessageBox(Text(kErrorCaption), text, BoxIcon::Error, BoxButtons::Ok, Answer::Ok);
}

// Port search and choice.

void UploadController::FormShow() {
    ui_.Memo1->clear();
    SearchPorts(false);
}

void UploadController::Button3Click() {
    SearchPorts(true);
}

void UploadController::ComboBox1Change() {
    if (SelectedPortName(*ui_.ComboBox1) != LastFailedPort) PortBlocked = false;
}

// The search shared by FormShow and Button3Click; only the search button
// empties the list first and reports what it found.
void UploadController::SearchPorts(bool byButton) {
    QComboBox& combo = *ui_.ComboBox1;
    PortBlocked = true;
    if (byButton) {
        const QString shown = combo.currentText();
        combo.clear();
        combo.setEditText(shown);
    }
    try {
        PortNames = std::make_unique<QStringList>();
        ListPorts(*PortNames);
        combo.addItems(*PortNames);
        SetToolTips(IdentifyPorts());
        if (combo.count() == 0) return;
        combo.setCurrentIndex(0);
        PortBlocked = false;
        if (!byButton) return;
        QString text;
        for (const QString& name : *PortNames) text += name + QString::fromLatin1(kListSeparator);
        dialogs_.MessageBox(Text(kPortsFoundCaption), text, BoxIcon::Information, BoxButtons::Ok,
                            Answer::Ok);
    } catch (const std::exception&) {
        ShowNoPort();
        PortBlocked = true;
    }
}

void UploadController::ShowNoPort() {
    dialogs_.MessageBox(Text(kNoPortCaption), Text(kNoPortText), BoxIcon::Information,
                        BoxButtons::Ok, Answer::Ok);
    ShowNoPortEntry();
}

void UploadController::ShowNoPortEntry() {
    QComboBox& combo = *ui_.ComboBox1;
    combo.addItem(QString::fromLatin1(kNoPortEntry));
    combo.setCurrentIndex(-1);
    combo.setEditText(QString::fromLatin1(kNoPortEntry));
}

void UploadController::SetToolTips(const std::map<QString, PortIdentity>& identities) {
    QComboBox& combo = *ui_.ComboBox1;
    for (int i = 0; i < combo.count(); ++i) {
        const auto found = identities.find(combo.itemText(i));
        if (found != identities.end())
            combo.setItemData(i, PortToolTip(found->second), Qt::ToolTipRole);
    }
}

// The rules of the quiet list: the selected entry stays selected while its
// port is listed; when it goes, the first entry is selected as a search
// would do it (or "n/a" without the box when none is left); an adapter lost
// while open is selected again when it is back, under any name. The list
// stays as it is while the line is open.
void UploadController::PortsChanged() {
    if (ComPort1.Connected()) return;
    QStringList names;
    try {
        ListPorts(names);
    } catch (const std::exception&) {
        names.clear();
    }
    const std::map<QString, PortIdentity> identities = IdentifyPorts();
    QComboBox& combo = *ui_.ComboBox1;
    const QString selected = SelectedPortName(combo);
    if (!PortNames || names != *PortNames) {
        PortNames = std::make_unique<QStringList>(names);
        combo.clear();
        combo.addItems(names);
    }
    SetToolTips(identities);
    const PortChoice choice = ChoosePortAfterChange(
        names, selected, ReturningAdapterIndex(identities), LastFailedPort, PortBlocked);
    PortBlocked = choice.blocked;
    if (choice.adapterBack) lostAdapter_.reset();
    if (choice.index >= 0) {
        combo.setCurrentIndex(choice.index);
    } else if (combo.currentText() != QString::fromLatin1(kNoPortEntry)) {
        ShowNoPortEntry();
    }
}

int UploadController::ReturningAdapterIndex(
    const std::map<QString, PortIdentity>& identities) const {
    if (!lostAdapter_) return -1;
    const auto& [lostName, lostIdentity] = *lostAdapter_;
    // A device that the system tells nothing of is known by its name only.
    if (lostIdentity.stableName.isEmpty() && lostIdentity.serialNumber.isEmpty())
        return static_cast<int>(PortNames->indexOf(lostName));
    for (int i = 0; i < PortNames->size(); ++i) {
        const auto found = identities.find(PortNames->at(i));
        if (found != identities.end() && found->second.SameAdapter(lostIdentity)) return i;
    }
    return -1;
}

// Connecting and disconnecting.

void UploadController::Button2Click() {
    if (PortBlocked || sending_) return;
    if (ComPort1.Connected())
        Disconnect();
    else
        Connect();
}

// Opens the selected port; a failure blocks connecting until another entry
// is chosen, and the buttons keep their state.
void UploadController::Connect() {
    const QString portName = SelectedPortName(*ui_.ComboBox1);
    try {
        ConnectPort(ComPort1, portName.toStdString(), ui_.CheckBox1->isChecked());
        const auto identities = IdentifyPorts();
        const auto found = identities.find(portName);
        openAdapter_ = found != identities.end() ? found->second : PortIdentity{};
        ui_.Button3->setEnabled(false);
        ui_.Button2->setText(Text(kDisconnectCaption));
        ui_.ComboBox1->setEnabled(false);
        ui_.CheckBox1->setEnabled(false);
        if (!dsrOn_) dsrTimer_.start();
    } catch (const std::exception& error) {
        ShowError(Text(kCannotConnectText) + portName + Text(kCannotConnectTextEnd));
        MemoLog log(*ui_.Memo1);
        LogOpenHint(error, portName.toStdString(), log);
        PortBlocked = true;
        LastFailedPort = portName;
    }
}

// Closes the line; the window returns to the closed state also when the
// close failed (a line that vanished).
void UploadController::Disconnect() {
    try {
        ComPort1.Close();
    } catch (const std::exception&) {
        ShowError(Text(kLostOnDisconnectText));
    }
    ShowClosedState();
}

void UploadController::ShowClosedState() {
    dsrOn_ = false;
    dsrTimer_.stop();
    replyTimer_.stop();
    echoPending_ = false;
    ui_.ProgressBar1->setVisible(false);
    ui_.ComboBox1->setEnabled(true);
    ui_.CheckBox1->setEnabled(true);
    ui_.Button3->setEnabled(true);
    ui_.Button2->setText(Text(kConnectCaption));
    ui_.Button4->setEnabled(false);
    // Adapters may have come or gone while the line was open.
    PortsChanged();
}

void UploadController::LineLost() {
    if (closing_ || !ComPort1.Connected()) return;
    const std::string portName = ComPort1.Port();
    lostAdapter_.emplace(QString::fromStdString(portName), openAdapter_);
    try {
        ComPort1.Close();
    } catch (const std::exception&) {
        // The device is gone; the log line below says so.
    }
    MemoLog log(*ui_.Memo1);
    log.AppendLine(kLineLostPrefix + portName + kLineLostEnd);
    ShowClosedState();
}

void UploadController::ComPort1DSRChange(bool onOff) {
    if (closing_) return;
    dsrOn_ = onOff;
    if (onOff) dsrTimer_.stop();
    // While sending the button stays off; the end of the send sets it.
    if (!sending_) ui_.Button4->setEnabled(onOff);
}

void UploadController::CheckDsr() {
    if (!ComPort1.Connected() || dsrOn_) return;
    MemoLog log(*ui_.Memo1);
    log.AppendLine(DsrOffLine(ComPort1.Port(), kDsrWaitMs));
}

void UploadController::FormClose() {
    PortNames.reset();
    if (!ComPort1.Connected()) return;
    try {
        ComPort1.Close();
    } catch (const std::exception&) {
        ShowError(Text(kLostOnCloseText));
    }
}

// Sending and the returned bytes.

void UploadController::TakeCompileRun(bool ok, const ProgramImage& image) {
    compiledOk_ = ok;
    image_ = image;
}

void UploadController::Button4Click() {
    if (ProgramChanged &&
        dialogs_.MessageBox(Text(kChangedCaption), Text(kChangedText), BoxIcon::Information,
                            BoxButtons::YesNo, Answer::Yes) != Answer::Yes)
        return;
    if (!compiledOk_) {
        dialogs_.MessageBox(Text(kNotCompiledCaption), Text(kNotCompiledText), BoxIcon::Information,
                            BoxButtons::Ok, Answer::Ok);
        return;
    }
    StartSend();
}

// The frame goes out in the background: the window repaints, the lamps
// follow the line and the returned bytes are logged as they come.
void UploadController::StartSend() {
    if (sending_) return;
    MemoLog log(*ui_.Memo1);
    replyTimer_.stop();
    echo_.Start(UploadFrame(image_));
    echoPending_ = false;
    StartSendImage(ComPort1, image_, log, [this](const WriteOutcome& outcome) {
        RunGuarded([this, &outcome] { SendEnded(outcome); });
    });
    echoPending_ = true;
    ShowSending(true);
}

void UploadController::Button7Click() {
    if (sending_) ComPort1.CancelWrite();
}

void UploadController::SendEnded(const WriteOutcome& outcome) {
    if (closing_) return;
    ShowSending(false);
    const std::string line = SendEndLine(outcome, ui_.CheckBox1->isChecked());
    if (!line.empty()) {
        MemoLog log(*ui_.Memo1);
        log.AppendLine(line);
    }
    const QString progress =
        QString::fromStdString(ProgressText(ProgressOf(ComPort1.WriteProgress())));
    Announce(*ui_.Memo1, line.empty() ? Text(kSendDoneAnnouncement).arg(progress)
                                      : QString::fromStdString(line));
    // Only a frame that went out whole is checked; its bytes may still come.
    if (outcome.End != weCompleted) echoPending_ = false;
    if (echoPending_) replyTimer_.start();
    // A failure of the line goes on to the general error display.
    if (outcome.End == weFailed && outcome.Error) std::rethrow_exception(outcome.Error);
}

// The bar stays with the end of the send until the next one or the close.
void UploadController::ShowSending(bool on) {
    sending_ = on;
    ui_.Button2->setEnabled(!on);
    ui_.Button4->setEnabled(!on && dsrOn_ && ComPort1.Connected());
    ui_.Button7->setVisible(on);
    if (on) {
        progressTimer_.start();
        ui_.ProgressBar1->setVisible(true);
    } else {
        progressTimer_.stop();
    }
    ShowProgress();
    if (OnSending) OnSending(on);
}

void UploadController::ShowProgress() {
    const SendProgress progress = ProgressOf(ComPort1.WriteProgress());
    QProgressBar& bar = *ui_.ProgressBar1;
    bar.setMaximum(std::max(progress.total, 1));
    bar.setValue(progress.written);
    bar.setFormat(QString::fromStdString(ProgressText(progress)));
}

void UploadController::ComPort1RxChar(int /*count*/) {
    if (closing_) return;
    MemoLog log(*ui_.Memo1);
    std::string returned;
    ReadReturnedBytes(ComPort1, log, &returned);
    TakeReturnedBytes(returned);
}

void UploadController::TakeReturnedBytes(const std::string& bytes) {
    if (!echoPending_ || bytes.empty()) return;
    if (echo_.Take(bytes)) {
        EndEchoCheck();
    } else if (!sending_) {
        replyTimer_.start();  // quiet is counted from the last byte
    }
}

// The returned bytes of the send have ended: one line compares them with
// the frame, or says that none came back.
void UploadController::EndEchoCheck() {
    if (!echoPending_) return;
    echoPending_ = false;
    replyTimer_.stop();
    MemoLog log(*ui_.Memo1);
    log.AppendLine(echo_.Line());
}

void UploadController::HideSendResult() {
    if (!sending_) ui_.ProgressBar1->setVisible(false);
}

}  // namespace kmp
