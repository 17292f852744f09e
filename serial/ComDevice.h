// The device interface: the serial services that the port needs from the
// system (open, queue sizes, line settings, timeouts, event wait, read,
// write, purge, output lines, modem lines, error flags). Every failure is a
// DeviceError carrying the errno value; the port turns it into EComPort.
#pragma once

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "ComTypes.h"

namespace kmp {

class DeviceError : public std::exception {
public:
    explicit DeviceError(int error, std::string detail = {})
        : error_(error), detail_(std::move(detail)) {}
    int Error() const { return error_; }
    // What exactly failed, where the error number alone does not say it
    // (a setting that the driver refused); empty otherwise.
    const std::string& Detail() const { return detail_; }
    const char* what() const noexcept override { return "serial device error"; }

private:
    int error_;
    std::string detail_;
};

// True for the errno values of a device that is gone (an unplugged adapter,
// a closed pseudo-terminal master).
inline bool DeviceIsGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

// One write that other threads watch and may stop. The writing device counts
// in `handedOver` the bytes that it has taken (they may still wait in its
// output queue); `cancelled` is set by ComDevice::CancelWrite.
struct WriteTicket {
    std::atomic<std::size_t> handedOver{0};
    std::atomic<bool> cancelled{false};
};

// Line settings in the layout of the classic device control block.
struct Dcb {
    std::uint32_t DCBlength = 28;
    std::uint32_t BaudRate = 0;
    bool fBinary = false;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    TDTRFlowControl fDtrControl = dtrDisable;
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fOutX = false;
    bool fInX = false;
    bool fErrorChar = false;
    bool fNull = false;
    TRTSFlowControl fRtsControl = rtsDisable;
    bool fAbortOnError = false;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    std::uint8_t XonChar = 0;
    std::uint8_t XoffChar = 0;
    std::uint8_t ErrorChar = 0;
    std::uint8_t EofChar = 0;
    std::uint8_t EvtChar = 0;
};

inline constexpr std::uint8_t NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3,
                              SPACEPARITY = 4;
inline constexpr std::uint8_t ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;

// Milliseconds; 0xFFFFFFFF is "all bits set".
struct CommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};
inline constexpr std::uint32_t MAXDWORD = 0xFFFFFFFFu;

// Event flags of the event mask and of a completed wait.
inline constexpr std::uint32_t EV_RXCHAR = 0x0001, EV_RXFLAG = 0x0002, EV_TXEMPTY = 0x0004,
                               EV_CTS = 0x0008, EV_DSR = 0x0010, EV_RLSD = 0x0020,
                               EV_BREAK = 0x0040, EV_ERR = 0x0080, EV_RING = 0x0100,
                               EV_RX80FULL = 0x0400;

// Error flags of the line status.
inline constexpr std::uint32_t CE_RXOVER = 0x0001, CE_OVERRUN = 0x0002, CE_RXPARITY = 0x0004,
                               CE_FRAME = 0x0008, CE_BREAK = 0x0010, CE_TXFULL = 0x0100,
                               CE_IOE = 0x0400, CE_MODE = 0x8000;

// Modem status bits.
inline constexpr std::uint32_t MS_CTS_ON = 0x0010, MS_DSR_ON = 0x0020, MS_RING_ON = 0x0040,
                               MS_RLSD_ON = 0x0080;

// Purge flags.
inline constexpr std::uint32_t PURGE_TXABORT = 0x0001, PURGE_RXABORT = 0x0002,
                               PURGE_TXCLEAR = 0x0004, PURGE_RXCLEAR = 0x0008;

enum class EscapeFunction { SETRTS, CLRRTS, SETDTR, CLRDTR };

struct CommStatus {
    std::uint32_t Errors = 0;   // CE_ flags, cleared by the call
    std::uint32_t InQueue = 0;  // bytes waiting in the input queue
};

// One open device. The event thread calls SetEventMask, WaitEvent and Purge;
// a background write's worker calls Write; the port's thread calls
// everything else, also while that Write runs (not SetState, SetupQueues or
// SetTimeouts: the port holds those back). Implementations are safe for that.
// Every call throws DeviceError with the errno value when the system fails
// it (EIO when the device is gone).
class ComDevice {
public:
    virtual ~ComDevice() = default;

    // Stores the queue sizes; the input size scales the 80 % mark of
    // EV_RX80FULL. Returns nothing.
    virtual void SetupQueues(int inputSize, int outputSize) = 0;
    // Applies speed, character format and flow control at once. Returns
    // nothing; throws also for a speed that the device refuses.
    virtual void SetState(const Dcb& dcb) = 0;
    // Stores the time-outs for the next Read and Write. Returns nothing.
    virtual void SetTimeouts(const CommTimeouts& timeouts) = 0;
    // Selects the EV_ flags that WaitEvent reports; 0 reports none. Returns
    // nothing.
    virtual void SetEventMask(std::uint32_t mask) = 0;
    // Blocks until a selected event occurs and returns its EV_ flags, or
    // returns 0 once `stopFd` is readable. Events that occur between two
    // waits are reported by the next one. Throws when the device is gone.
    virtual std::uint32_t WaitEvent(int stopFd) = 0;
    // Returns after the bytes have left the port or the write time-out has
    // passed, with the number of bytes sent: never one that a time-out
    // discarded.
    std::size_t Write(const std::uint8_t* data, std::size_t count) {
        return Write(data, count, nullptr);
    }
    // The same write, watched and stoppable through `ticket` (may be null):
    // it counts the bytes taken in ticket->handedOver and, once
    // CancelWrite(*ticket) is called, ends within 200 ms, drops its unsent
    // bytes and returns the number that left the port. A ticket cancelled
    // before the call ends the write at once (returns 0). Throws
    // DeviceError as Write does (EIO when the device goes meanwhile).
    virtual std::size_t Write(const std::uint8_t* data, std::size_t count, WriteTicket* ticket) = 0;
    // Any thread: sets ticket.cancelled and wakes the Write that carries the
    // ticket, if one runs. Returns nothing and throws nothing.
    virtual void CancelWrite(WriteTicket& ticket) noexcept = 0;
    // Any thread: the number of bytes taken by a Write that still wait in the
    // output queue (TIOCOUTQ); 0 where the device cannot tell (a
    // pseudo-terminal) or has no queue (the virtual controller). Throws
    // DeviceError when the count cannot be read.
    virtual std::size_t OutputQueue() = 0;
    // Any thread: returns at once when the device is there; throws
    // DeviceError(EIO) when it has hung up or was unplugged.
    virtual void CheckLine() = 0;
    // Reads at most `count` bytes as the read time-outs allow and returns
    // their number (0 when none came in time).
    virtual std::size_t Read(std::uint8_t* data, std::size_t count) = 0;
    // PURGE_ flags: the abort flags check that the device is still there,
    // the clear flags empty the queues. Returns nothing.
    virtual void Purge(std::uint32_t flags) = 0;
    // Sets or clears RTS or DTR at once (nothing on a device without modem
    // lines). Returns nothing.
    virtual void Escape(EscapeFunction function) = 0;
    // Returns the line errors since the last call (and clears them) and the
    // number of bytes in the input queue.
    virtual CommStatus ClearError() = 0;
    // Returns the MS_ bits of the input lines; a device without modem lines
    // reports CTS, DSR and RLSD on.
    virtual std::uint32_t ModemStatus() = 0;
};

// Opens `port` exclusively as a termios device: a name such as "ttyUSB0"
// is looked up in /dev/, a path beginning with "/" is used as it is
// (PortDevicePath). Returns the open device; throws DeviceError(errno),
// EAGAIN when another user holds the port.
std::unique_ptr<ComDevice> OpenTermiosDevice(const std::string& port);

}  // namespace kmp
