#include "studio_application.h"

#include "app_texts.h"
#include "error_display.h"
#include "qt_dialogs.h"

#include <QFont>

namespace kmp {

StudioApplication::StudioApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QString::fromUtf8(kApplicationTitle));
    setApplicationVersion(QStringLiteral(KMP_VERSION));
    setDesktopFileName(QStringLiteral("kmp-studio"));
    InstallFontSubstitutes();
}

bool StudioApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        QtDialogs fallback;
        ShowCurrentException(errorDialogs_ ? *errorDialogs_ : fallback);
    }
    return false;
}

void InstallFontSubstitutes()
{
    // Liberation Sans is narrower than DejaVu Sans and closer to the old
    // bitmap font's widths, so captions fit their fixed label sizes.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("DejaVu Sans")});
}

}  // namespace kmp
