// Program files dropped on the window.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMimeData;
class QWidget;

namespace kmp {

// The first local file of a drop that is a program file (extension "kmp")
// or a text file; empty when the drop holds none.
QString DroppedProgramFile(const QMimeData& data);

// Whether a drop holds at least one local file.
bool HoldsLocalFiles(const QMimeData& data);

// Takes the drops of program files on the widgets it watches and hands the
// file name to `open`, refuses drops of other files (and of any file while
// `accepting` says no), and lets drops without files go on to the widget.
class ProgramFileDrop final : public QObject {
public:
    ProgramFileDrop(std::function<bool()> accepting, std::function<void(const QString&)> open,
                    QObject* parent);

    // Accepts drops on `widget` from now on.
    void Watch(QWidget& widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> accepting_;
    std::function<void(const QString&)> open_;
};

}  // namespace kmp
