// kmp-studio: the window program.
#include "TForm1.h"
#include "command_line.h"
#include "qt_dialogs.h"
#include "startup_probe.h"
#include "studio_application.h"

int main(int argc, char** argv)
{
    const kmp::StartOptions options = kmp::ReadCommandLine(argc, argv);
    if (options.simulator) qputenv("KMP_SIMULATOR", "1");

    kmp::StudioApplication app(argc, argv);
    kmp::QtDialogs dialogs;
    app.SetErrorDialogs(&dialogs);
    kmp::TForm1 form1(dialogs);
    kmp::WatchFirstPaint(form1);
    if (!options.screenshotPath.isEmpty()) kmp::TakeScreenshotAndQuit(form1, options.screenshotPath);
    form1.show();
    return app.exec();
}
