// The port name that the port choice ComboBox1 stands for.
#pragma once

#include <QComboBox>
#include <QString>

namespace kmp {

// The text of the selected entry; empty when no entry is selected or when the
// edit field holds a typed text instead (a typed text is never used).
QString SelectedPortName(const QComboBox& combo);

}  // namespace kmp
