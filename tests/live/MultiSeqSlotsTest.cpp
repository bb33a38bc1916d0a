// The multi-sequence player's slots without windows: switching, sequences, invalid slots,
// the start, the slot look and the fixture values that follow the output.
#include "MastersShow.h"

#include "app/PlayState.h"
#include "live/MultiSeqSlots.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace masters_test;

namespace {

class MultiSeqSlotsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetMasters();
        for (PlayerSlot &s : PlayerSlots) {
            s.sequence = 0;
            s.scene = 0;
            s.nextStepTime = 0;
            s.active = 0;
            s.restart = 0;
        }
        AddSequence("A", 2);
        AddSequence("B", 1);
    }
    void TearDown() override
    {
        for (PlayerSlot &s : PlayerSlots)
            s.active = 0;
        ResetMasters();
    }
    static PlayerSlot &Slot(int i) { return PlayerSlots[static_cast<std::size_t>(i)]; }
};

TEST_F(MultiSeqSlotsTest, SwitchingToTheStateItHasChangesNothing)
{
    Playing.store(1);
    EngineBusy.store(0);
    Slot(3).scene = 7;
    EXPECT_FALSE(SetMultiSeqSlotOn(3, 0));
    Slot(3).active = 1;
    EXPECT_FALSE(SetMultiSeqSlotOn(3, 1));
    EXPECT_EQ(Slot(3).scene, 7);
    EXPECT_EQ(Slot(3).restart, 0);
    // Any value but 1 means off.
    EXPECT_TRUE(SetMultiSeqSlotOn(3, 2));
    EXPECT_EQ(Slot(3).active, 0);
    Playing.store(0);
}

TEST_F(MultiSeqSlotsTest, OnWhilePlayingRestartsUnderTheHeldEngine)
{
    for (std::uint8_t busy : {0, 1}) {
        Slot(4).active = 0;
        Playing.store(1);
        PlayClock = 1000;
        EngineBusy.store(busy);
        EXPECT_TRUE(SetMultiSeqSlotOn(4, 1));
        EXPECT_EQ(Slot(4).active, 1);
        EXPECT_EQ(Slot(4).scene, -1);
        EXPECT_EQ(Slot(4).nextStepTime, 1050);
        EXPECT_EQ(Slot(4).restart, 1);
        EXPECT_EQ(EngineBusy.load(), busy);
    }
    Playing.store(0);
}

TEST_F(MultiSeqSlotsTest, WhileStoppedOnlyTheFlagChanges)
{
    Slot(2).scene = 5;
    Slot(2).nextStepTime = 300;
    PlayClock = 1000;
    EXPECT_TRUE(SetMultiSeqSlotOn(2, 1));
    EXPECT_EQ(Slot(2).active, 1);
    EXPECT_EQ(Slot(2).scene, 5);
    EXPECT_EQ(Slot(2).nextStepTime, 300);
    EXPECT_EQ(Slot(2).restart, 0);
    SwitchMultiSeqSlot(2, false);
    EXPECT_EQ(Slot(2).active, 0);
    EXPECT_EQ(EngineBusy.load(), 0);
}

TEST_F(MultiSeqSlotsTest, NoSuchSequenceLeavesTheSlotOffOnSequenceZero)
{
    for (int bad : {SequenceCount, -1}) {
        for (std::uint8_t wasOn : {1, 0}) {
            Playing.store(1);
            EngineBusy.store(0);
            Slot(1).active = wasOn;
            Slot(1).sequence = 1;
            EXPECT_FALSE(SetMultiSeqSlotSequence(1, bad));
            EXPECT_EQ(Slot(1).active, 0);
            EXPECT_EQ(Slot(1).sequence, 0);
            EXPECT_EQ(EngineBusy.load(), 0) << bad << " " << int(wasOn);
        }
    }
    Playing.store(0);

    // A valid sequence restarts the slot while playing, and only sets it while stopped.
    Slot(1).scene = 3;
    EXPECT_TRUE(SetMultiSeqSlotSequence(1, 1));
    EXPECT_EQ(Slot(1).sequence, 1);
    EXPECT_EQ(Slot(1).scene, -1);
    EXPECT_EQ(Slot(1).restart, 0);
    Playing.store(1);
    PlayClock = 200;
    EXPECT_TRUE(SetMultiSeqSlotSequence(1, 0));
    EXPECT_EQ(Slot(1).nextStepTime, 250);
    EXPECT_EQ(Slot(1).restart, 1);
    Playing.store(0);
}

TEST_F(MultiSeqSlotsTest, SlotsBeyondThePanelChangeFieldsAndOutOfRangeNothing)
{
    EXPECT_TRUE(SetMultiSeqSlotOn(20, 1));
    EXPECT_TRUE(SetMultiSeqSlotSequence(20, 1));
    EXPECT_EQ(Slot(20).active, 1);
    EXPECT_EQ(Slot(20).sequence, 1);
    const auto before = PlayerSlots;
    EXPECT_FALSE(SetMultiSeqSlotOn(32, 1));
    EXPECT_FALSE(SetMultiSeqSlotOn(-1, 1));
    EXPECT_FALSE(SetMultiSeqSlotSequence(32, 1));
    EXPECT_FALSE(SetMultiSeqSlotSequence(-1, 1));
    SwitchMultiSeqSlot(99, true);
    for (int i = 0; i < PlayerSlotCount; ++i) {
        EXPECT_EQ(PlayerSlots[static_cast<std::size_t>(i)].active, before[static_cast<std::size_t>(i)].active);
        EXPECT_EQ(PlayerSlots[static_cast<std::size_t>(i)].sequence, before[static_cast<std::size_t>(i)].sequence);
    }
}

TEST_F(MultiSeqSlotsTest, StartDropsSlotsBeyondTheLastSequenceAndPreparesEverySlot)
{
    Slot(0).active = 1;
    Slot(0).sequence = 1;
    Slot(5).active = 1;
    Slot(5).sequence = 9;   // deleted meanwhile
    Slot(6).sequence = -3;
    EXPECT_TRUE(ResetInvalidSlots());
    EXPECT_EQ(Slot(5).active, 0);
    EXPECT_EQ(Slot(5).sequence, 0);
    EXPECT_EQ(Slot(6).sequence, 0);
    EXPECT_EQ(Slot(0).active, 1);
    EXPECT_EQ(Slot(0).sequence, 1);
    EXPECT_FALSE(ResetInvalidSlots());

    BeatTrigger.store(1);
    ManualTrigger.store(1);
    PrepareSlotsAndPlay();
    EXPECT_EQ(PlayClock, -50);
    for (const PlayerSlot &s : PlayerSlots) {
        EXPECT_EQ(s.scene, -1);
        EXPECT_EQ(s.nextStepTime, 0);
        EXPECT_EQ(s.restart, 1);
    }
    EXPECT_EQ(Slot(0).active, 1);
    EXPECT_EQ(BeatTrigger.load(), 0);
    EXPECT_EQ(ManualTrigger.load(), 0);
    EXPECT_EQ(Playing.load(), 1);
    Playing.store(0);
}

TEST_F(MultiSeqSlotsTest, SlotLookFollowsTheSequence)
{
    EXPECT_EQ(SlotLookOf(0).numberColour, 0xC0C0C0u);
    EXPECT_FALSE(SlotLookOf(0).imagesShown);
    Slot(0).active = 1;
    Slot(0).sequence = 1;
    SequenceRecord *b = Sequences[1];
    const std::uint32_t colours[] = {0x00FF00, 0xFFFF00, 0x00FFFF, 0xFF00FF};
    for (int step = 0; step < 4; ++step) {
        b->modes = static_cast<std::uint8_t>(step);
        EXPECT_EQ(SlotLookOf(0).numberColour, colours[step]) << step;
    }
    b->flags = 0;
    EXPECT_EQ(SlotLookOf(0).fadeImage, 0);
    EXPECT_FALSE(SlotLookOf(0).cycles);
    b->flags = SeqFlagFade | SeqFlagCycle;
    const int images[] = {1, 2, 3, 3};
    for (int fade = 0; fade < 4; ++fade) {
        b->modes = static_cast<std::uint8_t>(fade << 3);
        EXPECT_EQ(SlotLookOf(0).fadeImage, images[fade]) << fade;
    }
    EXPECT_TRUE(SlotLookOf(0).cycles);
    EXPECT_TRUE(SlotLookOf(0).imagesShown);
    EXPECT_EQ(SlotLookOf(-1).numberColour, 0xC0C0C0u);
}

TEST_F(MultiSeqSlotsTest, FixtureValuesFollowTheOutputInStateZero)
{
    PatchMastersShow();
    SelectedFixture = 1;
    std::vector<std::string> calls;
    WindowSeams().repaintFixtureChannel = [&](int f, int j) {
        calls.push_back("paint " + std::to_string(f) + " " + std::to_string(j));
    };
    FixtureAreaEvents().panelFollows = [&](int j, int v) {
        calls.push_back("panel " + std::to_string(j) + " " + std::to_string(v));
    };
    DmxOutLevels[0] = 10;
    DmxOutLevels[1] = 11;
    Fixtures[0].states[1] = 1;
    DmxOutLevels[601] = 21;
    CopyOutputLevelsToFixtures();
    EXPECT_EQ(Fixtures[0].values[0], 10);
    EXPECT_EQ(Fixtures[0].values[1], 0);   // held by hand
    EXPECT_EQ(Fixtures[1].values[1], 21);
    EXPECT_EQ(calls, (std::vector<std::string>{"paint 1 1", "panel 1 21"}));
}

} // namespace
