// EComPort: every failure of the serial layer, with its fixed English texts.
#pragma once

#include <array>
#include <stdexcept>
#include <string>

namespace kmp {

// The 23 message texts, indexed by ErrorCode - 1, passed through the message
// catalogue lookup once, on first use (after kmp::i18n::Init()).
const std::array<std::string, 23>& ComErrorMessages();

class EComPort : public std::runtime_error {
public:
    // `systemError` is the operating system's error number, -1 for none;
    // a `detail` follows the message after ": ".
    explicit EComPort(int errorCode, int systemError = -1, const std::string& detail = {});

    int ErrorCode() const { return errorCode_; }
    int SystemError() const { return systemError_; }

private:
    int errorCode_;
    int systemError_;
};

// Error codes of ComErrorMessages used by the layer.
enum ComErrorCode {
    CError_OpenFailed = 1,
    CError_WriteFailed = 2,
    CError_ReadFailed = 3,
    CError_InvalidAsync = 4,
    CError_PurgeFailed = 5,
    CError_AsyncCheck = 6,
    CError_SetStateFailed = 7,
    CError_TimeoutsFailed = 8,
    CError_SetupComFailed = 9,
    CError_ClearComFailed = 10,
    CError_ModemStatFailed = 11,
    CError_EscapeComFailed = 12,
    CError_TransmitFailed = 13,
    CError_ConnChangeProp = 14,
    CError_EnumPortsFailed = 15,
    CError_StoreFailed = 16,
    CError_LoadFailed = 17,
    CError_RegFailed = 18,
    CError_LedStateFailed = 19,
    CError_ThreadCreated = 20,
    CError_WaitFailed = 21,
    CError_HasLink = 22,
    CError_RegError = 23,
};

}  // namespace kmp
