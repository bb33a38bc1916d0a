// The built lptbrtv.so as the program sees it: names, results, and the simulator behind it.
#include "lptlib/lptbrtv.h"
#include "tests/lptlib/SimServerThread.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <set>
#include <string>

namespace {

const char *const EntryPoints[] = {"_TestLoad",  "_CloseDevice", "_GetHardwareRevision",
                                   "_GetBufferSize", "_DMXWrite", "_DMXRead",
                                   "_SendRequest", "_WriteBuf", "_ReadBuf"};

struct ModuleTest : ::testing::Test {
    void *handle = nullptr;
    void SetUp() override
    {
        handle = dlopen(BRTV_LPTBRTV_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
    }
    void TearDown() override
    {
        if (handle)
            dlclose(handle);
    }
    template <typename F> F *Bind(const char *name) { return reinterpret_cast<F *>(dlsym(handle, name)); }
};

TEST_F(ModuleTest, ExportsExactlyTheNineEntryPoints)
{
    for (const char *name : EntryPoints)
        EXPECT_NE(dlsym(handle, name), nullptr) << name;
    EXPECT_EQ(dlsym(handle, "_ResetPipe"), nullptr);

    FILE *nm = popen("nm -D --defined-only " BRTV_LPTBRTV_MODULE " 2>/dev/null", "r");
    ASSERT_NE(nm, nullptr);
    std::set<std::string> functions;
    char line[512];
    while (std::fgets(line, sizeof line, nm)) {
        char type = 0;
        char name[400] = {0};
        if (std::sscanf(line, "%*s %c %399s", &type, name) == 2 && (type == 'T' || type == 'W' || type == 'i'))
            functions.insert(name);
    }
    const int rc = pclose(nm);
    if (rc != 0 && functions.empty())
        GTEST_SKIP() << "nm is not available";
    EXPECT_EQ(functions, std::set<std::string>(std::begin(EntryPoints), std::end(EntryPoints)));
}

TEST_F(ModuleTest, DrivesTheSimulatorThroughTheEntryPoints)
{
    lpttest::SimServerThread sim;
    ASSERT_TRUE(sim.Listening());
    setenv("BRTV_LPT_SIM", sim.SocketPath().c_str(), 1);
    auto testLoad = Bind<decltype(_TestLoad)>("_TestLoad");
    auto closeDevice = Bind<decltype(_CloseDevice)>("_CloseDevice");
    auto revision = Bind<decltype(_GetHardwareRevision)>("_GetHardwareRevision");
    auto bufferSize = Bind<decltype(_GetBufferSize)>("_GetBufferSize");
    auto dmxWrite = Bind<decltype(_DMXWrite)>("_DMXWrite");
    auto dmxRead = Bind<decltype(_DMXRead)>("_DMXRead");
    auto writeBuf = Bind<decltype(_WriteBuf)>("_WriteBuf");
    auto readBuf = Bind<decltype(_ReadBuf)>("_ReadBuf");
    ASSERT_TRUE(testLoad && closeDevice && revision && bufferSize && dmxWrite && dmxRead && writeBuf && readBuf);

    EXPECT_EQ(testLoad(0x278) & 0xFF, 0);
    ASSERT_NE(testLoad(0x378) & 0xFF, 0);  // includes the interface reset: 341 ms
    EXPECT_EQ(testLoad(0x378) & 0xFF, 0) << "a second probe without _CloseDevice fails";
    char rev[4];
    revision(rev);
    EXPECT_EQ(std::string(rev, 4), std::string("5.5\0", 4));
    EXPECT_EQ(static_cast<int>(bufferSize()), 512);
    unsigned char levels[1024] = {200};
    EXPECT_EQ(dmxWrite(1024, levels), 512);
    EXPECT_EQ(dmxWrite(0, levels), 0);
    EXPECT_EQ(dmxRead(-1, levels), 0);
    EXPECT_EQ(writeBuf(0, levels) & 0xFF, 0);
    EXPECT_EQ(readBuf(0, nullptr) & 0xFF, 0);
    EXPECT_EQ(dmxWrite(16, nullptr), 0);
    closeDevice();
    EXPECT_TRUE(sim.WaitForLastLine("CLOSE"));
    unsetenv("BRTV_LPT_SIM");

    ASSERT_EQ(sim.Frames().size(), 1u);
    EXPECT_EQ(sim.Frames()[0].size(), 512u);
    EXPECT_EQ(sim.Frames()[0][0], 200);
    const auto log = sim.Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "BASE 0x278");
    EXPECT_EQ(log[1], "BASE 0x378");
}

} // namespace
