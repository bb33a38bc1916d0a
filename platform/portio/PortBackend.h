// One way of reaching the parallel port's registers from user space on Linux.
//
// The port-access driver (TLPTBRTV_Driver) runs the same steps on every backend: locate the
// device for a base address, start (open or connect), claim, identify, apply permissions,
// transfer bytes, release and stop. Every operation returns 0 or an errno value.
#pragma once

#include <cstdint>
#include <string>

namespace portio {

class PortBackend {
public:
    virtual ~PortBackend() = default;

    virtual const char *Name() const = 0;
    // Finds the device that serves the base address; devicePath is what Start opens.
    virtual int Locate(std::uint16_t base, std::string &devicePath) = 0;
    // Opens the device (or connects to it) for the given base.
    virtual int Start(const std::string &devicePath, std::uint16_t base) = 0;
    virtual bool Started() const = 0;
    // Takes the port for this process alone.
    virtual int Claim() = 0;
    virtual int Release() = 0;
    // The answer is 0x123 when the backend is ready to move bytes.
    virtual int Identify(std::uint32_t &answer) = 0;
    // Makes the four ports from the started base reachable by this process.
    virtual int Apply() = 0;
    virtual std::uint8_t In(std::uint16_t port) = 0;
    virtual void Out(std::uint16_t port, std::uint8_t value) = 0;
    // Closes what Start opened; the backend can be started again afterwards.
    virtual int Stop() = 0;
};

} // namespace portio
