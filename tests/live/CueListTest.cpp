// The cue list without windows: adding, deleting and moving cues with the play list's cue
// lines, applying a cue to the slots with its cross-fade, the fade's target, the sequence
// renumbering and the debug listing.
#include "transport/TransportShow.h"

#include "app/LevelPipeline.h"
#include "app/OutputEngine.h"
#include "app/PlayState.h"
#include "live/CueList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class CueListTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset()
    {
        transport_test::ResetPlayState();
        for (PlayerSlot &s : PlayerSlots)
            s = PlayerSlot{};
        PlayListEntries.clear();
        PlayListCount = 0;
        std::fill(std::begin(ChannelOffValues), std::end(ChannelOffValues), std::int16_t{-1});
        ShowModified = 0;
    }
    static void Line(std::int16_t index, bool cue)
    {
        PlayListEntry e;
        e.index = index;
        e.cueFlag = cue ? 1 : 0;
        PlayListEntries.push_back(e);
        PlayListCount = static_cast<std::int32_t>(PlayListEntries.size());
    }
    static std::vector<int> Lines()
    {
        std::vector<int> v;
        for (const PlayListEntry &e : PlayListEntries)
            v.push_back(e.index);
        return v;
    }
    static CueRecord &Cue(int i) { return Cues[static_cast<std::size_t>(i)]; }
    static std::vector<std::string> Names()
    {
        std::vector<std::string> v;
        for (int i = 0; i < CueCount; ++i)
            v.push_back(Cue(i).name);
        return v;
    }
};

TEST_F(CueListTest, AddAndDeleteNameByPositionAndRenumberThePlayListsCueLines)
{
    PlayerSlots[3].sequence = 2;
    PlayerSlots[3].active = 1;
    EXPECT_EQ(AddCue(5), 0) << "the first cue goes to index 0";
    EXPECT_EQ(Names(), (std::vector<std::string>{"Cue 1"}));
    EXPECT_EQ(Cue(0).sequence[3], 2);
    EXPECT_EQ(Cue(0).on[3], 1);
    EXPECT_EQ(ShowModified, 1);
    AddCue(1);
    AddCue(2);
    Cue(0).name = "intro";
    Cue(1).name = "verse";
    Cue(2).name = "chorus";

    // Cue lines at 3 and above move, lower ones, -1 and sequence lines stay.
    Line(3, true);
    Line(1, true);
    Line(-1, true);
    Line(3, false);
    EXPECT_EQ(AddCue(3), 3);
    EXPECT_EQ(Names(), (std::vector<std::string>{"intro", "verse", "chorus", "Cue 4"}));
    EXPECT_EQ(Lines(), (std::vector<int>{4, 1, -1, 3}));
    // An insert in the middle shifts the lines at and above it.
    EXPECT_EQ(AddCue(1), 1);
    EXPECT_EQ(Cue(1).name, "Cue 2");
    EXPECT_EQ(Lines(), (std::vector<int>{5, 2, -1, 3}));

    // Deleting cue 2 (index 2, "verse"): lines on it get -1, those above move down.
    EXPECT_EQ(DeleteCue(2), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"intro", "Cue 2", "chorus", "Cue 4"}));
    EXPECT_EQ(Lines(), (std::vector<int>{4, -1, -1, 3}));
    EXPECT_EQ(DeleteCue(0), 0) << "deleting the first selects the new first";
    EXPECT_EQ(DeleteCue(7), -1);
    EXPECT_EQ(DeleteCue(-1), -1);
    EXPECT_EQ(CueCount, 3);
    while (CueCount > 0)
        DeleteCue(0);
    EXPECT_TRUE(Cues.empty());

    // Nothing happens to cues that do not exist.
    EXPECT_FALSE(UpdateCue(0));
    EXPECT_FALSE(RenameCue(0, "x"));
    EXPECT_EQ(MoveCue(0, 1), -1);
    EXPECT_FALSE(ApplyCue(0, false, 0));
    EXPECT_FALSE(SelectableCue(0));

    // A name is cut to 254 bytes.
    AddCue(0);
    EXPECT_TRUE(RenameCue(0, std::string(300, 'n')));
    EXPECT_EQ(Cue(0).name.size(), 254u);
}

TEST_F(CueListTest, ApplyMendsNegativeSlotsSetsTheSlotsAndFadesOnlyWhilePlaying)
{
    transport_test::AddSequence(1);
    transport_test::AddSequence(1);
    transport_test::AddSequence(1);
    transport_test::AddSequence(2);
    AddCue(0);
    CueRecord &c = Cue(0);
    c.sequence[1] = 1;
    c.on[1] = 1;
    c.sequence[2] = 3;
    c.on[2] = 1;
    c.sequence[5] = -1;
    c.on[5] = 1;
    c.sequence[6] = -7;
    c.on[6] = 1;
    PlayerSlots[5].active = 1;
    PlayerSlots[5].sequence = 2;
    PlayerSlots[9].active = 1;

    PlayClock = 1000;
    ShowModified = 0;
    ASSERT_TRUE(ApplyCue(0, false, 20));
    for (int i : {5, 6}) {
        EXPECT_EQ(c.sequence[i], 0) << i;
        EXPECT_EQ(c.on[i], 0) << i;
        EXPECT_EQ(PlayerSlots[static_cast<std::size_t>(i)].active, 0) << i;
        EXPECT_EQ(PlayerSlots[static_cast<std::size_t>(i)].sequence, 0) << i;
    }
    EXPECT_EQ(ShowModified, 1) << "the mended record is part of the show";
    EXPECT_EQ(PlayerSlots[1].active, 1);
    EXPECT_EQ(PlayerSlots[1].sequence, 1);
    EXPECT_EQ(PlayerSlots[2].sequence, 3);
    EXPECT_EQ(PlayerSlots[9].active, 0);
    EXPECT_EQ(CrossFading.load(), 0) << "stopped: no cross-fade";
    EXPECT_EQ(PlayClock, 1000);
    EXPECT_EQ(CueStatusText(0), "NN=2-4");
    c.on[1] = c.on[2] = 0;
    EXPECT_EQ(CueStatusText(0), "NN");

    // Playing: a fade of at least one tick first, the play clock moved past it.
    c.on[1] = 1;
    Playing.store(1);
    EngineBusy.store(0);
    ASSERT_TRUE(ApplyCue(0, false, 20));
    EXPECT_EQ(CrossFading.load(), 1);
    EXPECT_EQ(CrossFadeTicks, 1);
    EXPECT_EQ(CrossFadeClock, 1000);
    EXPECT_EQ(CrossFadeEnd, 1050);
    EXPECT_EQ(PlayClock, 1050);
    EXPECT_EQ(EngineBusy.load(), 0);
    EXPECT_EQ(CrossFadeTo[0], transport_test::LevelOf(1, 0, 0));

    // Called directly, the fade runs whatever Playing says; disabled it lasts one tick.
    Playing.store(0);
    CrossFading.store(0);
    EXPECT_EQ(MakeCrossFadeMSSequence(0, false, 400), 1450);
    EXPECT_EQ(CrossFadeEnd, 1450);
    EXPECT_EQ(CrossFadeTicks, 8);
    EXPECT_EQ(MakeCrossFadeMSSequence(0, true, 400), 1500);
    EXPECT_EQ(MakeCrossFadeMSSequence(3, false, 400), 1500) << "no such cue: nothing";
}

TEST_F(CueListTest, FadeTargetIsTheHighestFirstSceneOrTheOffValuesWithNoSlotOn)
{
    transport_test::AddSequence(2);
    transport_test::AddSequence(1);
    const int empty = transport_test::AddSequence(0);
    Sequences[0]->scenes[0]->levels[10] = 200;
    Sequences[1]->scenes[0]->levels[10] = 50;
    Sequences[0]->scenes[0]->levels[11] = 5;
    Sequences[1]->scenes[0]->levels[11] = 90;
    Sequences[0]->scenes[1]->levels[12] = 255;   // not the first scene

    CueRecord cue;
    cue.on[0] = cue.on[1] = cue.on[2] = cue.on[3] = 1;
    cue.sequence[0] = 0;
    cue.sequence[1] = 1;
    cue.sequence[2] = -5;                          // from a damaged file
    cue.sequence[3] = static_cast<std::int16_t>(empty);
    cue.sequence[4] = 1;                           // off: adds nothing
    std::uint8_t target[MaxChannels];
    CueTargetLevels(cue, target);
    EXPECT_EQ(target[10], 200);
    EXPECT_EQ(target[11], 90);
    EXPECT_EQ(target[12], std::max(transport_test::LevelOf(0, 0, 12), transport_test::LevelOf(1, 0, 12)));

    // No slot on: the off values of channels in state 0, 0 elsewhere.
    transport_test::AddFixtureWith(20, {0, 1, 0});
    ChannelOffValues[20] = 30;
    ChannelOffValues[21] = 40;   // manual channel: not taken
    ChannelOffValues[22] = -1;   // no off value
    ChannelOffValues[40] = 70;   // no fixture there
    CueTargetLevels(CueRecord{}, target);
    EXPECT_EQ(target[20], 30);
    EXPECT_EQ(target[21], 0);
    EXPECT_EQ(target[22], 0);
    EXPECT_EQ(target[40], 0);
    EXPECT_EQ(target[10], 0);
}

TEST_F(CueListTest, SequenceMovesInsertsAndDeletesRenumberCuesAndPlayListSequenceLines)
{
    // The play-list part runs with no cues as well.
    Line(2, false);
    Line(2, true);
    CueListSequenceMoved(2, 5);
    EXPECT_EQ(Lines(), (std::vector<int>{5, 2}));
    PlayListEntries.clear();

    AddCue(0);
    const std::int16_t refs[] = {0, 1, 2, 3, 4, 5, 6, -1};
    for (int i = 0; i < 8; ++i)
        Cue(0).sequence[i] = refs[i];
    for (int v : {0, 1, 2, 3, 4, 5, 6, -1})
        Line(static_cast<std::int16_t>(v), false);
    Line(3, true);

    CueListSequenceMoved(2, 5);
    const std::vector<int> moved = {0, 1, 5, 2, 3, 4, 6, -1};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Cue(0).sequence[i], moved[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(Lines(), (std::vector<int>{0, 1, 5, 2, 3, 4, 6, -1, 3})) << "cue line untouched";
    CueListSequenceMoved(5, 2);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Cue(0).sequence[i], refs[i]) << "moving back restores " << i;

    CueListSequenceInserted(1);
    const std::vector<int> inserted = {0, 2, 3, 4, 5, 6, 7, -1};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Cue(0).sequence[i], inserted[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(Lines(), (std::vector<int>{0, 2, 3, 4, 5, 6, 7, -1, 3}));

    for (int i = 0; i < 8; ++i)
        Cue(0).on[i] = 1;
    CueListSequenceDeleted(3);
    const std::vector<int> deleted = {0, 2, 3, 3, 4, 5, 6, 0};
    const std::vector<int> on = {1, 1, 0, 1, 1, 1, 1, 0};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Cue(0).sequence[i], deleted[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(Cue(0).on[i], on[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(Lines(), (std::vector<int>{0, 2, -1, 3, 4, 5, 6, -1, 3}));
}

TEST_F(CueListTest, DraggedCueTakesItsNewPlaceWithThePlayListAndTheDebugListingShowsTheSlots)
{
    for (int i = 0; i < 4; ++i)
        AddCue(i);
    for (int v : {0, 1, 2, 3, -1})
        Line(static_cast<std::int16_t>(v), true);
    Line(0, false);
    EXPECT_EQ(MoveCue(0, 2), 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Cue 2", "Cue 3", "Cue 1", "Cue 4"}));
    EXPECT_EQ(Lines(), (std::vector<int>{2, 0, 1, 3, -1, 0}));
    EXPECT_EQ(MoveCue(1, 99), 3) << "past the last cue: the last place";
    EXPECT_EQ(Names(), (std::vector<std::string>{"Cue 2", "Cue 1", "Cue 4", "Cue 3"}));
    EXPECT_EQ(MoveCue(3, 3), -1);

    while (CueCount > 1)
        DeleteCue(1);
    Cue(0).name = "Only";
    for (int i = 0; i < PlayerSlotCount; ++i) {
        Cue(0).sequence[i] = static_cast<std::int16_t>(i == 1 ? -1 : 2);
        Cue(0).on[i] = i == 0 ? 1 : 0;
    }
    const std::string listing = CueDebugListing();
    std::string items = "2 O ,-1 _ ,";
    for (int i = 2; i < PlayerSlotCount; ++i)
        items += "2 _ ,";
    EXPECT_EQ(listing, "Only\n" + items + "\n");
}

} // namespace
