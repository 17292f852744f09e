// kmp-studio: the window program.
#include "TForm1.h"
#include "command_line.h"
#include "gettext_translator.h"
#include "i18n.h"
#include "qt_catalogue.h"
#include "qt_dialogs.h"
#include "recovery_file.h"
#include "simulator_choice.h"
#include "startup_probe.h"
#include "studio_application.h"

int main(int argc, char** argv) {
    kmp::i18n::Init();
    const kmp::StartOptions options = kmp::ReadCommandLine(argc, argv);
    const bool withSimulator = kmp::SimulatorChosen(options.simulator);

    kmp::StudioApplication app(argc, argv);
    kmp::i18n::InstallGettextTranslator(app);
    kmp::i18n::InstallQtCatalogue(app);
    kmp::QtDialogs dialogs;
    app.SetErrorDialogs(&dialogs);
    kmp::TForm1 form1(dialogs, withSimulator);
    kmp::WatchFirstPaint(form1);
    if (!options.screenshotPath.isEmpty())
        kmp::TakeScreenshotAndQuit(form1, options.screenshotPath);
    form1.show();
    form1.KeepRecoveryIn(kmp::RecoveryFolder());
    if (options.screenshotPath.isEmpty()) form1.OfferRecovery();
    if (const QString file = kmp::ProgramFileArgument(app.arguments()); !file.isEmpty())
        form1.OpenProgramFile(file);
    if (options.compile) form1.Button1Click();
    return app.exec();
}
