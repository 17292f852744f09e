// The real message boxes and file dialogs, shown without an owner window.
#pragma once

#include "dialogs.h"

#include <QStringList>

namespace kmp {

class QtDialogs final : public Dialogs {
public:
    Answer MessageBox(const QString& caption, const QString& text, BoxIcon icon, BoxButtons buttons,
                      Answer defaultButton) override;
    std::optional<QString> OpenFileName(const QString& filter, const QString& folder) override;
    std::optional<QString> SaveFileName(const QString& filter, const QString& defaultSuffix,
                                        const QString& folder) override;
};

// The stored filter text "desc|pattern|desc|pattern" as Qt name filters
// ("desc (pattern)"), in the same order.
QStringList QtNameFilters(const QString& storedFilter);

}  // namespace kmp
