#include "SerialTrace.h"

#include <QTime>

Q_LOGGING_CATEGORY(lcSerial, "kmp.serial", QtWarningMsg)

namespace kmp {

void EnableSerialTrace() {
    QLoggingCategory::setFilterRules(QStringLiteral("kmp.serial.debug=true"));
}

void WriteSerialTrace(const std::string& text) {
    qCDebug(lcSerial).noquote() << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"))
                                << QString::fromStdString(text);
}

}  // namespace kmp
