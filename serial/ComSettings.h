// The settings objects of the port: parity, flow control, timeouts and queue
// sizes. Each setter stores a changed value and asks its port to push the
// matching group of settings to the device (a no-op while the port is closed).
#pragma once

#include <cstdint>

#include "ComTypes.h"

namespace kmp {

class TCustomComPort;

// Which group of settings a settings object belongs to.
enum class SettingsGroup { LineSettings, Timeouts, QueueSizes };

class TComSettingsObject {
public:
    explicit TComSettingsObject(TCustomComPort* port = nullptr) : port_(port) {}
    TCustomComPort* ComPort() const { return port_; }

protected:
    void PushGroup(SettingsGroup group) const;

    // Stores `value` into `field` when it differs and pushes `group`.
    template <typename T>
    void Change(T& field, T value, SettingsGroup group) {
        if (field == value) return;
        field = value;
        PushGroup(group);
    }

private:
    TCustomComPort* port_;
};

class TComParity : public TComSettingsObject {
public:
    using TComSettingsObject::TComSettingsObject;
    TComParity& operator=(const TComParity&) = delete;
    // Copies every field of `src` (the port is kept) without pushing.
    void CopyFields(const TComParity& src);

    TParityBits Bits() const { return bits_; }
    bool Check() const { return check_; }
    bool Replace() const { return replace_; }
    std::uint8_t ReplaceChar() const { return replaceChar_; }
    void SetBits(TParityBits v) { Change(bits_, v, kGroup); }
    void SetCheck(bool v) { Change(check_, v, kGroup); }
    void SetReplace(bool v) { Change(replace_, v, kGroup); }
    void SetReplaceChar(std::uint8_t v) { Change(replaceChar_, v, kGroup); }

private:
    static constexpr SettingsGroup kGroup = SettingsGroup::LineSettings;
    TParityBits bits_ = prNone;
    bool check_ = false;
    bool replace_ = false;
    std::uint8_t replaceChar_ = 0;
};

class TComFlowControl : public TComSettingsObject {
public:
    using TComSettingsObject::TComSettingsObject;
    TComFlowControl& operator=(const TComFlowControl&) = delete;
    void CopyFields(const TComFlowControl& src);

    bool OutCTSFlow() const { return outCTSFlow_; }
    bool OutDSRFlow() const { return outDSRFlow_; }
    TDTRFlowControl ControlDTR() const { return controlDTR_; }
    TRTSFlowControl ControlRTS() const { return controlRTS_; }
    bool XonXoffOut() const { return xonXoffOut_; }
    bool XonXoffIn() const { return xonXoffIn_; }
    bool DSRSensitivity() const { return dsrSensitivity_; }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    std::uint8_t XonChar() const { return xonChar_; }
    std::uint8_t XoffChar() const { return xoffChar_; }

    void SetOutCTSFlow(bool v) { Change(outCTSFlow_, v, kGroup); }
    void SetOutDSRFlow(bool v) { Change(outDSRFlow_, v, kGroup); }
    void SetControlDTR(TDTRFlowControl v) { Change(controlDTR_, v, kGroup); }
    void SetControlRTS(TRTSFlowControl v) { Change(controlRTS_, v, kGroup); }
    void SetXonXoffOut(bool v) { Change(xonXoffOut_, v, kGroup); }
    void SetXonXoffIn(bool v) { Change(xonXoffIn_, v, kGroup); }
    void SetDSRSensitivity(bool v) { Change(dsrSensitivity_, v, kGroup); }
    void SetTxContinueOnXoff(bool v) { Change(txContinueOnXoff_, v, kGroup); }
    void SetXonChar(std::uint8_t v) { Change(xonChar_, v, kGroup); }
    void SetXoffChar(std::uint8_t v) { Change(xoffChar_, v, kGroup); }

    // The preset that the fields amount to (computed, not stored).
    TFlowControl FlowControl() const;
    // Applies a preset and always pushes the line settings.
    void SetFlowControl(TFlowControl value);

private:
    static constexpr SettingsGroup kGroup = SettingsGroup::LineSettings;
    bool outCTSFlow_ = false;
    bool outDSRFlow_ = false;
    TDTRFlowControl controlDTR_ = dtrDisable;
    TRTSFlowControl controlRTS_ = rtsDisable;
    bool xonXoffOut_ = false;
    bool xonXoffIn_ = false;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = false;
    std::uint8_t xonChar_ = 17;
    std::uint8_t xoffChar_ = 19;
};

// Milliseconds; -1 stands for all bits set.
class TComTimeouts : public TComSettingsObject {
public:
    using TComSettingsObject::TComSettingsObject;
    TComTimeouts& operator=(const TComTimeouts&) = delete;
    void CopyFields(const TComTimeouts& src);

    std::int32_t ReadInterval() const { return readInterval_; }
    std::int32_t ReadTotalMultiplier() const { return readTotalMultiplier_; }
    std::int32_t ReadTotalConstant() const { return readTotalConstant_; }
    std::int32_t WriteTotalMultiplier() const { return writeTotalMultiplier_; }
    std::int32_t WriteTotalConstant() const { return writeTotalConstant_; }
    void SetReadInterval(std::int32_t v) { Change(readInterval_, v, kGroup); }
    void SetReadTotalMultiplier(std::int32_t v) { Change(readTotalMultiplier_, v, kGroup); }
    void SetReadTotalConstant(std::int32_t v) { Change(readTotalConstant_, v, kGroup); }
    void SetWriteTotalMultiplier(std::int32_t v) { Change(writeTotalMultiplier_, v, kGroup); }
    void SetWriteTotalConstant(std::int32_t v) { Change(writeTotalConstant_, v, kGroup); }

private:
    static constexpr SettingsGroup kGroup = SettingsGroup::Timeouts;
    std::int32_t readInterval_ = -1;
    std::int32_t readTotalMultiplier_ = 0;
    std::int32_t readTotalConstant_ = 0;
    std::int32_t writeTotalMultiplier_ = 100;
    std::int32_t writeTotalConstant_ = 1000;
};

// Receive and transmit queue sizes in bytes, kept even.
class TComBuffer : public TComSettingsObject {
public:
    using TComSettingsObject::TComSettingsObject;
    TComBuffer& operator=(const TComBuffer&) = delete;
    void CopyFields(const TComBuffer& src);

    int InputSize() const { return inputSize_; }
    int OutputSize() const { return outputSize_; }
    void SetInputSize(int v) { SetSize(inputSize_, v); }
    void SetOutputSize(int v) { SetSize(outputSize_, v); }

private:
    void SetSize(int& field, int value);
    int inputSize_ = 1024;
    int outputSize_ = 1024;
};

}  // namespace kmp
