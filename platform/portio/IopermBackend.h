// Direct port I/O with ioperm/inb/outb. Used only when BRTV_LPT_IOPERM=1 is set and no other
// backend is available: it needs root (CAP_SYS_RAWIO) and bypasses the kernel's parport driver.
#pragma once

#include "platform/portio/PortBackend.h"

namespace portio {

class IopermBackend final : public PortBackend {
public:
    ~IopermBackend() override;

    const char *Name() const override { return "ioperm"; }
    int Locate(std::uint16_t base, std::string &devicePath) override;
    int Start(const std::string &devicePath, std::uint16_t base) override;
    bool Started() const override { return started_; }
    int Claim() override { return 0; }
    int Release() override { return 0; }
    int Identify(std::uint32_t &answer) override;
    int Apply() override;
    std::uint8_t In(std::uint16_t port) override;
    void Out(std::uint16_t port, std::uint8_t value) override;
    int Stop() override;

    // False on processors without port I/O instructions.
    static bool Available();

private:
    bool started_ = false;
    bool applied_ = false;
    std::uint16_t base_ = 0;
};

} // namespace portio
