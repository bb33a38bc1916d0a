// Play start fields, the tempo tap, the cross-fade starts and the clock text.
#include "TransportShow.h"

#include "app/PlayControl.h"
#include "app/SceneFixtures.h"

#include <gtest/gtest.h>

using namespace transport_test;

namespace {
class PlayControlTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPlayState(); }
    void TearDown() override { ResetPlayState(); }
};
} // namespace

TEST_F(PlayControlTest, SinglePlayStartsOneSceneEarlyAndTheFirstTickStepsOntoIt)
{
    AddSequence(4);
    AddFixtureWith(0, {0, 0});
    PlayerSlots[0].levels[0] = 99;
    BeatTrigger = 1;
    ManualTrigger = 1;
    FadeEnd = FadeTicks = NextStepTime = 777;
    StartSinglePlay(0, 1);
    EXPECT_EQ(PlaySequence, 0);
    EXPECT_EQ(PlayScene, 0);
    EXPECT_EQ(NextScene, 1);
    EXPECT_EQ(PlayClock, -50);
    EXPECT_EQ(LastTriggerTime, -50);
    EXPECT_EQ(NextStepTime, 0);
    EXPECT_EQ(FadeEnd, 0);
    EXPECT_EQ(FadeTicks, 0);
    EXPECT_EQ(BeatTrigger.load(), 0);
    EXPECT_EQ(ManualTrigger.load(), 0);
    EXPECT_EQ(Playing.load(), 1);

    OutputTick();
    EXPECT_EQ(PlayScene, 1);
    EXPECT_EQ(SceneChanged.load(), 1);
    EXPECT_EQ(DmxOutLevels[1], LevelOf(0, 1, 1));
}

TEST_F(PlayControlTest, BackgroundPlayClearsThePlayerLevelsAndStartsAfterTheScene)
{
    AddSequence(3);
    PlayerSlots[0].levels[5] = 200;
    StartBackgroundPlay(0, 1);
    EXPECT_EQ(PlayScene, 1);
    EXPECT_EQ(NextScene, 0);
    EXPECT_EQ(PlayClock, -50);
    EXPECT_EQ(PlayerSlots[0].levels[5], 0);
    EXPECT_EQ(PlayInBackground.load(), 1);
    EXPECT_EQ(Playing.load(), 0);
}

TEST_F(PlayControlTest, TapTempoAveragesCloseIntervalsAndRestartsAfterTwoSeconds)
{
    TapTempo tap;
    tap.TapTime = 5000;
    EXPECT_EQ(tap.Tap(5000), 0);        // zero interval: ignored
    EXPECT_EQ(tap.Tap(5600), 100);      // 600 ms
    EXPECT_EQ(tap.Tap(6250), 96);       // 650 ms within 20 %: (650 + 600) / 2 = 625
    EXPECT_EQ(tap.TapInterval, 625);
    EXPECT_EQ(tap.Tap(8250), 0);        // 2000 ms: only restarts
    EXPECT_EQ(tap.TapInterval, 625);
    EXPECT_EQ(tap.TapTime, 8250);
    EXPECT_EQ(tap.Tap(9250), 60);       // 1000 ms is 60 % off: taken as it is
    EXPECT_EQ(tap.TapInterval, 1000);
    EXPECT_EQ(tap.Tap(9251), 60000);    // 1 ms: the up-down clamps it later
}

TEST_F(PlayControlTest, TapTempoSurvivesTheClockWrapAndIgnoresBackwardIntervals)
{
    TapTempo tap;
    tap.TapTime = static_cast<std::int32_t>(0xFFFFFF00u);
    EXPECT_EQ(tap.Tap(0x000001F4u), 60000 / 756);   // 256 + 500 ms across the wrap
    TapTempo back;
    back.TapTime = 10000;
    EXPECT_EQ(back.Tap(9000), 0);
    EXPECT_EQ(back.TapInterval, 0);
    // A clock past 2^31 makes the difference to a zero TapTime negative.
    TapTempo first;
    EXPECT_EQ(first.Tap(0x90000000u), 0);
}

TEST_F(PlayControlTest, PlayClockText)
{
    EXPECT_EQ(FormatPlayClock(0), "00:00:00:0");
    EXPECT_EQ(FormatPlayClock(-50), "00:00:00:0");
    EXPECT_EQ(FormatPlayClock(3661500), "01:01:01:5");
    EXPECT_EQ(FormatPlayClock(25 * 3600000 + 59 * 60000 + 59999), "01:59:59:9");
}

TEST_F(PlayControlTest, StepAndFadeKindOrder)
{
    EXPECT_EQ(NextStepKind(0), 1);
    EXPECT_EQ(NextStepKind(1), 2);
    EXPECT_EQ(NextStepKind(2), 3);
    EXPECT_EQ(NextStepKind(3), 0);
    EXPECT_EQ(NextStepKind(7), 0);
    EXPECT_EQ(NextFadeKind(0, 0), 1);
    EXPECT_EQ(NextFadeKind(0, 1), 1);
    EXPECT_EQ(NextFadeKind(0, 2), 2);
    EXPECT_EQ(NextFadeKind(0, 3), 2);
    EXPECT_EQ(NextFadeKind(1, 0), 2);
    EXPECT_EQ(NextFadeKind(2, 0), 0);
    EXPECT_EQ(NextFadeKind(5, 0), 0);
    EXPECT_EQ(WithStepKind(0xFF, 2), 0xFA);
    EXPECT_EQ(WithFadeKind(0xFF, 1), 0xCF);
    EXPECT_EQ(UsableTempo(0), 120u);
}

TEST_F(PlayControlTest, SceneCrossFadeTakesItsClocksBeforeThePlayClockMovesAndHoldsTheEngine)
{
    AddSequence(2);
    DmxOutLevels[3] = 7;
    PlayClock = 1000;
    EngineBusy = 1;   // an outer bracket stays in force
    EXPECT_TRUE(StartSceneCrossFade(0, 1, 3000));
    EXPECT_EQ(EngineBusy.load(), 1);
    EXPECT_EQ(CrossFadeClock, 1000);
    EXPECT_EQ(CrossFadeEnd, 4000);
    EXPECT_EQ(CrossFadeLimit, 4000);
    EXPECT_EQ(CrossFadeTicks, 60);
    EXPECT_EQ(PlayClock, 4000);
    EXPECT_EQ(CrossFading.load(), 1);
    EXPECT_EQ(CrossFadeFrom[3], 7);
    EXPECT_EQ(CrossFadeTo[3], LevelOf(0, 1, 3));

    EngineBusy = 0;
    CrossFading = 0;
    EXPECT_FALSE(StartSceneCrossFade(0, 2, 1000));
    EXPECT_FALSE(StartSceneCrossFade(-1, -1, 1000));
    EXPECT_FALSE(StartSceneCrossFade(5, 0, 1000));
    EXPECT_EQ(CrossFading.load(), 0);
    EXPECT_EQ(PlayClock, 4000);
    EXPECT_EQ(EngineBusy.load(), 0);
}

TEST_F(PlayControlTest, FavouriteCrossFadeTargets)
{
    // Nothing to fade to: the last target stays.
    CrossFadeTo[0] = 33;
    StartFavouriteCrossFade(CrossFadeDuration(false, 3000));
    EXPECT_EQ(CrossFadeTo[0], 33);
    EXPECT_EQ(CrossFadeTicks, 60);
    EXPECT_EQ(FavouriteOn.load(), 1);

    AddSequence(2);
    StartFavouriteCrossFade(CrossFadeDuration(true, 3000));
    EXPECT_EQ(CrossFadeTo[0], LevelOf(0, 0, 0));
    EXPECT_EQ(CrossFadeTicks, 1);

    FavouriteAssigned = 1;
    FavouriteLevels[0] = 250;
    StartFavouriteCrossFade(CrossFadeDuration(false, 10));
    EXPECT_EQ(CrossFadeTo[0], 250);
    EXPECT_EQ(CrossFadeTicks, 1);   // at least one tick
}

TEST_F(PlayControlTest, EndCrossFadePutsAnEmptySceneChoiceOnTheFirstSceneOnlyWhenThereIsOne)
{
    AddSequence(0);
    CurSequence = 0;
    CurScene = -1;
    CrossFading = 1;
    EndCrossFade();
    EXPECT_EQ(CrossFading.load(), 0);
    EXPECT_EQ(CurScene, -1);
    AddSequence(2);
    CurSequence = 1;
    EndCrossFade();
    EXPECT_EQ(CurScene, 0);
}
