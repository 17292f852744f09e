#include "studio_application.h"

#include "app_texts.h"
#include "error_display.h"
#include "kmp_version.h"
#include "qt_dialogs.h"

#include <QFont>
#include <QFontInfo>

namespace kmp {

StudioApplication::StudioApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromUtf8(kApplicationTitle));
    setApplicationVersion(QStringLiteral(KMP_VERSION));
    setDesktopFileName(QStringLiteral("kmp-studio"));
    InstallFontSubstitutes();
}

bool StudioApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        QtDialogs fallback;
        ShowCurrentException(errorDialogs_ ? *errorDialogs_ : fallback);
    }
    return false;
}

void InstallFontSubstitutes() {
    const QString family = QStringLiteral("MS Sans Serif");
    QFont::insertSubstitutions(family, {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                        QStringLiteral("DejaVu Sans")});
    QFont font(family);
    font.setPixelSize(11);
    // The stand-in is a little wider than the original at the same pixel
    // size; narrowed to 90 % every caption fits its fixed control size.
    // The window's style sheet sets family and sizes, and the narrowing is
    // inherited from this application font.
    if (QFontInfo(font).family() != family) font.setStretch(90);
    QApplication::setFont(font);
}

}  // namespace kmp
