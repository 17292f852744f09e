#include "recovery_file.h"

#include "atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextDocument>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace kmp {
namespace {

// The file's first line, then the file name, then the text.
constexpr char kHeader[] = "kmp recovery 1";
constexpr char kPrefix[] = "recovery-";

// A process that is gone: kill(pid, 0) finds no such process.
bool ProcessGone(qint64 pid) {
    if (pid <= 0) return true;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

std::optional<LeftText> ReadLeftText(const QFileInfo& info) {
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QString content = QString::fromUtf8(file.readAll());
    const qsizetype headerEnd = content.indexOf(QLatin1Char('\n'));
    const qsizetype nameEnd = content.indexOf(QLatin1Char('\n'), headerEnd + 1);
    if (headerEnd < 0 || nameEnd < 0 || content.left(headerEnd) != QLatin1String(kHeader))
        return std::nullopt;
    return LeftText{info.filePath(), content.mid(nameEnd + 1),
                    content.mid(headerEnd + 1, nameEnd - headerEnd - 1), info.lastModified()};
}

}  // namespace

QString RecoveryFolder() {
    // Named here: the application's name is its long Slovak title.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kmp-studio");
}

std::optional<LeftText> FindLeftText(const QString& folder) {
    std::optional<LeftText> newest;
    const QString pattern = QLatin1String(kPrefix) + QStringLiteral("*.txt");
    for (const QFileInfo& info : QDir(folder).entryInfoList({pattern}, QDir::Files)) {
        bool isNumber = false;
        const qint64 pid =
            info.completeBaseName().mid(qsizetype(sizeof kPrefix) - 1).toLongLong(&isNumber);
        if (!isNumber || !ProcessGone(pid)) continue;
        if (newest && info.lastModified() <= newest->time) continue;
        if (std::optional<LeftText> left = ReadLeftText(info)) newest = std::move(left);
    }
    return newest;
}

RecoveryFile::RecoveryFile(QTextDocument& document, std::function<QString()> fileName,
                           const QString& folder, int delayMs)
    : document_(document),
      fileName_(std::move(fileName)),
      path_(QDir(folder).filePath(QLatin1String(kPrefix) + QString::number(::getpid()) +
                                  QStringLiteral(".txt"))) {
    timer_.setSingleShot(true);
    timer_.setInterval(delayMs);
    connect(&timer_, &QTimer::timeout, this, &RecoveryFile::Write);
    connect(&document_, &QTextDocument::contentsChanged, this, &RecoveryFile::Changed);
    // Saved or opened: the text is in its file.
    connect(&document_, &QTextDocument::modificationChanged, this, [this](bool modified) {
        if (modified)
            Changed();
        else
            Forget();
    });
}

RecoveryFile::~RecoveryFile() {
    Forget();
}

void RecoveryFile::Forget() {
    timer_.stop();
    QFile::remove(path_);
}

// The first change after a write starts the clock; later ones ride on it,
// so typing writes once a delay, not at every key.
void RecoveryFile::Changed() {
    if (document_.isModified() && !timer_.isActive()) timer_.start();
}

void RecoveryFile::Write() {
    if (!document_.isModified()) return;
    QDir().mkpath(QFileInfo(path_).path());
    const QByteArray bytes =
        QByteArray(kHeader) + '\n' + fileName_().toUtf8() + '\n' + document_.toPlainText().toUtf8();
    // A failed write keeps the earlier copy; the next change tries again.
    WriteFileReplacing(QFile::encodeName(path_).toStdString(),
                       std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace kmp
