// What the stage sees, frame by frame, through the real program bound to the interface
// simulator through lptbrtv.so: switching between sequences, cues and the multi-sequence
// player (the play list with GO, a hot cue while a sequence plays, F8 on and off while
// playing) never puts a third look on the wire, and the editors' changes to the current
// scene reach the wire at once while the program is stopped.
#include "SimulatorHarness.h"
#include "common/ProgramFolder.h"
#include "fixtures/ShowFileTestSupport.h"
#include "profiles/ProfileBuilder.h"
#include "transport/TransportShow.h"

#include "app/Application.h"
#include "app/InterfaceBinding.h"
#include "app/LevelPipeline.h"
#include "app/MainForm.h"
#include "app/OutputEngine.h"
#include "app/PatchLoader.h"
#include "app/PlayControl.h"
#include "app/PlayState.h"
#include "app/ShowModel.h"
#include "app/WindowSeams.h"
#include "editors/GraphBlocks.h"
#include "editors/TGraphEdit.h"
#include "editors/TTrackEdit.h"
#include "editors/ValueChart.h"
#include "live/PlayList.h"
#include "live/TProgramForm.h"
#include "ui_GraphEdit.h"
#include "ui_MainForm.h"
#include "ui_ProgramForm.h"
#include "ui_TrackEdit.h"

#include "controls/Faders.h"
#include "controls/Tracker.h"

#include "platform/Clock.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace simharness;

namespace {

// Channels 1-4: a dimmer pack whose channels fade. Channels 9-11: a moving head.
using Look = std::array<int, 4>;
constexpr int HeadStart = 8;

std::uint32_t fakeNow = 0;
std::uint32_t FakeClock()
{
    return fakeNow;
}

std::string Show(const Look &l)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%d, %d, %d, %d)", l[0], l[1], l[2], l[3]);
    return text;
}

class StageFrames : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The tables as a new process has them.
        transport_test::ResetPlayState();
        for (PlayerSlot &slot : PlayerSlots)
            slot = PlayerSlot{};
        root = testfiles::FreshFolder("brtv-stage");
        ASSERT_TRUE(StartSimulatedInterface(root, sim));
        ShowModified = 0;
        EngineBusy = 0;
        AccessLevel = 0;
        InterfaceKind = 0;
        WindowSeams() = WindowSeamTable{};
        platform::QueueAnswers({"1"});   // the start dialog: New Show
        char arg0[] = "brantoval";
        char *argv[] = {arg0, nullptr};
        ASSERT_TRUE(CreateProgramWindows(1, argv));
        StopOutputTimer();   // the test ticks the engine itself
        form = MainForm;
        ui = form->ui;
        DmxOutEnabled = 1;
        ASSERT_EQ(DeviceState, 0);
        PatchRig();
        // Whatever the start sent is on the file before the test counts frames: a marker
        // on a channel no fixture uses, once seen, follows every earlier frame.
        SetChannelLevel(500, 1);
        OutputTick();
        ASSERT_TRUE(WaitFor([&] {
            const std::vector<std::string> f = Frames(root / "frames");
            return !f.empty() && f.back().size() > 500 && f.back()[500] == 1;
        }));
        SetChannelLevel(500, 0);
        Tick();
    }
    void TearDown() override
    {
        platform::SetMonotonicMsHook(nullptr);
        if (ProgramForm && PlayListRunning.load())
            ProgramForm->StopClick();
        if (MainForm)
            DestroyProgramWindows();
        CloseInterface();
        sim.Stop();
        unsetenv("BRTV_LPT_SIM");
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        ClearFixtures();
        PlayListEntries.clear();
        PlayListCount = 0;
        fs::remove_all(root);
    }

    // The dimmer pack at channel 1 and the head at channel 9, through the program's own
    // profile loader; the show's sequences are the test's own.
    void PatchRig()
    {
        ProfileBuilder dim;
        dim.header.count = 4;
        dim.header.name = "Dim";
        for (int j = 0; j < 4; ++j)
            dim.Channel(j, FnDimmer, true);
        dim.Add<TSlider>(ElSlider, 4, 4, MakeTag(0));
        ProfileBuilder head;
        head.header.count = 3;
        head.header.name = "Head";
        head.Channel(0, FnPan);
        head.Channel(1, FnTilt);
        head.Channel(2, FnDimmer, true);
        head.Add<TSlider>(ElSlider, 4, 4, MakeTag(2));
        fs::copy_file(dim.Save("dim.dsp"), root / "bin" / "Devices" / "dim.dsp");
        fs::copy_file(head.Save("head.dsp"), root / "bin" / "Devices" / "head.dsp");
        LoadDeviceProfiles();
        for (int i = 0; i < DeviceTypeCount; ++i) {
            const std::string &name = DeviceTypes[static_cast<std::size_t>(i)].deviceName;
            if (name == "Dim")
                PatchFixture(i, 0, "Dim");
            else if (name == "Head")
                PatchFixture(i, HeadStart, "Head");
        }
        ASSERT_EQ(FixtureCount, 2);
        BuildChannelMaps();
        BuildFixturePanels();
        FreeShowTables();
        CurSequence = CurScene = -1;
        form->SelectFirstFixture();
    }
    // A sequence whose scenes hold `looks` on channels 1-4 and `head` (pan, tilt, dimmer)
    // on the head.
    int AddLooks(const char *name, std::vector<Look> looks, std::uint8_t flags = SeqFlagCycle,
                 std::uint32_t tempo = 120, std::uint32_t fade = 50, std::array<int, 3> head = {60, 60, 30})
    {
        const int index = SequenceCount;
        auto *seq = new SequenceRecord;
        seq->name = name;
        seq->tempo = tempo;
        seq->commonFade = fade;
        seq->flags = flags;
        seq->modes = 0;
        for (std::size_t s = 0; s < looks.size(); ++s) {
            auto *scene = new SceneRecord;
            std::snprintf(scene->name.data(), scene->name.size(), "SCENE %d", static_cast<int>(s) + 1);
            scene->sceneTime = 1000;
            scene->fadeTime = 50;
            for (int c = 0; c < 4; ++c)
                scene->levels[c] = static_cast<std::uint8_t>(looks[s][static_cast<std::size_t>(c)]);
            for (int c = 0; c < 3; ++c)
                scene->levels[HeadStart + c] = static_cast<std::uint8_t>(head[static_cast<std::size_t>(c)]);
            seq->scenes[s] = scene;
        }
        seq->sceneCount = static_cast<std::int16_t>(looks.size());
        Sequences[static_cast<std::size_t>(index)] = seq;
        SequenceCount = index + 1;
        return index;
    }
    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    // An item of the values/time editor's ruler menu as the menu offers it when it opens.
    static QAction *PopupItem(TGraphEdit *g, const char *name)
    {
        emit g->PopupMenu->aboutToShow();
        return g->PopupMenu->findChild<QAction *>(QString::fromLatin1(name));
    }

    // Engine ticks; each frame sent is waited for on the simulator's file.
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            const std::size_t had = Frames(root / "frames").size();
            std::uint8_t before[MaxChannels];
            std::memcpy(before, DmxPrevFrame, sizeof before);
            OutputTick();
            if (std::memcmp(before, DmxPrevFrame, sizeof before) != 0)
                ASSERT_TRUE(WaitFor([&] { return Frames(root / "frames").size() > had; }));
        }
    }
    // Channels 1-4 of every frame the simulator received.
    std::vector<Look> Looks() const
    {
        std::vector<Look> looks;
        for (const std::string &f : Frames(root / "frames")) {
            Look l{};
            for (int c = 0; c < 4 && c < static_cast<int>(f.size()); ++c)
                l[static_cast<std::size_t>(c)] = static_cast<unsigned char>(f[static_cast<std::size_t>(c)]);
            looks.push_back(l);
        }
        return looks;
    }
    Look Wire() const { return Looks().back(); }
    int WireAt(int channel) const
    {
        const std::vector<std::string> f = Frames(root / "frames");
        return f.empty() || static_cast<int>(f.back().size()) <= channel
                   ? -1
                   : static_cast<unsigned char>(f.back()[static_cast<std::size_t>(channel)]);
    }
    // Every frame from `from` on shows `before`, `after` or a step of a fade between them:
    // each channel lies between its two ends and never moves back toward `before`; the
    // last frame shows `after`.
    ::testing::AssertionResult TwoLooksOnly(std::size_t from, const Look &before, const Look &after) const
    {
        const std::vector<Look> looks = Looks();
        Look last = before;
        for (std::size_t i = from; i < looks.size(); ++i) {
            for (std::size_t c = 0; c < 4; ++c) {
                const int v = looks[i][c];
                const int lo = std::min(before[c], after[c]), hi = std::max(before[c], after[c]);
                if (v < lo || v > hi || std::abs(after[c] - v) > std::abs(after[c] - last[c]))
                    return ::testing::AssertionFailure()
                           << "frame " << i << " shows " << Show(looks[i]) << " between " << Show(before) << " and "
                           << Show(after);
            }
            last = looks[i];
        }
        if (last != after)
            return ::testing::AssertionFailure() << "the wire ends on " << Show(last) << ", not " << Show(after);
        return ::testing::AssertionSuccess();
    }
    // The engine's timer may fire at any moment of a command: a tick falls inside every
    // refresh of the sequence list that a command makes on its way.
    void TickInsideCommands()
    {
        const std::function<void()> refresh = WindowSeams().sequencesListRefresh;
        ASSERT_TRUE(refresh);
        WindowSeams().sequencesListRefresh = [this, refresh] {
            refresh();
            Tick();
        };
    }

    fs::path root;
    Simulator sim;
    TMainForm *form = nullptr;
    Ui::TMainForm *ui = nullptr;
};

} // namespace

TEST_F(StageFrames, SwitchingLooksNeverPutsAThirdLookOnTheWire)
{
    const Look seq1{200, 0, 0, 0}, wash{0, 120, 0, 0}, blue{0, 0, 60, 0}, chase{0, 40, 0, 150};
    const Look cue{0, 120, 60, 0};
    AddLooks("SEQUENCE 1", {seq1});
    AddLooks("WASH", {wash});
    AddLooks("BLUE", {blue});
    AddLooks("CHASE", {chase});
    // A slow swell: one beat of 2 s per scene, fading all the way.
    const Look low{20, 20, 20, 20}, high{220, 220, 220, 220};
    const int swell = AddLooks("SWELL", {low, high}, SeqFlagCycle | SeqFlagFade, 30, 2000);
    // Stepped by the beat, without a fade.
    const Look beatLook{0, 0, 180, 90};
    const int beat = AddLooks("BEAT", {beatLook, {0, 0, 0, 255}});
    Sequences[static_cast<std::size_t>(beat)]->modes = 2;
    form->FillSequenceBox();
    form->SelectSequence(0);
    Cues.assign(1, CueRecord{});
    Cues[0].name = "CUE 1";
    Cues[0].sequence[0] = 1;
    Cues[0].on[0] = 1;
    Cues[0].sequence[1] = 2;
    Cues[0].on[1] = 1;
    CueCount = 1;
    TickInsideCommands();

    // The play list: SEQUENCE 1 plays, the cue waits for GO, CHASE follows with a fade.
    PlayListEntries.assign(4, PlayListEntry{});
    PlayListCount = 4;
    PlayListEntries[0].index = 0;
    PlayListEntries[1] = PlayListEntry{1000, 0, 1};
    PlayListEntries[1].action = ActWaitGo;
    PlayListEntries[2].startTime = 2000;
    PlayListEntries[2].index = 3;
    PlayListEntries[2].fade = 1000;
    PlayListEntries[3].startTime = 60000;
    PlayListEntries[3].action = ActEnd;
    Action("PlayList1")->trigger();
    TProgramForm *pl = ProgramForm;
    ASSERT_TRUE(pl && pl->isVisible());
    pl->FullBuild();
    pl->ui->ProgrammList->setCurrentCell(0, 0);
    fakeNow = 1000000;
    platform::SetMonotonicMsHook(&FakeClock);
    ui->Play1->trigger();   // F12 runs the list
    ASSERT_EQ(PlayListRunning.load(), 1);
    Tick(3);
    EXPECT_EQ(Wire(), seq1);

    fakeNow += 1000;
    pl->Timer1Timer();
    ASSERT_EQ(PlayPaused.load(), 1);
    std::size_t mark = Looks().size();
    Action("GO")->trigger();   // sequence to cue
    Tick(3);
    EXPECT_TRUE(TwoLooksOnly(mark, seq1, cue));

    fakeNow += 1000;
    mark = Looks().size();
    pl->Timer1Timer();   // cue to sequence, fading over 1 s
    ASSERT_EQ(PlaySequence, 3);
    ASSERT_EQ(MultiSeqRunning.load(), 0);
    Tick(25);
    EXPECT_TRUE(TwoLooksOnly(mark, cue, chase));
    EXPECT_GE(Looks().size() - mark, 15u);   // the fade took its steps
    pl->StopClick();
    Action("PlayList1")->trigger();
    ASSERT_FALSE(pl->isVisible());
    platform::SetMonotonicMsHook(nullptr);

    // A hot cue while SWELL plays half way up: the cue fades in from the wire's levels.
    form->SelectSequence(swell);
    ui->Play1->trigger();
    ASSERT_EQ(Playing.load(), 1);
    Tick(21);
    const Look halfway = Wire();
    ASSERT_GT(halfway[0], 100);
    ASSERT_LT(halfway[0], 140);
    mark = Looks().size();
    Action("Cue1")->trigger();
    ASSERT_EQ(MultiSeqRunning.load(), 1);
    ASSERT_EQ(CrossFading.load(), 1);
    Tick(25);
    EXPECT_TRUE(TwoLooksOnly(mark, halfway, cue));

    // F8 off while playing: the remembered SWELL plays on from its scene.
    mark = Looks().size();
    Action("MultiSeqPlayer")->trigger();
    ASSERT_EQ(MultiSeqRunning.load(), 0);
    ASSERT_EQ(Playing.load(), 1);
    ASSERT_EQ(PlaySequence, swell);
    Tick();
    EXPECT_TRUE(TwoLooksOnly(mark, cue, low));

    // F8 on while SWELL is half way up: the slots' look follows at once.
    Tick(20);
    const Look swelling = Wire();
    ASSERT_GT(swelling[0], 100);
    mark = Looks().size();
    Action("MultiSeqPlayer")->trigger();
    ASSERT_EQ(MultiSeqRunning.load(), 1);
    ASSERT_EQ(Playing.load(), 1);
    Tick(2);
    EXPECT_TRUE(TwoLooksOnly(mark, swelling, cue));
    ui->Play1->trigger();
    EXPECT_EQ(Playing.load(), 0);
    Action("MultiSeqPlayer")->trigger();
    EXPECT_EQ(MultiSeqRunning.load(), 0);

    // A sequence chosen from outside while one plays (MIDI's or DMX input's 'S'): the
    // beat-stepped sequence fades in and holds until its first beat.
    form->SelectSequence(0);
    ui->Play1->trigger();
    Tick(2);
    ASSERT_EQ(Wire(), seq1);
    mark = Looks().size();
    PlaySequence = beat;
    platform::PostMessageTo(MessageWindow, EngineMessage, EngineCodeSelect, 0);
    platform::DeliverPostedMessages();
    ASSERT_EQ(CurSequence, beat);
    Tick(25);
    EXPECT_TRUE(TwoLooksOnly(mark, seq1, beatLook));
    ui->Play1->trigger();
    EXPECT_EQ(Playing.load(), 0);
}

TEST_F(StageFrames, EditorsPutTheCurrentSceneOnTheWireWhileStopped)
{
    AddLooks("MOVES", {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}});
    form->FillSequenceBox();
    form->SelectSequence(0);
    form->DevT1Click(1, 0);   // the head
    ASSERT_EQ(SelectedFixture, 1);
    Tick();
    ASSERT_EQ(WireAt(HeadStart + 2), 30);
    form->resize(1024, 740);
    form->show();
    QApplication::processEvents();

    // The values/time editor on the head's dimmer with scenes 2-3 selected by the ruler.
    Action("GraphEd")->trigger();
    TGraphEdit *g = GraphEdit;
    ASSERT_NE(g, nullptr);
    g->ui->EditVal->click();   // "Edit DMX Values"
    ASSERT_EQ(TimeTrackMode, 0);
    QApplication::processEvents();
    const QPoint from(ColumnLeft(1) + 1, 5), to(ColumnLeft(2) + 2, 5);
    QTest::mousePress(g->ui->Times, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), g->ui->Times->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(g->ui->Times, &move);
    QTest::mouseRelease(g->ui->Times, Qt::LeftButton, {}, to);
    ASSERT_TRUE(SelectionValid);
    ASSERT_EQ(CurScene, 1);
    form->SelectSequence(0);   // scene 1 current again; the selection stays
    ASSERT_EQ(CurScene, 0);
    ChosenChannel = 2;
    const int selection[] = {SelFirstScene, SelLastScene, SelFirstChannel, SelLastChannel};
    auto keepsSelection = [&] {
        EXPECT_TRUE(SelectionValid);
        EXPECT_EQ(SelFirstScene, selection[0]);
        EXPECT_EQ(SelLastScene, selection[1]);
        EXPECT_EQ(SelFirstChannel, selection[2]);
        EXPECT_EQ(SelLastChannel, selection[3]);
        EXPECT_EQ(ChosenChannel, 2);
        EXPECT_EQ(SelectedFixture, 1);
    };

    // "Apply": a sine of amplitude 128 around 128 gives the first scene 128.
    g->ui->Group->setChecked(false);
    g->ui->Apply->click();
    ASSERT_EQ(Sequences[0]->scenes[0]->levels[HeadStart + 2], 128);
    Tick();
    EXPECT_EQ(WireAt(HeadStart + 2), 128);
    keepsSelection();

    // Scene 2's dimmer copied (the copy ends the selection), the ruler's selection made
    // again, the copy pasted onto scene 1, the current one.
    AskEveryTime = 0;
    SelFirstScene = SelLastScene = 1;
    SelFirstChannel = SelLastChannel = 2;
    PopupItem(g, "CopySelected")->trigger();
    ASSERT_TRUE(CopyBufferValid);
    ASSERT_FALSE(SelectionValid);
    SelFirstScene = selection[0], SelLastScene = selection[1];
    SelFirstChannel = selection[2], SelLastChannel = selection[3];
    SelectionValid = 1;
    PopupItem(g, "PasteFromBuffer")->trigger();
    ASSERT_EQ(Sequences[0]->scenes[0]->levels[HeadStart + 2], 192);
    Tick();
    EXPECT_EQ(WireAt(HeadStart + 2), 192);
    EXPECT_TRUE(CopyBufferValid);
    keepsSelection();

    // The track editor: a circle, then OK; pan and tilt of the first scene on the wire.
    Action("TrackEdit")->trigger();
    TTrackEdit *t = TrackEdit;
    ASSERT_NE(t, nullptr);
    t->ui->CircleTool->click();
    t->ui->CircleSize->setValue(100);
    t->ui->CircleApply->click();
    ASSERT_EQ(Sequences[0]->scenes[0]->levels[HeadStart], 127);
    ASSERT_EQ(Sequences[0]->scenes[0]->levels[HeadStart + 1], 0);
    t->ui->OKButton->click();
    QApplication::processEvents();
    Tick();
    EXPECT_EQ(WireAt(HeadStart), 127);
    EXPECT_EQ(WireAt(HeadStart + 1), 0);
    EXPECT_EQ(SelectedFixture, 1);
    EXPECT_EQ(ChosenChannel, 2);
    EXPECT_TRUE(CopyBufferValid);

    // Playing, the engine owns the output: an Apply leaves the levels to it.
    ui->Play1->trigger();
    ASSERT_EQ(Playing.load(), 1);
    Tick(2);
    std::uint8_t engine[MaxChannels];
    std::memcpy(engine, DmxOutLevels, sizeof engine);
    g->Offset->SetPosition(20);
    g->Amplitude->SetPosition(0);
    g->ui->Apply->click();
    ASSERT_EQ(Sequences[0]->scenes[1]->levels[HeadStart + 2], 20);
    EXPECT_EQ(std::memcmp(engine, DmxOutLevels, sizeof engine), 0);
    ui->Play1->trigger();
    EXPECT_EQ(Playing.load(), 0);
}
