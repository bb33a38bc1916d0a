// The interface simulator: its decoding in-process, and the same device over the socket.
#include "lptlib/LptLibrary.h"
#include "lptlib/LptProtocol.h"
#include "tests/lptlib/SimDeviceFixture.h"
#include "tests/lptlib/SimServerThread.h"
#include "tests/lptsim/LptSimPorts.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using SimTest = lpttest::SimDeviceTest;

TEST_F(SimTest, AnswersRevisionChannelCountAndBeat)
{
    config.revision = 74;
    config.channels = 1024;
    config.beat = 9;
    Make();
    EXPECT_TRUE(proto->ProbeInterface(config.base));
    char rev[4];
    proto->GetHardwareRevision(rev);
    EXPECT_EQ(std::string(rev, 4), std::string("7.4\0", 4));
    EXPECT_EQ(proto->GetBufferSize(), 1024);
    ASSERT_TRUE(proto->SendInterfaceRequest(4, 0, 0));
    std::uint8_t beat = 0;
    ASSERT_TRUE(proto->ReadBlock(1, &beat));
    EXPECT_EQ(beat, 9);
    EXPECT_EQ(log, (std::vector<std::string>{"02 FD 00 00 00 00", "02 FD 00 00 00 00", "03 FC 00 00 00 00",
                                             "04 FB 00 00 00 00"}));
}

TEST_F(SimTest, FramesAndInputGoThroughTheHandshake)
{
    for (int i = 0; i < 512; ++i)
        config.input[i] = static_cast<std::uint8_t>(255 - i % 256);
    Make();
    std::vector<std::uint8_t> levels(256, 0);
    levels[0] = 200;
    levels[255] = 17;
    EXPECT_EQ(proto->DMXWrite(256, levels.data()), 256);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], levels);
    EXPECT_EQ(log.back(), "00 FF 00 00 00 01");

    std::vector<std::uint8_t> in(512, 0);
    EXPECT_EQ(proto->DMXRead(512, in.data()), 512);
    EXPECT_TRUE(std::equal(in.begin(), in.end(), config.input.begin()));
    EXPECT_EQ(device->BytesClocked(), 6 + 256 + 6 + 512);
}

TEST_F(SimTest, BadAndUnknownRequestsAreLoggedAndDropped)
{
    Make();
    const std::uint8_t bad[6] = {0x02, 0x00, 0, 0, 0, 0};
    ASSERT_TRUE(proto->SendBytes(bad, 6));
    std::uint8_t byte = 0x55;
    proto->ReadBlock(1, &byte);
    EXPECT_EQ(byte, 0) << "a bad request queues no answer";
    ASSERT_TRUE(proto->SendInterfaceRequest(14, 0x1234, -1));
    EXPECT_EQ(log, (std::vector<std::string>{"02 00 00 00 00 00 BAD", "0E F1 34 12 FF FF"}));
}

TEST_F(SimTest, ResetAndAbandonedTransfersLeaveNoHalfFrame)
{
    Make();
    std::vector<std::uint8_t> levels(100, 1);
    ASSERT_TRUE(proto->SendInterfaceRequest(0, 0, 100));
    ASSERT_TRUE(proto->WriteBlock(50, levels.data()));
    proto->ResetInterface();  // control 0x08 drops the open frame
    ASSERT_TRUE(proto->WriteBlock(50, levels.data()));
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(device->Resets(), 1);

    // A request cut off after three bytes is dropped when the lines rest.
    device->Config().stopAfter = device->BytesClocked() + 3;
    EXPECT_FALSE(proto->SendInterfaceRequest(2, 0, 0));
    device->Config().stopAfter = -1;
    EXPECT_TRUE(proto->SendInterfaceRequest(3, 0, 0));
    std::uint8_t size[2] = {0, 0};
    ASSERT_TRUE(proto->ReadBlock(2, size));
    EXPECT_EQ(size[0] | (size[1] << 8), 512);
}

TEST_F(SimTest, FaultOptions)
{
    config.noAck = true;
    Make();
    EXPECT_FALSE(proto->ProbeInterface(config.base));
    EXPECT_EQ(port->Reads(), lpt::PollLimit);

    config.noAck = false;
    config.stopAfter = 6 + 10;
    Make();
    std::vector<std::uint8_t> levels(20, 3);
    EXPECT_EQ(proto->DMXWrite(20, levels.data()), 20) << "the request went through";
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(proto->RetryCounter(), 9);
    EXPECT_EQ(device->BytesClocked(), 16);
}

TEST(SimSocketTest, LibraryProbesAndTransfersOverTheSocket)
{
    lptsim::DeviceConfig config;
    config.base = 0x3BC;
    lpttest::SimServerThread sim(config);
    ASSERT_TRUE(sim.Listening());
    setenv("BRTV_LPT_SIM", sim.SocketPath().c_str(), 1);
    {
        portio::TLPTBRTV_Driver driver;
        lpt::LptLibrary lib(driver, [](int) {});
        EXPECT_FALSE(lib.TestLoad(0x378));
        EXPECT_FALSE(lib.TestLoad(0x278));
        ASSERT_TRUE(lib.TestLoad(0x3BC));
        EXPECT_EQ(lib.Protocol().GetBufferSize(), 512);
        std::vector<std::uint8_t> levels(512, 9);
        EXPECT_EQ(lib.Protocol().DMXWrite(512, levels.data()), 512);
        std::vector<std::uint8_t> in(512, 1);
        EXPECT_EQ(lib.Protocol().DMXRead(512, in.data()), 512);
        EXPECT_EQ(in, std::vector<std::uint8_t>(512, 0));
        lib.CloseDevice();
        ASSERT_TRUE(sim.WaitForLastLine("CLOSE"));
    }
    unsetenv("BRTV_LPT_SIM");
    EXPECT_EQ(sim.Log(), (std::vector<std::string>{"BASE 0x378", "BASE 0x278", "BASE 0x3BC", "02 FD 00 00 00 00",
                                                   "03 FC 00 00 00 00", "00 FF 00 00 00 02", "01 FE 00 00 00 02",
                                                   "CLOSE"}));
    ASSERT_EQ(sim.Frames().size(), 1u);
    EXPECT_EQ(sim.Frames()[0], std::vector<std::uint8_t>(512, 9));
}

TEST(SimSocketTest, LostSimulatorFailsTransfersWithoutHanging)
{
    auto sim = std::make_unique<lpttest::SimServerThread>();
    ASSERT_TRUE(sim->Listening());
    setenv("BRTV_LPT_SIM", sim->SocketPath().c_str(), 1);
    portio::TLPTBRTV_Driver driver;
    lpt::LptLibrary lib(driver, [](int) {});
    ASSERT_TRUE(lib.TestLoad(0x378));
    sim.reset();  // the simulator goes away while the device is open
    std::uint8_t levels[4] = {1, 2, 3, 4};
    EXPECT_EQ(lib.Protocol().DMXWrite(4, levels), 0);
    EXPECT_FALSE(lib.Protocol().SendInterfaceRequest(2, 0, 0));
    lib.CloseDevice();
    unsetenv("BRTV_LPT_SIM");
}

} // namespace
