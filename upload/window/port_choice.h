// The port name that the port choice ComboBox1 stands for, and the entry
// that the quiet list chooses when adapters come or go.
#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>

namespace kmp {

// The text of the selected entry; empty when no entry is selected or when the
// edit field holds a typed text instead (a typed text is never used).
QString SelectedPortName(const QComboBox& combo);

// The list's choice after adapters came or went while the line is closed.
struct PortChoice {
    int index = -1;            // the entry to select; -1: "n/a", no port left
    bool blocked = true;       // whether a click on connect does nothing
    bool adapterBack = false;  // the adapter lost while open is back at `index`
};

// The rules: with no port left, "n/a" and blocked; an adapter lost while
// open that is back (at `returning`, -1 when not) is chosen as if by the
// user (blocked only when its name failed to open last); else the selected
// entry stays while its port is listed, with its block as it was; else the
// first entry is chosen, as a search would, and may be connected.
PortChoice ChoosePortAfterChange(const QStringList& names, const QString& selected, int returning,
                                 const QString& lastFailed, bool blocked);

}  // namespace kmp
