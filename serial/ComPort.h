// TCustomComPort and TComPort: the serial port component.
//
// The serial layer runs these threads besides the port's own (the main
// thread, on which every operation and, with smThreadSync, every reaction
// runs):
// - the event thread (TComThread, ComThread.h), one per open port with
//   events selected: it waits for line events and hands each batch to the
//   port's thread, because a wait for line events blocks;
// - the modem watcher (ModemWatcher.h), one per open termios device with
//   modem lines: it blocks in TIOCMIWAIT and wakes the event wait, because
//   poll cannot wait for a change of CTS, DSR, RLSD or Ring;
// - the write worker (BackgroundWrite.h), during a WriteInBackground only:
//   it runs the device's Write, so that the port's thread keeps its event
//   loop (and the port's events) going meanwhile; Close, CancelWrite and a
//   lost line stop it and wait for it;
// - the write drain (TermiosDevice::DrainUntil), during a Write with a time
//   limit or a background write only: it blocks in tcdrain, which has no
//   time limit (and no cancel) of its own.
//
// A background write: WriteInBackground runs the device's Write over the
// whole buffer (the same bytes and time limits as Write) on the write worker
// and returns at once; the port's events go on being delivered meanwhile.
// `done` runs once on the port's thread when the write has ended
// (completed, timed out, cancelled or failed). WriteProgress reports its
// progress on request (for a timer; there is no progress callback).
// CancelWrite stops it within 200 ms: the unsent bytes are dropped from the
// output queue (a pseudo-terminal's taken bytes are the peer's unread input:
// they stay and count as written). While it runs, a second write (either
// kind) raises EComPort code 2 with EBUSY, settings pushes are held back
// until it has ended (a failed held-back push goes to ShowException), and
// Close first cancels it, reports it to `done` and joins its worker.
//
// OnLineLost: while the port is open with events selected, the event thread
// notices a device that vanished (hang-up or EIO in its wait or in a
// reaction: a closed pseudo-terminal master, a pulled USB adapter) and
// ends; the port then fires OnLineLost once, on its thread, after ending a
// background write in flight as failed (code 2, EIO). Not when the port was
// closed first. The port stays open: the handler usually calls Close, which
// reports the loss as usual.
//
// One signal handler: SIGURG, installed once without SA_RESTART and doing
// nothing, so that the modem watcher's stop can interrupt TIOCMIWAIT.
#pragma once

#include <QObject>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ComDevice.h"
#include "ComError.h"
#include "ComLink.h"
#include "ComSettings.h"
#include "ComTypes.h"
#include "Descriptors.h"
#include "WriteOutcome.h"

class QSocketNotifier;

namespace kmp {

class TComThread;
class BackgroundWrite;
class EventWindow;
class HandOver;
class VirtualController;

class TCustomComPort : public QObject {
    Q_OBJECT

public:
    explicit TCustomComPort(QObject* owner = nullptr);
    ~TCustomComPort() override;

    // Events, fired with the port as Sender.
    using NotifyEvent = std::function<void(QObject* Sender)>;
    NotifyEvent OnAfterOpen, OnAfterClose, OnBeforeOpen, OnBeforeClose;
    NotifyEvent OnTxEmpty, OnBreak, OnRing, OnRxFlag, OnRx80Full;
    NotifyEvent OnLineLost;
    std::function<void(QObject* Sender, int Count)> OnRxChar;
    std::function<void(QObject* Sender, const std::uint8_t* Buffer, int Count)> OnRxBuf;
    std::function<void(QObject*Sender, bool OnOff)> OnCTSChange, OnDSRChange, OnRLSDChange;
    std::function<void(QObject* Sender, TComErrors Errors)> OnError;

    // The application's standard display of an error that no caller catches
    // (end of loading, smWindowSync reactions). Default: a line on stderr.
    std::function<void(const std::exception& error)> ShowException;

    // Operations; each may raise EComPort.
    void Open();
    void Close();
    int Write(const void* Buffer, int Count);
    // The same write on a worker thread; `done` gets its outcome on the
    // port's thread. Raises code 2 when the port is closed (EBADF) or a
    // write runs (EBUSY).
    void WriteInBackground(std::vector<std::uint8_t> data,
                           std::function<void(const WriteOutcome&)> done);
    // The running background write's progress, or the last one's end.
    WriteStatus WriteProgress();
    // Stops the background write, if one runs; raises nothing.
    void CancelWrite();
    int ReadString(std::string& Text, int Count);
    void SetRTS(bool OnOff);
    void SetDTR(bool OnOff);
    int BytesWaiting();
    ModemLines ReadModemLines();
    TComErrors TakeLineErrors();
    void RegisterLink(TComLink* link);
    void UnRegisterLink(TComLink* link);

    // Properties.
    bool Connected() const { return connected_; }
    void SetConnected(bool value);
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate value) { ChangeLine(baudRate_, value); }
    int CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(int value) { ChangeLine(customBaudRate_, value); }
    const std::string& Port() const { return port_; }
    void SetPort(const std::string& value);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits value) { ChangeLine(stopBits_, value); }
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits value) { ChangeLine(dataBits_, value); }
    bool DiscardNull() const { return discardNull_; }
    void SetDiscardNull(bool value) { ChangeLine(discardNull_, value); }
    std::uint8_t EventChar() const { return eventChar_; }
    void SetEventChar(std::uint8_t value) { ChangeLine(eventChar_, value); }
    TComEvents Events() const { return events_; }
    void SetEvents(TComEvents value) { events_ = value; }
    TSyncMethod SyncMethod() const { return syncMethod_; }
    void SetSyncMethod(TSyncMethod value);

    TComParity& Parity() { return parity_; }
    TComFlowControl& FlowControl() { return flowControl_; }
    TComTimeouts& Timeouts() { return timeouts_; }
    TComBuffer& Buffer() { return buffer_; }
    void SetParity(const TComParity& value);
    void SetFlowControl(const TComFlowControl& value);
    void SetTimeouts(const TComTimeouts& value);
    void SetBuffer(const TComBuffer& value);

    // The window description's loading state: setters only store values.
    void BeginLoading() { loading_ = true; }
    void EndLoading();
    bool Loading() const { return loading_; }

    // The simulated board that `Port` "sim" opens; none by default.
    void SetVirtualController(std::shared_ptr<VirtualController> board);
    const std::shared_ptr<VirtualController>& GetVirtualController() const { return board_; }

    // Settings pushes; each does nothing unless open and not loading.
    virtual void PushLineSettings();
    virtual void PushTimeouts();
    virtual void PushQueueSizes();

protected:
    virtual void OpenDevice();
    virtual void CloseDevice();
    virtual void PushAllSettings();

    virtual void DoAfterClose() { Fire(OnAfterClose); }
    virtual void DoAfterOpen() { Fire(OnAfterOpen); }
    virtual void DoBeforeClose() { Fire(OnBeforeClose); }
    virtual void DoBeforeOpen() { Fire(OnBeforeOpen); }
    virtual void DoRxChar(int Count);
    virtual void DoRxBuf(const std::uint8_t* Buffer, int Count);
    virtual void DoTxEmpty() { Fire(OnTxEmpty); }
    virtual void DoBreak() { Fire(OnBreak); }
    virtual void DoRing() { Fire(OnRing); }
    virtual void DoRxFlag() { Fire(OnRxFlag); }
    virtual void DoCTSChange(bool OnOff) { FireOnOff(OnCTSChange, OnOff); }
    virtual void DoDSRChange(bool OnOff) { FireOnOff(OnDSRChange, OnOff); }
    virtual void DoError(TComErrors Errors);
    virtual void DoRLSDChange(bool OnOff) { FireOnOff(OnRLSDChange, OnOff); }
    virtual void DoRx80Full() { Fire(OnRx80Full); }
    virtual void DoLineLost() { Fire(OnLineLost); }

private:
    friend class TComThread;
    friend class EventWindow;
    friend class ComPortTestPeer;  // the tests' view of the internal state

    // Runs the reactions for `events` in the fixed order.
    void RunEventReactions(TComEvents events);
    // The reaction to one event.
    void ReactTo(TComEvent event);
    void ReactToRxChar();
    void ReactToLineChange(TComEvent event);

    // Background writes (ComPortWrite.cpp).
    enum class WriteFinish { ended, closing, lineLost };
    void FinishBackgroundWrite(WriteFinish why);
    int SurelyTaken(const BackgroundWrite& write);
    void RunHeldBackPushes();
    enum HeldBackPush : unsigned { kPushQueues = 1, kPushLine = 2, kPushTimeouts = 4 };
    // True (and the push recorded) while a background write runs.
    bool HoldBackPush(unsigned push);
    void NoteCTS(bool on);
    // Port's thread, posted by the event thread: the device of opening
    // `opening` is gone.
    void ReactToLineLost(std::uint64_t opening);

    void StartEventThread();
    void StopEventThread();
    void BeforeCloseStep();
    void AfterOpenStep();
    void ReportLoadingError(const std::exception& error);
    bool CanPush() const { return connected_ && !loading_ && device_ != nullptr; }
    ComDevice& Device();

    template <typename T>
    void ChangeLine(T& field, T value) {
        if (field == value) return;
        field = value;
        PushLineSettings();
    }
    void Fire(const NotifyEvent& event) {
        if (event) event(this);
    }
    void FireOnOff(const std::function<void(QObject*, bool)>& event, bool OnOff) {
        if (event) event(this, OnOff);
    }
    // Calls `notice` of every registered link that has it, in order.
    template <typename Notice, typename... Args>
    void NotifyLinks(Notice TComLink::*notice, Args... args) {
        const std::vector<TComLink*> links = links_;
        for (TComLink* link : links)
            if (link->*notice) (link->*notice)(this, args...);
    }

    bool connected_ = false;
    bool closing_ = false;
    int windowReactions_ = 0;  // EventWindow reactions on the stack
    bool loading_ = false;
    bool connectWhenLoaded_ = false;
    TBaudRate baudRate_ = br9600;
    int customBaudRate_ = 9600;
    std::string port_ = "COM1";
    TStopBits stopBits_ = sbOneStopBit;
    TDataBits dataBits_ = dbEight;
    bool discardNull_ = false;
    std::uint8_t eventChar_ = 0;
    TComEvents events_ = kAllComEvents;
    TSyncMethod syncMethod_ = smThreadSync;
    TComParity parity_{this};
    TComFlowControl flowControl_{this};
    TComTimeouts timeouts_{this};
    TComBuffer buffer_{this};
    std::vector<TComLink*> links_;
    bool hasBlockReader_ = false;
    std::shared_ptr<VirtualController> board_;
    std::unique_ptr<ComDevice> device_;
    std::unique_ptr<EventWindow> eventWindow_;
    std::unique_ptr<TComThread> eventThread_;
    std::uint64_t openings_ = 0;  // counts the Opens
    EventFd writeEnded_;          // woken by a worker that has ended
    // Declared after device_ and writeEnded_: it goes first.
    std::unique_ptr<BackgroundWrite> write_;
    // Read by the event thread as it ends: the output queue is the write's.
    std::atomic<bool> writing_{false};
    std::function<void(const WriteOutcome&)> writeDone_;
    QSocketNotifier* writeWatch_ = nullptr;  // watches writeEnded_; a child
    WriteStatus lastWrite_;
    unsigned heldBackPushes_ = 0;
    bool ctsOff_ = false;
    WriteStatus::Clock::time_point ctsOffSince_{};
};

// The published form of the component; all behaviour is in TCustomComPort.
class TComPort : public TCustomComPort {
    Q_OBJECT

public:
    using TCustomComPort::TCustomComPort;
};

}  // namespace kmp
