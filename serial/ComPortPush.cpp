// Pushing the port's settings to the device.
#include <stdexcept>

#include "ComPort.h"

namespace kmp {

namespace {

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

template <typename Call>
void Guard(int code, Call&& call) {
    try {
        call();
    } catch (const DeviceError& e) {
        throw EComPort(code, e.Error());
    }
}

}  // namespace

void TCustomComPort::PushAllSettings() {
    PushQueueSizes();
    PushLineSettings();
    PushTimeouts();
}

void TCustomComPort::PushQueueSizes() {
    if (!CanPush()) return;
    if (buffer_.InputSize() < 0 || buffer_.OutputSize() < 0) RangeCheckFailed();
    Guard(CError_SetupComFailed,
          [this] { device_->SetupQueues(buffer_.InputSize(), buffer_.OutputSize()); });
}

void TCustomComPort::PushLineSettings() {
    if (!CanPush()) return;
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
    dcb.fDtrControl = static_cast<std::uint8_t>(flowControl_.ControlDTR());
    dcb.fRtsControl = static_cast<std::uint8_t>(flowControl_.ControlRTS());
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
    if (!CanPush()) return;
    CommTimeouts t;
    t.ReadIntervalTimeout = TimeoutField(timeouts_.ReadInterval());
    t.ReadTotalTimeoutMultiplier = TimeoutField(timeouts_.ReadTotalMultiplier());
    t.ReadTotalTimeoutConstant = TimeoutField(timeouts_.ReadTotalConstant());
    t.WriteTotalTimeoutMultiplier = TimeoutField(timeouts_.WriteTotalMultiplier());
    t.WriteTotalTimeoutConstant = TimeoutField(timeouts_.WriteTotalConstant());
    Guard(CError_TimeoutsFailed, [&] { device_->SetTimeouts(t); });
}

}  // namespace kmp
