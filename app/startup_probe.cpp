#include "startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace kmp {

namespace {

// Runs `action` once, on the first paint event of the watched window.
class FirstPaintFilter final : public QObject {
public:
    FirstPaintFilter(QWidget& window, std::function<void()> action)
        : QObject(&window), action_(std::move(action)) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // After the paint itself has been done.
            QTimer::singleShot(0, this, action_);
        }
        return false;
    }

private:
    std::function<void()> action_;
};

}  // namespace

void WatchFirstPaint(QWidget& window) {
    if (qEnvironmentVariableIsEmpty("KMP_PRINT_FIRST_PAINT")) return;
    new FirstPaintFilter(window, [] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("first-paint %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
    });
}

void TakeScreenshotAndQuit(QWidget& window, const QString& path) {
    new FirstPaintFilter(window, [&window, path] {
        const bool saved = window.grab().save(path, "PNG");
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

}  // namespace kmp
