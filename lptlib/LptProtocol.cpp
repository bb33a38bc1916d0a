#include "lptlib/LptProtocol.h"

#include <cerrno>
#include <ctime>
#include <utility>

namespace lpt {

void SleepMilliseconds(int ms)
{
    if (ms <= 0)
        return;
    timespec left{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

LptProtocol::LptProtocol(PortIo &io, SleepHook sleep) : io_(io), sleep_(std::move(sleep))
{
    if (!sleep_)
        sleep_ = SleepMilliseconds;
}

void LptProtocol::SetPortAddresses(std::uint16_t base)
{
    dataPort_ = base;
    statusPort_ = static_cast<std::uint16_t>(base + 1);
    controlPort_ = static_cast<std::uint16_t>(base + 2);
}

bool LptProtocol::ProbeInterface(std::uint16_t base)
{
    SetPortAddresses(base);
    io_.PortOut(dataPort_, 0xFF);
    sleep_(1);
    ResetInterface();
    if (!SendInterfaceRequest(CmdRevision, 0, 0))
        return false;
    std::uint8_t revision = 0;
    ReadBlock(1, &revision);
    return revision != 0;
}

void LptProtocol::ResetInterface()
{
    io_.PortOut(controlPort_, CtlReset);
    sleep_(40);
    io_.PortOut(controlPort_, CtlRest);
    sleep_(300);
}

bool LptProtocol::WaitStatus(bool set)
{
    // No sleep between polls: the interface answers within a few microseconds.
    for (int poll = 0; poll < PollLimit; ++poll) {
        const bool ack = (io_.PortIn(statusPort_) & StatusAck) != 0;
        if (ack == set)
            return true;
    }
    return false;
}

bool LptProtocol::Timeout()
{
    io_.PortOut(controlPort_, CtlRest);
    if (retry_ > 0)
        --retry_;
    if (retry_ == 0) {
        ResetInterface();
        retry_ = RetryStart;
    }
    return false;
}

bool LptProtocol::SendInterfaceRequest(std::uint8_t cmd, std::int16_t p1, std::int16_t p2)
{
    const auto u1 = static_cast<std::uint16_t>(p1);
    const auto u2 = static_cast<std::uint16_t>(p2);
    request_[0] = cmd;
    request_[1] = static_cast<std::uint8_t>(~cmd);
    request_[2] = static_cast<std::uint8_t>(u1 & 0xFF);
    request_[3] = static_cast<std::uint8_t>(u1 >> 8);
    request_[4] = static_cast<std::uint8_t>(u2 & 0xFF);
    request_[5] = static_cast<std::uint8_t>(u2 >> 8);
    return SendBytes(request_.data(), RequestSize);
}

bool LptProtocol::SendBytes(const std::uint8_t *bytes, int count)
{
    if (count <= 0 || !bytes)
        return false;
    for (int i = 0; i < count; ++i) {
        io_.PortOut(dataPort_, bytes[i]);
        io_.PortOut(controlPort_, CtlRequestStrobe);
        if (!WaitStatus(true))
            return Timeout();
        io_.PortOut(controlPort_, CtlRequestRelease);
        if (!WaitStatus(false))
            return Timeout();
    }
    io_.PortOut(controlPort_, CtlRest);
    Completed();
    return true;
}

bool LptProtocol::WriteBlock(int count, const std::uint8_t *bytes)
{
    if (count <= 0 || !bytes)
        return false;
    for (int i = 0; i < count; ++i) {
        io_.PortOut(dataPort_, bytes[i]);
        io_.PortOut(controlPort_, CtlDataOutStrobe);
        if (!WaitStatus(true))
            return Timeout();
        io_.PortOut(controlPort_, CtlRest);
        if (!WaitStatus(false))
            return Timeout();
    }
    Completed();
    return true;
}

bool LptProtocol::ReadBlock(int count, std::uint8_t *bytes)
{
    if (count <= 0 || !bytes)
        return false;
    // A bidirectional port reads its own latch unless the lines are released high.
    io_.PortOut(dataPort_, 0xFF);
    for (int i = 0; i < count; ++i) {
        io_.PortOut(controlPort_, CtlDataInStrobe);
        if (!WaitStatus(true))
            return Timeout();
        bytes[i] = io_.PortIn(dataPort_);
        io_.PortOut(controlPort_, CtlDataInRelease);
        if (!WaitStatus(false))
            return Timeout();
    }
    io_.PortOut(controlPort_, CtlRest);
    Completed();
    return true;
}

void LptProtocol::GetHardwareRevision(char *buf4)
{
    if (!buf4)
        return;
    for (int i = 0; i < 4; ++i)
        buf4[i] = 0;
    if (!SendInterfaceRequest(CmdRevision, 0, 0))
        return;
    std::uint8_t r = 0;
    ReadBlock(1, &r);
    if (r == 0)
        return;
    // A revision of 100 or more gives a character beyond '9'; the interface reports 10..99.
    buf4[0] = static_cast<char>('0' + r / 10);
    buf4[1] = '.';
    buf4[2] = static_cast<char>('0' + r % 10);
    buf4[3] = 0;
}

std::int16_t LptProtocol::GetBufferSize()
{
    if (!SendInterfaceRequest(CmdChannelCount, 0, 0))
        return 0;
    std::uint8_t size[2] = {0, 0};
    if (!ReadBlock(2, size))
        return 0;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(size[0] | (size[1] << 8)));
}

int LptProtocol::DMXWrite(int count, const std::uint8_t *levels)
{
    if (count <= 0 || !levels)
        return 0;
    if (count > MaxTransferChannels)
        count = MaxTransferChannels;
    if (!SendInterfaceRequest(CmdOutputLevels, 0, static_cast<std::int16_t>(count)))
        return 0;
    WriteBlock(count, levels);  // a time-out here still reports the count: the request went through
    return count;
}

int LptProtocol::DMXRead(int count, std::uint8_t *buf)
{
    if (count <= 0 || !buf)
        return 0;
    if (count > MaxTransferChannels)
        count = MaxTransferChannels;
    if (!SendInterfaceRequest(CmdInputLevels, 0, static_cast<std::int16_t>(count)))
        return 0;
    ReadBlock(count, buf);
    return count;
}

} // namespace lpt
