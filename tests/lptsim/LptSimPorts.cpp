#include "tests/lptsim/LptSimPorts.h"

#include <cerrno>

namespace lptsim {

std::uint8_t LptSimPort::PortIn(std::uint16_t port)
{
    ++reads_;
    if (port < base_ || port > base_ + 2)
        return 0xFF;
    return device_.Read(port - base_);
}

void LptSimPort::PortOut(std::uint16_t port, std::uint8_t value)
{
    ++writes_;
    if (port >= base_ && port <= base_ + 2)
        device_.Write(port - base_, value);
}

int LptSimBackend::Locate(std::uint16_t, std::string &devicePath)
{
    devicePath = "in-process";
    return 0;
}

int LptSimBackend::Start(const std::string &, std::uint16_t base)
{
    if (started_)
        return EBUSY;
    started_ = true;
    base_ = base;
    accepted_ = device_.Connect(base);
    return 0;
}

int LptSimBackend::Identify(std::uint32_t &answer)
{
    answer = started_ && accepted_ ? 0x123 : 0;
    return started_ ? 0 : EBADF;
}

std::uint8_t LptSimBackend::In(std::uint16_t port)
{
    if (!started_ || !accepted_ || port < base_ || port > base_ + 2)
        return 0x00;
    return device_.Read(port - base_);
}

void LptSimBackend::Out(std::uint16_t port, std::uint8_t value)
{
    if (started_ && accepted_ && port >= base_ && port <= base_ + 2)
        device_.Write(port - base_, value);
}

int LptSimBackend::Stop()
{
    if (!started_)
        return EBADF;
    if (accepted_)
        device_.Disconnect();
    started_ = false;
    accepted_ = false;
    return 0;
}

} // namespace lptsim
