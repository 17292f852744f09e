#include "EventWindow.h"

#include <QCoreApplication>

#include "ComPort.h"
#include "HandOver.h"

namespace kmp {

namespace {

class PortEvent : public QEvent {
public:
    PortEvent(int eventCode, std::weak_ptr<HandOver> waitingSender, std::uint64_t senderTicket)
        : QEvent(kPortEventMessage),
          code(eventCode),
          sender(std::move(waitingSender)),
          ticket(senderTicket) {}
    const int code;
    const std::weak_ptr<HandOver> sender;
    const std::uint64_t ticket;
};

struct CodeEvent {
    int code;
    TComEvent event;
};

constexpr CodeEvent kCodes[] = {
    {1, evRxChar}, {2, evRxFlag}, {4, evTxEmpty}, {8, evCTS},    {16, evDSR},
    {32, evRLSD},  {64, evBreak}, {128, evError}, {256, evRing}, {1024, evRx80Full},
};

}  // namespace

EventWindow::EventWindow(TCustomComPort& port) : port_(port) {}

void EventWindow::Post(int code, const std::shared_ptr<HandOver>& sender, std::uint64_t ticket) {
    QCoreApplication::postEvent(this, new PortEvent(code, sender, ticket));
}

void EventWindow::DeliverQueued() { QCoreApplication::sendPostedEvents(this, kPortEventMessage); }

bool EventWindow::event(QEvent* event) {
    if (event->type() != kPortEventMessage) return QObject::event(event);
    const auto* message = static_cast<PortEvent*>(event);
    if (auto sender = message->sender.lock()) sender->ReleaseSender(message->ticket);
    if (port_.Connected()) React(message->code);
    return true;
}

void EventWindow::React(int code) {
    for (const auto& c : kCodes) {
        if (c.code != code) continue;
        try {
            port_.ReactTo(c.event);
        } catch (const std::exception& error) {
            if (port_.ShowException) port_.ShowException(error);
        }
    }
}

}  // namespace kmp
