#include "accessible_names.h"

#include "ui_TForm1.h"

#include <utility>

namespace kmp {

void NameControlsForScreenReaders(Ui::TForm1& ui) {
    // Each control and the label that a sighted user reads it by.
    const std::pair<QWidget*, QLabel*> named[] = {
        {ui.RichEdit1, ui.Label1}, {ui.Memo2, ui.Label2},     {ui.Memo1, ui.Label8},
        {ui.TrackBar1, ui.Label4}, {ui.TrackBar2, ui.Label9}, {ui.TrackBar3, ui.Label13},
    };
    for (const auto& [control, label] : named) {
        control->setAccessibleName(label->text());
        label->setBuddy(control);
    }
    // The port list sits beside the button that fills it.
    ui.ComboBox1->setAccessibleName(ui.Button3->text());
}

}  // namespace kmp
