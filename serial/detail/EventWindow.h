// The hidden receiver of the smWindowSync event delivery. It lives on the
// port's thread and takes PortEventMessage events carrying an event code.
#pragma once

#include <QEvent>
#include <QObject>

#include <cstdint>
#include <memory>

namespace kmp {

class HandOver;
class TCustomComPort;

// The custom event type that stands for message 1025.
inline constexpr QEvent::Type kPortEventMessage = static_cast<QEvent::Type>(QEvent::User + 1);

class EventWindow : public QObject {
    Q_OBJECT

public:
    explicit EventWindow(TCustomComPort& port);

    // Port's thread, before the event thread starts: where messages come from.
    void Attach(std::weak_ptr<HandOver> source) { source_ = std::move(source); }
    // Any thread: wakes the window for one message queued in the source.
    void Post();
    // Port's thread: delivers the queued messages now.
    void DeliverQueued();

protected:
    bool event(QEvent* event) override;

private:
    static void React(TCustomComPort& port, int code);
    TCustomComPort& port_;
    std::weak_ptr<HandOver> source_;
};

}  // namespace kmp
