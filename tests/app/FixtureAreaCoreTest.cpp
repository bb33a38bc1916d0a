// The fixture area's rules without windows: what a channel change does in each play
// situation, linking with position offsets, solo, removal, the clipboards, the joystick
// mapping and position memory.
#include "FixtureAreaShow.h"

#include "app/SceneFixtures.h"
#include "app/ShowFile.h"
#include "fixtures/SetupFile.h"
#include "platform/MsgBox.h"

#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace fixturearea_test;
using namespace transport_test;

namespace {

class FixtureAreaCore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFixtureArea();
        root = testfiles::FreshFolder("brtv-fixturearea-core");
        log = (root / "box.log").string();
        setenv("BRTV_BOX_LOG", log.c_str(), 1);
        platform::ResetAnswers();
        platform::QueueAnswers({});
        spot = AddDeviceType("Spot", 16, {FunctionPan, FunctionTilt, FunctionColor, FunctionDimmer});
        par = AddDeviceType("Par", 8, {FunctionColor});
    }
    void TearDown() override
    {
        FixtureAreaEvents() = FixtureAreaHooks{};
        ShowFileEvents().rebuildMasterChannelLists = nullptr;
        ResetFixtureArea();
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        std::filesystem::remove_all(root);
    }
    std::string BoxLog() const { return testfiles::Read(log); }

    std::filesystem::path root;
    std::string log;
    int spot = -1, par = -1;
};

} // namespace

TEST_F(FixtureAreaCore, CtrlClickLinksAndUnlinksShiftClickMakesManual)
{
    const int a = PatchFixture(spot, 0, "");
    PatchFixture(spot, 16, "");
    ClickFixtureStates(a, 1);
    for (int j = 0; j < 16; ++j)
        EXPECT_EQ(Fixtures[0].states[j], 2) << j;
    EXPECT_EQ(MasterLinkActive, 1);
    ClickFixtureStates(a, 1);
    EXPECT_EQ(FirstState(Fixtures[0]), 0);
    EXPECT_EQ(MasterLinkActive, 0);

    ClickFixtureStates(a, 2);
    EXPECT_EQ(Fixtures[0].states[5], 1);
    EXPECT_TRUE(AnyChannelInState(1));
    ClickFixtureStates(a, 2);
    EXPECT_FALSE(AnyChannelInState(1));

    // The link modes pick their channels.
    LinkMode = LinkColorOnly;
    ClickFixtureStates(a, 1);
    EXPECT_EQ(Fixtures[0].states[2], 2);
    EXPECT_EQ(Fixtures[0].states[0], 0);
    AllStatesOff(2);
    LinkMode = LinkExPanTilt;
    ClickFixtureStates(a, 1);
    EXPECT_EQ(Fixtures[0].states[0], 0);
    EXPECT_EQ(Fixtures[0].states[1], 0);
    EXPECT_EQ(Fixtures[0].states[3], 2);
    MasterGroupOff(1);
    EXPECT_EQ(MasterLinkActive, 0);
}

TEST_F(FixtureAreaCore, PanTiltOnlyKeepsTheOffsetAndClamps)
{
    const int a = PatchFixture(spot, 0, "");
    const int b = PatchFixture(spot, 16, "");
    Fixtures[a].values[0] = 100;
    Fixtures[b].values[0] = 150;
    LinkMode = LinkPanTiltOnly;
    ClickFixtureStates(a, 1);
    ClickFixtureStates(b, 1);
    ASSERT_EQ(Fixtures[a].states[0], 2);
    EXPECT_EQ(Fixtures[a].states[2], 0);   // colour stays out of the link

    SelectedFixture = a;
    SetFixtureChannel(0, 200);
    EXPECT_EQ(Fixtures[b].values[0], 250);
    EXPECT_EQ(DmxOutLevels[16], 250);
    EXPECT_EQ(DmxOutLevels[0], 200);
    SetFixtureChannel(0, 240);
    EXPECT_EQ(Fixtures[b].values[0], 255);
    SetFixtureChannel(0, 10);
    EXPECT_EQ(Fixtures[b].values[0], 60);
    EXPECT_EQ(ShowModified, 1);

    // Roles swapped: the master at 150 moved to 20 takes the other to 0, not -30.
    SelectedFixture = b;
    SetFixtureChannel(0, 20);
    EXPECT_EQ(Fixtures[a].values[0], 0);

    // A channel of the other type never follows.
    const int p = PatchFixture(par, 40, "");
    Fixtures[p].states[0] = 2;
    SelectedFixture = a;
    SetFixtureChannel(0, 77);
    EXPECT_EQ(Fixtures[p].values[0], 0);
}

TEST_F(FixtureAreaCore, PlaySituationsDecideWhoOwnsAChannel)
{
    AddSequence(2);
    CurSequence = 0;
    CurScene = 1;
    const int a = PatchFixture(par, 0, "");
    Fixtures[a].states[1] = 1;
    SelectedFixture = a;

    Playing = 1;
    SetFixtureChannel(0, 99);
    EXPECT_EQ(Fixtures[a].values[0], 0);
    EXPECT_EQ(ShowModified, 0);
    SetFixtureChannel(1, 88);
    EXPECT_EQ(Fixtures[a].values[1], 88);
    EXPECT_EQ(DmxOutLevels[1], 88);
    Playing = 0;

    PlayInBackground = 1;
    SetFixtureChannel(0, 42);
    EXPECT_EQ(Fixtures[a].values[0], 42);
    EXPECT_EQ(Sequences[0]->scenes[1]->levels[0], 42);
    EXPECT_EQ(ShowModified, 1);
    PlayInBackground = 0;

    // Stopped: a normal channel goes to the output; out-of-range channels and a missing
    // selection do nothing.
    SetFixtureChannel(2, 300);
    EXPECT_EQ(Fixtures[a].values[2], 255);
    EXPECT_EQ(DmxOutLevels[2], 255);
    SetFixtureChannel(8, 5);
    SetFixtureChannel(-1, 5);
    SelectedFixture = 7;
    SetFixtureChannel(0, 1);
    EXPECT_EQ(Fixtures[a].values[0], 42);
}

TEST_F(FixtureAreaCore, SceneClipboardPastesTheSmallerCountAfterTheQuestion)
{
    AddSequence(1);
    CurSequence = 0;
    CurScene = 0;
    const int big = PatchFixture(spot, 0, "");
    const int small = PatchFixture(par, 32, "");
    for (int j = 0; j < 16; ++j)
        Fixtures[big].values[j] = static_cast<std::uint8_t>(100 + j);
    ASSERT_TRUE(CopyFixtureScene(big));
    EXPECT_EQ(FixtureSceneClipboard.count, 16);

    platform::QueueAnswers({"No"});
    EXPECT_FALSE(PasteFixtureScene(small));
    EXPECT_EQ(Fixtures[small].values[0], Sequences[0]->scenes[0]->levels[32]);

    platform::QueueAnswers({"Yes"});
    ASSERT_TRUE(PasteFixtureScene(small));
    for (int j = 0; j < 8; ++j)
        EXPECT_EQ(Fixtures[small].values[j], 100 + j);
    EXPECT_EQ(Fixtures[small].values[8], 0);
    EXPECT_NE(BoxLog().find("Inserting SCENE from another device,\r\nAre You sure ?|Yes"), std::string::npos);

    // Refused while channels are linked or playing.
    MasterLinkActive = 1;
    EXPECT_FALSE(CopyFixtureScene(big));
    MasterLinkActive = 0;
    Playing = 1;
    EXPECT_FALSE(PasteFixtureScene(small));
}

TEST_F(FixtureAreaCore, SequenceClipboardIsChannelMajorAndStopsPerChannel)
{
    AddSequence(6);
    CurSequence = 0;
    CurScene = 3;
    const int a = PatchFixture(par, 0, "");
    const int b = PatchFixture(par, 100, "");
    SceneToFixtures();
    ASSERT_TRUE(CopyFixtureSequence(a, SceneRange{2, 4}));
    ASSERT_EQ(DeviceSequenceSceneCount, 3);
    ASSERT_EQ(DeviceSequenceValues.size(), 24u);
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(DeviceSequenceValues[static_cast<std::size_t>(i * 3 + k)], LevelOf(0, 2 + k, i));

    ASSERT_TRUE(PasteFixtureSequence(b, SceneRange{2, 4}));
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(Sequences[0]->scenes[2 + k]->levels[100 + i], LevelOf(0, 2 + k, i));
    EXPECT_EQ(Fixtures[b].values[0], LevelOf(0, 3, 0));   // the current scene follows
    EXPECT_EQ(Sequences[0]->scenes[1]->levels[100], LevelOf(0, 1, 100));

    // A longer range runs out of stored values and past the sequence's end.
    ASSERT_TRUE(PasteFixtureSequence(b, SceneRange{4, 9}));
    EXPECT_EQ(Sequences[0]->scenes[4]->levels[101], LevelOf(0, 2, 1));
    EXPECT_EQ(Sequences[0]->scenes[5]->levels[101], LevelOf(0, 3, 1));
    EXPECT_EQ(Sequences[0]->sceneCount, 6);
}

TEST_F(FixtureAreaCore, SoloDuringPlayAndASaveWritesTheRealCounts)
{
    const int a = PatchFixture(spot, 0, "");
    PatchFixture(par, 16, "");
    PatchFixture(spot, 32, "");
    ChannelOffValues[20] = 7;
    Playing = 1;
    EngineBusy = 0;
    SoloSwitchOn(a);
    EXPECT_EQ(SoloOn, 1);
    EXPECT_EQ(Fixtures[1].channelCount, 0);
    EXPECT_EQ(Fixtures[2].channelCount, 0);
    EXPECT_EQ(Fixtures[0].channelCount, 16);
    EXPECT_EQ(EngineBusy.load(), 0);

    int ended = 0;
    FixtureAreaEvents().soloEnded = [&] { ++ended; };
    MemoryStream s;
    SaveSetup(s, SetupShowHeader);
    EXPECT_EQ(SoloOn, 0);
    EXPECT_EQ(ended, 1);
    // Header (12), "DATA" and its word (8), count (2); each fixture: start (2), count (1).
    const auto &d = s.Data();
    std::size_t pos = 22;
    for (int expected : {16, 8, 16}) {
        EXPECT_EQ(d[pos + 2], expected);
        pos += 2 + 1 + 4 + 4 + 1 + 2 + 2 + 32;
        pos += 1 + d[pos];
        pos += 1 + d[pos];
    }
    EXPECT_EQ(Fixtures[1].channelCount, 8);
}

TEST_F(FixtureAreaCore, RemovalClosesUpTheTableAndItsMaps)
{
    PatchFixture(par, 0, "A");
    PatchFixture(spot, 8, "B");
    PatchFixture(par, 24, "C");
    BuildChannelMaps();
    for (int c = 0; c < 32; ++c)
        ChannelOffValues[c] = 3;
    PhysMasterMap[10] = 2;
    std::vector<std::pair<QWidget *, int>> tags;
    // Stand-ins: the core only passes the widgets on.
    static char widgets[6];
    QWidget *icons[3], *labels[3];
    for (int i = 0; i < 3; ++i) {
        icons[i] = reinterpret_cast<QWidget *>(&widgets[i]);
        labels[i] = reinterpret_cast<QWidget *>(&widgets[3 + i]);
        Fixtures[static_cast<std::size_t>(i)].planIcon = icons[i];
        Fixtures[static_cast<std::size_t>(i)].planLabel = labels[i];
    }
    FixtureAreaEvents().setPlanTag = [&](QWidget *w, int tag) { tags.emplace_back(w, tag); };
    int masters = 0;
    ShowFileEvents().rebuildMasterChannelLists = [&] { ++masters; };
    SelectedFixture = 2;

    platform::QueueAnswers({"No"});
    EXPECT_FALSE(RemoveFixture(1));
    EXPECT_EQ(FixtureCount, 3);
    platform::QueueAnswers({"Yes"});
    ASSERT_TRUE(RemoveFixture(1));
    EXPECT_NE(BoxLog().find("Remove this fixture,\r\nAre you sure?|Yes"), std::string::npos);
    ASSERT_EQ(FixtureCount, 2);
    EXPECT_EQ(Fixtures[1].userHeader, "C");
    EXPECT_EQ(ChannelUsed[10], 0);
    EXPECT_EQ(ChannelOwner[10].fixture, -1);
    EXPECT_EQ(ChannelOwner[24].fixture, 1);
    EXPECT_EQ(ChannelOffValues[10], -1);
    EXPECT_EQ(ChannelOffValues[24], 3);
    EXPECT_EQ(DmxOutLevels[10], 3);
    EXPECT_EQ(PhysMasterMap[10], 255);
    EXPECT_EQ(masters, 1);
    EXPECT_EQ(tags, (std::vector<std::pair<QWidget *, int>>{{icons[2], 1}, {labels[2], 1}}));
    EXPECT_EQ(SelectedFixture, 0);
    EXPECT_EQ(ShowModified, 1);
}

TEST_F(FixtureAreaCore, JoystickAxisMapsToBytesAndGuardsASmallRange)
{
    int v = -1;
    EXPECT_TRUE(JoystickAxisValue(32767, -32767, 32767, v));
    EXPECT_EQ(v, 255);
    EXPECT_TRUE(JoystickAxisValue(-32767, -32767, 32767, v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(JoystickAxisValue(0, -32767, 32767, v));
    EXPECT_EQ(v, 128);
    v = 9;
    EXPECT_FALSE(JoystickAxisValue(100, 0, 255, v));
    EXPECT_FALSE(JoystickAxisValue(0, 10, 10, v));
    EXPECT_EQ(v, 9);
}

TEST_F(FixtureAreaCore, PositionMemoryNeedsAPanTiltFixtureAndRemovalAsks)
{
    PositionMemoryPresent = 0;
    PatchFixture(par, 0, "");
    EXPECT_FALSE(CreatePositionMemory());
    EXPECT_NE(BoxLog().find("You have no one Device with Pan/Tilt control"), std::string::npos);
    EXPECT_EQ(PositionMemoryPresent, 0);

    PatchFixture(spot, 8, "");
    ASSERT_TRUE(CreatePositionMemory());
    EXPECT_EQ(PositionSceneCount, 1);
    EXPECT_FALSE(CreatePositionMemory());

    AddSequence(2);
    CurSequence = 0;
    CurScene = 1;
    ASSERT_TRUE(SetPositionReference(1));
    platform::QueueAnswers({"No"});
    EXPECT_FALSE(RemovePositionMemory());
    EXPECT_EQ(Sequences[0]->scenes[1]->positionRef, 1);
    platform::QueueAnswers({"Yes"});
    ASSERT_TRUE(RemovePositionMemory());
    EXPECT_NE(BoxLog().find("Clear all Position Memory Assignment\r\nAre you sure ?|Yes"), std::string::npos);
    EXPECT_EQ(Sequences[0]->scenes[1]->positionRef, 0);
    EXPECT_EQ(PositionMemoryPresent, 0);
    EXPECT_EQ(PositionSceneCount, 0);
}
