#include "command_line.h"

#include "app_texts.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace kmp {

StartOptions ReadCommandLine(int argc, char** argv)
{
    // A console-only application object, so that --help works without a display.
    QCoreApplication console(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kmp-studio"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KMP_VERSION));

    QCommandLineParser options;
    options.setApplicationDescription(QString::fromUtf8(kApplicationTitle));
    const QCommandLineOption help = options.addHelpOption();
    const QCommandLineOption version = options.addVersionOption();
    const QCommandLineOption simulator(
        QStringLiteral("simulator"),
        QStringLiteral("Use the simulated controller board instead of real serial ports."));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window to <file> (PNG) and quit."),
        QStringLiteral("file"));
    options.addOption(simulator);
    options.addOption(screenshot);
    // Options of Qt itself (-platform, -style, ...) are left to the window
    // system's application object, so unknown options are not errors here.
    options.parse(QCoreApplication::arguments());
    if (options.isSet(help)) options.showHelp();
    if (options.isSet(version)) options.showVersion();

    return {options.isSet(simulator), options.value(screenshot)};
}

}  // namespace kmp
