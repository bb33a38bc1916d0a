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

#include <chrono>
#include <thread>

#include <QAction>
#include <QDialog>

#include <cstdlib>

namespace {

using transport_test::AddSequence;

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

} // namespace
