#include "ComPort.h"
#include "SerialTrace.h"

#include <cerrno>
#include <iostream>
#include <stdexcept>
#include <vector>

#include "BackgroundWrite.h"
#include "ComEvents.h"
#include "ComThread.h"
#include "EventWindow.h"
#include "PortName.h"
#include "VirtualController.h"

namespace kmp {

namespace {

// Runs `call` on the device and turns a DeviceError into EComPort `code`.
template <typename Call>
decltype(auto) Guard(int code, Call&& call) {
    try {
        return call();
    } catch (const DeviceError& e) {
        throw EComPort(code, e.Error(), e.Detail());
    }
}

constexpr std::uint32_t kBaudRates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                        14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

[[noreturn]] void RangeCheckFailed() {
    throw std::range_error("Range check error");
}

// A timeout in the device's unsigned field: -1 is all bits set.
std::uint32_t TimeoutField(std::int32_t value) {
    if (value == -1) return MAXDWORD;
    if (value < 0) RangeCheckFailed();
    return static_cast<std::uint32_t>(value);
}

}  // namespace

TCustomComPort::TCustomComPort(QObject* owner) : QObject(owner) {
    ShowException = [](const std::exception& error) { std::cerr << error.what() << '\n'; };
}

TCustomComPort::~TCustomComPort() {
    try {
        Close();
    } catch (const std::exception&) {
        // The device goes away with the port in any case.
        write_.reset();
        StopEventThread();
        CloseDevice();
        connected_ = false;
    }
}

ComDevice& TCustomComPort::Device() {
    if (!device_) throw DeviceError(EBADF);  // each operation raises its own code
    return *device_;
}

void TCustomComPort::SetVirtualController(std::shared_ptr<VirtualController> board) {
    board_ = std::move(board);
}

void TCustomComPort::OpenDevice() {
    device_ = Guard(CError_OpenFailed, [this]() -> std::unique_ptr<ComDevice> {
        if (port_ == kSimulatorPortName) {
            if (!board_) throw DeviceError(ENOENT);
            return board_->OpenDevice();
        }
        return OpenTermiosDevice(port_);
    });
}

void TCustomComPort::CloseDevice() {
    device_.reset();
}

void TCustomComPort::Open() {
    if (connected_) return;
    DoBeforeOpen();
    OpenDevice();
    TraceSerial([this] { return "open " + port_; });
    connected_ = true;
    ++openings_;
    try {
        PushAllSettings();
        StartEventThread();
    } catch (...) {
        eventWindow_.reset();
        CloseDevice();
        connected_ = false;
        throw;
    }
    AfterOpenStep();
}

void TCustomComPort::AfterOpenStep() {
    NotifyLinks(&TComLink::ConnectionNotice, true);
    DoAfterOpen();
    const bool cts = ReadModemLines().Contains(mlCTS);
    NoteCTS(cts);
    NotifyLinks(&TComLink::CTSNotice, cts);
    DoCTSChange(cts);
    const bool dsr = ReadModemLines().Contains(mlDSR);
    NotifyLinks(&TComLink::DSRNotice, dsr);
    DoDSRChange(dsr);
    const bool rlsd = ReadModemLines().Contains(mlRLSD);
    NotifyLinks(&TComLink::RLSDNotice, rlsd);
    DoRLSDChange(rlsd);
}

void TCustomComPort::Close() {
    // A Close from a handler that Close itself fires does nothing.
    if (!connected_ || closing_) return;
    closing_ = true;
    struct ClosingFlag {
        bool& flag;
        ~ClosingFlag() { flag = false; }
    } closingFlag{closing_};
    if (write_) FinishBackgroundWrite(WriteFinish::closing);
    BeforeCloseStep();
    // A device that is gone (an unplugged adapter) cannot be purged, and
    // would stay open for ever if the close stopped there: the close is
    // finished and the loss reported afterwards.
    int lostDevice = 0;
    try {
        Device().Purge(PURGE_TXABORT | PURGE_RXABORT);
    } catch (const DeviceError& e) {
        if (!DeviceIsGone(e.Error())) throw EComPort(CError_PurgeFailed, e.Error());
        lostDevice = e.Error();
    }
    StopEventThread();
    CloseDevice();
    connected_ = false;
    NotifyLinks(&TComLink::ConnectionNotice, false);
    DoAfterClose();
    if (lostDevice != 0) throw EComPort(CError_PurgeFailed, lostDevice);
}

void TCustomComPort::BeforeCloseStep() {
    NotifyLinks(&TComLink::CTSNotice, false);
    NotifyLinks(&TComLink::DSRNotice, false);
    NotifyLinks(&TComLink::RLSDNotice, false);
    DoCTSChange(false);
    DoDSRChange(false);
    DoRLSDChange(false);
    DoBeforeClose();
}

void TCustomComPort::StartEventThread() {
    if (events_.Empty()) return;
    if (syncMethod_ == smWindowSync) eventWindow_ = std::make_unique<EventWindow>(*this);
    eventThread_ = std::make_unique<TComThread>(*this, *device_, eventWindow_.get());
}

void TCustomComPort::StopEventThread() {
    if (eventThread_) {
        eventThread_->StopAndWait();
        eventThread_.reset();
    }
    // Closed from a window reaction: the window goes once that has returned.
    if (eventWindow_ && windowReactions_ > 0)
        eventWindow_.release()->deleteLater();
    else
        eventWindow_.reset();
}

int TCustomComPort::Write(const void* Buffer, int Count) {
    if (Count <= 0) return 0;
    if (write_) throw EComPort(CError_WriteFailed, EBUSY);
    const auto* bytes = static_cast<const std::uint8_t*>(Buffer);
    const std::vector<std::uint8_t> copy(bytes, bytes + Count);
    ComDevice* device = Guard(CError_WriteFailed, [this] { return &Device(); });
    NotifyLinks(&TComLink::TxActivityNotice, true);
    const auto written =
        Guard(CError_WriteFailed, [&] { return device->Write(copy.data(), copy.size()); });
    TraceSerial([&] {
        return "write " + std::to_string(written) + " of " + std::to_string(Count) + " bytes";
    });
    NotifyLinks(&TComLink::SentBlockNotice, copy.data(), Count);
    return static_cast<int>(written);
}

int TCustomComPort::ReadString(std::string& Text, int Count) {
    Text.clear();
    if (Count <= 0) return 0;
    Text.resize(static_cast<std::size_t>(Count));
    const auto read = Guard(CError_ReadFailed, [&] {
        return Device().Read(reinterpret_cast<std::uint8_t*>(Text.data()), Text.size());
    });
    Text.resize(read);
    if (BytesWaiting() == 0) NotifyLinks(&TComLink::RxActivityNotice, false);
    return static_cast<int>(read);
}

void TCustomComPort::SetRTS(bool OnOff) {
    Guard(CError_EscapeComFailed,
          [&] { Device().Escape(OnOff ? EscapeFunction::SETRTS : EscapeFunction::CLRRTS); });
}

void TCustomComPort::SetDTR(bool OnOff) {
    Guard(CError_EscapeComFailed,
          [&] { Device().Escape(OnOff ? EscapeFunction::SETDTR : EscapeFunction::CLRDTR); });
}

int TCustomComPort::BytesWaiting() {
    return Guard(CError_ClearComFailed,
                 [this] { return static_cast<int>(Device().ClearError().InQueue); });
}

ModemLines TCustomComPort::ReadModemLines() {
    const std::uint32_t status =
        Guard(CError_ModemStatFailed, [this] { return Device().ModemStatus(); });
    ModemLines lines;
    if (status & MS_CTS_ON) lines.Include(mlCTS);
    if (status & MS_DSR_ON) lines.Include(mlDSR);
    if (status & MS_RING_ON) lines.Include(mlRing);
    if (status & MS_RLSD_ON) lines.Include(mlRLSD);
    return lines;
}

TComErrors TCustomComPort::TakeLineErrors() {
    const std::uint32_t flags =
        Guard(CError_ClearComFailed, [this] { return Device().ClearError().Errors; });
    TComErrors errors;
    if (flags & CE_FRAME) errors.Include(ceFrame);
    if ((flags & CE_RXPARITY) && parity_.Check()) errors.Include(ceRxParity);
    if (flags & CE_OVERRUN) errors.Include(ceOverrun);
    if (flags & CE_BREAK) errors.Include(ceBreak);
    if (flags & CE_IOE) errors.Include(ceIO);
    if (flags & CE_MODE) errors.Include(ceMode);
    if (flags & CE_RXOVER) errors.Include(ceRxOver);
    if (flags & CE_TXFULL) errors.Include(ceTxFull);
    return errors;
}

void TCustomComPort::RegisterLink(TComLink* link) {
    for (TComLink* present : links_)
        if (present == link) throw EComPort(CError_RegFailed);
    links_.push_back(link);
    hasBlockReader_ = false;
    for (TComLink* l : links_) hasBlockReader_ = hasBlockReader_ || bool(l->ReceivedBlockNotice);
}

void TCustomComPort::UnRegisterLink(TComLink* link) {
    auto it = links_.begin();
    while (it != links_.end() && *it != link) ++it;
    if (it == links_.end()) throw EComPort(CError_RegFailed);
    links_.erase(it);
    hasBlockReader_ = false;
    for (TComLink* l : links_) hasBlockReader_ = hasBlockReader_ || bool(l->ReceivedBlockNotice);
}

void TCustomComPort::SetConnected(bool value) {
    if (loading_) {
        connectWhenLoaded_ = value;
        return;
    }
    if (value == connected_) return;
    if (value)
        Open();
    else
        Close();
}

void TCustomComPort::EndLoading() {
    loading_ = false;
    if (!connectWhenLoaded_) return;
    connectWhenLoaded_ = false;
    try {
        Open();
    } catch (const std::exception& error) {
        ReportLoadingError(error);
    }
}

void TCustomComPort::ReportLoadingError(const std::exception& error) {
    if (ShowException) ShowException(error);
}

void TCustomComPort::SetPort(const std::string& value) {
    if (value == port_) return;
    port_ = value;
    if (connected_ && !loading_) {
        Close();
        Open();
    }
}

void TCustomComPort::SetSyncMethod(TSyncMethod value) {
    if (value == syncMethod_) return;
    if (connected_ && !loading_) throw EComPort(CError_ConnChangeProp);
    syncMethod_ = value;
}

void TCustomComPort::SetParity(const TComParity& value) {
    parity_.CopyFields(value);
    PushLineSettings();
}

void TCustomComPort::SetFlowControl(const TComFlowControl& value) {
    flowControl_.CopyFields(value);
    PushLineSettings();
}

void TCustomComPort::SetTimeouts(const TComTimeouts& value) {
    timeouts_.CopyFields(value);
    PushTimeouts();
}

void TCustomComPort::SetBuffer(const TComBuffer& value) {
    buffer_.CopyFields(value);
    PushQueueSizes();
}

// Pushing the settings to the device.

void TCustomComPort::PushAllSettings() {
    PushQueueSizes();
    PushLineSettings();
    PushTimeouts();
}

void TCustomComPort::PushQueueSizes() {
    if (!CanPush() || HoldBackPush(kPushQueues)) return;
    if (buffer_.InputSize() < 0 || buffer_.OutputSize() < 0) RangeCheckFailed();
    Guard(CError_SetupComFailed,
          [this] { device_->SetupQueues(buffer_.InputSize(), buffer_.OutputSize()); });
}

void TCustomComPort::PushLineSettings() {
    if (!CanPush() || HoldBackPush(kPushLine)) return;
    if (baudRate_ == brCustom && customBaudRate_ < 0) RangeCheckFailed();
    if (buffer_.InputSize() < 0 || buffer_.InputSize() >= 262144) RangeCheckFailed();
    Dcb dcb;
    dcb.BaudRate =
        baudRate_ == brCustom ? static_cast<std::uint32_t>(customBaudRate_) : kBaudRates[baudRate_];
    dcb.ByteSize = static_cast<std::uint8_t>(5 + dataBits_);
    dcb.Parity = static_cast<std::uint8_t>(parity_.Bits());
    dcb.StopBits = static_cast<std::uint8_t>(stopBits_);
    dcb.fBinary = true;
    dcb.fParity = parity_.Check();
    if (parity_.Check() && parity_.Replace()) {
        dcb.fErrorChar = true;
        dcb.ErrorChar = parity_.ReplaceChar();
    }
    dcb.fNull = discardNull_;
    dcb.EvtChar = eventChar_;
    dcb.fOutxCtsFlow = flowControl_.OutCTSFlow();
    dcb.fOutxDsrFlow = flowControl_.OutDSRFlow();
    dcb.fDtrControl = flowControl_.ControlDTR();
    dcb.fRtsControl = flowControl_.ControlRTS();
    dcb.fDsrSensitivity = flowControl_.DSRSensitivity();
    dcb.fTXContinueOnXoff = flowControl_.TxContinueOnXoff();
    dcb.fOutX = flowControl_.XonXoffOut();
    dcb.fInX = flowControl_.XonXoffIn();
    dcb.XonChar = flowControl_.XonChar();
    dcb.XoffChar = flowControl_.XoffChar();
    dcb.XonLim = static_cast<std::uint16_t>(buffer_.InputSize() / 4);
    dcb.XoffLim = dcb.XonLim;
    Guard(CError_SetStateFailed, [&] { device_->SetState(dcb); });
}

void TCustomComPort::PushTimeouts() {
    if (!CanPush() || HoldBackPush(kPushTimeouts)) return;
    CommTimeouts t;
    t.ReadIntervalTimeout = TimeoutField(timeouts_.ReadInterval());
    t.ReadTotalTimeoutMultiplier = TimeoutField(timeouts_.ReadTotalMultiplier());
    t.ReadTotalTimeoutConstant = TimeoutField(timeouts_.ReadTotalConstant());
    t.WriteTotalTimeoutMultiplier = TimeoutField(timeouts_.WriteTotalMultiplier());
    t.WriteTotalTimeoutConstant = TimeoutField(timeouts_.WriteTotalConstant());
    Guard(CError_TimeoutsFailed, [&] { device_->SetTimeouts(t); });
}

// The reactions to line events, run by the event delivery.

void TCustomComPort::RunEventReactions(TComEvents events) {
    for (const auto& e : kComEventOrder)
        if (events.Contains(e.event)) ReactTo(e.event);
}

void TCustomComPort::ReactTo(TComEvent event) {
    switch (event) {
    case evRxChar: ReactToRxChar(); break;
    case evCTS:
    case evDSR:
    case evRLSD: ReactToLineChange(event); break;
    case evError: {
        const TComErrors errors = TakeLineErrors();
        if (!errors.Empty()) DoError(errors);
        break;
    }
    case evRing:
        NotifyLinks(&TComLink::RingNotice);
        DoRing();
        break;
    case evTxEmpty:
        NotifyLinks(&TComLink::TxActivityNotice, false);
        NotifyLinks(&TComLink::TxEmptyNotice);
        DoTxEmpty();
        break;
    case evRxFlag:
        NotifyLinks(&TComLink::RxFlagNotice);
        DoRxFlag();
        break;
    case evBreak: DoBreak(); break;
    case evRx80Full: DoRx80Full(); break;
    }
}

void TCustomComPort::ReactToLineChange(TComEvent event) {
    const ModemLines lines = ReadModemLines();
    TraceSerial([&] {
        const auto on = [&](TModemLine line) { return lines.Contains(line) ? " on" : " off"; };
        return std::string("modem lines: CTS") + on(mlCTS) + ", DSR" + on(mlDSR) + ", RLSD" +
               on(mlRLSD);
    });
    if (event == evCTS) {
        const bool on = lines.Contains(mlCTS);
        NoteCTS(on);
        NotifyLinks(&TComLink::CTSNotice, on);
        DoCTSChange(on);
    } else if (event == evDSR) {
        const bool on = lines.Contains(mlDSR);
        NotifyLinks(&TComLink::DSRNotice, on);
        DoDSRChange(on);
    } else {
        const bool on = lines.Contains(mlRLSD);
        NotifyLinks(&TComLink::RLSDNotice, on);
        DoRLSDChange(on);
    }
}

void TCustomComPort::ReactToRxChar() {
    int count = BytesWaiting();
    if (count > 0) NotifyLinks(&TComLink::RxActivityNotice, true);
    if (count > 0 && hasBlockReader_) {
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(count));
        std::string text;
        const int read = ReadString(text, count);
        buffer.assign(text.begin(), text.begin() + read);
        DoRxBuf(buffer.data(), read);
        NotifyLinks(&TComLink::ReceivedBlockNotice, static_cast<const std::uint8_t*>(buffer.data()),
                    read);
        count = 0;
    }
    if (count > 0) DoRxChar(count);
}

void TCustomComPort::DoRxChar(int Count) {
    if (OnRxChar) OnRxChar(this, Count);
}

void TCustomComPort::DoRxBuf(const std::uint8_t* Buffer, int Count) {
    if (OnRxBuf) OnRxBuf(this, Buffer, Count);
}

void TCustomComPort::DoError(TComErrors Errors) {
    if (OnError) OnError(this, Errors);
}

}  // namespace kmp
