// The host's end of the line to a VirtualController.
#pragma once

#include <memory>

#include "ComDevice.h"

namespace kmp {

class VirtualController;

class VirtualDevice : public ComDevice {
public:
    explicit VirtualDevice(std::shared_ptr<VirtualController> board);
    ~VirtualDevice() override;
    VirtualDevice(const VirtualDevice&) = delete;
    VirtualDevice& operator=(const VirtualDevice&) = delete;

    void SetupQueues(int inputSize, int outputSize) override;
    void SetState(const Dcb& dcb) override;
    void SetTimeouts(const CommTimeouts& timeouts) override;
    void SetEventMask(std::uint32_t mask) override;
    std::uint32_t WaitEvent(int stopFd) override;
    std::size_t Write(const std::uint8_t* data, std::size_t count) override;
    std::size_t Read(std::uint8_t* data, std::size_t count) override;
    void Purge(std::uint32_t flags) override;
    void Escape(EscapeFunction function) override;
    CommStatus ClearError() override;
    std::uint32_t ModemStatus() override;

private:
    std::shared_ptr<VirtualController> board_;
};

}  // namespace kmp
