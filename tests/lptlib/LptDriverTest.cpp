// The port-access driver: permission bitmap, the access steps of _TestLoad, backend choice.
#include "lptlib/LptLibrary.h"
#include "platform/portio/LptbrtvDriver.h"
#include "platform/portio/PortBackendSelect.h"
#include "platform/portio/PpdevBackend.h"
#include "tests/lptsim/LptSimPorts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <glob.h>
#include <string>
#include <vector>

namespace {

using portio::TLPTBRTV_Driver;

struct Transfer {
    unsigned function;
    std::uint32_t index;
    std::uint8_t byte;
    bool operator==(const Transfer &) const = default;
};

// A backend that records its calls and answers as it is told.
struct ScriptedBackend : portio::PortBackend {
    explicit ScriptedBackend(std::vector<std::string> &calls) : calls(calls) {}
    const char *Name() const override { return "scripted"; }
    int Locate(std::uint16_t, std::string &path) override
    {
        calls.push_back("Locate");
        path = "/dev/fake";
        return 0;
    }
    int Start(const std::string &, std::uint16_t) override
    {
        calls.push_back("Start");
        if (startError)
            return startError;
        started = true;
        return 0;
    }
    bool Started() const override { return started; }
    int Claim() override
    {
        calls.push_back("Claim");
        return claimError;
    }
    int Release() override
    {
        calls.push_back("Release");
        return 0;
    }
    int Identify(std::uint32_t &answer) override
    {
        calls.push_back("Identify");
        answer = identifyAnswer;
        return 0;
    }
    int Apply() override
    {
        calls.push_back("Apply");
        return 0;
    }
    std::uint8_t In(std::uint16_t) override
    {
        calls.push_back("In");
        return 0;
    }
    void Out(std::uint16_t, std::uint8_t) override { calls.push_back("Out"); }
    int Stop() override
    {
        calls.push_back("Stop");
        started = false;
        return 0;
    }
    std::vector<std::string> &calls;
    int startError = 0;
    int claimError = 0;
    std::uint32_t identifyAnswer = 0x123;
    bool started = false;
};

struct DriverTest : ::testing::Test {
    std::vector<std::string> calls;
    ScriptedBackend *backend = nullptr;
    TLPTBRTV_Driver driver;
    std::vector<Transfer> transfers;
    // Given to every backend that the driver picks.
    int startError = 0;
    int claimError = 0;
    std::uint32_t identifyAnswer = 0x123;

    void SetUp() override
    {
        driver.SetBackendFactory([this] {
            auto b = std::make_unique<ScriptedBackend>(calls);
            b->startError = startError;
            b->claimError = claimError;
            b->identifyAnswer = identifyAnswer;
            backend = b.get();
            return b;
        });
        driver.OnPermissionTransfer = [this](unsigned f, std::uint32_t i, std::uint8_t b) {
            transfers.push_back({f, i, b});
        };
    }
    void Open()
    {
        ASSERT_EQ(driver.OpenServiceManager(), 0);
        driver.InstallDriver(0x378);
        ASSERT_EQ(driver.StartDriver(0x378), 0);
        ASSERT_EQ(driver.OpenDevice(), 0);
    }
};

TEST_F(DriverTest, PortRangeWithinOneByteFetchesAndStoresItOnce)
{
    Open();
    ASSERT_EQ(driver.SetPortRange(0x378, 0x37B, true), 0);
    EXPECT_EQ(transfers, (std::vector<Transfer>{{portio::DriverFnFetchPermission, 0x6F, 0xFF},
                                                {portio::DriverFnStorePermission, 0x6F, 0xF0}}));
}

TEST_F(DriverTest, PortRangeAcrossAByteBoundaryMovesTwoBytes)
{
    Open();
    ASSERT_EQ(driver.SetPortRange(0x3BE, 0x3C1, true), 0);
    EXPECT_EQ(transfers, (std::vector<Transfer>{{portio::DriverFnFetchPermission, 0x77, 0xFF},
                                                {portio::DriverFnStorePermission, 0x77, 0x3F},
                                                {portio::DriverFnFetchPermission, 0x78, 0xFF},
                                                {portio::DriverFnStorePermission, 0x78, 0xFC}}));
    transfers.clear();
    EXPECT_EQ(driver.SetPortRange(0x3C1, 0x3BE, true), 0);
    EXPECT_TRUE(transfers.empty()) << "last < first does nothing";

    // Denying sets the bits again, keeping the neighbours.
    ASSERT_EQ(driver.SetPortRange(0x3BF, 0x3BF, false), 0);
    EXPECT_EQ(transfers.back(), (Transfer{portio::DriverFnStorePermission, 0x77, 0xBF}));
}

TEST_F(DriverTest, BitmapStepsNeedAnOpenDevice)
{
    std::uint8_t byte = 0;
    std::uint32_t answer = 7;
    EXPECT_EQ(driver.ReadPermissionByte(0, byte), portio::DriverErrorNotOpen);
    EXPECT_EQ(driver.SetPortRange(0x378, 0x37B, true), portio::DriverErrorNotOpen);
    EXPECT_EQ(driver.IdentifyDriver(answer), portio::DriverErrorNotOpen);
    EXPECT_EQ(answer, 0u);
    EXPECT_EQ(driver.ApplyPermissions(), portio::DriverErrorNotOpen);
    EXPECT_EQ(portio::CtlCode(portio::DriverFnIdentify), 0xF1002400u);
    EXPECT_EQ(portio::CtlCode(portio::DriverFnStorePermission), 0xF1002444u);
    EXPECT_EQ(portio::CtlCode(portio::DriverFnFetchPermission), 0xF1002448u);
    EXPECT_EQ(portio::CtlCode(portio::DriverFnApplyPermissions), 0xF1002480u);
}

TEST_F(DriverTest, PortsReachTheBackendOnlyOnceAllowedAndApplied)
{
    Open();
    EXPECT_EQ(driver.PortIn(0x379), 0xFF);
    driver.PortOut(0x37A, 0x04);
    ASSERT_EQ(driver.SetPortRange(0x378, 0x37B, true), 0);
    EXPECT_EQ(driver.PortIn(0x379), 0xFF) << "allowed but not applied";
    calls.clear();
    ASSERT_EQ(driver.ApplyPermissions(), 0);
    EXPECT_EQ(driver.PortIn(0x379), 0x00);
    driver.PortOut(0x37A, 0x04);
    EXPECT_EQ(driver.PortIn(0x37C), 0xFF);  // outside the range
    driver.PortOut(0x377, 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"Apply", "In", "Out"}));

    // Stopping takes the access away again.
    driver.CloseDeviceHandle();
    driver.StopDriver();
    EXPECT_FALSE(driver.PortAllowed(0x378));
}

TEST_F(DriverTest, TestLoadRunsTheAccessStepsInOrder)
{
    lptsim::LptSimDevice device;
    lpt::LptLibrary lib(driver, [](int) {});
    driver.SetBackendFactory([&] { return std::make_unique<lptsim::LptSimBackend>(device); });
    std::vector<std::string> log;
    device.OnLog = [&](const std::string &l) { log.push_back(l); };
    EXPECT_TRUE(lib.TestLoad(0x378));
    EXPECT_EQ(transfers.size(), 2u);
    EXPECT_EQ(log, (std::vector<std::string>{"BASE 0x378", "02 FD 00 00 00 00"}));
    EXPECT_TRUE(driver.DeviceOpen());
    lib.CloseDevice();
    EXPECT_FALSE(driver.DeviceOpen());
    EXPECT_EQ(log.back(), "CLOSE");
}

TEST_F(DriverTest, WrongIdentifyAnswerClosesAndStops)
{
    lpt::LptLibrary lib(driver, [](int) {});
    identifyAnswer = 0x124;
    EXPECT_FALSE(lib.TestLoad(0x378));
    EXPECT_EQ(calls, (std::vector<std::string>{"Locate", "Start", "Claim", "Identify", "Release", "Stop"}));
    EXPECT_TRUE(transfers.empty());
}

TEST_F(DriverTest, FailedStartOrOpenAndMissingBackend)
{
    lpt::LptLibrary lib(driver, [](int) {});
    startError = ENOENT;
    EXPECT_FALSE(lib.TestLoad(0x378));
    EXPECT_EQ(calls, (std::vector<std::string>{"Locate", "Start"})) << "a failed start undoes nothing";

    calls.clear();
    startError = 0;
    claimError = EBUSY;
    EXPECT_FALSE(lib.TestLoad(0x378));
    EXPECT_EQ(calls, (std::vector<std::string>{"Locate", "Start", "Claim", "Stop"}));

    driver.SetBackendFactory([] { return std::unique_ptr<portio::PortBackend>(); });
    EXPECT_EQ(driver.OpenServiceManager(), portio::DriverErrorNoServiceManager);
    EXPECT_FALSE(lib.TestLoad(0x378));
    EXPECT_NE(lib.CloseDevice(), 0);
}

TEST_F(DriverTest, SecondTestLoadWithoutCloseFailsAndKeepsTheFirstOpen)
{
    lptsim::LptSimDevice device;
    std::vector<std::vector<std::uint8_t>> frames;
    device.OnFrame = [&](const std::vector<std::uint8_t> &f) { frames.push_back(f); };
    driver.SetBackendFactory([&] { return std::make_unique<lptsim::LptSimBackend>(device); });
    lpt::LptLibrary lib(driver, [](int) {});
    ASSERT_TRUE(lib.TestLoad(0x378));
    EXPECT_FALSE(lib.TestLoad(0x378)) << "the driver is still running from the first probe";
    std::uint8_t levels[256] = {200};
    EXPECT_EQ(lib.Protocol().DMXWrite(256, levels), 256);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0][0], 200);
    lib.CloseDevice();
    EXPECT_TRUE(lib.TestLoad(0x378)) << "after _CloseDevice the next probe starts again";
    EXPECT_FALSE(lib.TestLoad(0x278));
    lib.CloseDevice();  // before the device goes out of scope
}

TEST(PortBackendTest, ParportBaseEntriesAreDecimal)
{
    EXPECT_EQ(portio::ParseParportBase("888\t1912\n"), 888);
    EXPECT_EQ(portio::ParseParportBase("  632\n"), 632);
    EXPECT_EQ(portio::ParseParportBase("0x378"), 0);
    EXPECT_EQ(portio::ParseParportBase(""), -1);
    EXPECT_EQ(portio::ParseParportBase("abc"), -1);
}

TEST(PortBackendTest, PpdevFindsTheParportOfTheBase)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("brtv-parport-" + std::to_string(getpid()));
    fs::create_directories(root / "parport0");
    fs::create_directories(root / "parport1");
    fs::create_directories(root / "default");
    std::ofstream(root / "parport0" / "base-addr") << "8880\t8888\n";
    std::ofstream(root / "parport1" / "base-addr") << "888\t1912\n";
    portio::PpdevBackend ppdev(root.string(), "/nonexistent-dev");
    std::string path;
    EXPECT_EQ(ppdev.Locate(0x378, path), 0);
    EXPECT_EQ(path, "/nonexistent-dev/parport1");
    EXPECT_NE(ppdev.Locate(0x3BC, path), 0);
    EXPECT_TRUE(path.empty());
    EXPECT_NE(ppdev.Start("/nonexistent-dev/parport1", 0x378), 0);
    EXPECT_FALSE(ppdev.Started());
    fs::remove_all(root);
}

TEST(PortBackendTest, SimulatorSocketIsChosenFirst)
{
    setenv("BRTV_LPT_SIM", "/tmp/brtv-no-such-socket", 1);
    auto backend = portio::SelectPortBackend();
    ASSERT_TRUE(backend);
    EXPECT_STREQ(backend->Name(), "simulator");
    std::string path;
    backend->Locate(0x378, path);
    EXPECT_EQ(backend->Start(path, 0x378), ENOENT);
    unsetenv("BRTV_LPT_SIM");

    glob_t found{};
    const bool parport = glob("/dev/parport*", 0, nullptr, &found) == 0;
    globfree(&found);
    if (!parport && !std::getenv("BRTV_LPT_IOPERM")) {
        EXPECT_FALSE(portio::SelectPortBackend()) << "direct port I/O is never the default";
    }
}

} // namespace
