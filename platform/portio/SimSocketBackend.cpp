#include "platform/portio/SimSocketBackend.h"

#include "platform/portio/SimSocketProtocol.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace portio {

namespace {
// A simulator that stops answering must not hang the caller (which may be the engine thread).
constexpr int ReplyTimeoutMs = 2000;
// A reply normally comes within microseconds; waiting for it without sleeping first avoids a
// scheduler wake-up per status poll, which would make a frame take tens of milliseconds.
constexpr auto ReplySpin = std::chrono::microseconds(200);
} // namespace

SimSocketBackend::SimSocketBackend(std::string socketPath) : socketPath_(std::move(socketPath)) {}

SimSocketBackend::~SimSocketBackend()
{
    Stop();
}

int SimSocketBackend::Locate(std::uint16_t, std::string &devicePath)
{
    devicePath = socketPath_;
    return socketPath_.empty() ? ENOENT : 0;
}

int SimSocketBackend::Start(const std::string &devicePath, std::uint16_t base)
{
    if (fd_ >= 0)
        return EBUSY;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (devicePath.empty())
        return ENOENT;
    if (devicePath.size() >= sizeof(addr.sun_path))
        return ENAMETOOLONG;
    std::memcpy(addr.sun_path, devicePath.c_str(), devicePath.size() + 1);

    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return errno;
    timeval tv{ReplyTimeoutMs / 1000, (ReplyTimeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    if (connect(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0) {
        const int err = errno;
        close(fd);
        return err;
    }
    fd_ = fd;
    base_ = base;
    helloRead_ = false;
    helloAnswer_ = 0;
    broken_ = false;
    if (!Send(SimOpHello, 0, base)) {
        const int err = errno ? errno : EPIPE;
        Stop();
        return err;
    }
    return 0;
}

int SimSocketBackend::Identify(std::uint32_t &answer)
{
    answer = 0;
    if (fd_ < 0)
        return EBADF;
    if (!helloRead_) {
        std::uint8_t buf[SimMessageSize];
        const ssize_t n = recv(fd_, buf, sizeof buf, 0);
        if (n < 0)
            return errno;
        helloRead_ = true;
        if (n == SimMessageSize) {
            const SimMessage reply = DecodeSimMessage(buf);
            if (reply.op == SimOpHello)
                helloAnswer_ = reply.value;
        }
        if (helloAnswer_ != SimHelloAccept)
            broken_ = true;  // the simulator closes a refused connection
    }
    answer = helloAnswer_;
    return 0;
}

bool SimSocketBackend::Send(std::uint8_t op, std::uint8_t reg, std::uint16_t value)
{
    std::uint8_t buf[SimMessageSize];
    EncodeSimMessage(SimMessage{op, reg, value}, buf);
    errno = 0;
    return send(fd_, buf, sizeof buf, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof buf);
}

void SimSocketBackend::Broken()
{
    broken_ = true;
}

std::uint8_t SimSocketBackend::In(std::uint16_t port)
{
    // A lost simulator reads as an interface that never acknowledges.
    if (fd_ < 0 || broken_ || port < base_ || port > base_ + 3)
        return 0x00;
    if (!Send(SimOpRead, static_cast<std::uint8_t>(port - base_), 0)) {
        Broken();
        return 0x00;
    }
    std::uint8_t byte = 0;
    ssize_t n = -1;
    const auto spinUntil = std::chrono::steady_clock::now() + ReplySpin;
    do {
        n = recv(fd_, &byte, 1, MSG_DONTWAIT);
    } while (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) &&
             std::chrono::steady_clock::now() < spinUntil);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        n = recv(fd_, &byte, 1, 0);
    if (n != 1) {
        Broken();
        return 0x00;
    }
    return byte;
}

void SimSocketBackend::Out(std::uint16_t port, std::uint8_t value)
{
    if (fd_ < 0 || broken_ || port < base_ || port > base_ + 3)
        return;
    if (!Send(SimOpWrite, static_cast<std::uint8_t>(port - base_), value))
        Broken();
}

int SimSocketBackend::Stop()
{
    if (fd_ < 0)
        return EBADF;
    const int rc = close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    helloRead_ = false;
    helloAnswer_ = 0;
    broken_ = false;
    return rc;
}

} // namespace portio
