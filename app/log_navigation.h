// From the compile log and the listing to the program text: the
// double-click, Enter and click that choose a line.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QPlainTextEdit;

namespace kmp {

// Calls `chosen` with the 0-based number of the line of `pane` that a
// double-click (or, with `byClick`, a single click) or Enter chooses.
class PaneLineChoice final : public QObject {
public:
    enum class Gesture { DoubleClickOrEnter, Click };
    PaneLineChoice(QPlainTextEdit& pane, Gesture gesture, std::function<void(int line)> chosen);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit& pane_;
    Gesture gesture_;
    std::function<void(int)> chosen_;
};

}  // namespace kmp
