#include "EngineTestSupport.h"

#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Messages.h"

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

constexpr std::uint8_t Cycle = SeqFlagCycle;
constexpr std::uint8_t Fades = SeqFlagFade;
constexpr std::uint8_t TempoStep = 0, SceneTimeStep = 1, BeatStep = 2, ManualStep = 3;
constexpr std::uint8_t WholeStepFade = 1 << 3;

using EngineSend = EngineTest;
using EngineFrame = EngineTest;
using EngineStepping = EngineTest;
using EngineFades = EngineTest;
using EngineMulti = EngineTest;
using EngineCrossFade = EngineTest;
using EngineFaults = EngineTest;
using EngineTick = EngineTest;

// ---- Send ----------------------------------------------------------------------------

TEST_F(EngineSend, ChangedExtentIsRoundedUpTo256)
{
    BindFakeInterface();
    DeviceState = 0;
    DmxOutChannels = 512;

    DmxOutLevels[0] = 9;
    Tick();
    DmxOutLevels[255] = 9;
    Tick();
    DmxOutLevels[256] = 9;
    Tick();
    Tick();   // nothing changed: no call
    EXPECT_EQ(Fake.writeLengths, (std::vector<int>{256, 256, 512}));
    EXPECT_EQ(Fake.writtenFrames[2][256], 9);

    DmxOutChannels = 1024;
    DmxOutLevels[999] = 1;
    Tick();
    ASSERT_EQ(Fake.writeLengths.size(), 4u);
    EXPECT_EQ(Fake.writeLengths[3], 1024);
    EXPECT_EQ(ChangedExtent(), 0);
}

TEST_F(EngineSend, FullFrameWaitsForTheNextChange)
{
    BindFakeInterface();
    DeviceState = 0;
    DmxOutChannels = 512;
    SendFullFrame = 1;
    Tick(3);
    EXPECT_TRUE(Fake.writeLengths.empty());
    EXPECT_EQ(SendFullFrame.load(), 1);
    DmxOutLevels[3] = 1;
    Tick();
    DmxOutLevels[3] = 2;
    Tick();
    EXPECT_EQ(Fake.writeLengths, (std::vector<int>{512, 256}));
    EXPECT_EQ(SendFullFrame.load(), 0);
}

TEST_F(EngineSend, WithoutDeviceTheFrameIsTakenAsSent)
{
    BindFakeInterface();
    DmxOutLevels[10] = 77;
    Tick();
    EXPECT_EQ(FrameChanged.load(), 1);
    EXPECT_EQ(DmxPrevFrame[10], 77);
    EXPECT_TRUE(Fake.writeLengths.empty());

    // Output disabled behaves the same with a device open.
    DeviceState = 0;
    DmxOutEnabled = 0;
    FrameChanged = 0;
    DmxOutLevels[10] = 78;
    Tick();
    EXPECT_EQ(FrameChanged.load(), 1);
    EXPECT_EQ(DmxPrevFrame[10], 78);
    EXPECT_TRUE(Fake.writeLengths.empty());
}

// ---- Frame build -----------------------------------------------------------------------

TEST_F(EngineFrame, InversionPatchAndScale)
{
    DmxOutLevels[0] = 200;
    DmxOutLevels[1] = 200;
    DmxInvert[0] = 1;
    DmxScale[0] = 128;
    DmxScale[1] = 128;
    DmxOutLevels[5] = 42;
    DmxPatch[2] = 5;
    Tick();
    EXPECT_EQ(DmxOutFrame[0], 27);
    EXPECT_EQ(DmxOutFrame[1], 100);
    EXPECT_EQ(DmxOutFrame[2], 42);
    EXPECT_EQ(DmxOutFrame[5], 42);
}

TEST_F(EngineFrame, ThroughCopiesTheInputPastTheFrameBuild)
{
    DmxInEnabled = 1;
    DmxInThrough = 1;
    DmxInMode = 0;
    for (int i = 0; i < 512; ++i)
        DmxInLevels[i] = static_cast<std::uint8_t>(i * 7);
    DmxInvert[0] = 1;
    DmxScale[1] = 0;
    DmxPatch[2] = 700;
    DmxOutLevels[600] = 5;
    Tick();
    for (int i = 0; i < 512; ++i)
        ASSERT_EQ(DmxOutFrame[i], static_cast<std::uint8_t>(i * 7)) << i;
    EXPECT_EQ(DmxOutFrame[600], 0);   // no frame build in the second universe either
    EXPECT_EQ(DmxInPrev[9], 63);

    // In another mode "Through" still skips the frame build but copies nothing.
    DmxInMode = 1;
    DmxInLevels[0] = 1;
    DmxOutLevels[0] = 0;   // channel 0 is unused, so it takes the input...
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 1);
    EXPECT_EQ(DmxOutFrame[0], 0);   // ...but the frame is left as it stood
}

// ---- Stepping --------------------------------------------------------------------------

TEST_F(EngineStepping, TempoStepsEveryTenTicks)
{
    const int seq = AddSequence(4, Cycle, TempoStep | WholeStepFade, 120);
    StartPlay(seq, 0);
    Tick();
    EXPECT_EQ(PlayScene, 0);
    EXPECT_EQ(NextScene, 1);
    EXPECT_EQ(FadeTicks, 10);
    EXPECT_EQ(FadeEnd, 500);
    EXPECT_EQ(NextStepTime, 500);
    EXPECT_EQ(SceneChanged.load(), 1);
    SceneChanged = 0;
    Tick(9);
    EXPECT_EQ(PlayScene, 0);
    EXPECT_EQ(SceneChanged.load(), 0);
    Tick();
    EXPECT_EQ(PlayScene, 1);
    EXPECT_EQ(PlayClock, 500);
    EXPECT_EQ(NextStepTime, 1000);
}

TEST_F(EngineStepping, CyclingWrapsAndNonCyclingHolds)
{
    const int cyc = AddSequence(4, Cycle, TempoStep);
    StartPlay(cyc, 3);
    Tick();
    EXPECT_EQ(PlayScene, 3);
    EXPECT_EQ(NextScene, 0);
    Tick(10);
    EXPECT_EQ(PlayScene, 0);
    EXPECT_EQ(NextScene, 1);

    const int hold = AddSequence(3, 0, TempoStep);
    StartPlay(hold, 2);
    Tick();
    EXPECT_EQ(PlayScene, 2);
    EXPECT_EQ(NextScene, 2);
    Tick(10);
    EXPECT_EQ(PlayScene, 2);
    EXPECT_EQ(NextScene, 2);
    EXPECT_EQ(Playing.load(), 1);
}

TEST_F(EngineStepping, BeatAndManualWaitForTheirTrigger)
{
    for (std::uint8_t mode : {BeatStep, ManualStep}) {
        const int seq = AddSequence(3, Cycle, mode | WholeStepFade);
        StartPlay(seq, 0);
        Tick(5);
        EXPECT_EQ(PlayScene, -1);
        // The other trigger does not step, and both are cleared every tick.
        (mode == BeatStep ? ManualTrigger : BeatTrigger) = 1;
        Tick();
        EXPECT_EQ(PlayScene, -1);
        EXPECT_EQ(BeatTrigger.load() | ManualTrigger.load(), 0);
        (mode == BeatStep ? BeatTrigger : ManualTrigger) = 1;
        Tick();
        EXPECT_EQ(PlayScene, 0);
        EXPECT_EQ(NextStepTime, PlayClock + 500);
        EXPECT_EQ(FadeTicks, 1);   // a triggered step's whole-step fade lasts 50 ms
        EXPECT_EQ(BeatTrigger.load() | ManualTrigger.load(), 0);
    }
}

TEST_F(EngineStepping, SceneTimeAccumulates)
{
    const int seq = AddSequence(3, Cycle, SceneTimeStep | WholeStepFade);
    Sequences[seq]->scenes[0]->sceneTime = 100;
    Sequences[seq]->scenes[1]->sceneTime = 200;
    Sequences[seq]->scenes[2]->sceneTime = 300;
    StartPlay(seq, 0);
    Tick();
    EXPECT_EQ(NextStepTime, 100);
    EXPECT_EQ(FadeTicks, 2);
    Tick(2);
    EXPECT_EQ(PlayScene, 1);
    EXPECT_EQ(NextStepTime, 300);
    Tick(4);
    EXPECT_EQ(PlayScene, 2);
    EXPECT_EQ(NextStepTime, 600);
}

TEST_F(EngineStepping, PastTheLastSequenceSendsHalt)
{
    AddSequence(2, Cycle, TempoStep);
    StartPlay(1, 0);
    BeatTrigger = 1;
    Tick();
    ASSERT_EQ(CountCode(EngineCodeHalt), 1);
    EXPECT_TRUE(messages[0].duringTick);   // sent, not posted
    EXPECT_EQ(Playing.load(), 1);
    EXPECT_EQ(BeatTrigger.load(), 1);
}

TEST_F(EngineStepping, MidiRemembersTheTriggerTime)
{
    const int seq = AddSequence(2, Cycle, BeatStep);
    StartPlay(seq, 0);
    MidiInputOn = 1;
    Tick(3);
    BeatTrigger = 1;
    Tick();
    EXPECT_EQ(LastTriggerTime, 100);   // the clock before this tick's advance
}

// ---- Fades -----------------------------------------------------------------------------

TEST_F(EngineFades, EightBitFadeOverTenTicks)
{
    const int seq = AddSequence(2, Fades, TempoStep | WholeStepFade, 120,
                                [](int s, int) { return s == 0 ? 0 : 255; });
    AddPatchedFixture(0, 4);
    StartPlay(seq, 0);
    std::vector<int> got;
    for (int i = 0; i < 11; ++i) {
        Tick();
        got.push_back(DmxOutLevels[0]);
    }
    EXPECT_EQ(got, (std::vector<int>{0, 25, 51, 76, 102, 127, 153, 178, 204, 229, 255}));
    EXPECT_EQ(OutputChanged.load(), 1);
}

TEST_F(EngineFades, SixteenBitPairFadesCoarseAndFineTogether)
{
    const int seq = AddSequence(2, Fades, TempoStep | WholeStepFade, 300, [](int s, int c) -> std::uint8_t {
        if (c == 0)
            return s == 0 ? 0x10 : 0x20;
        if (c == 1)
            return s == 0 ? 0x00 : 0x80;
        return 0;
    });
    FadeKind[0] = Fade16Coarse;
    FineChannel[0] = 1;
    FadeKind[1] = Fade16Fine;
    AddPatchedFixture(0, 2);
    StartPlay(seq, 0);
    std::vector<std::pair<int, int>> got;
    for (int i = 0; i < 5; ++i) {
        Tick();
        got.emplace_back(DmxOutLevels[0], DmxOutLevels[1]);
    }
    EXPECT_EQ(got, (std::vector<std::pair<int, int>>{{16, 0}, {20, 32}, {24, 64}, {28, 96}, {32, 128}}));
}

TEST_F(EngineFades, JumpChannelsFollowTheJumpTiming)
{
    for (std::int16_t jumpTiming : {1, 0}) {
        const int seq = AddSequence(2, Fades, TempoStep | WholeStepFade, 120,
                                    [](int s, int) { return s == 0 ? 10 : 90; });
        Sequences[seq]->jumpTiming = jumpTiming;
        FadeKind[0] = FadeJump;
        ClearFixtures();
        AddPatchedFixture(0, 1);
        StartPlay(seq, 0);
        Tick(2);
        EXPECT_EQ(DmxOutLevels[0], jumpTiming ? 90 : 10);
        Tick(8);
        EXPECT_EQ(DmxOutLevels[0], jumpTiming ? 90 : 10);
        Tick();
        EXPECT_EQ(DmxOutLevels[0], 90);
    }
}

TEST_F(EngineFades, BlackOutLetsOnlyChannelsWithoutOffValueFollow)
{
    const int seq = AddSequence(1, 0, TempoStep, 120, [](int, int) { return 200; });
    AddPatchedFixture(0, 3);
    ChannelOffValues[0] = 0;
    ChannelOffValues[1] = -1;
    DmxOutLevels[0] = 7;
    Fixtures[0].states[2] = 1;   // manual: never follows
    BlackOutOn = 1;
    StartPlay(seq, 0);
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 7);
    EXPECT_EQ(DmxOutLevels[1], 200);
    EXPECT_EQ(DmxOutLevels[2], 0);
}

TEST_F(EngineFades, BackgroundPlayAlsoDrivesLinkedChannels)
{
    const int seq = AddSequence(1, 0, TempoStep, 120, [](int, int) { return 60; });
    AddPatchedFixture(0, 2);
    Fixtures[0].states[1] = 2;
    StartPlay(seq, 0);
    Playing = 0;
    PlayInBackground = 1;
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 60);
    EXPECT_EQ(DmxOutLevels[1], 60);
    PlayInBackground = 0;
    Playing = 1;
    DmxOutLevels[1] = 0;
    Tick();
    EXPECT_EQ(DmxOutLevels[1], 0);
}

TEST_F(EngineFades, PauseFreezesPlayersButNotOutput)
{
    const int seq = AddSequence(2, Cycle, TempoStep);
    StartPlay(seq, 0);
    Tick();
    PlayPaused = 1;
    DmxOutLevels[4] = 3;
    Tick(20);
    EXPECT_EQ(PlayClock, 0);
    EXPECT_EQ(PlayScene, 0);
    EXPECT_EQ(DmxOutFrame[4], 3);
}

// ---- Multi-sequence player ------------------------------------------------------------

TEST_F(EngineMulti, HighestSlotWinsAndOneTriggerStepsEverySlot)
{
    const int a = AddSequence(2, Cycle, BeatStep, 120, [](int s, int) { return s == 0 ? 100 : 10; });
    const int b = AddSequence(2, Cycle, BeatStep, 120, [](int s, int) { return s == 0 ? 200 : 20; });
    AddPatchedFixture(0, 1);
    PlayerSlots[0].sequence = static_cast<std::int16_t>(a);
    PlayerSlots[5].sequence = static_cast<std::int16_t>(b);
    for (int s : {0, 5}) {
        PlayerSlots[s].active = 1;
        PlayerSlots[s].restart = 1;
    }
    MultiSeqRunning = 1;
    Playing = 1;
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 200);
    EXPECT_EQ(PlayerSlots[0].restart, 0);
    EXPECT_EQ(PlayerSlots[0].levels[0], 100);

    PlayerSlots[0].scene = PlayerSlots[5].scene = 0;
    BeatTrigger = 1;
    Tick();
    EXPECT_EQ(PlayerSlots[0].scene, 1);
    EXPECT_EQ(PlayerSlots[5].scene, 1);
    EXPECT_EQ(DmxOutLevels[0], 20);
    EXPECT_EQ(BeatTrigger.load(), 0);
    EXPECT_EQ(SceneChanged.load(), 0);   // the slots never touch it
}

TEST_F(EngineMulti, NoActiveSlotWritesTheOffValues)
{
    AddPatchedFixture(0, 3);
    ChannelOffValues[0] = 0x1FF;   // low byte
    ChannelOffValues[1] = -1;
    ChannelOffValues[2] = 40;
    Fixtures[0].states[2] = 1;
    DmxOutLevels[1] = 5;
    DmxOutLevels[2] = 6;
    MultiSeqRunning = 1;
    Playing = 1;
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 255);
    EXPECT_EQ(DmxOutLevels[1], 5);
    EXPECT_EQ(DmxOutLevels[2], 6);
    EXPECT_EQ(PlayClock, 50);
}

TEST_F(EngineMulti, SlotFadesBetweenSteps)
{
    const int a = AddSequence(2, Cycle | Fades, TempoStep | WholeStepFade, 120,
                              [](int s, int) { return s == 0 ? 0 : 100; });
    AddPatchedFixture(0, 1);
    PlayerSlot &slot = PlayerSlots[3];
    slot.sequence = static_cast<std::int16_t>(a);
    slot.scene = -1;
    slot.nextScene = 0;
    slot.active = 1;
    MultiSeqRunning = 1;
    Playing = 1;
    PlayClock = -50;
    Tick();   // steps onto scene 0, no interpolation on the step tick
    EXPECT_EQ(slot.scene, 0);
    EXPECT_EQ(slot.fadeTicks, 10);
    Tick(5);
    EXPECT_EQ(DmxOutLevels[0], 50);
}

// ---- Cross-fade ------------------------------------------------------------------------

TEST_F(EngineCrossFade, FadesOverTheDurationAndEnds)
{
    AddPatchedFixture(0, 2);
    FadeKind[1] = FadeJump;
    DmxOutLevels[1] = 30;
    std::uint8_t target[MaxChannels] = {};
    target[0] = 200;
    target[1] = 90;
    StartCrossFade(target, 500);
    EXPECT_EQ(CrossFading.load(), 1);
    EXPECT_EQ(EngineBusy.load(), 0);
    std::vector<int> got;
    for (int i = 0; i < 10; ++i) {
        Tick();
        got.push_back(DmxOutLevels[0]);
        if (i < 9) {
            EXPECT_EQ(DmxOutLevels[1], 30);
        }
    }
    EXPECT_EQ(got, (std::vector<int>{20, 40, 60, 80, 100, 120, 140, 160, 180, 200}));
    EXPECT_EQ(DmxOutLevels[1], 90);
    EXPECT_EQ(CrossFading.load(), 0);
    EXPECT_EQ(OutputChanged.load(), 0);
}

TEST_F(EngineCrossFade, ShortDurationIsOneTick)
{
    AddPatchedFixture(0, 1);
    std::uint8_t target[MaxChannels] = {};
    target[0] = 50;
    StartCrossFade(target, 0);
    EXPECT_EQ(CrossFadeTicks, 1);
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 50);
    EXPECT_EQ(CrossFading.load(), 0);
}

// ---- Tick entry, slow ticks, setters ---------------------------------------------------

TEST_F(EngineTick, BusyOrRunningTickIsLost)
{
    const int seq = AddSequence(2, Cycle, TempoStep);
    StartPlay(seq, 0);
    DmxOutLevels[0] = 1;
    EngineBusy = 1;
    Tick();
    TickInProgress = 1;
    EngineBusy = 0;
    Tick();
    EXPECT_EQ(PlayClock, -50);
    EXPECT_EQ(DmxOutFrame[0], 0);
    TickInProgress = 0;
    {
        EngineBusyGuard busy;
        Tick();
    }
    EXPECT_EQ(PlayClock, -50);
    Tick();
    EXPECT_EQ(PlayClock, 0);
    EXPECT_EQ(TickInProgress.load(), 0);
}

std::uint32_t slowNow = 0;
std::uint32_t SlowClock()
{
    return slowNow += 600;
}

TEST_F(EngineTick, SlowTickPostsZ)
{
    Tick();
    EXPECT_EQ(CountCode(EngineCodeSlowTick), 0);
    platform::SetMonotonicMsHook(SlowClock);
    Tick();
    EXPECT_EQ(TickDuration.load(), 600);
    ASSERT_EQ(CountCode(EngineCodeSlowTick), 1);
    EXPECT_FALSE(messages.back().duringTick);   // posted
}

TEST_F(EngineTick, ChannelSetters)
{
    SetChannelLevel(3, 10);
    EXPECT_EQ(DmxOutLevels[3], 10);
    SetChannelLevel(-1, 10);
    SetChannelLevel(1024, 10);   // ignored, not written past the table
    BlackOutOn = 1;
    ChannelOffValues[3] = 0;
    SetChannelLevel(3, 11);
    SetChannelLevel(4, 12);
    EXPECT_EQ(DmxOutLevels[3], 10);
    EXPECT_EQ(DmxOutLevels[4], 12);
    BlackOutOn = 0;
    FavouriteOn = 1;
    SetChannelLevel(4, 13);
    FavouriteOn = 0;
    PlayInBackground = 1;
    SetChannelLevel(4, 14);
    EXPECT_EQ(DmxOutLevels[4], 12);

    SetChannelLevelIfOpen(5, 20);
    EXPECT_EQ(DmxOutLevels[5], 0);
    DeviceState = 0;
    SetChannelLevelIfOpen(5, 20);
    SetChannelLevelIfOpen(4000, 20);
    EXPECT_EQ(DmxOutLevels[5], 20);
}

std::uint32_t stepNow = 0;
std::uint32_t SteppingClock()
{
    return stepNow += 10;
}

TEST_F(EngineTick, WaitWithMessagesHandlesPostsWhileWaiting)
{
    platform::SetMonotonicMsHook(SteppingClock);
    platform::PostMessageTo(MessageWindow, EngineMessage, 'x', 0);
    const std::uint32_t passed = WaitWithMessages(100);
    EXPECT_GE(passed, 100u);
    EXPECT_LE(passed, 120u);
    EXPECT_EQ(CountCode('x'), 1);
}

// ---- Faults ----------------------------------------------------------------------------

TEST_F(EngineFaults, EmptySequenceNeverStepsOrWrites)
{
    const int seq = AddSequence(0, Cycle | Fades, TempoStep);
    AddPatchedFixture(0, 4);
    DmxOutLevels[0] = 33;
    StartPlay(seq, 0);
    BeatTrigger = ManualTrigger = 1;
    Tick(3);
    EXPECT_EQ(PlayScene, -1);
    EXPECT_EQ(DmxOutLevels[0], 33);
    EXPECT_EQ(BeatTrigger.load() | ManualTrigger.load(), 0);
    EXPECT_EQ(SceneChanged.load(), 0);

    // A slot on it, restarting or not, adds nothing and leaves the restart pending.
    Playing = 0;
    PlayerSlots[0] = PlayerSlot{};
    PlayerSlots[0].sequence = static_cast<std::int16_t>(seq);
    PlayerSlots[0].active = 1;
    PlayerSlots[0].restart = 1;
    PlayerSlots[0].levels[0] = 99;
    MultiSeqRunning = 1;
    Playing = 1;
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 0);
    EXPECT_EQ(PlayerSlots[0].restart, 1);
}

TEST_F(EngineFaults, TempoZeroCountsAsOneBeatPerMinute)
{
    const int seq = AddSequence(2, Cycle, TempoStep | WholeStepFade, 0);
    StartPlay(seq, 0);
    Tick();
    EXPECT_EQ(NextStepTime, 60000);
    EXPECT_EQ(FadeTicks, 1200);
    EXPECT_EQ(Sequences[seq]->tempo, 0u);
}

TEST_F(EngineFaults, MissingEntryPointsAreNotCalled)
{
    BindFakeInterface();
    InterfaceLibrary._DMXWrite = nullptr;
    DeviceState = 0;
    SendFullFrame = 1;
    DmxOutLevels[2] = 8;
    Tick();
    EXPECT_EQ(DmxPrevFrame[2], 8);
    EXPECT_EQ(FrameChanged.load(), 1);

    // The beat needs the read word, the request word, the buffer word and a device.
    HardwareBeatInput = 1;
    Fake.beatByte = 1;
    InterfaceLibrary._ReadBuf = nullptr;
    Tick();
    EXPECT_EQ(Fake.requestCalls, 0);
    BindFakeInterface();
    DeviceState = -1;
    Tick();
    EXPECT_EQ(Fake.requestCalls, 0);
    DeviceState = 0;
    Tick();
    EXPECT_EQ(Fake.requestCalls, 1);
    EXPECT_EQ(Fake.readBufCalls, 1);
    EXPECT_EQ(BeatTrigger.load(), 1);
}

TEST_F(EngineFaults, BadPatchEntriesGiveZero)
{
    for (int i = 0; i < MaxChannels; ++i)
        DmxOutLevels[i] = 50;
    DmxPatch[0] = -3;
    DmxPatch[1] = 5000;
    DmxPatch[2] = 1023;
    Tick();
    EXPECT_EQ(DmxOutFrame[0], 0);
    EXPECT_EQ(DmxOutFrame[1], 0);
    EXPECT_EQ(DmxOutFrame[2], 50);
}

TEST_F(EngineFaults, FineChannelOutsideTheTableFadesAsEightBit)
{
    const int seq = AddSequence(2, Fades, TempoStep | WholeStepFade, 300,
                                [](int s, int c) -> std::uint8_t { return c == 0 ? (s == 0 ? 0 : 200) : 0; });
    FadeKind[0] = Fade16Coarse;
    FineChannel[0] = 2000;
    AddPatchedFixture(0, 1);
    StartPlay(seq, 0);
    Tick(3);
    EXPECT_EQ(DmxOutLevels[0], 100);
}

TEST_F(EngineFaults, FixtureChannelsPastTheTableAreSkipped)
{
    const int seq = AddSequence(1, 0, TempoStep, 120, [](int, int) { return 70; });
    AddPatchedFixture(1020, 32);
    AddPatchedFixture(-5, 8);
    StartPlay(seq, 0);
    Tick();
    EXPECT_EQ(DmxOutLevels[1023], 70);
    EXPECT_EQ(DmxOutLevels[2], 70);
    EXPECT_EQ(DmxOutLevels[3], 0);
}

TEST_F(EngineFaults, NegativePlaySequenceCountsAsPastTheEnd)
{
    AddSequence(2, Cycle, TempoStep);
    StartPlay(-1, 0);
    Tick();
    EXPECT_EQ(CountCode(EngineCodeHalt), 1);
}

TEST_F(EngineFaults, SlotPastItsScenesDoesNotFade)
{
    const int a = AddSequence(2, Fades, TempoStep | WholeStepFade, 120, [](int s, int) { return s ? 200 : 100; });
    AddPatchedFixture(0, 1);
    PlayerSlot &slot = PlayerSlots[0];
    slot.sequence = static_cast<std::int16_t>(a);
    slot.active = 1;
    slot.scene = 1;
    slot.nextScene = 5;   // scenes deleted during play
    slot.nextStepTime = 100000;
    slot.fadeEnd = 100000;
    slot.fadeTicks = 10;
    slot.levels[0] = 42;
    MultiSeqRunning = 1;
    Playing = 1;
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 42);

    slot.scene = -1;
    slot.sequence = -2;   // below the table: skipped
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 0);
}

TEST_F(EngineFaults, SceneBeyondTheEndOfANonCyclingSequenceIsClamped)
{
    const int seq = AddSequence(2, Fades, ManualStep, 120, [](int s, int) { return s ? 200 : 100; });
    AddPatchedFixture(0, 1);
    StartPlay(seq, 0);
    PlayScene = 7;   // left over from a longer sequence chosen by the input
    NextScene = 8;
    Tick();
    EXPECT_EQ(PlayScene, 7);   // not due: nothing is read or written
    ManualTrigger = 1;
    Tick();
    EXPECT_EQ(PlayScene, 1);
    EXPECT_EQ(NextScene, 1);
    EXPECT_EQ(DmxOutLevels[0], 200);
}

// ---- The real timer --------------------------------------------------------------------

std::atomic<int> timerReads{0};
extern "C" int CountingRead(int count, unsigned char *)
{
    timerReads.fetch_add(1);
    return count;
}

TEST_F(EngineTick, TimerDeliversTicksAndStopsWhileASendIsBlocked)
{
    platform::SetMonotonicMsHook(nullptr);
    InterfaceLibrary._DMXRead = CountingRead;
    DeviceState = 0;
    DmxInEnabled = 1;
    DmxInMode = 9;   // no mode: input is only read
    timerReads = 0;
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(StartOutputTimer());
    EXPECT_TRUE(StartOutputTimer());
    while (timerReads.load() < 20 && std::chrono::steady_clock::now() - begin < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    StopOutputTimer();
    EXPECT_FALSE(OutputTimerRunning());
    EXPECT_GE(timerReads.load(), 20);
    EXPECT_GE(elapsed, std::chrono::milliseconds(800));   // missed periods never come in a burst

    // A tick blocked in the 'H' send (the GUI thread never answers) does not hold Stop.
    StartPlay(5, 0);
    ASSERT_TRUE(StartOutputTimer());
    const auto waitFrom = std::chrono::steady_clock::now();
    while (platform::PendingMessages() == 0 && std::chrono::steady_clock::now() - waitFrom < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_GT(platform::PendingMessages(), 0);
    auto stopped = std::async(std::launch::async, [] { StopOutputTimer(); });
    const bool returned = stopped.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!returned)
        platform::DeliverPostedMessages();   // release the tick so the test can end
    stopped.wait();
    EXPECT_TRUE(returned);
    platform::DeliverPostedMessages();
    EXPECT_EQ(CountCode(EngineCodeHalt), 0);   // the send was withdrawn, never handled
    EXPECT_FALSE(OutputTimerRunning());
}

} // namespace
