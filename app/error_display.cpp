#include "error_display.h"

#include "app_texts.h"
#include "display_text.h"

#include <exception>

namespace kmp {

QString ErrorDisplayText(const QString& message) {
    return QString::fromStdString(DisplayedErrorText(message.toStdString()));
}

void ShowGeneralError(Dialogs& dialogs, const QString& message) {
    dialogs.MessageBox(QString::fromUtf8(kApplicationTitle), ErrorDisplayText(message),
                       BoxIcon::Error, BoxButtons::Ok, Answer::Ok);
}

void ShowCurrentException(Dialogs& dialogs) {
    try {
        throw;
    } catch (const std::exception& error) {
        ShowGeneralError(dialogs, QString::fromUtf8(error.what()));
    } catch (...) {
        ShowGeneralError(dialogs, QStringLiteral("Unknown error"));
    }
}

void RunReaction(Dialogs& dialogs, const std::function<void()>& reaction) {
    try {
        reaction();
    } catch (...) {
        ShowCurrentException(dialogs);
    }
}

}  // namespace kmp
