#include "ComSettings.h"

#include "ComPort.h"

namespace kmp {

void TComSettingsObject::PushGroup(SettingsGroup group) const {
    if (port_ == nullptr) return;
    switch (group) {
    case SettingsGroup::LineSettings: port_->PushLineSettings(); break;
    case SettingsGroup::Timeouts: port_->PushTimeouts(); break;
    case SettingsGroup::QueueSizes: port_->PushQueueSizes(); break;
    }
}

void TComParity::CopyFields(const TComParity& src) {
    bits_ = src.bits_;
    check_ = src.check_;
    replace_ = src.replace_;
    replaceChar_ = src.replaceChar_;
}

void TComFlowControl::CopyFields(const TComFlowControl& src) {
    outCTSFlow_ = src.outCTSFlow_;
    outDSRFlow_ = src.outDSRFlow_;
    controlDTR_ = src.controlDTR_;
    controlRTS_ = src.controlRTS_;
    xonXoffOut_ = src.xonXoffOut_;
    xonXoffIn_ = src.xonXoffIn_;
    dsrSensitivity_ = src.dsrSensitivity_;
    txContinueOnXoff_ = src.txContinueOnXoff_;
    xonChar_ = src.xonChar_;
    xoffChar_ = src.xoffChar_;
}

TFlowControl TComFlowControl::FlowControl() const {
    const bool xonXoffBoth = xonXoffIn_ && xonXoffOut_;
    const bool xonXoffNone = !xonXoffIn_ && !xonXoffOut_;
    if (controlRTS_ == rtsHandshake && outCTSFlow_ && xonXoffNone) return fcHardware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoffBoth) return fcSoftware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoffNone) return fcNone;
    return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value) {
    if (value != fcCustom) {
        controlRTS_ = rtsDisable;
        outCTSFlow_ = false;
        xonXoffIn_ = false;
        xonXoffOut_ = false;
    }
    if (value == fcHardware) {
        controlRTS_ = rtsHandshake;
        outCTSFlow_ = true;
    } else if (value == fcSoftware) {
        xonXoffIn_ = true;
        xonXoffOut_ = true;
    }
    PushGroup(kGroup);
}

void TComTimeouts::CopyFields(const TComTimeouts& src) {
    readInterval_ = src.readInterval_;
    readTotalMultiplier_ = src.readTotalMultiplier_;
    readTotalConstant_ = src.readTotalConstant_;
    writeTotalMultiplier_ = src.writeTotalMultiplier_;
    writeTotalConstant_ = src.writeTotalConstant_;
}

void TComBuffer::CopyFields(const TComBuffer& src) {
    inputSize_ = src.inputSize_;
    outputSize_ = src.outputSize_;
}

void TComBuffer::SetSize(int& field, int value) {
    if (field == value) return;
    field = value > 0 && value % 2 == 1 ? value - 1 : value;
    PushGroup(SettingsGroup::QueueSizes);
}

}  // namespace kmp
