// The DMX-input recorder and the LAN link through the real main window: recording what
// the engine ticks take in, storing it as scenes, and DMX frames from a peer over UDP.
#include "transport/ProgramWindowTest.h"

#include "app/OutputEngine.h"
#include "app/PatchLoader.h"
#include "live/DmxRecording.h"
#include "live/LanLink.h"
#include "live/TAudSynch.h"
#include "live/TRecordF.h"
#include "platform/Mailslot.h"
#include "platform/Settings.h"
#include "ui_AudSynch.h"
#include "ui_MainForm.h"
#include "ui_RecordF.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include <QAction>
#include <QDialog>

#include <cstdlib>

namespace {

using transport_test::AddSequence;

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator reports what the heap holds (the compiler ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

// The memory this process holds in kB: resident memory, or under AddressSanitizer (whose
// quarantine keeps freed blocks resident) the heap blocks still allocated.
long ResidentKb()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
#endif
}

// Delivers what the readers hand over until `done` holds; false after `ms`.
template <class Done>
bool DeliverUntil(Done done, int ms = 3000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        platform::DeliverPostedMessages();
        std::this_thread::yield();   // the reader hands over one message at a time
    }
    return true;
}

// A second program's server slot on a loopback address that keeps the payloads it gets.
struct PeerSlot {
    platform::TzolMailslot slot;
    std::vector<std::string> got;
    PeerSlot(const char *address, std::uint16_t port)
    {
        slot.BindAddress = address;
        slot.Port = port;
        slot.OnMessage = [this](platform::TzolMailslot &, const std::uint8_t *m, const std::string &,
                                const std::string &, int n) {
            got.emplace_back(reinterpret_cast<const char *>(m), static_cast<std::size_t>(n));
        };
    }
};

class RecorderWindowTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        DmxInEnabled = 1;
        DmxInMode = 0;
        std::memset(DmxInLevels, 0, sizeof DmxInLevels);
        std::memset(DmxInPrev, 0, sizeof DmxInPrev);
    }
    void TearDown() override
    {
        DmxInEnabled = 0;
        RecordingOn = 0;
        ProgramWindowTest::TearDown();
    }
    // Opens "Record" and lets `act` drive the recorder while it is shown.
    bool OpenRecorder(const std::function<void(TRecordF &)> &act)
    {
        bool shown = false;
        platform::ActOnNextDialog("RecordF", [&](QDialog &d) {
            shown = true;
            act(static_cast<TRecordF &>(d));
            d.accept();
        });
        form->findChild<QAction *>(QStringLiteral("Record1"))->trigger();
        // The action holds this frame's locals: it must not outlive it when no recorder came.
        platform::DisarmDialogActions("RecordF");
        return shown;
    }
    // The input takes `level` on channel `channel`; the engine ticks `ticks` times.
    void Input(int channel, std::uint8_t level, int ticks = 1)
    {
        DmxInLevels[channel] = level;
        Tick(ticks);
    }
    std::filesystem::path RecordFile() const { return root / "bin" / RecordFileName; }
};

TEST_F(RecorderWindowTest, RecordingStoredAsANewSequenceOfTheHeldStates)
{
    AddSequence(2);
    form->FillSequenceBox();
    const int before = SequenceCount;
    ASSERT_TRUE(OpenRecorder([&](TRecordF &r) {
        EXPECT_EQ(r.windowTitle(), "DMX Record");
        r.ui->StartRecord->click();
        ASSERT_EQ(RecordingOn, 1);
        Input(5, 100);
        platform::DeliverPostedMessages();
        Input(5, 200);
        platform::DeliverPostedMessages();
        Tick(2);
        r.TimerRecTimer();
        EXPECT_EQ(r.ui->Dig->text(), "2");
        EXPECT_EQ(r.ui->Time->text(), "00:00:00:2");
        r.ui->StopRecord->click();
        EXPECT_EQ(RecordingOn, 0);
        EXPECT_EQ(RecorderWindow, 0u);
        EXPECT_TRUE(r.ui->Upd->isEnabled());
        r.ui->CreateNew->setChecked(true);
        r.ui->Upd->click();
        EXPECT_FALSE(r.ui->Upd->isEnabled());

        // A second take, stored after the last scene of the sequence just made, into the
        // second output's half.
        r.ui->StartRecord->click();
        Input(6, 50);
        platform::DeliverPostedMessages();
        r.ui->StopRecord->click();
        r.ui->AddCurrent->setChecked(true);
        r.ui->PlaceOut2->click();
        r.ui->Upd->click();
        r.ui->PlaceOut1->click();
    }));
    ASSERT_EQ(SequenceCount, before + 1);
    const SequenceRecord &seq = *Sequences[static_cast<std::size_t>(CurSequence)];
    ASSERT_EQ(seq.sceneCount, 5);
    EXPECT_EQ(seq.scenes[4]->levels[6 + 512], 50);
    EXPECT_EQ(seq.scenes[4]->levels[6], 0);
    EXPECT_EQ(seq.scenes[3]->sceneTime, 50u);
    EXPECT_STREQ(seq.scenes[4]->name.data(), "SCENE 5");
    EXPECT_EQ(seq.scenes[2]->levels[5], 200);   // the first take stays as it was
    EXPECT_EQ(seq.tempo, 120u);
    EXPECT_EQ(seq.flags, SeqFlagCycle);
    EXPECT_EQ(seq.modes, 1);
    const std::uint8_t levels[] = {0, 100, 200};
    const std::uint32_t times[] = {50, 50, 100};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(seq.scenes[i]->levels[5], levels[i]) << i;
        EXPECT_EQ(seq.scenes[i]->levels[5 + 512], 0) << i;
        EXPECT_EQ(seq.scenes[i]->sceneTime, times[i]) << i;
        EXPECT_EQ(seq.scenes[i]->fadeTime, 50u) << i;
    }
    EXPECT_STREQ(seq.scenes[1]->name.data(), "SCENE 2");
    EXPECT_STREQ(seq.scenes[2]->name.data(), "SCENE 3");
    EXPECT_EQ(CurScene, 3);
    EXPECT_EQ(EngineBusy, 0);
    // Closing the recorder deleted its file.
    EXPECT_FALSE(std::filesystem::exists(RecordFile()));
}

TEST_F(RecorderWindowTest, LatePostsWriteEveryChangeInOrderButNothingAfterTheStop)
{
    AddSequence(1);
    form->FillSequenceBox();
    ASSERT_TRUE(OpenRecorder([&](TRecordF &r) {
        r.ui->StartRecord->click();
        // Ticks behind a modal box: three changes before any post is handled.
        Input(0, 10);
        Input(0, 20);
        Input(0, 30);
        platform::DeliverPostedMessages();
        EXPECT_EQ(r.RecordCount, 3);
        // A post still queued at the stop reaches neither the closed file nor a later
        // recording.
        Input(0, 40);
        r.ui->StopRecord->click();
        const std::string stopped = testfiles::Read(RecordFile());
        platform::DeliverPostedMessages();
        EXPECT_EQ(testfiles::Read(RecordFile()), stopped);
        const std::vector<RecordedPair> pairs = ReadRecordedPairs(RecordFile().string());
        ASSERT_EQ(pairs.size(), 4u);
        const std::uint8_t states[] = {0, 10, 20, 30};
        const std::uint32_t ends[] = {50, 100, 150, 200};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(pairs[i].state[0], states[i]) << i;
            EXPECT_EQ(pairs[i].end, ends[i]) << i;
        }

        r.ui->StartRecord->click();
        platform::DeliverPostedMessages();
        EXPECT_EQ(r.RecordCount, 0);
        r.ui->StopRecord->click();
    }));
}

TEST_F(RecorderWindowTest, TheCountLimitStopsTheRecordingAndStoreCutsAtTheSceneLimit)
{
    AddSequence(1);
    form->FillSequenceBox();
    ASSERT_TRUE(OpenRecorder([&](TRecordF &r) {
        r.ui->StartRecord->click();
        for (int i = 0; i < MaxRecordedChanges + 5 && r.Recording(); ++i) {
            Input(0, static_cast<std::uint8_t>(i % 2 ? 1 : 2));
            if (i % 16 == 15)
                platform::DeliverPostedMessages();
        }
        platform::DeliverPostedMessages();
        EXPECT_FALSE(r.Recording());
        EXPECT_EQ(RecordingOn, 0);
        EXPECT_EQ(r.RecordCount, MaxRecordedChanges + 1);
        platform::QueueAnswers({"OK"});
        r.ui->Upd->click();
    }));
    const SequenceRecord &seq = *Sequences[static_cast<std::size_t>(CurSequence)];
    EXPECT_EQ(seq.sceneCount, MaxScenes);
    EXPECT_NE(BoxLog().find("You can't made more than 16384 SCENES in SEQUENCE"), std::string::npos);
}

TEST_F(RecorderWindowTest, AccessLevelTwoOpensNoRecorderAndTheLiveViewFits)
{
    AccessLevel = 2;
    EXPECT_FALSE(OpenRecorder([](TRecordF &) {}));
    AccessLevel = 0;
    DmxInPrev[0] = 255;
    ASSERT_TRUE(OpenRecorder([&](TRecordF &r) {
        r.ui->LabelButton1->click();
        EXPECT_TRUE(r.InputViewOn);
        QApplication::processEvents();
        EXPECT_EQ(r.width(), 418 * r.logicalDpiX() / 96);
        EXPECT_LE(r.frameGeometry().height(), 728);
        const char *bin = std::getenv("BRTV_BIN_DIR");
        const std::filesystem::path dir = std::filesystem::path(bin ? bin : ".") / "grabs";
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(r.grab().save(QString::fromStdString((dir / "recorder.png").string()), "PNG"));
        r.ui->LabelButton1->click();
        EXPECT_EQ(r.width(), 196 * r.logicalDpiX() / 96);
    }));
}

TEST_F(RecorderWindowTest, FramesFromAPeerOnTheLanReachTheOutputThroughTheEngine)
{
    {
        platform::Settings s;
        s.WriteInteger(MainWindowKey, "LanPort", 0);
        s.WriteString(MainWindowKey, "LanBindAddress", "127.0.0.1");
    }
    transport_test::AddFixtureWith(0, {0});
    BuildChannelMaps();
    DmxInMode = 1;
    form->findChild<QAction *>(QStringLiteral("SynchSetup"))->trigger();
    Ui::TAudSynch *hw = AudSynch->ui;
    EXPECT_FALSE(hw->FromLan->isChecked());
    hw->FromLan->click();
    ASSERT_EQ(DmxInFromLan, 1);
    ASSERT_TRUE(AudSynch->BrantovalMain->ServerOpen());
    EXPECT_NE(AudSynch->windowTitle(), "Error CreateMailSlot");

    platform::TzolMailslot peer;
    peer.PeerPort = AudSynch->BrantovalMain->BoundPort();
    ASSERT_TRUE(peer.OpenClientMailslot(".", LanSlotName));
    std::string frame = "RDMX" + std::string(8, '\0');
    frame[4 + 3] = 123;
    frame[4 + 0] = 45;
    ASSERT_TRUE(peer.WriteClientMailslot(frame.data(), static_cast<int>(frame.size())));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (DmxInLevels[3] != 123 && std::chrono::steady_clock::now() < end) {
        platform::DeliverPostedMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(DmxInLevels[3], 123);
    Tick();
    EXPECT_EQ(DmxOutLevels[3], 123);   // a channel no fixture uses
    EXPECT_EQ(DmxOutLevels[0], 0);     // the fixture's channel is left to the players

    // Off closes the slot: nothing listens any more.
    const std::uint16_t port = AudSynch->BrantovalMain->BoundPort();
    const QString title = AudSynch->windowTitle();
    hw->FromLan->click();
    EXPECT_EQ(DmxInFromLan, 0);
    EXPECT_FALSE(AudSynch->BrantovalMain->ServerOpen());

    // A port another program holds: the box says so and the input stays with the
    // interface, which the engine goes on reading.
    {
        platform::Settings s;
        s.WriteInteger(MainWindowKey, "LanPort", port);
    }
    platform::TzolMailslot other;
    other.Port = port;
    other.BindAddress = "127.0.0.1";
    ASSERT_TRUE(other.CreateMailslot());
    hw->FromLan->click();
    EXPECT_EQ(AudSynch->windowTitle(), "Error CreateMailSlot");
    EXPECT_FALSE(hw->FromLan->isChecked());
    EXPECT_EQ(DmxInFromLan, 0);
    other.CloseMailslot();
    hw->FromLan->click();
    EXPECT_TRUE(AudSynch->BrantovalMain->ServerOpen());
    EXPECT_EQ(DmxInFromLan, 1);
    EXPECT_EQ(AudSynch->windowTitle(), title);
    hw->FromLan->click();
}

TEST_F(RecorderWindowTest, LanFloodOfNewSendersKeepsMemoryFlatAndNamesAreAnsweredAtTheSender)
{
    // The second program listens on 127.0.0.1; a third computer (127.0.0.2) listens on
    // the same port, which is this program's reply port.
    PeerSlot peer("127.0.0.1", 0), third("127.0.0.2", 0);
    ASSERT_TRUE(peer.slot.CreateMailslot());
    third.slot.Port = peer.slot.BoundPort();
    ASSERT_TRUE(third.slot.CreateMailslot());
    {
        platform::Settings s;
        s.WriteInteger(MainWindowKey, "LanPort", 0);
        s.WriteInteger(MainWindowKey, "LanPeerPort", peer.slot.BoundPort());
        s.WriteString(MainWindowKey, "LanBindAddress", "127.0.0.1");
    }
    form->findChild<QAction *>(QStringLiteral("SynchSetup"))->trigger();
    AudSynch->ui->FromLan->click();
    ASSERT_EQ(DmxInFromLan, 1);
    const std::uint16_t port = AudSynch->BrantovalMain->BoundPort();
    ASSERT_NE(port, 0);

    // A name request that names the third computer: the answer comes back to the
    // sender's own address, the named computer gets nothing.
    peer.slot.PeerPort = port;
    ASSERT_TRUE(peer.slot.OpenClientMailslot(".", LanSlotName));
    std::uint8_t rnam[LanReplyBytes] = {'R', 'N', 'A', 'M'};
    std::memcpy(rnam + 4, "127.0.0.2", 9);
    ASSERT_TRUE(peer.slot.WriteClientMailslot(rnam, LanReplyBytes));
    EXPECT_TRUE(DeliverUntil([&] { return !peer.got.empty(); }));
    DeliverUntil([] { return false; }, 200);
    ASSERT_EQ(peer.got.size(), 1u);
    EXPECT_EQ(peer.got[0].substr(0, 4), "HNAM");
    EXPECT_TRUE(third.got.empty());
    EXPECT_NE(AudSynch->windowTitle(), "Error OpenClientMailSlot");

    // A flood of frames, each from a sender name never seen before, in batches the
    // socket can hold; each frame carries its number in channels 1-3.
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int missed = 0;
    auto flood = [&](int first, int count) {
        constexpr int Batch = 100;
        for (int i = first; i < first + count; i += Batch) {
            const int last = std::min(i + Batch, first + count) - 1;
            for (int n = i; n <= last; ++n) {
                char name[32];
                std::snprintf(name, sizeof name, "flood-sender-%08d", n);
                std::string datagram = std::string("pc;") + name + ";46000.5;RDMX";
                datagram += {char(n >> 16), char(n >> 8), char(n)};
                ::sendto(s, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
            }
            const auto got = [last] { return (DmxInLevels[0] << 16 | DmxInLevels[1] << 8 | DmxInLevels[2]) == last; };
            if (!DeliverUntil(got, 1000))
                ++missed;
        }
    };
    flood(0, 5000);   // the filter and the allocator at their working size
    const long before = ResidentKb();
    flood(5000, 100000);
    const long after = ResidentKb();
    RecordProperty("resident_growth_kb", std::to_string(after - before));
    EXPECT_LT(missed, 20);
    ASSERT_GT(before, 0);
    EXPECT_LT(after - before, 3 * 1024) << "resident " << before << " kB before, " << after << " kB after";

    // The link still answers afterwards, and the last sender of the flood is still
    // known: a copy of its frame is dropped.
    std::memset(DmxInLevels, 0, sizeof DmxInLevels);
    const std::string copy = std::string("pc;flood-sender-00104999;46000.5;RDMX") + "\x01\x98\x96";
    ::sendto(s, copy.data(), copy.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
    ::close(s);
    ASSERT_TRUE(peer.slot.WriteClientMailslot(rnam, LanReplyBytes));
    EXPECT_TRUE(DeliverUntil([&] { return peer.got.size() == 2; }));
    EXPECT_EQ(DmxInLevels[0], 0);
    AudSynch->ui->FromLan->click();
}

} // namespace
