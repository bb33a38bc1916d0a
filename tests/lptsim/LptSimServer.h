// Serves the simulated interface on an AF_UNIX SOCK_SEQPACKET socket, one host at a time.
#pragma once

#include "tests/lptsim/LptSimDevice.h"

#include <atomic>
#include <string>

namespace lptsim {

class LptSimServer {
public:
    LptSimServer(LptSimDevice &device, std::string socketPath);
    ~LptSimServer();
    LptSimServer(const LptSimServer &) = delete;
    LptSimServer &operator=(const LptSimServer &) = delete;

    // Binds and listens; the socket file appears only once connections are accepted.
    // 0 or an errno value.
    int Listen();
    // Serves until Stop(); call from one thread.
    void Run();
    // Ends Run() from any thread or from a signal handler.
    void Stop();

    const std::string &SocketPath() const { return path_; }
    long Connections() const { return connections_.load(); }

private:
    void Accept();
    bool Serve();  // false when the host closed its end
    void DropClient(bool logClose);

    LptSimDevice &device_;
    std::string path_;
    int listenFd_ = -1;
    int clientFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::atomic<long> connections_{0};
};

} // namespace lptsim
