// TComThread: waits for the port's line events and has the port's reactions
// run as its SyncMethod says (on the port's thread, through the hidden event
// window, or on the event thread itself).
#pragma once

#include <QObject>

#include <cstdint>
#include <memory>
#include <thread>

#include "ComTypes.h"
#include "Descriptors.h"

namespace kmp {

class ComDevice;
class EventWindow;
class HandOver;
class HandOverReceiver;
class TCustomComPort;

class TComThread {
public:
    // Selects the port's events on the device and starts the thread.
    TComThread(TCustomComPort& port, ComDevice& device, EventWindow* window);
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Sets the stop signal and waits for the run to end, running hand-overs
    // queued before (on the port's thread).
    void StopAndWait();

private:
    friend class ComPortTestPeer;

    void Run();
    void DeliverEvents(TComEvents pending);
    // True when the device reports itself gone.
    bool DeviceFailed();

    TCustomComPort& port_;
    ComDevice& device_;
    EventWindow* window_;
    TSyncMethod syncMethod_;
    std::uint64_t opening_;  // the port's Open that started the thread
    EventFd stopSignal_;
    std::shared_ptr<HandOver> handOver_;
    HandOverReceiver* receiver_;  // owned; see ~TComThread
    std::thread thread_;
};

}  // namespace kmp
