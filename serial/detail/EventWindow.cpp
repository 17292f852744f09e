#include "EventWindow.h"

#include <QCoreApplication>

#include "ComEvents.h"
#include "ComPort.h"
#include "HandOver.h"

namespace kmp {

EventWindow::EventWindow(TCustomComPort& port) : port_(port) {}

// The event itself carries nothing: the code waits in the source, under its
// lock, so that no data crosses the threads outside it.
void EventWindow::Post() {
    QCoreApplication::postEvent(this, new QEvent(kPortEventMessage));
}

void EventWindow::DeliverQueued() {
    QCoreApplication::sendPostedEvents(this, kPortEventMessage);
}

bool EventWindow::event(QEvent* event) {
    if (event->type() != kPortEventMessage) return QObject::event(event);
    // Taking the message releases the sender before the reaction runs.
    int code = 0;
    const auto source = source_.lock();
    if (source && source->TakeWindowMessage(code) && port_.Connected()) React(port_, code);
    return true;  // nothing of the window is touched after the reaction
}

// Static: a reaction may close the port, which lets go of this window.
void EventWindow::React(TCustomComPort& port, int code) {
    for (const auto& e : kComEventOrder) {
        if (static_cast<int>(e.flag) != code) continue;
        ++port.windowReactions_;
        try {
            port.ReactTo(e.event);
        } catch (const std::exception& error) {
            if (port.ShowException) port.ShowException(error);
        }
        --port.windowReactions_;
        return;
    }
}

}  // namespace kmp
