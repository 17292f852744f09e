#include "command_line.h"

#include "app_texts.h"
#include "kmp_version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace kmp {

namespace {

struct OptionSet {
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption simulator;
    QCommandLineOption screenshot;
    QCommandLineOption compile;
};

OptionSet DescribeOptions(QCommandLineParser& options) {
    options.setApplicationDescription(QString::fromUtf8(kApplicationTitle));
    OptionSet set{
        options.addHelpOption(),
        options.addVersionOption(),
        QCommandLineOption(
            QStringLiteral("simulator"),
            QStringLiteral("Use the simulated controller board instead of real serial ports.")),
        QCommandLineOption(QStringLiteral("screenshot"),
                           QStringLiteral("Save a picture of the window to <file> (PNG) and quit."),
                           QStringLiteral("file")),
        QCommandLineOption(QStringLiteral("compile"),
                           QStringLiteral("Compile the program file at start, as the compile "
                                          "button does.")),
    };
    options.addOption(set.simulator);
    options.addOption(set.screenshot);
    options.addOption(set.compile);
    options.addPositionalArgument(QStringLiteral("file"),
                                  QStringLiteral("Program file (.kmp) to open at start."),
                                  QStringLiteral("[file]"));
    return set;
}

}  // namespace

StartOptions ReadCommandLine(int argc, char** argv) {
    // A console-only application object, so that --help works without a display.
    QCoreApplication console(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kmp-studio"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KMP_VERSION));

    QCommandLineParser options;
    const OptionSet set = DescribeOptions(options);
    // Options of Qt itself (-platform, -style, ...) are left to the window
    // system's application object, so unknown options are not errors here.
    options.parse(QCoreApplication::arguments());
    if (options.isSet(set.help)) options.showHelp();
    if (options.isSet(set.version)) options.showVersion();

    return {options.isSet(set.simulator), options.value(set.screenshot),
            options.isSet(set.compile)};
}

QString ProgramFileArgument(const QStringList& arguments) {
    QCommandLineParser options;
    DescribeOptions(options);
    options.parse(arguments);
    return options.positionalArguments().value(0);
}

}  // namespace kmp
