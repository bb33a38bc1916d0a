// The interface simulator served on a socket from a thread of the test, with its log kept.
#pragma once

#include "tests/lptsim/LptSimDevice.h"
#include "tests/lptsim/LptSimServer.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace lpttest {

class SimServerThread {
public:
    explicit SimServerThread(lptsim::DeviceConfig config = {}) : device_(config)
    {
        char dir[] = "/tmp/brtv-lptsim-XXXXXX";
        if (mkdtemp(dir))
            dir_ = dir;
        path_ = dir_ + "/sock";
        device_.OnLog = [this](const std::string &line) {
            std::lock_guard lock(mutex_);
            log_.push_back(line);
            changed_.notify_all();
        };
        device_.OnFrame = [this](const std::vector<std::uint8_t> &frame) {
            std::lock_guard lock(mutex_);
            frames_.push_back(frame);
        };
        server_ = std::make_unique<lptsim::LptSimServer>(device_, path_);
        listenError_ = server_->Listen();
        if (listenError_ == 0)
            thread_ = std::thread([this] { server_->Run(); });
    }
    ~SimServerThread()
    {
        server_->Stop();
        if (thread_.joinable())
            thread_.join();
        server_.reset();
        rmdir(dir_.c_str());
    }

    bool Listening() const { return listenError_ == 0; }
    const std::string &SocketPath() const { return path_; }

    std::vector<std::string> Log()
    {
        std::lock_guard lock(mutex_);
        return log_;
    }
    std::vector<std::vector<std::uint8_t>> Frames()
    {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    // The simulator's flash pages (read once the host has finished with them).
    std::vector<std::vector<std::uint8_t>> FlashPages()
    {
        std::lock_guard lock(mutex_);
        return device_.Config().flashPages;
    }
    // Waits until the log's last line is the given one (the server runs on its own thread).
    bool WaitForLastLine(const std::string &line, std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return !log_.empty() && log_.back() == line; });
    }

private:
    lptsim::LptSimDevice device_;
    std::string dir_;
    std::string path_;
    std::unique_ptr<lptsim::LptSimServer> server_;
    int listenError_ = -1;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> log_;
    std::vector<std::vector<std::uint8_t>> frames_;
};

} // namespace lpttest
