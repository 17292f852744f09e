// A copy of unsaved text kept in the user's data folder, so that a crash,
// a kill or a power cut loses at most a few seconds of work.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class QTextDocument;

namespace kmp {

// The folder of recovery files: kmp-studio in the user's data folder
// (~/.local/share/kmp-studio).
QString RecoveryFolder();

// What a window that did not end cleanly left behind.
struct LeftText {
    QString path;
    QString text;
    QString fileName;  // empty where the text had no file
    QDateTime time;    // the last write
};

// The newest text left by a window that no longer runs, if any.
std::optional<LeftText> FindLeftText(const QString& folder);

// While `document` is modified, its text and the file name are written to
// a file of this process in `folder` at most `delayMs` after a change;
// the file goes when the text is saved or let go (Forget) and with this
// object.
class RecoveryFile : public QObject {
public:
    static constexpr int kWriteDelayMs = 5000;

    RecoveryFile(QTextDocument& document, std::function<QString()> fileName, const QString& folder,
                 int delayMs = kWriteDelayMs);
    ~RecoveryFile() override;

    void Forget();
    QString Path() const { return path_; }

private:
    void Changed();
    void Write();

    QTextDocument& document_;
    std::function<QString()> fileName_;
    QString path_;
    QTimer timer_;
};

}  // namespace kmp
