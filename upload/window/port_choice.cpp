#include "port_choice.h"

namespace kmp {

QString SelectedPortName(const QComboBox& combo) {
    const int index = combo.currentIndex();
    if (index < 0 || combo.itemText(index) != combo.currentText()) return {};
    return combo.itemText(index);
}

PortChoice ChoosePortAfterChange(const QStringList& names, const QString& selected, int returning,
                                 const QString& lastFailed, bool blocked) {
    if (names.isEmpty()) return {-1, true, false};
    if (returning >= 0) return {returning, blocked && names[returning] == lastFailed, true};
    if (const int kept = static_cast<int>(names.indexOf(selected)); kept >= 0)
        return {kept, blocked, false};
    return {0, false, false};
}

}  // namespace kmp
