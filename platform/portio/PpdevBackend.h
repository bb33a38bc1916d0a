// Port access through the kernel's ppdev driver (/dev/parportN).
#pragma once

#include "platform/portio/PortBackend.h"

#include <cerrno>

namespace portio {

class PpdevBackend final : public PortBackend {
public:
    // procRoot is the folder of the parport entries (/proc/sys/dev/parport); tests give their own.
    explicit PpdevBackend(std::string procRoot = "/proc/sys/dev/parport", std::string devRoot = "/dev");
    ~PpdevBackend() override;

    const char *Name() const override { return "ppdev"; }
    int Locate(std::uint16_t base, std::string &devicePath) override;
    int Start(const std::string &devicePath, std::uint16_t base) override;
    bool Started() const override { return fd_ >= 0; }
    int Claim() override;
    int Release() override;
    int Identify(std::uint32_t &answer) override;
    int Apply() override { return fd_ >= 0 ? 0 : EBADF; }
    std::uint8_t In(std::uint16_t port) override;
    void Out(std::uint16_t port, std::uint8_t value) override;
    int Stop() override;

private:

    std::string procRoot_;
    std::string devRoot_;
    int fd_ = -1;
    std::uint16_t base_ = 0;
    bool exclusive_ = false;
    bool claimed_ = false;
    int direction_ = 0;  // 0 forward (host drives the data lines), 1 reverse
};

// The first decimal number of a base-addr entry ("888\t1912\n" gives 888); -1 when there is none.
long ParseParportBase(const std::string &text);

} // namespace portio
