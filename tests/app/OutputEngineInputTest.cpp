#include "EngineTestSupport.h"

#include "app/OutputEngineSteps.h"

#include <algorithm>

namespace {

class EngineInput : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        DmxInEnabled = 1;
        engine::ForgetInputMode();
    }
    void SetFunction(int channel, std::uint8_t kind, std::uint8_t parameter)
    {
        InputFunctions[static_cast<std::size_t>(channel)] = InputFunctionEntry{parameter, kind};
        InputFunctionCount = static_cast<std::int16_t>(std::max<int>(InputFunctionCount, channel + 1));
    }
    int CountMessages(std::uint32_t msg) const
    {
        return static_cast<int>(
            std::count_if(messages.begin(), messages.end(), [&](const RecordedMessage &m) { return m.msg == msg; }));
    }
};

TEST_F(EngineInput, ReadsThroughTheLibraryAndAdvancesTheInputClock)
{
    BindFakeInterface();
    Fake.input[3] = 9;
    Tick(2);
    EXPECT_EQ(Fake.readCalls, 0);   // no device
    EXPECT_EQ(InputClock, 100);
    DeviceState = 0;
    Tick();
    EXPECT_EQ(Fake.readCalls, 1);
    EXPECT_EQ(DmxInLevels[3], 9);
    EXPECT_EQ(DmxInPrev[3], 9);   // mode 0 keeps it for the recorder
}

TEST_F(EngineInput, RecorderIsToldOfEveryChange)
{
    RecordingOn = 1;
    DmxInLevels[100] = 1;
    Tick();
    Tick();   // unchanged: no post
    ASSERT_EQ(CountMessages(RecordInputMessage), 1);
    EXPECT_EQ(messages[0].window, recorderWindow);
    EXPECT_EQ(messages[0].lParam, 71);
    // The post names the snapshot of that tick's state and clock, which later changes of
    // the input leave alone.
    const InputSnapshot &shot = InputSnapshotAt(static_cast<std::uint32_t>(messages[0].wParam));
    EXPECT_EQ(shot.levels[100], 1);
    EXPECT_EQ(shot.clock, 50);
    DmxInLevels[100] = 3;
    Tick();
    EXPECT_EQ(shot.levels[100], 1);
    ASSERT_EQ(CountMessages(RecordInputMessage), 2);
    EXPECT_EQ(messages[1].wParam, messages[0].wParam + 1);
    EXPECT_EQ(InputSnapshotAt(static_cast<std::uint32_t>(messages[1].wParam)).levels[100], 3);
    RecorderWindow = 0;
    DmxInLevels[100] = 2;
    Tick();
    EXPECT_EQ(CountMessages(RecordInputMessage), 2);
}

TEST_F(EngineInput, UnusedChannelModesFillOnlyUnusedChannels)
{
    DmxInMode = 1;
    ChannelUsed[1] = 1;
    DmxInLevels[0] = 10;
    DmxInLevels[1] = 11;
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 10);
    EXPECT_EQ(DmxOutLevels[1], 0);
    EXPECT_EQ(DmxOutLevels[512], 0);

    DmxInMode = 2;
    ChannelUsed[512] = 1;
    DmxInLevels[0] = 20;
    DmxInLevels[1] = 21;
    Tick();
    EXPECT_EQ(DmxOutLevels[512], 0);
    EXPECT_EQ(DmxOutLevels[513], 21);
    EXPECT_EQ(DmxOutLevels[0], 10);
}

TEST_F(EngineInput, MastersModeWatchesOnlyTheFirstSixteenChannels)
{
    DmxInMode = 3;
    DmxInLevels[16] = 5;
    Tick();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(DmxInPrev[16], 0);
    DmxInLevels[15] = 1;
    Tick();
    ASSERT_EQ(CountMessages(MasterInputMessage), 1);
    EXPECT_EQ(messages[0].window, masterWindow);
    EXPECT_EQ(messages[0].wParam, 0u);
    EXPECT_EQ(messages[0].lParam, 71);
    EXPECT_EQ(DmxInPrev[16], 5);
}

TEST_F(EngineInput, MasterLevelIsRateLimitedAndDeduplicated)
{
    DmxInMode = 4;
    SetFunction(2, 1, 4);
    InputClock = 1000;
    DmxInLevels[2] = 100;
    Tick();   // clock 1050
    ASSERT_EQ(CountMessages(MasterInputMessage), 1);
    EXPECT_EQ(messages[0].wParam, 4u);
    EXPECT_EQ(messages[0].lParam, 2);
    EXPECT_EQ(MasterInputTime[4], 1050);
    DmxInLevels[2] = 101;
    Tick();   // 50 ms later: dropped, and not remembered as passed on
    EXPECT_EQ(CountMessages(MasterInputMessage), 1);
    DmxInLevels[2] = 102;
    Tick(2);   // 150 ms after the last one passed on
    EXPECT_EQ(CountMessages(MasterInputMessage), 2);
    EXPECT_EQ(MasterInputValue[4], 102);
    // An equal value is dropped at any time.
    Tick(10);
    DmxInPrev[2] = 0;   // offered again as a change
    Tick();
    EXPECT_EQ(CountMessages(MasterInputMessage), 2);
    DmxInLevels[2] = 0;
    Tick();
    EXPECT_EQ(CountMessages(MasterInputMessage), 3);
}

TEST_F(EngineInput, TempoFunctionMapsTheValueOntoTheCurrentSequence)
{
    DmxInMode = 4;
    CurSequence = AddSequence(1, 0, 0, 120);
    SetFunction(0, 3, 0);
    InputClock = 1000;
    LastTempoValue = 1;
    DmxInLevels[0] = 255;
    Tick();
    EXPECT_EQ(Sequences[0]->tempo, 240u);
    EXPECT_EQ(CountCode(EngineCodeTempo), 1);
    DmxInLevels[0] = 0;
    Tick(3);   // within 100 ms the first tick is dropped; the value waits unchanged
    EXPECT_EQ(Sequences[0]->tempo, 240u);
    DmxInPrev[0] = 255;   // offer it again after the pause
    Tick();
    EXPECT_EQ(Sequences[0]->tempo, 10u);

    // Not while the multi-player runs, under another synchronisation, or without a sequence.
    for (int variant = 0; variant < 3; ++variant) {
        MultiSeqRunning = variant == 0;
        SynchMode = variant == 1;
        CurSequence = variant == 2 ? 5 : 0;
        InputClock += 1000;
        DmxInPrev[0] = 0;
        DmxInLevels[0] = static_cast<std::uint8_t>(100 + variant);
        Tick();
        EXPECT_EQ(Sequences[0]->tempo, 10u) << variant;
    }
}

TEST_F(EngineInput, SwitchEdgesPostTheirToggles)
{
    DmxInMode = 4;
    SetFunction(0, 2, 0);
    SetFunction(1, 2, 1);
    SetFunction(2, 2, 2);
    SetFunction(3, 2, 7);
    DmxInLevels[0] = DmxInLevels[1] = DmxInLevels[2] = DmxInLevels[3] = 200;
    Tick();
    EXPECT_EQ(EngineCodes(), (std::vector<std::uintptr_t>{',', ';', 'G'}));
    messages.clear();
    // No edge: nothing, even when the value moves.
    DmxInLevels[0] = DmxInLevels[1] = DmxInLevels[2] = 130;
    Tick();
    EXPECT_TRUE(messages.empty());
    // Falling edges toggle only what is on.
    BlackOutOn = 1;
    PlayPaused = 1;   // the flag alone, no player running
    Playing = 1;
    DmxInLevels[0] = DmxInLevels[1] = DmxInLevels[2] = 10;
    Tick();
    EXPECT_EQ(EngineCodes(), (std::vector<std::uintptr_t>{',', 'H'}));
}

TEST_F(EngineInput, SlotSwitchesOnlyWhileTheMultiPlayerRuns)
{
    DmxInMode = 4;
    SetFunction(0, 5, 12);
    DmxInLevels[0] = 255;
    Tick();
    EXPECT_TRUE(messages.empty());
    MultiSeqRunning = 1;
    DmxInLevels[0] = 0;
    Tick();
    DmxInLevels[0] = 255;
    Tick();
    ASSERT_EQ(EngineCodes(), (std::vector<std::uintptr_t>{'d', 'D'}));
    EXPECT_EQ(messages[1].lParam, 12);
}

TEST_F(EngineInput, SelectSequenceOrCue)
{
    DmxInMode = 4;
    AddSequence(2, 0, 0);
    AddSequence(1, 0, 0);
    SetFunction(0, 4, 1);
    SetFunction(1, 4, 2);
    PlaySequence = 0;
    DmxInLevels[0] = DmxInLevels[1] = 255;
    Tick();
    EXPECT_EQ(PlaySequence, 1);
    EXPECT_EQ(CountCode(EngineCodeSelect), 1);   // sequence 2 does not exist

    MultiSeqRunning = 1;
    CueCount = 3;
    DmxInLevels[0] = DmxInLevels[1] = 0;
    Tick();
    DmxInLevels[0] = DmxInLevels[1] = 255;
    Tick();
    EXPECT_EQ(PlaySequence, 2);
    EXPECT_EQ(CountCode(EngineCodeSelect), 2);
}

TEST_F(EngineInput, FaultyFunctionTablesAreContained)
{
    DmxInMode = 4;
    InputFunctions[0] = InputFunctionEntry{40, 1};   // master 40 does not exist
    InputFunctions[511] = InputFunctionEntry{0, 2};
    InputFunctionCount = 1000;                      // clamped to the 512 input channels
    DmxInLevels[0] = 9;
    DmxInLevels[511] = 200;
    Tick();
    EXPECT_EQ(CountMessages(MasterInputMessage), 0);
    EXPECT_EQ(EngineCodes(), (std::vector<std::uintptr_t>{','}));
    EXPECT_EQ(DmxInPrev[511], 200);

    // Mode 4 without functions takes nothing over.
    InputFunctionCount = 0;
    DmxInLevels[5] = 1;
    Tick();
    EXPECT_EQ(DmxInPrev[5], 0);
}

} // namespace
