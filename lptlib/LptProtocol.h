// The byte handshake with the DMX interface on a parallel port, and the requests built on it.
//
// Every byte is clocked with two control-register edges; after each edge the status register
// is polled until bit 6 follows. The library's entry points are thin wrappers over this class.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace lpt {

// One byte in or out of an I/O port. The library routes it through the port-access driver;
// tests put a fake port or the interface simulator behind it.
class PortIo {
public:
    virtual ~PortIo() = default;
    virtual std::uint8_t PortIn(std::uint16_t port) = 0;
    virtual void PortOut(std::uint16_t port, std::uint8_t value) = 0;
};

// Blocks the calling thread for the given milliseconds; tests replace it to keep their own time.
using SleepHook = std::function<void(int ms)>;
void SleepMilliseconds(int ms);

// Command numbers that the library itself sends.
enum : std::uint8_t {
    CmdOutputLevels = 0,
    CmdInputLevels = 1,
    CmdRevision = 2,
    CmdChannelCount = 3,
};

// Control register values of the handshake.
enum : std::uint8_t {
    CtlRest = 0x04,
    CtlReset = 0x08,
    CtlRequestStrobe = 0x07,
    CtlRequestRelease = 0x06,
    CtlDataOutStrobe = 0x05,
    CtlDataInStrobe = 0x25,
    CtlDataInRelease = 0x24,
};

constexpr std::uint8_t StatusAck = 0x40;
constexpr int PollLimit = 256;            // status polls per wait
constexpr std::uint16_t RetryStart = 10;  // time-outs in a row before the interface is reset
constexpr int MaxTransferChannels = 512;  // channels per _DMXWrite / _DMXRead
constexpr int RequestSize = 6;

class LptProtocol {
public:
    explicit LptProtocol(PortIo &io, SleepHook sleep = SleepMilliseconds);

    // Port addresses of the interface: data = base, status = base + 1, control = base + 2.
    void SetPortAddresses(std::uint16_t base);
    std::uint16_t DataPort() const { return dataPort_; }
    std::uint16_t StatusPort() const { return statusPort_; }
    std::uint16_t ControlPort() const { return controlPort_; }

    // Sets the port addresses, resets the interface and asks for its revision: true when the
    // interface answers with a non-zero revision.
    bool ProbeInterface(std::uint16_t base);
    // control 0x08, 40 ms, control 0x04, 300 ms.
    void ResetInterface();

    // Builds the 6-byte request (cmd, ~cmd, p1 LE, p2 LE) and clocks it out.
    bool SendInterfaceRequest(std::uint8_t cmd, std::int16_t p1, std::int16_t p2);
    bool SendBytes(const std::uint8_t *bytes, int count);
    bool WriteBlock(int count, const std::uint8_t *bytes);
    // Keeps the bytes read before a time-out in bytes.
    bool ReadBlock(int count, std::uint8_t *bytes);

    // The entry points' work.
    void GetHardwareRevision(char *buf4);
    std::int16_t GetBufferSize();
    int DMXWrite(int count, const std::uint8_t *levels);
    int DMXRead(int count, std::uint8_t *buf);

    std::uint16_t RetryCounter() const { return retry_; }
    const std::array<std::uint8_t, RequestSize> &InterfaceRequest() const { return request_; }

private:
    bool WaitStatus(bool set);
    bool Timeout();
    void Completed() { retry_ = RetryStart; }

    PortIo &io_;
    SleepHook sleep_;
    std::uint16_t dataPort_ = 0;
    std::uint16_t statusPort_ = 0;
    std::uint16_t controlPort_ = 0;
    std::array<std::uint8_t, RequestSize> request_{};
    std::uint16_t retry_ = RetryStart;
};

} // namespace lpt
