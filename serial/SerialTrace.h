// The trace of the serial layer, for diagnosing adapters: Qt's logging
// category "kmp.serial", off by default. QT_LOGGING_RULES=kmp.serial.debug=true
// (or kmpc --trace) turns it on; each line tells the time and one thing:
// an open, the settings as read back, the event mask, a write's outcome,
// a modem-line change, a lost line.
#pragma once

#include <QLoggingCategory>

#include <string>
#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcSerial)

namespace kmp {

// Turns the trace on (kmpc --trace).
void EnableSerialTrace();

// Writes one line, "HH:MM:SS.mmm " and the text, when the trace is on.
void WriteSerialTrace(const std::string& text);

// The line that `text()` makes, made only when the trace is on.
template <typename Text>
void TraceSerial(Text&& text) {
    if (lcSerial().isDebugEnabled()) WriteSerialTrace(std::forward<Text>(text)());
}

}  // namespace kmp
