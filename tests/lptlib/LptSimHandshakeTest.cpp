// The simulator holds hosts to the two-edge handshake: clients that skip the release edge,
// do not wait for the acknowledge, send p1 on the library's own commands or read without
// releasing the data lines fail against it; the real library passes, in-process and as the
// built lptbrtv.so over the socket, however slowly the device answers.
#include "lptlib/LptProtocol.h"
#include "lptlib/lptbrtv.h"
#include "tests/lptlib/SimDeviceFixture.h"
#include "tests/lptlib/SimServerThread.h"
#include "tests/lptsim/LptSimPorts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>

namespace {

constexpr std::uint16_t Base = 0x378;
constexpr std::uint16_t Data = Base, Status = Base + 1, Control = Base + 2;

// A host that clocks bytes its own way; each step can be left out.
struct WrongClient {
    lpt::PortIo &io;
    bool release = true;      // write the release edge
    bool waitSet = true;      // poll until bit 6 rises
    bool waitClear = true;    // poll until bit 6 falls

    bool Wait(bool set)
    {
        for (int i = 0; i < lpt::PollLimit; ++i)
            if (((io.PortIn(Status) & lpt::StatusAck) != 0) == set)
                return true;
        return false;
    }
    void Clock(std::uint8_t byte, std::uint8_t strobe, std::uint8_t releaseValue)
    {
        io.PortOut(Data, byte);
        io.PortOut(Control, strobe);
        if (waitSet)
            Wait(true);
        if (release) {
            io.PortOut(Control, releaseValue);
            if (waitClear)
                Wait(false);
        }
    }
    void Request(std::uint8_t cmd, std::uint16_t p1, std::uint16_t p2)
    {
        const std::uint8_t bytes[6] = {cmd, static_cast<std::uint8_t>(~cmd), static_cast<std::uint8_t>(p1),
                                       static_cast<std::uint8_t>(p1 >> 8), static_cast<std::uint8_t>(p2),
                                       static_cast<std::uint8_t>(p2 >> 8)};
        for (std::uint8_t b : bytes)
            Clock(b, lpt::CtlRequestStrobe, lpt::CtlRequestRelease);
        io.PortOut(Control, lpt::CtlRest);
    }
    void Frame(const std::vector<std::uint8_t> &levels)
    {
        Request(lpt::CmdOutputLevels, 0, static_cast<std::uint16_t>(levels.size()));
        for (std::uint8_t b : levels)
            Clock(b, lpt::CtlDataOutStrobe, lpt::CtlRest);
    }
};

struct HandshakeTest : lpttest::SimDeviceTest {
    bool Logged(const std::string &prefix) const
    {
        return std::any_of(log.begin(), log.end(), [&](const std::string &l) { return l.rfind(prefix, 0) == 0; });
    }
};

TEST_F(HandshakeTest, ClientsThatBreakTheHandshakeFail)
{
    const std::vector<std::uint8_t> levels = {10, 20, 30, 40};
    struct Case {
        const char *what;
        bool release, waitSet, waitClear;
    } cases[] = {
        {"no release edge", false, true, true},
        {"no wait for the acknowledge", true, false, true},
        {"no wait for the acknowledge to clear", true, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        frames.clear();
        Make();
        WrongClient client{*port, c.release, c.waitSet, c.waitClear};
        client.Frame(levels);
        client.Request(lpt::CmdRevision, 0, 0);
        EXPECT_TRUE(frames.empty()) << "no frame reaches the output";
        EXPECT_GT(device->Errors(), 0);
        EXPECT_TRUE(Logged("ERROR ")) << "the fault is logged";
        EXPECT_FALSE(Logged("00 FF 00 00 04 00")) << "the frame's request is not taken whole";
    }

    // The same client with every step in place is served.
    log.clear();
    Make();
    WrongClient good{*port};
    good.Frame(levels);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], levels);
    EXPECT_EQ(device->Errors(), 0);
}

TEST_F(HandshakeTest, RequestsAndReadsAreChecked)
{
    Make();
    lpt::LptProtocol &proto = *this->proto;

    // p1 must be 0 on the library's own commands; other commands pass it on.
    WrongClient client{*port};
    client.Request(lpt::CmdChannelCount, 7, 0);
    std::uint8_t size[2] = {0xAA, 0xAA};
    ASSERT_TRUE(proto.ReadBlock(2, size));
    EXPECT_EQ(size[0], 0) << "a refused request queues no answer";
    EXPECT_EQ(log.back(), "03 FC 07 00 00 00 BAD");
    client.Request(14, 7, 0);
    EXPECT_EQ(log.back(), "0E F1 07 00 00 00");

    // A read with the data lines still driven by the host gives what the lines hold.
    client.Request(lpt::CmdRevision, 0, 0);
    port->PortOut(Data, 0x0F);
    port->PortOut(Control, lpt::CtlDataInStrobe);
    ASSERT_TRUE(client.Wait(true));
    EXPECT_EQ(port->PortIn(Data), 55 & 0x0F);
    EXPECT_EQ(log.back(), "ERROR read with the data lines held at 0x0F");
    port->PortOut(Control, lpt::CtlDataInRelease);
    ASSERT_TRUE(client.Wait(false));

    // The library itself writes 0xFF first and reads the revision whole.
    const long errors = device->Errors();
    char rev[4];
    proto.GetHardwareRevision(rev);
    EXPECT_EQ(std::string(rev, 4), std::string("5.5\0", 4));
    EXPECT_EQ(device->Errors(), errors);
}

TEST_F(HandshakeTest, LibraryWaitsForSlowDevice)
{
    config.ackDelay = 40;
    Make();
    lpt::LptProtocol &proto = *this->proto;
    ASSERT_TRUE(proto.ProbeInterface(Base));
    std::vector<std::uint8_t> levels(512);
    for (std::size_t i = 0; i < levels.size(); ++i)
        levels[i] = static_cast<std::uint8_t>(i * 7);
    EXPECT_EQ(proto.DMXWrite(512, levels.data()), 512);
    std::vector<std::uint8_t> in(16, 1);
    EXPECT_EQ(proto.DMXRead(16, in.data()), 16);
    EXPECT_EQ(in, std::vector<std::uint8_t>(16, 0));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], levels);
    EXPECT_EQ(device->Errors(), 0);
    EXPECT_EQ(proto.RetryCounter(), lpt::RetryStart);

    // A device slower than the poll limit times out instead.
    device->Config().ackDelay = lpt::PollLimit + 1;
    EXPECT_FALSE(proto.SendInterfaceRequest(lpt::CmdRevision, 0, 0));
}

TEST(HandshakeModuleTest, BuiltLibraryKeepsTheHandshakeOverTheSocket)
{
    void *handle = dlopen(BRTV_LPTBRTV_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    lptsim::DeviceConfig config;
    config.ackDelay = 3;
    config.input[0] = 99;
    {
        lpttest::SimServerThread sim(config);
        ASSERT_TRUE(sim.Listening());
        setenv("BRTV_LPT_SIM", sim.SocketPath().c_str(), 1);
        auto testLoad = reinterpret_cast<decltype(_TestLoad) *>(dlsym(handle, "_TestLoad"));
        auto closeDevice = reinterpret_cast<decltype(_CloseDevice) *>(dlsym(handle, "_CloseDevice"));
        auto dmxWrite = reinterpret_cast<decltype(_DMXWrite) *>(dlsym(handle, "_DMXWrite"));
        auto dmxRead = reinterpret_cast<decltype(_DMXRead) *>(dlsym(handle, "_DMXRead"));
        ASSERT_TRUE(testLoad && closeDevice && dmxWrite && dmxRead);
        ASSERT_NE(testLoad(Base) & 0xFF, 0);
        unsigned char levels[512];
        for (int i = 0; i < 512; ++i)
            levels[i] = static_cast<unsigned char>(255 - i % 256);
        EXPECT_EQ(dmxWrite(512, levels), 512);
        unsigned char in[4] = {};
        EXPECT_EQ(dmxRead(4, in), 4);
        EXPECT_EQ(in[0], 99);
        closeDevice();
        EXPECT_TRUE(sim.WaitForLastLine("CLOSE"));
        unsetenv("BRTV_LPT_SIM");
        ASSERT_EQ(sim.Frames().size(), 1u);
        EXPECT_EQ(sim.Frames()[0], std::vector<std::uint8_t>(levels, levels + 512));
        for (const std::string &line : sim.Log())
            EXPECT_EQ(line.rfind("ERROR", 0), std::string::npos) << line;
    }
    dlclose(handle);
}

} // namespace
