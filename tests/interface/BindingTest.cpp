// Binding of the interface library: probes, demo-mode questions, channel count, the
// engine held off around every call. The libraries are the test doubles, copied into a
// temporary program folder.
#include "app/InterfaceBinding.h"
#include "app/InterfaceLibrary.h"
#include "app/LevelPipeline.h"
#include "app/OutputEngine.h"
#include "app/PlayState.h"
#include "app/StartupState.h"

#include "platform/DynLib.h"
#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <vector>
#include "common/TestFiles.h"

namespace fs = std::filesystem;

namespace {

using testfiles::Read;

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

const char *const Inaccessible = "Brantoval-1024|DMX hardware is inaccessible\r\nContinue in demo mode ?";
const char *const Forbidden = "Brantoval-1024|Access to DMX hardware is forbidden\r\nContinue in demo mode ?";

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-binding");
        fs::create_directories(root / "bin");
        platform::SetProgramFolder((root / "bin").string());
        setenv("BRTV_FAKE_LOG", (root / "fake.log").c_str(), 1);
        setenv("BRTV_BOX_LOG", (root / "box.log").c_str(), 1);
        setenv("BRTV_FAKE_BASES", "0x378", 1);
        unsetenv("BRTV_FAKE_BUFSIZE");
        unsetenv("BRTV_FAKE_REVISION");
        platform::ResetAnswers();
        platform::QueueAnswers({});
        platform::SetOsVersion(5, 1);
        InterfaceLibrary = InterfaceLibraryWords{};
        DeviceState = -1;
        DmxOutChannels = 512;
        AccessLevel = 0;
        TerminateRequested = false;
        EngineBusy = 0;
        closes = 0;
        PostMainWindowClose = [this] { ++closes; };
    }
    void TearDown() override
    {
        CloseInterface();
        PostMainWindowClose = nullptr;
        TerminateRequested = false;
        AccessLevel = 0;
        EngineBusy = 0;
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        for (const char *v : {"BRTV_FAKE_LOG", "BRTV_BOX_LOG", "BRTV_FAKE_BASES", "BRTV_FAKE_BUFSIZE"})
            unsetenv(v);
        fs::remove_all(root);
    }
    // Puts a test double into the program folder under the name the program loads.
    void Install(const char *dir, const char *name = "lptbrtv.so")
    {
        fs::copy_file(fs::path(dir) / name, root / "bin" / name);
    }
    std::vector<std::string> Calls() { return Lines(Read(root / "fake.log")); }
    std::string Boxes() { return Read(root / "box.log"); }
    void ForgetCalls() { fs::remove(root / "fake.log"); }

    fs::path root;
    int closes = 0;
};

using List = std::vector<std::string>;

} // namespace

TEST_F(BindingTest, ParallelKindProbesTheThreeBasesInOrderAndBindsEveryName)
{
    Install(BRTV_FAKELIB_FULL_DIR);
    setenv("BRTV_FAKE_BASES", "0x3BC", 1);
    EXPECT_TRUE(OpenInterface(888, true));
    EXPECT_EQ(Calls(), (List{"_TestLoad 0x378", "_TestLoad 0x278", "_TestLoad 0x3BC", "_GetBufferSize"}));
    EXPECT_EQ(DeviceState, 0);
    EXPECT_EQ(DmxOutChannels, 512);
    EXPECT_EQ(Boxes(), "");
    const InterfaceLibraryWords &w = InterfaceLibrary;
    EXPECT_NE(w.handle, nullptr);
    for (const void *word : {(void *)w._TestLoad, (void *)w._CloseDevice, (void *)w._GetHardwareRevision,
                             (void *)w._GetBufferSize, (void *)w._DMXWrite, (void *)w._DMXRead,
                             (void *)w._SendRequest, (void *)w._WriteBuf, (void *)w._ReadBuf})
        EXPECT_NE(word, nullptr);
    EXPECT_EQ(w._ResetPipe, nullptr);

    std::uint8_t revision[4] = {9, 9, 9, 9};
    ReadHardwareRevision(revision);
    EXPECT_EQ(std::memcmp(revision, "5.5\0", 4), 0);
    EXPECT_EQ(GetInterfaceBufferSize(), 512);

    ForgetCalls();
    CloseInterface();
    EXPECT_EQ(Calls(), (List{"_CloseDevice"}));
    EXPECT_EQ(DeviceState, -1);
    EXPECT_EQ(InterfaceLibrary.handle, nullptr);
    EXPECT_EQ(InterfaceLibrary._DMXWrite, nullptr);
    EXPECT_EQ(InterfaceLibrary._CloseDevice, nullptr);
    // Without a device nothing is asked of the library.
    ReadHardwareRevision(revision);
    EXPECT_EQ(std::memcmp(revision, "\0\0\0\0", 4), 0);
    EXPECT_EQ(GetInterfaceBufferSize(), 0);
}

TEST_F(BindingTest, AnotherBaseIsProbedAlone)
{
    Install(BRTV_FAKELIB_FULL_DIR);
    setenv("BRTV_FAKE_BASES", "0x2F8", 1);
    EXPECT_TRUE(OpenInterface(0x2F8, true));
    EXPECT_EQ(Calls(), (List{"_TestLoad 0x2F8", "_GetBufferSize"}));
    EXPECT_EQ(DeviceState, 0);
    CloseInterface();

    // Hardware at 0x378 does not answer a probe at 0x2F8.
    setenv("BRTV_FAKE_BASES", "0x378", 1);
    ForgetCalls();
    platform::QueueAnswers({"Yes"});
    EXPECT_FALSE(OpenInterface(0x2F8, true));
    EXPECT_EQ(Calls(), (List{"_TestLoad 0x2F8", "_CloseDevice"}));
    EXPECT_EQ(DeviceState, -1);
}

TEST_F(BindingTest, UsbLibraryLoadsOnlyOnItsPlatformVersions)
{
    Install(BRTV_FAKELIB_USB_DIR, "usbbrtv.so");
    setenv("BRTV_FAKE_BASES", "21333", 1);
    platform::SetOsVersion(6, 0);
    platform::QueueAnswers({"Yes"});
    EXPECT_FALSE(OpenInterface(21333, true));
    EXPECT_EQ(Calls(), List{});
    EXPECT_EQ(InterfaceLibrary.handle, nullptr);
    EXPECT_EQ(Boxes(), std::string(Inaccessible) + "|Yes\n");
    EXPECT_EQ(DeviceState, -1);
    EXPECT_EQ(DmxOutChannels, 1024);
    EXPECT_FALSE(TerminateRequested);

    struct Version {
        int major, minor;
        bool loads;
    } versions[] = {{4, 10, true}, {4, 90, true}, {5, 0, true}, {5, 1, true}, {4, 0, false}, {5, 2, false}};
    for (const Version &v : versions) {
        SCOPED_TRACE(std::to_string(v.major) + "." + std::to_string(v.minor));
        platform::SetOsVersion(v.major, v.minor);
        if (!v.loads)
            platform::QueueAnswers({"Yes"});
        EXPECT_EQ(OpenInterface(21333, true), v.loads);
        EXPECT_EQ(InterfaceLibrary._ResetPipe != nullptr, v.loads);
        EXPECT_EQ(DeviceState, v.loads ? 0 : -1);
        CloseInterface();
    }
    EXPECT_EQ(Calls().front(), "_TestLoad 0x5355");
}

TEST_F(BindingTest, BufferSizeOtherThan512Or1024Gives512AndNoInput)
{
    Install(BRTV_FAKELIB_FULL_DIR);
    setenv("BRTV_FAKE_BUFSIZE", "2048", 1);
    EXPECT_TRUE(OpenInterface(888, true));
    EXPECT_EQ(DeviceState, 0);
    EXPECT_EQ(DmxOutChannels, 512);
    EXPECT_EQ(InterfaceLibrary._DMXRead, nullptr);
    EXPECT_NE(InterfaceLibrary._DMXWrite, nullptr);
    EXPECT_EQ(GetInterfaceBufferSize(), 2048);
    CloseInterface();

    setenv("BRTV_FAKE_BUFSIZE", "1024", 1);
    EXPECT_TRUE(OpenInterface(888, true));
    EXPECT_EQ(DmxOutChannels, 1024);
    EXPECT_NE(InterfaceLibrary._DMXRead, nullptr);
    CloseInterface();

    // A failed size request (0) counts the same way.
    setenv("BRTV_FAKE_BUFSIZE", "0", 1);
    EXPECT_TRUE(OpenInterface(888, true));
    EXPECT_EQ(DmxOutChannels, 512);
    EXPECT_EQ(InterfaceLibrary._DMXRead, nullptr);
}

TEST_F(BindingTest, OpeningAgainProbesWithTheLoadedLibraryAfterClosingItsDevice)
{
    Install(BRTV_FAKELIB_FULL_DIR);
    ASSERT_TRUE(OpenInterface(888, true));
    void *handle = InterfaceLibrary.handle;
    // A reload would fail now: the file is gone.
    fs::remove(root / "bin" / "lptbrtv.so");
    ForgetCalls();
    EXPECT_TRUE(OpenInterface(888, false));
    EXPECT_EQ(InterfaceLibrary.handle, handle);
    EXPECT_EQ(Calls(), (List{"_CloseDevice", "_TestLoad 0x378", "_GetBufferSize"}));
    EXPECT_EQ(DeviceState, 0);
    EXPECT_EQ(Boxes(), "");
}

TEST_F(BindingTest, NoAnswerAsksAndNoEndsAtStartOrClosesTheWindowLater)
{
    Install(BRTV_FAKELIB_FULL_DIR);
    setenv("BRTV_FAKE_BASES", "", 1);
    platform::QueueAnswers({"No"});
    EXPECT_FALSE(OpenInterface(888, true));
    EXPECT_EQ(Calls(), (List{"_TestLoad 0x378", "_TestLoad 0x278", "_TestLoad 0x3BC", "_CloseDevice"}));
    EXPECT_EQ(Boxes(), std::string(Inaccessible) + "|No\n");
    EXPECT_TRUE(TerminateRequested);
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(DeviceState, -1);
    EXPECT_EQ(DmxOutChannels, 1024);
    EXPECT_EQ(InterfaceLibrary.handle, nullptr);

    TerminateRequested = false;
    platform::QueueAnswers({"No"});
    EXPECT_FALSE(OpenInterface(888, false));
    EXPECT_FALSE(TerminateRequested);
    EXPECT_EQ(closes, 1);

    platform::QueueAnswers({"Yes"});
    EXPECT_FALSE(OpenInterface(888, false));
    EXPECT_FALSE(TerminateRequested);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(DeviceState, -1);
}

TEST_F(BindingTest, MissingLibraryAsksAndGoesOnInDemoModeWith1024Channels)
{
    platform::QueueAnswers({"Yes"});
    EXPECT_FALSE(OpenInterface(888, true));
    EXPECT_EQ(Boxes(), std::string(Inaccessible) + "|Yes\n");
    EXPECT_EQ(DeviceState, -1);
    EXPECT_EQ(DmxOutChannels, 1024);
    EXPECT_FALSE(TerminateRequested);
    EXPECT_EQ(InterfaceLibrary.handle, nullptr);

    // A library elsewhere is never found through the system's search paths.
    platform::QueueAnswers({"No"});
    EXPECT_FALSE(OpenInterface(888, true, BRTV_FAKELIB_FULL_DIR "/../none"));
    EXPECT_TRUE(TerminateRequested);
}

TEST_F(BindingTest, FolderParameterTakesTheLibraryFromThere)
{
    EXPECT_TRUE(OpenInterface(888, true, BRTV_FAKELIB_FULL_DIR));
    EXPECT_EQ(DeviceState, 0);
    EXPECT_EQ(Boxes(), "");
}

TEST_F(BindingTest, AccessLevel3ClosesTheDeviceAndLoadsNothing)
{
    Install(BRTV_FAKELIB_FULL_DIR);
    ASSERT_TRUE(OpenInterface(888, true));
    ForgetCalls();
    AccessLevel = 3;
    platform::QueueAnswers({"Yes"});
    EXPECT_FALSE(OpenInterface(888, false));
    EXPECT_EQ(Calls(), (List{"_CloseDevice"}));
    EXPECT_EQ(Boxes(), std::string(Forbidden) + "|Yes\n");
    EXPECT_EQ(InterfaceLibrary.handle, nullptr);
    EXPECT_EQ(DeviceState, -1);
    EXPECT_EQ(DmxOutChannels, 1024);
    EXPECT_EQ(closes, 0);

    ForgetCalls();
    platform::QueueAnswers({"No"});
    EXPECT_FALSE(OpenInterface(888, true));
    EXPECT_EQ(Calls(), List{});
    EXPECT_TRUE(TerminateRequested);
}

TEST_F(BindingTest, LibraryWithoutTestLoadGoesOnWithoutProbeOrQuestion)
{
    Install(BRTV_FAKELIB_NOTEST_DIR);
    DmxOutChannels = 1024;
    EXPECT_TRUE(OpenInterface(888, true));
    EXPECT_EQ(Calls(), List{});
    EXPECT_EQ(Boxes(), "");
    EXPECT_EQ(InterfaceLibrary._TestLoad, nullptr);
    EXPECT_NE(InterfaceLibrary._DMXWrite, nullptr);
    EXPECT_EQ(DeviceState, -1);
    EXPECT_EQ(DmxOutChannels, 1024);
}

TEST_F(BindingTest, EngineBusyIsRestoredNotCleared)
{
    Install(BRTV_FAKELIB_FULL_DIR);
    for (std::uint8_t before : {1, 0}) {
        SCOPED_TRACE(before);
        EngineBusy = before;
        std::uint8_t revision[4];
        EXPECT_TRUE(OpenInterface(888, true));
        EXPECT_EQ(EngineBusy.load(), before);
        ReadHardwareRevision(revision);
        EXPECT_EQ(EngineBusy.load(), before);
        GetInterfaceBufferSize();
        EXPECT_EQ(EngineBusy.load(), before);
        CloseInterface();
        EXPECT_EQ(EngineBusy.load(), before);
        setenv("BRTV_FAKE_BASES", "", 1);
        platform::QueueAnswers({"Yes"});
        EXPECT_FALSE(OpenInterface(888, true));
        EXPECT_EQ(EngineBusy.load(), before);
        setenv("BRTV_FAKE_BASES", "0x378", 1);
    }
}

namespace {
// Words that record whether the engine was held off and the call lock taken.
std::vector<std::string> held;
void Note(const char *name)
{
    // Another thread tries the lock: it must be taken while the call runs.
    const bool locked = !std::async(std::launch::async, [] {
                             if (!InterfaceCallMutex.try_lock())
                                 return false;
                             InterfaceCallMutex.unlock();
                             return true;
                         }).get();
    held.push_back(std::string(name) + (EngineBusy.load() ? " busy" : " free") + (locked ? " locked" : " open"));
}
extern "C" unsigned char HeldTestLoad(int base)
{
    Note("_TestLoad");
    return base == 0x278;
}
extern "C" int HeldClose(void)
{
    Note("_CloseDevice");
    return 0;
}
extern "C" void HeldRevision(char *buf)
{
    Note("_GetHardwareRevision");
    std::memcpy(buf, "7.4", 4);
}
extern "C" short HeldSize(void)
{
    Note("_GetBufferSize");
    return 1024;
}
} // namespace

TEST_F(BindingTest, EveryCallHoldsTheEngineOffAndTheCallLock)
{
    held.clear();
    // A bound library (the process itself stands in for the handle).
    InterfaceLibrary.handle = dlopen(nullptr, RTLD_NOW);
    InterfaceLibrary._TestLoad = HeldTestLoad;
    InterfaceLibrary._CloseDevice = HeldClose;
    InterfaceLibrary._GetHardwareRevision = HeldRevision;
    InterfaceLibrary._GetBufferSize = HeldSize;
    EXPECT_TRUE(OpenInterface(888, false));
    EXPECT_EQ(DmxOutChannels, 1024);
    std::uint8_t revision[4];
    ReadHardwareRevision(revision);
    EXPECT_EQ(std::memcmp(revision, "7.4\0", 4), 0);
    CloseInterface();
    EXPECT_EQ(held, (std::vector<std::string>{"_CloseDevice busy locked", "_TestLoad busy locked",
                                              "_TestLoad busy locked", "_GetBufferSize busy locked",
                                              "_GetHardwareRevision busy locked", "_CloseDevice busy locked"}));
    EXPECT_EQ(EngineBusy.load(), 0);
}

TEST_F(BindingTest, PartialLibraryPlaysWithoutBeatRequestOrInputRead)
{
    Install(BRTV_FAKELIB_PARTIAL_DIR);
    ASSERT_TRUE(OpenInterface(888, true));
    EXPECT_EQ(DeviceState, 0);
    EXPECT_EQ(DmxOutChannels, 512);
    for (const void *word : {(void *)InterfaceLibrary._GetHardwareRevision, (void *)InterfaceLibrary._DMXRead,
                             (void *)InterfaceLibrary._SendRequest, (void *)InterfaceLibrary._WriteBuf,
                             (void *)InterfaceLibrary._ReadBuf})
        EXPECT_EQ(word, nullptr);
    std::uint8_t revision[4] = {1, 1, 1, 1};
    ReadHardwareRevision(revision);
    EXPECT_EQ(std::memcmp(revision, "\0\0\0\0", 4), 0);

    // A two-scene sequence on one fixture, with beat input and DMX input on.
    FreeShowTables();
    ClearFixtures();
    ResetChannelMaps();
    ResetMasterTables();
    std::memset(DmxOutLevels, 0, sizeof DmxOutLevels);
    std::memset(DmxPrevFrame, 0, sizeof DmxPrevFrame);
    std::memset(DmxOutFrame, 0, sizeof DmxOutFrame);
    const int f = AddFixture();
    Fixtures[static_cast<std::size_t>(f)].channelCount = 4;
    SequenceRecord *seq = NewSequenceRecord(0);
    ASSERT_NE(seq, nullptr);
    seq->sceneCount = 2;
    seq->modes = 0;
    for (int s = 0; s < 2; ++s) {
        seq->scenes[s] = NewSceneRecord(seq);
        seq->scenes[s]->fadeTime = 50;
        for (int c = 0; c < 4; ++c)
            seq->scenes[s]->levels[c] = static_cast<std::uint8_t>(100 * s + 10 * c + 5);
    }
    Sequences[0] = seq;
    SequenceCount = 1;
    DmxOutEnabled = 1;
    DmxInEnabled = 1;
    DmxInMode = 0;
    HardwareBeatInput = 1;
    PlaySequence = 0;
    PlayScene = -1;
    NextScene = 0;
    PlayClock = LastTriggerTime = -50;
    NextStepTime = FadeEnd = FadeTicks = 0;
    Playing = 1;
    ForgetCalls();
    for (int i = 0; i < 40; ++i)
        OutputTick();
    Playing = 0;
    DmxInEnabled = 0;
    HardwareBeatInput = 0;

    const List calls = Calls();
    ASSERT_FALSE(calls.empty());
    for (const std::string &c : calls)
        EXPECT_EQ(c.rfind("_DMXWrite ", 0), 0u) << c;
    EXPECT_EQ(calls.front(), "_DMXWrite 256");
    FreeShowTables();
    ClearFixtures();
}
