// The interface simulator as the end-to-end tests run it: the lptsim program in its own
// process on a socket, the frames it received, and a hang guard for waiting on it.
#pragma once

#include "common/ProgramFolder.h"
#include "common/TestFiles.h"

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace simharness {

// Waits up to 20 s (a hang guard, not a timing) for `done`.
template <class F> bool WaitFor(F done)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// The frames file: one record per frame, u16 little-endian count, then the bytes.
inline std::vector<std::string> Frames(const std::filesystem::path &p)
{
    const std::string data = testfiles::Read(p);
    std::vector<std::string> frames;
    std::size_t at = 0;
    while (at + 2 <= data.size()) {
        const std::size_t n = static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8;
        if (at + 2 + n > data.size())
            break;
        frames.push_back(data.substr(at + 2, n));
        at += 2 + n;
    }
    return frames;
}

class Simulator {
public:
    ~Simulator() { Stop(); }
    bool Start(const std::filesystem::path &socket, const std::vector<std::string> &args)
    {
        pid_ = fork();
        if (pid_ == 0) {
            std::vector<std::string> all = {BRTV_LPTSIM_PROGRAM, "--socket", socket.string()};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char *> argv;
            for (std::string &a : all)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(BRTV_LPTSIM_PROGRAM, argv.data());
            _exit(127);
        }
        return pid_ > 0 && WaitFor([&] { return std::filesystem::exists(socket); });
    }
    void Stop()
    {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

// A program folder `root/bin` (with an empty "Devices") holding the interface library, and
// the simulator on `root/sim` writing its frames to `root/frames`, which the program binds.
inline bool StartSimulatedInterface(const std::filesystem::path &root, Simulator &sim)
{
    std::filesystem::create_directories(root / "bin" / "Devices");
    const char *bin = std::getenv("BRTV_BIN_DIR");
    if (!bin)
        return false;
    std::filesystem::copy_file(std::filesystem::path(bin) / "lptbrtv.so", root / "bin" / "lptbrtv.so");
    if (!sim.Start(root / "sim", {"--frames", (root / "frames").string()}))
        return false;
    testfiles::UseProgramFolder(root);
    setenv("BRTV_LPT_SIM", (root / "sim").c_str(), 1);
    return true;
}

} // namespace simharness
