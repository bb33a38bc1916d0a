// The physical masters without windows: fader arithmetic, dimmer scaling, the grid's
// assignment rules, the rebuild from the patch, "Clear All", DMX input in modes 3 and 4
// and the control states the input mode imposes.
#include "MastersShow.h"

#include "app/PlayControl.h"
#include "app/PlayState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace masters_test;

namespace {

class PhysicalMastersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetMasters();
        patch = PatchMastersShow();
    }
    void TearDown() override { ResetMasters(); }

    // Master m takes channel c by a grid click; the master's kind is set first.
    void Assign(int m, int c, bool dimmer)
    {
        SetMasterKind(m, dimmer);
        ASSERT_TRUE(ToggleMasterChannel(m, c));
    }
    PhysicalMasterRecord &Master(int m) { return PhysicalMasters[static_cast<std::size_t>(m)]; }

    MastersPatch patch;
};

TEST_F(PhysicalMastersTest, FaderLevelsAreScaledByTheMainMasterWhenFollowing)
{
    Assign(0, 1, false);
    Master(0).flags |= MasterFollowsMain;
    MasterFaderChange(MainMaster, 128);
    MasterFaderChange(0, 255);
    EXPECT_EQ(Fixtures[0].values[1], 128);
    EXPECT_EQ(DmxOutLevels[1], 128);
    EXPECT_EQ(Fixtures[0].states[1], HeldByMaster);
    EXPECT_EQ(DmxScale[1], 255);

    // 200 following 128 truncates to 100; the main master recomputes its followers.
    MasterFaderChange(0, 200);
    EXPECT_EQ(DmxOutLevels[1], 100);
    MasterFaderChange(MainMaster, 255);
    EXPECT_EQ(DmxOutLevels[1], 200);
    EXPECT_EQ(EffectiveMasterLevel(0), 200);

    // A master that does not follow ignores the main master.
    Master(0).flags = 0;
    MasterFaderChange(MainMaster, 10);
    MasterFaderChange(0, 77);
    EXPECT_EQ(DmxOutLevels[1], 77);
}

TEST_F(PhysicalMastersTest, DimmerOnlyScalesAndPhysicalOnlyDrives)
{
    Assign(1, 2, true);
    Fixtures[0].values[2] = 40;
    DmxOutLevels[2] = 40;
    MasterFaderChange(1, 128);
    EXPECT_EQ(DmxScale[2], 128);
    EXPECT_EQ(DmxOutLevels[2], 40);
    EXPECT_EQ(Fixtures[0].values[2], 40);
    EXPECT_EQ(Fixtures[0].states[2], 0);

    Assign(2, 3, false);
    DmxScale[3] = 255;
    MasterFaderChange(2, 90);
    EXPECT_EQ(DmxOutLevels[3], 90);
    EXPECT_EQ(DmxScale[3], 255);
    EXPECT_EQ(Fixtures[0].states[3], HeldByMaster);
    EXPECT_EQ(Fixtures[0].states[4], 0);
}

TEST_F(PhysicalMastersTest, IgnoreWithoutADeviceLeavesTheLevelsAlone)
{
    Assign(0, 1, false);
    DmxOutLevels[1] = 33;
    DeviceState = -1;
    IgnoreBlackOut = 1;
    MasterFaderChange(0, 200);
    EXPECT_EQ(DmxOutLevels[1], 33);
    EXPECT_EQ(Fixtures[0].values[1], 200);

    // With a device open the level passes, even during black-out.
    DeviceState = 0;
    BlackOutOn.store(1);
    MasterFaderChange(0, 150);
    EXPECT_EQ(DmxOutLevels[1], 150);
    // Without "Ignore" black-out keeps a channel with an off value.
    IgnoreBlackOut = 0;
    ChannelOffValues[1] = 0;
    MasterFaderChange(0, 60);
    EXPECT_EQ(DmxOutLevels[1], 150);
}

TEST_F(PhysicalMastersTest, GridClicksAssignAndReleaseByKind)
{
    // Dimmer: the first click maps the channel with the master's level as scale, the
    // second releases it.
    SetMasterKind(3, true);
    MasterFaderChange(3, 128);
    ASSERT_TRUE(ToggleMasterChannel(3, 5));
    EXPECT_EQ(PhysMasterMap[5], 3);
    EXPECT_EQ(DmxScale[5], 128);
    ASSERT_EQ(MasterChannelLists[3].count, 1);
    EXPECT_EQ(MasterChannelLists[3].channels[0], 5);
    ASSERT_TRUE(ToggleMasterChannel(3, 5));
    EXPECT_EQ(PhysMasterMap[5], NoMaster);
    EXPECT_EQ(DmxScale[5], 255);
    EXPECT_EQ(MasterChannelLists[3].count, 0);

    // A dimmer's click on a held channel takes it over in state 0.
    Fixtures[0].states[6] = HeldByMaster;
    ASSERT_TRUE(ToggleMasterChannel(3, 6));
    EXPECT_EQ(Fixtures[0].states[6], 0);
    EXPECT_EQ(PhysMasterMap[6], 3);

    // Physical master: state 3, then back to 0; the scale is always lifted.
    DmxScale[7] = 9;
    ASSERT_TRUE(ToggleMasterChannel(4, 7));
    EXPECT_EQ(Fixtures[0].states[7], HeldByMaster);
    EXPECT_EQ(PhysMasterMap[7], 4);
    EXPECT_EQ(DmxScale[7], 255);
    ASSERT_TRUE(ToggleMasterChannel(4, 7));
    EXPECT_EQ(Fixtures[0].states[7], 0);
    EXPECT_EQ(PhysMasterMap[7], NoMaster);

    // Unpatched cells, the main master and masters out of range do nothing.
    EXPECT_FALSE(ToggleMasterChannel(4, 100));
    EXPECT_FALSE(ToggleMasterChannel(MainMaster, 1));
    EXPECT_FALSE(ToggleMasterChannel(-1, 1));
    EXPECT_FALSE(ToggleMasterChannel(0, MaxChannels));
}

TEST_F(PhysicalMastersTest, CellTextsAndLooks)
{
    const int cell = 5 + MasterGridSide * 20;
    EXPECT_EQ(cell, 645);
    EXPECT_EQ(MasterCellChannelText(cell), "133 OUT2");
    EXPECT_EQ(MasterCellChannelText(512), "0 OUT2");
    EXPECT_EQ(MasterCellChannelText(511), "511 OUT1");
    EXPECT_EQ(MasterCellChannelText(MaxChannels), "");
    EXPECT_EQ(MasterCellFixtureText(100), "Empty");
    EXPECT_EQ(MasterCellFixtureText(600), "Head - Ch1(Pan)");
    EXPECT_EQ(MasterCellFixtureText(603), "Head - Ch4(Dimmer)");
    EXPECT_EQ(MasterCellFixtureText(2), "Pack - Ch3(Dimmer)");

    Assign(0, 600, false);
    Assign(1, 601, true);
    Fixtures[1].states[2] = 1;
    Fixtures[1].states[3] = 2;
    const MasterCellLook held = MasterCellLookOf(600);
    EXPECT_TRUE(held.filled);
    EXPECT_EQ(held.colour, 0x00FFFFu);
    EXPECT_EQ(held.number, 1);
    EXPECT_TRUE(held.firstChannel);
    const MasterCellLook dimmed = MasterCellLookOf(601);
    EXPECT_EQ(dimmed.colour, 0xFF00FFu);
    EXPECT_EQ(dimmed.number, 2);
    EXPECT_FALSE(dimmed.firstChannel);
    EXPECT_EQ(MasterCellLookOf(602).colour, 0xFF0000u);
    EXPECT_EQ(MasterCellLookOf(603).colour, 0x000080u);
    EXPECT_EQ(MasterCellLookOf(3).colour, 0x008000u);
    EXPECT_EQ(MasterCellLookOf(3).number, 0);
    EXPECT_FALSE(MasterCellLookOf(604).filled);
}

TEST_F(PhysicalMastersTest, RebuildFollowsThePatchAndTheKinds)
{
    SetMasterKind(5, true);
    PhysMasterMap[0] = 2;   // physical master on a held channel: kept
    Fixtures[0].states[0] = HeldByMaster;
    PhysMasterMap[1] = 5;   // dimmer on state 0: kept
    PhysMasterMap[2] = 2;   // physical master on state 0: dropped
    PhysMasterMap[3] = 200; // no such master: none, even when held
    Fixtures[0].states[3] = HeldByMaster;
    PhysMasterMap[100] = 5; // no fixture uses the channel
    RebuildMasterChannelLists();
    EXPECT_EQ(PhysMasterMap[0], 2);
    EXPECT_EQ(PhysMasterMap[1], 5);
    EXPECT_EQ(PhysMasterMap[2], NoMaster);
    EXPECT_EQ(PhysMasterMap[3], NoMaster);
    EXPECT_EQ(PhysMasterMap[100], NoMaster);
    ASSERT_EQ(MasterChannelLists[2].count, 1);
    EXPECT_EQ(MasterChannelLists[2].channels[0], 0);
    ASSERT_EQ(MasterChannelLists[5].count, 1);
    EXPECT_EQ(MasterChannelLists[5].channels[0], 1);
    for (int m : {0, 1, 3, 4})
        EXPECT_EQ(MasterChannelLists[static_cast<std::size_t>(m)].count, 0) << m;
}

TEST_F(PhysicalMastersTest, ClearAllReleasesEverythingAndTakesTheSceneBack)
{
    SequenceRecord *seq = AddSequence("S", 1);
    CurSequence = 0;
    CurScene = 0;
    Assign(0, 4, false);
    Assign(1, 5, true);
    MasterFaderChange(1, 50);
    MasterFaderChange(0, 99);
    ClearAllMasters();
    EXPECT_EQ(Fixtures[0].states[4], 0);
    EXPECT_EQ(Fixtures[0].values[4], seq->scenes[0]->levels[4]);
    for (int c = 0; c < MaxChannels; ++c) {
        ASSERT_EQ(PhysMasterMap[c], NoMaster) << c;
        ASSERT_EQ(DmxScale[c], 255) << c;
    }
    EXPECT_EQ(MasterChannelLists[0].count + MasterChannelLists[1].count, 0);

    // While playing the released value stays as the master left it.
    Assign(0, 4, false);
    MasterFaderChange(0, 99);
    Playing.store(1);
    ClearAllMasters();
    EXPECT_EQ(Fixtures[0].values[4], 99);
    Playing.store(0);
}

TEST_F(PhysicalMastersTest, KindChangesAndTheDimmerSearch)
{
    Assign(0, 1, false);
    ASSERT_TRUE(ToggleMasterChannel(0, 2));
    SetMasterKind(0, true);
    EXPECT_TRUE(IsDimmerMaster(0));
    EXPECT_EQ(Fixtures[0].states[1], 0);
    EXPECT_EQ(MasterChannelLists[0].count, 2);   // a dimmer keeps state-0 channels
    DmxScale[1] = 20;
    SetMasterKind(0, false);
    EXPECT_EQ(Fixtures[0].states[1], HeldByMaster);
    EXPECT_EQ(DmxScale[1], 255);
    EXPECT_EQ(MasterChannelLists[0].count, 2);
    // Flag bits the masters do not use stay as a show file brought them.
    Master(0).flags = 0xF0 | MasterFollowsMain;
    SetMasterKind(0, true);
    DmxInMode = 3;
    ApplyMasterControlStates();
    DmxInMode = 0;
    EXPECT_EQ(Master(0).flags, 0xF0 | MasterIsDimmer);
    SetMasterKind(0, false);

    // The search takes every free dimmer channel that is not held: 6 of the pack's 8
    // (two belong to master 0) and the head's dimmer; pan is no dimmer.
    Fixtures[1].states[3] = 0;
    SetMasterKind(7, true);
    MasterFaderChange(7, 66);
    EXPECT_EQ(SearchFreeDimmerChannels(7), 7);
    EXPECT_EQ(PhysMasterMap[603], 7);
    EXPECT_EQ(DmxScale[603], 66);
    EXPECT_EQ(PhysMasterMap[600], NoMaster);
    EXPECT_EQ(PhysMasterMap[1], 0);
    EXPECT_EQ(Fixtures[0].states[0], 0);
    // A physical master's search holds what it takes.
    ClearAllMasters();
    EXPECT_EQ(SearchFreeDimmerChannels(8), 9);
    EXPECT_EQ(Fixtures[0].states[0], HeldByMaster);
    EXPECT_EQ(SearchFreeDimmerChannels(MainMaster), 0);
}

TEST_F(PhysicalMastersTest, BumpSavesAndRestoresTheLevel)
{
    Assign(0, 1, false);
    MasterFaderChange(0, 70);
    BumpMasterDown(0);
    EXPECT_EQ(Master(0).level, 255);
    EXPECT_EQ(DmxOutLevels[1], 255);
    BumpMasterUp(0);
    EXPECT_EQ(Master(0).level, 70);
    EXPECT_EQ(DmxOutLevels[1], 70);
}

TEST_F(PhysicalMastersTest, InputModeThreeDrivesEveryMaster)
{
    DmxInMode = 3;
    Assign(0, 1, true);
    Assign(1, 2, false);
    DmxInLevels[0] = 200;
    DmxInLevels[1] = 30;
    EXPECT_TRUE(HandleMasterInput(0, InputChangedParam));
    EXPECT_EQ(Master(0).level, 200);
    EXPECT_EQ(DmxScale[1], 200);
    EXPECT_EQ(Fixtures[0].values[2], 30);
    EXPECT_EQ(DmxOutLevels[2], 30);

    // The timer step moves the faders that differ and drives physical channels.
    DmxInLevels[1] = 45;
    EXPECT_TRUE(MasterInputStep());
    EXPECT_EQ(Master(1).level, 45);
    EXPECT_EQ(DmxOutLevels[2], 45);

    // Favourite released: held channels take their master's input level again.
    DmxInEnabled = 1;
    DmxOutLevels[2] = 0;
    Fixtures[0].values[2] = 0;
    DmxInLevels[1] = 61;
    ApplyInputToMasters();
    EXPECT_EQ(Fixtures[0].values[2], 61);
    EXPECT_EQ(DmxOutLevels[2], 61);
}

TEST_F(PhysicalMastersTest, InputModeFourDrivesOneMasterOrTheMain)
{
    DmxInMode = 4;
    Assign(0, 1, false);
    Assign(1, 2, true);
    Master(0).flags |= MasterFollowsMain;
    Master(1).flags |= MasterFollowsMain;
    Master(0).level = 255;
    Master(1).level = 128;
    DmxInLevels[9] = 100;
    EXPECT_TRUE(HandleMasterInput(MainMaster, 9));
    EXPECT_EQ(Master(MainMaster).level, 100);
    EXPECT_EQ(DmxOutLevels[1], 100);
    EXPECT_EQ(DmxScale[2], 50);

    // A single master: as in mode 3.
    DmxInLevels[4] = 77;
    EXPECT_TRUE(HandleMasterInput(1, 4));
    EXPECT_EQ(Master(1).level, 77);
    EXPECT_EQ(DmxScale[2], 77);

    // A driven fader follows its first kind-1 function in the timer step.
    InputFunctions[3] = InputFunctionEntry{0, 1};
    InputFunctions[4] = InputFunctionEntry{0, 1};
    InputFunctionCount = 5;
    DmxInLevels[3] = 12;
    EXPECT_EQ(MasterInputLevel(0), 12);
    EXPECT_TRUE(MasterInputStep());
    EXPECT_EQ(Master(0).level, 12);
    EXPECT_EQ(DmxOutLevels[1], 12);
}

TEST_F(PhysicalMastersTest, MessagesOutOfRangeOrInOtherModesAreIgnored)
{
    Assign(0, 1, true);
    DmxInLevels[0] = 90;
    DmxInMode = 4;
    EXPECT_FALSE(HandleMasterInput(17, 0));
    EXPECT_FALSE(HandleMasterInput(3, 600));
    EXPECT_FALSE(HandleMasterInput(3, -1));
    for (std::uint8_t mode : {0, 1, 2, 5}) {
        DmxInMode = mode;
        EXPECT_FALSE(HandleMasterInput(0, InputChangedParam)) << int(mode);
        EXPECT_FALSE(HandleMasterInput(0, 0)) << int(mode);
        EXPECT_FALSE(MasterInputStep()) << int(mode);
    }
    EXPECT_EQ(Master(0).level, 0);
    EXPECT_EQ(DmxScale[1], 0);   // the assignment's scale, untouched by the input

    // A function table longer than the input is clamped.
    DmxInMode = 4;
    InputFunctionCount = 30000;
    InputFunctions[MaxInputFunctions - 1] = InputFunctionEntry{MainMaster, 1};
    EXPECT_TRUE(MastersDrivenByInput()[MainMaster]);
    InputFunctionCount = -4;
    EXPECT_FALSE(MastersDrivenByInput()[MainMaster]);
    EXPECT_EQ(MasterInputLevel(MainMaster), -1);
}

TEST_F(PhysicalMastersTest, ControlStatesFollowTheInputMode)
{
    for (int m = 0; m < MasterCount; ++m)
        Master(m).flags = MasterFollowsMain;

    DmxInMode = 3;
    MasterControlStates s = ApplyMasterControlStates();
    EXPECT_TRUE(s.timerRuns);
    EXPECT_FALSE(s.mainLabelEnabled);
    for (int m = 0; m <= MainMaster; ++m) {
        EXPECT_FALSE(s.masters[static_cast<std::size_t>(m)].faderEnabled) << m;
        EXPECT_FALSE(s.masters[static_cast<std::size_t>(m)].followEnabled) << m;
    }
    EXPECT_FALSE(FollowsMainMaster(4));   // the box unchecked clears the bit

    for (int m = 0; m < MasterCount; ++m)
        Master(m).flags = MasterFollowsMain;
    DmxInMode = 4;
    InputFunctions[0] = InputFunctionEntry{2, 1};
    InputFunctions[1] = InputFunctionEntry{3, 2};   // a switch, not a master
    InputFunctionCount = 2;
    s = ApplyMasterControlStates();
    EXPECT_TRUE(s.timerRuns);
    EXPECT_TRUE(s.mainLabelEnabled);
    EXPECT_TRUE(s.masters[MainMaster].faderEnabled);
    EXPECT_FALSE(s.masters[2].faderEnabled);
    EXPECT_FALSE(s.masters[2].followEnabled);
    EXPECT_TRUE(s.masters[3].faderEnabled);
    EXPECT_FALSE(FollowsMainMaster(2));
    EXPECT_TRUE(FollowsMainMaster(3));

    DmxInMode = 0;
    s = ApplyMasterControlStates();
    EXPECT_FALSE(s.timerRuns);
    EXPECT_TRUE(s.masters[2].faderEnabled);
    EXPECT_TRUE(FollowsMainMaster(3));
}

TEST_F(PhysicalMastersTest, ApplyInputWithoutInputReappliesEveryFader)
{
    Assign(0, 1, false);
    Assign(1, 2, true);
    MasterFaderChange(0, 80);
    MasterFaderChange(1, 90);
    DmxOutLevels[1] = 0;
    DmxScale[2] = 255;
    DmxInMode = 3;   // input off: the mode does not count
    ApplyInputToMasters();
    EXPECT_EQ(DmxOutLevels[1], 80);
    EXPECT_EQ(DmxScale[2], 90);

    // The panel and the fixture area hear of the selected fixture's driven channels.
    std::vector<std::string> calls;
    WindowSeams().repaintFixtureChannel = [&](int f, int j) {
        calls.push_back("paint " + std::to_string(f) + " " + std::to_string(j));
    };
    FixtureAreaEvents().panelFollows = [&](int j, int v) {
        calls.push_back("panel " + std::to_string(j) + " " + std::to_string(v));
    };
    SelectedFixture = 0;
    MasterFaderChange(0, 81);
    EXPECT_EQ(calls, (std::vector<std::string>{"paint 0 1", "panel 1 81"}));
}

} // namespace
