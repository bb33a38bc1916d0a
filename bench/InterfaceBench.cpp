// How long a 512-channel frame and a 512-channel input read take through the interface
// simulator: in-process (the handshake alone) and over the simulator's socket (the lptsim
// program in its own process, reached as the library reaches it with BRTV_LPT_SIM).
//
//   InterfaceBench [--rounds N] [--lptsim PATH]
#include "lptlib/LptLibrary.h"
#include "lptlib/LptProtocol.h"
#include "platform/portio/LptbrtvDriver.h"
#include "tests/lptsim/LptSimDevice.h"
#include "tests/lptsim/LptSimPorts.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
    double meanMs = 0, bestMs = 0, worstMs = 0;
};

Figures Time(int rounds, const std::function<bool()> &once)
{
    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(rounds));
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        if (!once()) {
            std::fprintf(stderr, "InterfaceBench: a transfer failed\n");
            std::exit(1);
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    Figures f;
    for (double v : ms)
        f.meanMs += v;
    f.meanMs /= rounds;
    f.bestMs = *std::min_element(ms.begin(), ms.end());
    f.worstMs = *std::max_element(ms.begin(), ms.end());
    return f;
}

void Print(const char *what, const Figures &f)
{
    std::printf("%-44s mean %8.3f ms   best %8.3f ms   worst %8.3f ms\n", what, f.meanMs, f.bestMs, f.worstMs);
}

void RunBoth(const char *where, lpt::LptProtocol &proto, int rounds)
{
    std::vector<std::uint8_t> frame(512);
    std::vector<std::uint8_t> input(512);
    int tick = 0;
    const Figures write = Time(rounds, [&] {
        std::fill(frame.begin(), frame.end(), static_cast<std::uint8_t>(++tick));
        return proto.DMXWrite(512, frame.data()) == 512 && proto.RetryCounter() == lpt::RetryStart;
    });
    const Figures read = Time(rounds, [&] {
        return proto.DMXRead(512, input.data()) == 512 && proto.RetryCounter() == lpt::RetryStart;
    });
    Print((std::string(where) + ": 512-channel frame (518 bytes)").c_str(), write);
    Print((std::string(where) + ": 512-channel input read (518 bytes)").c_str(), read);
}

std::string ProgramFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string s(path, static_cast<std::size_t>(n));
    return s.substr(0, s.rfind('/'));
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = 200;
    std::string lptsim = ProgramFolder() + "/lptsim";
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--lptsim") && i + 1 < argc)
            lptsim = argv[++i];
        else {
            std::fprintf(stderr, "usage: InterfaceBench [--rounds N] [--lptsim PATH]\n");
            return 2;
        }
    }

    // In-process: the handshake against the simulator's device, no system call.
    {
        lptsim::LptSimDevice device;
        lptsim::LptSimPort port(device, 0x378);
        lpt::LptProtocol proto(port, [](int) {});
        proto.SetPortAddresses(0x378);
        RunBoth("in-process", proto, rounds);
    }

    // Over the socket: the lptsim program in its own process.
    char dir[] = "/tmp/brtv-bench-XXXXXX";
    if (!mkdtemp(dir)) {
        std::perror("InterfaceBench: mkdtemp");
        return 1;
    }
    const std::string socketPath = std::string(dir) + "/sock";
    const pid_t child = fork();
    if (child == 0) {
        const int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0)
            dup2(devnull, STDOUT_FILENO);
        execl(lptsim.c_str(), "lptsim", "--socket", socketPath.c_str(), "--base", "0x378", (char *)nullptr);
        std::perror("InterfaceBench: cannot start lptsim");
        _exit(127);
    }
    struct stat st {};
    for (int i = 0; i < 500 && stat(socketPath.c_str(), &st) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    int status = 0;
    if (stat(socketPath.c_str(), &st) != 0 || waitpid(child, &status, WNOHANG) == child) {
        std::fprintf(stderr, "InterfaceBench: lptsim (%s) did not start\n", lptsim.c_str());
        kill(child, SIGTERM);
        waitpid(child, &status, 0);
        rmdir(dir);
        return 1;
    }
    setenv("BRTV_LPT_SIM", socketPath.c_str(), 1);
    int rc = 0;
    {
        portio::TLPTBRTV_Driver driver;
        lpt::LptLibrary lib(driver);
        if (lib.TestLoad(0x378)) {
            RunBoth("socket", lib.Protocol(), rounds);
            lib.CloseDevice();
        } else {
            std::fprintf(stderr, "InterfaceBench: the simulator did not answer at 0x378\n");
            rc = 1;
        }
    }
    kill(child, SIGTERM);
    waitpid(child, &status, 0);
    rmdir(dir);
    return rc;
}
