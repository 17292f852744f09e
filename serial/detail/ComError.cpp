#include "ComError.h"

#include "i18n.h"

namespace kmp {

namespace {

constexpr std::array<const char*, 23> kEnglishTexts = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

constexpr const char* kSystemErrorSuffix = " (win error code: %d)";

// The suffix in the user's language with the number in place of its "%d".
// The number is put in by hand so that a catalogue text can never act as a
// format string.
std::string SystemErrorSuffix(int systemError) {
    std::string suffix = i18n::Tr(kSystemErrorSuffix);
    const auto at = suffix.find("%d");
    if (at != std::string::npos) suffix.replace(at, 2, std::to_string(systemError));
    return suffix;
}

std::string BuildMessage(int errorCode, int systemError, const std::string& detail) {
    const auto& texts = ComErrorMessages();
    std::string message = errorCode >= 1 && errorCode <= 23
                              ? texts[static_cast<std::size_t>(errorCode - 1)]
                              : std::string();
    if (systemError != -1) message += SystemErrorSuffix(systemError);
    if (!detail.empty()) message += ": " + detail;
    return message;
}

}  // namespace

const std::array<std::string, 23>& ComErrorMessages() {
    static const std::array<std::string, 23> texts = [] {
        std::array<std::string, 23> t;
        for (std::size_t i = 0; i < t.size(); ++i) t[i] = i18n::Tr(kEnglishTexts[i]);
        return t;
    }();
    return texts;
}

EComPort::EComPort(int errorCode, int systemError, const std::string& detail)
    : std::runtime_error(BuildMessage(errorCode, systemError, detail)),
      errorCode_(errorCode),
      systemError_(systemError) {}

}  // namespace kmp
