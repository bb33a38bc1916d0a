// Engine messages without windows: the drop rule, the code table's guards, the USB
// interface correction with the USB test double, the recent-show list, the auto-backup,
// the access record and the virtual-key table.
#include "app/AccessRecordStore.h"
#include "app/AutoBackup.h"
#include "app/EngineMessages.h"
#include "app/FixtureArea.h"
#include "app/InterfaceBinding.h"
#include "app/InterfaceLibrary.h"
#include "app/LevelPipeline.h"
#include "app/OutputEngine.h"
#include "app/PatchLoader.h"
#include "app/PlayState.h"
#include "app/RecentFiles.h"
#include "app/ShowFile.h"
#include "app/ShowModel.h"
#include "app/StartupState.h"

#include "platform/DynLib.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sstream>
#include <thread>
#include <vector>

#include "common/TestFiles.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
using List = std::vector<std::string>;

class EngineMessagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-engmsg");
        fs::create_directories(root / "bin");
        platform::SetProgramFolder((root / "bin").string());
        setenv("XDG_CONFIG_HOME", (root / "cfg").c_str(), 1);
        setenv("BRTV_FAKE_LOG", (root / "fake.log").c_str(), 1);
        setenv("BRTV_BOX_LOG", (root / "box.log").c_str(), 1);
        platform::ResetAnswers();
        platform::QueueAnswers({});
        platform::ResetMessages();
        HandlingEngineMessage = UsbCorrecting = 0;
        Playing.store(0);
        EngineBusy.store(0);
        SoloOn = 0;
        ShowFileBusy.store(0);
        AccessLevel = 0;
        savedWriter = FileWriter();
    }
    void TearDown() override
    {
        FileWriter() = savedWriter;
        CloseInterface();
        UsbCorrectWaitLimitMs = DefaultUsbCorrectWaitLimitMs;
        Playing.store(0);
        SoloOn = 0;
        platform::ResetAnswers();
        platform::ResetMessages();
        platform::SetProgramFolder("");
        for (const char *v : {"BRTV_FAKE_LOG", "BRTV_BOX_LOG", "BRTV_FAKE_BASES"})
            unsetenv(v);
        fs::remove_all(root);
    }
    List Calls() const
    {
        List out;
        std::istringstream in(testfiles::Read(root / "fake.log"));
        for (std::string line; std::getline(in, line);)
            out.push_back(line);
        return out;
    }
    // The USB test double bound as interface 21333, revision "5.5".
    void BindUsbDouble()
    {
        fs::copy_file(fs::path(BRTV_FAKELIB_USB_DIR) / "usbbrtv.so", root / "bin" / "usbbrtv.so");
        setenv("BRTV_FAKE_BASES", "21333", 1);
        platform::SetOsVersion(5, 1);
        InterfaceKind = UsbInterfaceKind;
        ASSERT_TRUE(OpenInterface(UsbInterfaceKind, true));
        ReadHardwareRevision(HardwareRevision);
        ASSERT_EQ(std::memcmp(HardwareRevision, "5.5", 4), 0);
        fs::remove(root / "fake.log");
    }

    fs::path root;
    AtomicFileWriter savedWriter;
};

// Counts what each code did.
struct Counts {
    int playStop = 0, slowTick = 0, select = 0, slotOn = 0, slotOff = 0;
    std::intptr_t lastSlot = -1;
};

EngineMessageActions CountingActions(Counts &c)
{
    EngineMessageActions a;
    a.playStop = [&c] { ++c.playStop; };
    a.slowTick = [&c] { ++c.slowTick; };
    a.select = [&c] { ++c.select; };
    a.multiSeqSlot = [&c](std::intptr_t slot, bool on) {
        ++(on ? c.slotOn : c.slotOff);
        c.lastSlot = slot;
    };
    return a;
}

} // namespace

TEST_F(EngineMessagesTest, PlayAndStopActOnlyWhenTheyChangeSomethingAndOtherNumbersAreIgnored)
{
    Counts c;
    const EngineMessageActions a = CountingActions(c);
    Playing.store(1);
    HandleEngineMessage(EngineMessage, 'G', 0, a);
    EXPECT_EQ(c.playStop, 0);
    HandleEngineMessage(EngineMessage, 'H', 0, a);
    EXPECT_EQ(c.playStop, 1);
    Playing.store(0);
    HandleEngineMessage(EngineMessage, 'H', 0, a);
    EXPECT_EQ(c.playStop, 1);
    HandleEngineMessage(EngineMessage, 'G', 0, a);
    EXPECT_EQ(c.playStop, 2);

    HandleEngineMessage(AudioMessage, 'G', 0, a);
    HandleEngineMessage(EngineMessage, 'X', 0, a);
    EXPECT_EQ(c.playStop, 2);

    HandleEngineMessage(EngineMessage, 'D', 17, a);
    HandleEngineMessage(EngineMessage, 'd', 3, a);
    EXPECT_EQ(c.slotOn, 1);
    EXPECT_EQ(c.slotOff, 1);
    EXPECT_EQ(c.lastSlot, 3);
    EXPECT_EQ(HandlingEngineMessage, 0);
}

TEST_F(EngineMessagesTest, MessageArrivingWhileOneIsHandledIsDroppedAndOnePostedForLaterIsNot)
{
    Counts c;
    EngineMessageActions a = CountingActions(c);
    platform::WindowHandle window = platform::AllocateMessageWindow(
        [&a](std::uint32_t msg, std::uintptr_t w, std::intptr_t l) { return HandleEngineMessage(msg, w, l, a); });

    // A nested event loop inside the handler delivers a post from another thread.
    a.slowTick = [&c, window] {
        ++c.slowTick;
        std::thread([window] { platform::PostMessageTo(window, EngineMessage, 'G', 0); }).join();
        platform::DeliverPostedMessages();
    };
    platform::PostMessageTo(window, EngineMessage, 'Z', 0);
    platform::DeliverPostedMessages();
    EXPECT_EQ(c.slowTick, 1);
    EXPECT_EQ(c.playStop, 0);
    EXPECT_EQ(platform::PendingMessages(), 0);

    // A send on the GUI thread from inside a handler is dropped too.
    a.select = [&c, window] {
        ++c.select;
        platform::SendMessageTo(window, EngineMessage, 'G', 0);
    };
    platform::SendMessageTo(window, EngineMessage, 'S', 0);
    EXPECT_EQ(c.select, 1);
    EXPECT_EQ(c.playStop, 0);

    // Posted inside, delivered after the handler returned: handled.
    a.select = [&c, window] {
        ++c.select;
        platform::PostMessageTo(window, EngineMessage, 'G', 0);
    };
    platform::PostMessageTo(window, EngineMessage, 'S', 0);
    platform::DeliverPostedMessages();
    EXPECT_EQ(c.select, 2);
    EXPECT_EQ(c.playStop, 1);

    // A handler that throws still ends the handling.
    a.select = [] { throw std::runtime_error("x"); };
    platform::PostMessageTo(window, EngineMessage, 'S', 0);
    platform::DeliverPostedMessages();
    EXPECT_EQ(HandlingEngineMessage, 0);
    platform::ReleaseMessageWindow(window);
}

TEST_F(EngineMessagesTest, CorrectionAppliesOnlyToTheUsbLibraryOfRevisions54To57)
{
    InterfaceLibrary = InterfaceLibraryWords{};
    std::memcpy(HardwareRevision, "5.5", 4);
    EXPECT_FALSE(UsbCorrectionApplies());
    InterfaceLibrary._ResetPipe = [] { return 0; };
    struct Case {
        const char *revision;
        bool applies;
    } cases[] = {{"5.4", true}, {"5.7", true}, {"5.3", false}, {"5.8", false}, {"4.5", false}, {"", false}};
    for (const Case &k : cases) {
        std::memset(HardwareRevision, 0, 4);
        std::strncpy(reinterpret_cast<char *>(HardwareRevision), k.revision, 3);
        EXPECT_EQ(UsbCorrectionApplies(), k.applies) << k.revision;
    }
    InterfaceLibrary = InterfaceLibraryWords{};
}

TEST_F(EngineMessagesTest, EqualReadBackLeavesTheInterfaceOpenAndRestoresTheSwitches)
{
    BindUsbDouble();
    std::memset(DmxOutFrame, 0, sizeof DmxOutFrame);   // the double reads back zeros
    DmxOutEnabled = 1;
    DmxInEnabled = 1;
    EngineBusy.store(0);
    CorrectUsbInterface();
    EXPECT_EQ(Calls(), (List{"_DMXWrite 512", "_SendRequest 1 3 512", "_ReadBuf 512"}));
    EXPECT_EQ(DmxOutEnabled, 1);
    EXPECT_EQ(DmxInEnabled, 1);
    EXPECT_EQ(EngineBusy.load(), 0);
    EXPECT_EQ(DeviceState, 0);
}

TEST_F(EngineMessagesTest, DifferingReadBackResetsAndReopensAfterTheWaitLimit)
{
    BindUsbDouble();
    std::memset(DmxOutFrame, 0, sizeof DmxOutFrame);
    DmxOutFrame[10] = 99;
    DmxOutEnabled = 1;
    DmxInEnabled = 0;
    EngineBusy.store(1);
    UsbCorrectWaitLimitMs = 150;
    const auto start = Clock::now();
    CorrectUsbInterface();
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(waited, 150);
    EXPECT_LT(waited, 3000);
    EXPECT_EQ(Calls(), (List{"_DMXWrite 512", "_SendRequest 1 3 512", "_ReadBuf 512", "_SendRequest 6 1 1",
                             "_CloseDevice", "_TestLoad 0x5355", "_GetBufferSize", "_DMXWrite 1024"}));
    EXPECT_EQ(testfiles::Read(root / "box.log"), "");   // no question
    EXPECT_EQ(DeviceState, 0);
    EXPECT_EQ(DmxOutEnabled, 1);
    EXPECT_EQ(DmxInEnabled, 0);
    EXPECT_EQ(EngineBusy.load(), 1);
}

TEST_F(EngineMessagesTest, WaitEndsWhenTheDeviceReportsItselfBack)
{
    BindUsbDouble();
    DmxOutFrame[0] = 1;
    UsbCorrectWaitLimitMs = 20000;
    // The device-change notices arrive as messages while the correction waits.
    platform::WindowHandle notices = platform::AllocateMessageWindow([](std::uint32_t, std::uintptr_t w, std::intptr_t) {
        if (w == 0x8000)
            DeviceArrived = 1;
        else if (w == 7 && DeviceArrived)
            DeviceReady = 1;
        return std::intptr_t(0);
    });
    std::thread device([notices] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        platform::PostMessageTo(notices, 0x219, 0x8000, 0);
        platform::PostMessageTo(notices, 0x219, 7, 0);
    });
    const auto start = Clock::now();
    CorrectUsbInterface();
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    device.join();
    EXPECT_LT(waited, 5000);
    EXPECT_EQ(DeviceReady, 1);
    EXPECT_EQ(Calls().back(), "_DMXWrite 1024");
    platform::ReleaseMessageWindow(notices);
}

TEST_F(EngineMessagesTest, RecentListRotatesByTheRule)
{
    RecentFileList five{"/a", "/b", "/c", "/d", "/e"};
    EXPECT_EQ(PutRecentFile(RecentFileList{}, "/x"), (RecentFileList{"/x", "", "", "", ""}));
    EXPECT_EQ(PutRecentFile(five, "/a"), five);
    EXPECT_EQ(PutRecentFile(five, "/c"), (RecentFileList{"/c", "/a", "/b", "/d", "/e"}));
    EXPECT_EQ(PutRecentFile(five, "/d"), (RecentFileList{"/d", "/a", "/b", "/c", "/e"}));
    EXPECT_EQ(PutRecentFile(five, "/e"), (RecentFileList{"/e", "/a", "/b", "/c", "/d"}));
    EXPECT_EQ(PutRecentFile(five, "/new"), (RecentFileList{"/new", "/a", "/b", "/c", "/d"}));
    // An empty File1 takes the name even when later entries are set.
    EXPECT_EQ(PutRecentFile(RecentFileList{"", "/b"}, "/n"), (RecentFileList{"/n", "/b", "", "", ""}));

    EXPECT_EQ(AbsoluteShowPath("/abs/show.d1k"), "/abs/show.d1k");
    EXPECT_EQ(AbsoluteShowPath("rel/show.d1k"), fs::current_path().string() + "/rel/show.d1k");
    EXPECT_EQ(EscapedMenuCaption("/r&b/x&&y.d1k"), "/r&&b/x&&&&y.d1k");
}

TEST_F(EngineMessagesTest, RecentListIsStoredOnlyUnderAnExistingKey)
{
    EXPECT_FALSE(StoreRecentFile("/s.d1k"));
    EXPECT_FALSE(RecentFileKeyExists());
    CreateRecentFileKey();
    {
        platform::Settings reg;
        for (int i = 1; i <= 5; ++i) {
            EXPECT_TRUE(reg.ValueExists(HistoryKey, "File" + std::to_string(i)));
            EXPECT_EQ(reg.ReadString(HistoryKey, "File" + std::to_string(i)), "");
        }
    }
    EXPECT_TRUE(StoreRecentFile("/s.d1k"));
    EXPECT_TRUE(StoreRecentFile("/t.d1k"));
    EXPECT_EQ(ReadRecentFiles(), (RecentFileList{"/t.d1k", "/s.d1k", "", "", ""}));
}

TEST_F(EngineMessagesTest, AutoBackupSkipsWhilePlayingSoloedOrBusyWithAShow)
{
    const std::string backup = AutoBackupPath();
    EXPECT_EQ(backup, (root / "bin" / "$AutoBak.d1k").string());
    Playing.store(1);
    EXPECT_FALSE(RunAutoBackup());
    Playing.store(0);
    SoloOn = 1;
    EXPECT_FALSE(RunAutoBackup());
    SoloOn = 0;
    ShowFileBusy.store(1);
    EXPECT_FALSE(RunAutoBackup());
    ShowFileBusy.store(0);
    EXPECT_FALSE(platform::FileExists(backup));

    ShowModified = 1;
    ShowFileName = "/shows/mine.d1k";
    EXPECT_TRUE(RunAutoBackup());
    EXPECT_TRUE(platform::FileExists(backup));
    EXPECT_EQ(ShowModified, 1);
    EXPECT_EQ(ShowFileName, "/shows/mine.d1k");
    EXPECT_EQ(ShowFileBusy.load(), 0);
    // It is a show that reads back.
    EXPECT_TRUE(ReadShowFile(backup));
    ShowModified = 0;
}

TEST_F(EngineMessagesTest, FailingBackupKeepsTheOldOneAndSaysNothing)
{
    const std::string backup = AutoBackupPath();
    {
        std::ofstream(backup) << "OLD";
    }
    // The disk fills up after part of the show was written.
    FileWriter() = [](const std::string &path, const std::function<bool(const std::string &)> &body) {
        const std::string temp = path + ".part";
        body(temp);
        platform::RemoveFile(temp);
        return false;
    };
    EXPECT_FALSE(RunAutoBackup());
    EXPECT_EQ(testfiles::Read(backup), "OLD");
    EXPECT_EQ(testfiles::Read(root / "box.log"), "");
}

TEST_F(EngineMessagesTest, AccessRecordIsReadFromPwdOrStoredWhenMissing)
{
    platform::Settings reg;
    reg.CreateKey(MainWindowKey);
    AccessLevel = 1;
    AccessRecord[5] = 0x5A;
    LoadAccessRecord();
    std::vector<std::uint8_t> stored = reg.ReadBinary(MainWindowKey, "PWD");
    ASSERT_EQ(stored.size(), 10u);
    EXPECT_EQ(stored[0], 1);
    EXPECT_EQ(stored[5], 0x5A);

    std::vector<std::uint8_t> other(10, 0);
    other[0] = 3;
    reg.WriteBinary(MainWindowKey, "PWD", other);
    LoadAccessRecord();
    EXPECT_EQ(AccessLevel, 3);
    EXPECT_EQ(AccessRecord[5], 0);

    // A value of the wrong length is damaged: it locks at level 2 and stays as it is.
    reg.WriteBinary(MainWindowKey, "PWD", {2, 2});
    EXPECT_EQ(LoadAccessRecord(), AccessRecordReading::State::Damaged);
    EXPECT_EQ(AccessLevel, 2);
    EXPECT_EQ(reg.ReadString(MainWindowKey, "PWD"), "hex:0202");
    std::memset(AccessRecord, 0, sizeof AccessRecord);
    AccessRecordDamaged = false;
}

TEST_F(EngineMessagesTest, VirtualKeysMapBothWays)
{
    using platform::QtKeyFromVirtualKey;
    using platform::VirtualKeyFromQt;
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_A), 0x41);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Z), 0x5A);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7), 0x37);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7, Qt::KeypadModifier), 0x67);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F1), 0x70);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F12), 0x7B);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Space), 0x20);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Minus), 0xBD);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Minus, Qt::KeypadModifier), 0x6D);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Return, Qt::KeypadModifier), 0x0D);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Launch0), 0);
    for (int vk = 1; vk < 256; ++vk) {
        const QKeyCombination key = QtKeyFromVirtualKey(static_cast<std::uint8_t>(vk));
        if (key.key() == Qt::Key_unknown)
            continue;
        EXPECT_EQ(VirtualKeyFromQt(key.key(), key.keyboardModifiers()), vk) << vk;
    }
    EXPECT_EQ(QtKeyFromVirtualKey(0).key(), Qt::Key_unknown);
}
