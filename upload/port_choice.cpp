#include "port_choice.h"

namespace kmp {

QString SelectedPortName(const QComboBox& combo) {
    const int index = combo.currentIndex();
    if (index < 0 || combo.itemText(index) != combo.currentText()) return {};
    return combo.itemText(index);
}

}  // namespace kmp
