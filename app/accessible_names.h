// Names of the window's controls for screen readers: a control without a
// caption of its own is named by the label above or beside it.
#pragma once

namespace Ui {
class TForm1;
}

namespace kmp {

void NameControlsForScreenReaders(Ui::TForm1& ui);

}  // namespace kmp
