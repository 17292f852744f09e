// Every message box and file dialog of the window goes through this interface,
// so that tests can answer them without a screen.
#pragma once

#include <QString>
#include <optional>

namespace kmp {

enum class BoxIcon { Information, Error, Question };
enum class BoxButtons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box without an owner window; returns the button pressed.
    virtual Answer MessageBox(const QString& caption, const QString& text, BoxIcon icon,
                              BoxButtons buttons, Answer defaultButton) = 0;

    // `filter` is the stored filter text: "description|pattern|description|pattern".
    // The first entry is selected; the dialog starts in `folder` (empty: the
    // current folder). Empty when the user cancels.
    virtual std::optional<QString> OpenFileName(const QString& filter, const QString& folder) = 0;

    // As OpenFileName; `defaultSuffix` is added to a name typed without an extension.
    virtual std::optional<QString> SaveFileName(const QString& filter, const QString& defaultSuffix,
                                                const QString& folder) = 0;
};

}  // namespace kmp
