// The upload part of the main window: port search and choice, connecting
// and disconnecting, the DSR reaction, the send button and the returned
// bytes. It owns ComPort1 and the port state and drives the window's
// controls that it is given; TForm1's reactions forward to it.
#pragma once

#include "ComPort.h"
#include "ListSerialPorts.h"
#include "board_reply.h"
#include "compiler.h"
#include "dialogs.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kmp {

class PortWatcher;
class TComLed;

// The controls of the main window that the upload drives.
struct UploadControls {
    QComboBox* ComboBox1;
    QPushButton* Button2;        // connect / disconnect
    QPushButton* Button3;        // port search
    QPushButton* Button4;        // send
    QCheckBox* CheckBox1;        // CTS handshake
    QPlainTextEdit* Memo1;       // the compile log
    TComLed* ComLed1;            // line open
    TComLed* ComLed2;            // DSR on
    QProgressBar* ProgressBar1;  // the send's progress, shown while sending
    QPushButton* Button7;        // cancels the send, shown while sending
};

class UploadController : public QObject {
    Q_OBJECT

public:
    // Sets ComPort1 up as the window describes it, with a virtual controller
    // behind it when `withSimulator`, ties the lamps to it and takes its
    // events (received bytes, DSR, a lost line).
    UploadController(const UploadControls& controls, Dialogs& dialogs, bool withSimulator,
                     QObject* parent = nullptr);
    ~UploadController() override;

    void FormShow();
    void FormClose();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button7Click();
    void ComboBox1Change();
    void ComPort1RxChar(int count);
    void ComPort1DSRChange(bool onOff);
    // A new compile run: the bar of the last send goes.
    void HideSendResult();
    // The outcome of the last compile run: Button4 sends its image when it
    // succeeded.
    void TakeCompileRun(bool ok, const ProgramImage& image);

    // Serial adapters may have come or gone: while the line is closed the
    // list follows them quietly (see the .cpp for the selection rules).
    void PortsChanged();
    // The open line's device has vanished: the window goes to its closed
    // state with one log line, and the adapter is chosen again when it
    // comes back.
    void LineLost();

    // True while a frame is being written; the window's own controls that
    // could change the image or the port take no input meanwhile.
    bool Sending() const { return sending_; }
    // Told when a send starts (true) and when it has ended (false).
    std::function<void(bool sending)> OnSending;
    // Runs the end of a send under the window's general error display.
    std::function<void(const std::function<void()>&)> RunGuarded =
        [](const std::function<void()>& reaction) { reaction(); };

    TComPort ComPort1;
    // True while a click on Button2 does nothing: no port found, the search
    // failed, or the selected port failed to open.
    bool PortBlocked = true;
    // The port name whose opening failed last.
    QString LastFailedPort;
    // The port names of the last search; released when the window closes.
    std::unique_ptr<QStringList> PortNames;
    // Fills a list with the port names, sorted; raises EComPort when there is
    // no list of serial ports. ListSerialPorts by default; tests put their own.
    std::function<void(QStringList&)> ListPorts;
    // What the system knows of each port: by default of the devices that the
    // last ListPorts read.
    std::function<std::map<QString, PortIdentity>()> IdentifyPorts;

private:
    void SearchPorts(bool byButton);
    void ShowNoPort();
    void Connect();
    void Disconnect();
    void ShowError(const QString& text);
    void ShowClosedState();
    void StartSend();
    void SendEnded(const WriteOutcome& outcome);
    void ShowSending(bool on);
    void ShowProgress();
    void ShowNoPortEntry();
    void CheckDsr();
    void TakeReturnedBytes(const std::string& bytes);
    void EndEchoCheck();
    void SetToolTips(const std::map<QString, PortIdentity>& identities);
    int ReturningAdapterIndex(const std::map<QString, PortIdentity>& identities) const;

    UploadControls ui_;
    Dialogs& dialogs_;
    std::unique_ptr<PortWatcher> watcher_;
    // The open line's adapter, and the port and adapter lost while open.
    PortIdentity openAdapter_;
    std::optional<std::pair<QString, PortIdentity>> lostAdapter_;
    std::vector<SerialDeviceInfo> devices_;
    bool compiledOk_ = false;
    ProgramImage image_{};
    bool sending_ = false;
    bool dsrOn_ = false;
    bool closing_ = false;  // the window is going away
    QTimer progressTimer_;
    // DSR still off a second after a connect is logged once.
    QTimer dsrTimer_;
    // The returned bytes of the last send, checked against its frame when
    // they end: the frame's length back, or quiet after the write.
    EchoCheck echo_;
    bool echoPending_ = false;
    QTimer replyTimer_;
};

}  // namespace kmp
