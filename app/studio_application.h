// The application object: sets the title and the fonts, and shows any error
// that escapes an event handler through the general error display.
#pragma once

#include "dialogs.h"

#include <QApplication>

namespace kmp {

class StudioApplication : public QApplication {
public:
    StudioApplication(int& argc, char** argv);

    // Where escaped errors are shown; without it they are shown by QtDialogs.
    void SetErrorDialogs(Dialogs* dialogs) { errorDialogs_ = dialogs; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    Dialogs* errorDialogs_ = nullptr;
};

// Maps "MS Sans Serif", which Linux systems lack, to a close sans-serif.
void InstallFontSubstitutes();

}  // namespace kmp
