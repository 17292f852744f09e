// Qt's own texts (the standard buttons of message boxes and file dialogs)
// in the window's language.
#pragma once

class QCoreApplication;

namespace kmp::i18n {

// Installs Qt's catalogue "qtbase" of WindowLanguage(), owned by `app`, from
// Qt's translations folder. Without that catalogue Qt's texts stay English.
// Returns whether it was found. Call after Init() and before any window is
// built.
bool InstallQtCatalogue(QCoreApplication& app);

}  // namespace kmp::i18n
