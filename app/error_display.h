// The general error display: an error that escapes a reaction of the window
// is shown in one message box, and the window goes on.
#pragma once

#include "dialogs.h"

#include <QString>
#include <functional>

namespace kmp {

// The message as shown: a full stop is appended when the last character's
// code is above that of the full stop.
QString ErrorDisplayText(const QString& message);

// The box: application title as caption, error icon, OK.
void ShowGeneralError(Dialogs& dialogs, const QString& message);

// Shows the exception being handled; call only inside a catch block.
void ShowCurrentException(Dialogs& dialogs);

// Runs `reaction`; anything it throws is shown by the general error display.
void RunReaction(Dialogs& dialogs, const std::function<void()>& reaction);

}  // namespace kmp
