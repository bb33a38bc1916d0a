// Port access through the interface simulator's socket (BRTV_LPT_SIM names it).
#pragma once

#include "platform/portio/PortBackend.h"

#include <cerrno>

namespace portio {

class SimSocketBackend final : public PortBackend {
public:
    explicit SimSocketBackend(std::string socketPath);
    ~SimSocketBackend() override;

    const char *Name() const override { return "simulator"; }
    int Locate(std::uint16_t base, std::string &devicePath) override;
    int Start(const std::string &devicePath, std::uint16_t base) override;
    bool Started() const override { return fd_ >= 0; }
    int Claim() override { return fd_ >= 0 ? 0 : EBADF; }
    int Release() override { return 0; }
    int Identify(std::uint32_t &answer) override;
    int Apply() override { return fd_ >= 0 ? 0 : EBADF; }
    std::uint8_t In(std::uint16_t port) override;
    void Out(std::uint16_t port, std::uint8_t value) override;
    int Stop() override;

private:
    bool Send(std::uint8_t op, std::uint8_t reg, std::uint16_t value);
    void Broken();

    std::string socketPath_;
    int fd_ = -1;
    std::uint16_t base_ = 0;
    bool helloRead_ = false;
    std::uint32_t helloAnswer_ = 0;
    bool broken_ = false;
};

} // namespace portio
