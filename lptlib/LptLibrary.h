// The parallel-port library's state: the port-access driver and the handshake over it.
// The exported entry points forward to the one instance of this class.
#pragma once

#include "lptlib/LptProtocol.h"
#include "platform/portio/LptbrtvDriver.h"

namespace lpt {

class LptLibrary {
public:
    explicit LptLibrary(portio::TLPTBRTV_Driver &driver, SleepHook sleep = SleepMilliseconds);

    // Opens the port at base through the driver and probes the interface there.
    bool TestLoad(int base);
    // Closes the device handle, then stops the driver; the stop result.
    int CloseDevice();

    LptProtocol &Protocol() { return protocol_; }
    portio::TLPTBRTV_Driver &Driver() { return driver_; }

private:
    class DriverPort final : public PortIo {
    public:
        explicit DriverPort(portio::TLPTBRTV_Driver &driver) : driver_(driver) {}
        std::uint8_t PortIn(std::uint16_t port) override { return driver_.PortIn(port); }
        void PortOut(std::uint16_t port, std::uint8_t value) override { driver_.PortOut(port, value); }

    private:
        portio::TLPTBRTV_Driver &driver_;
    };

    portio::TLPTBRTV_Driver &driver_;
    DriverPort port_;
    LptProtocol protocol_;
};

} // namespace lpt
