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

    // Any thread: queues the message `code`; `sender` (when set) is released
    // with `ticket` as soon as the window takes the message.
    void Post(int code, const std::shared_ptr<HandOver>& sender, std::uint64_t ticket);
    // Port's thread: delivers the queued messages now.
    void DeliverQueued();

protected:
    bool event(QEvent* event) override;

private:
    void React(int code);
    TCustomComPort& port_;
};

}  // namespace kmp
