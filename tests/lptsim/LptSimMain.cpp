// lptsim: the DMX interface on a simulated parallel port, served on a socket.
//
//   lptsim --socket PATH [--base 0x378] [--revision 55] [--channels 512] [--input FILE]
//          [--beat N] [--frames FILE] [--log FILE] [--no-ack] [--stop-after N]
//          [--flash-id N] [--flash FILE] [--flash-no PAGE]
//
// --flash-id sets the id the flash answers (0x28 by default, 4080 pages); --flash gets the
// flash pages when the simulator ends (page n at offset n x 516); --flash-no makes the
// flash answer "NO" when page PAGE is written.
// The socket file appears once the simulator accepts connections. --frames gets one record
// per completed frame (u16 little-endian count, then the bytes); --log gets one line per
// request, "BASE 0x..." per connection attempt, "CLOSE" when a served host disconnects and
// "ERROR ..." when the host breaks the handshake.
// SIGTERM or SIGINT ends it and removes the socket.
#include "tests/lptsim/LptSimDevice.h"
#include "tests/lptsim/LptSimServer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

lptsim::LptSimServer *ActiveServer = nullptr;

void OnSignal(int)
{
    if (ActiveServer)
        ActiveServer->Stop();
}

[[noreturn]] void Usage(const char *why)
{
    std::fprintf(stderr, "lptsim: %s\n", why);
    std::fprintf(stderr,
                 "usage: lptsim --socket PATH [--base 0x378] [--revision 55] [--channels 512]\n"
                 "              [--input FILE] [--beat N] [--frames FILE] [--log FILE]\n"
                 "              [--no-ack] [--stop-after N] [--flash-id N] [--flash FILE]\n"
                 "              [--flash-no PAGE]\n");
    std::exit(2);
}

long Number(const char *option, const char *text, long low, long high)
{
    char *end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 0);
    if (errno || !end || *end || end == text || value < low || value > high) {
        std::fprintf(stderr, "lptsim: %s needs a number from %ld to %ld, not \"%s\"\n", option, low, high, text);
        std::exit(2);
    }
    return value;
}

} // namespace

int main(int argc, char **argv)
{
    lptsim::DeviceConfig config;
    std::string socketPath, inputPath, framesPath, logPath, flashPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char * {
            if (i + 1 >= argc)
                Usage((arg + " needs a value").c_str());
            return argv[++i];
        };
        if (arg == "--socket")
            socketPath = value();
        else if (arg == "--base")
            config.base = static_cast<std::uint16_t>(Number("--base", value(), 0, 0xFFFF));
        else if (arg == "--revision")
            config.revision = static_cast<std::uint8_t>(Number("--revision", value(), 0, 255));
        else if (arg == "--channels")
            config.channels = static_cast<std::uint16_t>(Number("--channels", value(), 0, 0xFFFF));
        else if (arg == "--input")
            inputPath = value();
        else if (arg == "--beat")
            config.beat = static_cast<std::uint8_t>(Number("--beat", value(), 0, 255));
        else if (arg == "--frames")
            framesPath = value();
        else if (arg == "--log")
            logPath = value();
        else if (arg == "--no-ack")
            config.noAck = true;
        else if (arg == "--flash-id")
            config.flashId = static_cast<std::uint8_t>(Number("--flash-id", value(), 0, 255));
        else if (arg == "--flash")
            flashPath = value();
        else if (arg == "--flash-no")
            config.flashNoPage = static_cast<int>(Number("--flash-no", value(), 0, 0xFFFF));
        else if (arg == "--stop-after")
            config.stopAfter = Number("--stop-after", value(), 0, 0x7FFFFFFF);
        else
            Usage(("unknown option " + arg).c_str());
    }
    if (socketPath.empty())
        Usage("--socket is required");

    if (!inputPath.empty()) {
        FILE *in = std::fopen(inputPath.c_str(), "rb");
        if (!in) {
            std::fprintf(stderr, "lptsim: cannot read input file %s: %s\n", inputPath.c_str(), std::strerror(errno));
            return 1;
        }
        // A shorter file leaves the remaining channels at 0.
        [[maybe_unused]] const std::size_t n = std::fread(config.input.data(), 1, config.input.size(), in);
        std::fclose(in);
    }

    FILE *frames = nullptr;
    FILE *log = nullptr;
    if (!framesPath.empty() && !(frames = std::fopen(framesPath.c_str(), "wb"))) {
        std::fprintf(stderr, "lptsim: cannot write frames file %s: %s\n", framesPath.c_str(), std::strerror(errno));
        return 1;
    }
    if (!logPath.empty() && !(log = std::fopen(logPath.c_str(), "w"))) {
        std::fprintf(stderr, "lptsim: cannot write log file %s: %s\n", logPath.c_str(), std::strerror(errno));
        return 1;
    }

    lptsim::LptSimDevice device(config);
    if (frames) {
        device.OnFrame = [frames](const std::vector<std::uint8_t> &frame) {
            const std::size_t count = frame.size() > 0xFFFF ? 0xFFFF : frame.size();
            const unsigned char head[2] = {static_cast<unsigned char>(count & 0xFF),
                                           static_cast<unsigned char>(count >> 8)};
            std::fwrite(head, 1, 2, frames);
            std::fwrite(frame.data(), 1, count, frames);
            std::fflush(frames);
        };
    }
    if (log) {
        device.OnLog = [log](const std::string &line) {
            std::fprintf(log, "%s\n", line.c_str());
            std::fflush(log);
        };
    }

    lptsim::LptSimServer server(device, socketPath);
    if (const int rc = server.Listen()) {
        std::fprintf(stderr, "lptsim: cannot listen on %s: %s\n", socketPath.c_str(), std::strerror(rc));
        return 1;
    }
    ActiveServer = &server;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::printf("lptsim: listening on %s at base 0x%03X\n", socketPath.c_str(), config.base);
    std::fflush(stdout);
    server.Run();
    ActiveServer = nullptr;

    if (frames)
        std::fclose(frames);
    if (log)
        std::fclose(log);
    if (!flashPath.empty()) {
        FILE *flash = std::fopen(flashPath.c_str(), "wb");
        if (!flash) {
            std::fprintf(stderr, "lptsim: cannot write flash file %s: %s\n", flashPath.c_str(), std::strerror(errno));
            return 1;
        }
        for (const auto &page : device.Config().flashPages)
            std::fwrite(page.data(), 1, page.size(), flash);
        std::fclose(flash);
    }
    return 0;
}
