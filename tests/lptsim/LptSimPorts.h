// The interface simulator behind the library's port seams, in-process (no socket).
#pragma once

#include "lptlib/LptProtocol.h"
#include "platform/portio/PortBackend.h"
#include "tests/lptsim/LptSimDevice.h"

#include <cerrno>

namespace lptsim {

// A port whose registers at base..base+2 are the device's; other ports read 0xFF.
class LptSimPort final : public lpt::PortIo {
public:
    LptSimPort(LptSimDevice &device, std::uint16_t base) : device_(device), base_(base) {}
    std::uint8_t PortIn(std::uint16_t port) override;
    void PortOut(std::uint16_t port, std::uint8_t value) override;
    long Reads() const { return reads_; }
    long Writes() const { return writes_; }

private:
    LptSimDevice &device_;
    std::uint16_t base_;
    long reads_ = 0;
    long writes_ = 0;
};

// A port-access backend that connects to the device in-process, as the socket backend would.
class LptSimBackend final : public portio::PortBackend {
public:
    explicit LptSimBackend(LptSimDevice &device) : device_(device) {}
    const char *Name() const override { return "in-process simulator"; }
    int Locate(std::uint16_t, std::string &devicePath) override;
    int Start(const std::string &devicePath, std::uint16_t base) override;
    bool Started() const override { return started_; }
    int Claim() override { return started_ ? 0 : EBADF; }
    int Release() override { return 0; }
    int Identify(std::uint32_t &answer) override;
    int Apply() override { return started_ ? 0 : EBADF; }
    std::uint8_t In(std::uint16_t port) override;
    void Out(std::uint16_t port, std::uint8_t value) override;
    int Stop() override;

private:
    LptSimDevice &device_;
    bool started_ = false;
    bool accepted_ = false;
    std::uint16_t base_ = 0;
};

} // namespace lptsim
