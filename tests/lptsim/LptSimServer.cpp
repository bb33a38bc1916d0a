#include "tests/lptsim/LptSimServer.h"

#include "platform/portio/SimSocketProtocol.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace lptsim {

using portio::SimMessage;
using portio::SimMessageSize;

LptSimServer::LptSimServer(LptSimDevice &device, std::string socketPath)
    : device_(device), path_(std::move(socketPath))
{
    if (pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        stopPipe_[0] = stopPipe_[1] = -1;
}

LptSimServer::~LptSimServer()
{
    DropClient(false);
    if (listenFd_ >= 0) {
        close(listenFd_);
        unlink(path_.c_str());
    }
    for (int fd : stopPipe_)
        if (fd >= 0)
            close(fd);
}

int LptSimServer::Listen()
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    // Bound under a temporary name and renamed: whoever sees the path can connect.
    const std::string temp = path_ + ".tmp";
    if (temp.size() >= sizeof(addr.sun_path))
        return ENAMETOOLONG;
    std::memcpy(addr.sun_path, temp.c_str(), temp.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return errno;
    unlink(temp.c_str());
    if (bind(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0 || listen(fd, 8) != 0 ||
        rename(temp.c_str(), path_.c_str()) != 0) {
        const int err = errno;
        close(fd);
        unlink(temp.c_str());
        return err;
    }
    listenFd_ = fd;
    return 0;
}

void LptSimServer::Stop()
{
    if (stopPipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(stopPipe_[1], &byte, 1);
    }
}

void LptSimServer::DropClient(bool logClose)
{
    if (clientFd_ < 0)
        return;
    close(clientFd_);
    clientFd_ = -1;
    if (logClose)
        device_.Disconnect();
}

void LptSimServer::Accept()
{
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    ++connections_;
    // A host that connects and says nothing must not stall the device.
    timeval tv{2, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    std::uint8_t buf[SimMessageSize];
    const ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n != SimMessageSize || buf[0] != portio::SimOpHello) {
        close(fd);
        return;
    }
    const SimMessage hello = portio::DecodeSimMessage(buf);
    // The device logs every attempt; it serves one host at a time.
    const bool accepted = device_.Connect(hello.value) && clientFd_ < 0;
    std::uint8_t reply[SimMessageSize];
    portio::EncodeSimMessage(SimMessage{portio::SimOpHello, 0, accepted ? portio::SimHelloAccept : std::uint16_t(0)},
                             reply);
    send(fd, reply, sizeof reply, MSG_NOSIGNAL);
    if (!accepted) {
        close(fd);
        return;
    }
    timeval none{0, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &none, sizeof none);
    clientFd_ = fd;
}

bool LptSimServer::Serve()
{
    // Handles every message already queued, in order. A host in the middle of a transfer sends
    // its next message within microseconds: keep taking them for a short while before going
    // back to poll, so that each status poll does not cost two scheduler wake-ups.
    using Clock = std::chrono::steady_clock;
    constexpr auto Linger = std::chrono::microseconds(500);
    auto idleUntil = Clock::now() + Linger;
    for (;;) {
        std::uint8_t buf[SimMessageSize];
        const ssize_t n = recv(clientFd_, buf, sizeof buf, MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                if (Clock::now() < idleUntil)
                    continue;
                return true;
            }
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        idleUntil = Clock::now() + Linger;
        if (n != SimMessageSize)
            continue;  // not a message of this protocol: dropped
        const SimMessage m = portio::DecodeSimMessage(buf);
        if (m.op == portio::SimOpWrite) {
            device_.Write(m.reg, static_cast<std::uint8_t>(m.value & 0xFF));
        } else if (m.op == portio::SimOpRead) {
            const std::uint8_t value = device_.Read(m.reg);
            if (send(clientFd_, &value, 1, MSG_NOSIGNAL) != 1)
                return false;
        }
    }
}

void LptSimServer::Run()
{
    if (listenFd_ < 0)
        return;
    for (;;) {
        pollfd fds[3];
        nfds_t count = 0;
        fds[count++] = pollfd{stopPipe_[0], POLLIN, 0};
        const int clientSlot = clientFd_ >= 0 ? static_cast<int>(count) : -1;
        if (clientFd_ >= 0)
            fds[count++] = pollfd{clientFd_, POLLIN, 0};
        const int listenSlot = static_cast<int>(count);
        fds[count++] = pollfd{listenFd_, POLLIN, 0};
        if (poll(fds, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        // The client first: a host that closed and reconnects is seen closing before it connects.
        if (clientSlot >= 0 && fds[clientSlot].revents) {
            if (!Serve())
                DropClient(true);
        }
        if (fds[listenSlot].revents & POLLIN)
            Accept();
    }
}

} // namespace lptsim
