// Fixture groups without windows: made from the links with the fixtures' references,
// numbered, recalled onto the channel states, taken apart, renamed, kept inside the
// channel range, and forgotten for a fixture switched off.
#include "fixtures/ShowFileTestSupport.h"
#include "tests/app/FixtureAreaShow.h"

#include "app/FixtureArea.h"
#include "app/OutputEngine.h"
#include "live/FixtureGroups.h"
#include "platform/MsgBox.h"

using fixturearea_test::AddDeviceType;

namespace {

class FixtureGroupsTest : public ShowFileTest {
protected:
    void SetUp() override
    {
        ShowFileTest::SetUp();
        fixturearea_test::ResetFixtureArea();
        head = AddDeviceType("head", 5, {FunctionPan, FunctionTilt, FunctionPanFine, FunctionTiltFine, FunctionDimmer});
        dim = AddDeviceType("dim", 2, {FunctionDimmer, FunctionDimmer});
    }
    void TearDown() override
    {
        fixturearea_test::ResetFixtureArea();
        ShowFileTest::TearDown();
    }
    static void Link(int f)
    {
        for (int j = 0; j < Fixtures[static_cast<std::size_t>(f)].channelCount; ++j)
            Fixtures[static_cast<std::size_t>(f)].states[j] = 2;
    }
    static void References(int f, std::uint8_t pan, std::uint8_t tilt, std::uint8_t panFine, std::uint8_t tiltFine)
    {
        FixtureRecord &x = Fixtures[static_cast<std::size_t>(f)];
        x.groupPan = pan, x.groupTilt = tilt, x.groupPanFine = panFine, x.groupTiltFine = tiltFine;
    }
    static std::vector<int> Layer(int g, int layer)
    {
        std::vector<int> set;
        for (int c = 0; c < MaxChannels; ++c)
            if (Groups[static_cast<std::size_t>(g)].layers[layer][c])
                set.push_back(c);
        return set;
    }
    int head = -1, dim = -1;
};

TEST_F(FixtureGroupsTest, AddTakesTheLinkedChannelsAndEveryPanTiltReference)
{
    const int a = PatchFixture(head, 0, "A");
    const int d = PatchFixture(dim, 10, "D");
    const int c = PatchFixture(head, 20, "C");
    EXPECT_FALSE(AddGroupFromLinks());
    EXPECT_EQ(GroupCount, 0);
    EXPECT_TRUE(Groups.empty());

    Link(a);
    Link(d);
    Fixtures[static_cast<std::size_t>(a)].used[4] = 0;   // linked but unused: no member
    References(a, 5, 6, 7, 8);
    References(c, 9, 10, 11, 12);
    References(d, 99, 98, 97, 96);
    ASSERT_TRUE(AddGroupFromLinks());
    ASSERT_EQ(GroupCount, 1);
    ASSERT_EQ(Groups.size(), 1u);
    EXPECT_EQ(Groups[0].name, "Group 1");
    EXPECT_EQ(ShowModified, 1);
    EXPECT_EQ(Layer(0, 0), (std::vector<int>{0, 1, 2, 3, 10, 11}));
    // References of both heads, the unlinked one included; none for the dimmer.
    EXPECT_EQ(Layer(0, 1), (std::vector<int>{0, 20}));
    EXPECT_EQ(Groups[0].layers[1][20], 9);
    EXPECT_EQ(Groups[0].layers[2][1], 6);
    EXPECT_EQ(Groups[0].layers[3][2], 7);
    EXPECT_EQ(Groups[0].layers[4][23], 12);
    for (int layer = 1; layer < 5; ++layer)
        for (int ch : {10, 11})
            EXPECT_EQ(Groups[0].layers[layer][ch], 0) << layer << " " << ch;

    EXPECT_EQ(GroupMembers(0), (std::vector<int>{a, d}));
    EXPECT_EQ(FindGroupMember(0, 1), d);
    EXPECT_EQ(FindGroupMember(0, 2), -1);

    // Numbering follows the count: after the second of three goes, the next is "Group 3".
    ASSERT_TRUE(AddGroupFromLinks());
    ASSERT_TRUE(AddGroupFromLinks());
    ASSERT_TRUE(RemoveGroup(1));
    ASSERT_TRUE(AddGroupFromLinks());
    ASSERT_EQ(GroupCount, 3);
    EXPECT_EQ(Groups.size(), 3u);
    EXPECT_EQ(Groups[1].name, "Group 3");
    EXPECT_EQ(Groups[2].name, "Group 3");

    // Names are cut to 254 bytes; empty stays empty.
    EXPECT_TRUE(RenameGroup(0, std::string(300, 'g')));
    EXPECT_EQ(Groups[0].name, std::string(254, 'g'));
    EXPECT_TRUE(RenameGroup(0, ""));
    EXPECT_TRUE(Groups[0].name.empty());
    EXPECT_FALSE(RenameGroup(5, "x"));
}

TEST_F(FixtureGroupsTest, SelectLinksMembersKeepsHeldOnesAndRestoresReferences)
{
    const int a = PatchFixture(head, 0, "A");
    const int b = PatchFixture(head, 10, "B");
    const int d = PatchFixture(dim, 20, "D");
    const int other = PatchFixture(dim, 30, "O");
    Link(a);
    Link(b);
    Link(d);
    References(a, 5, 6, 7, 8);
    References(b, 105, 106, 107, 108);
    ASSERT_TRUE(AddGroupFromLinks());
    AllStatesOff(2);

    // Since then: other links, a held member, changed references.
    Link(other);
    Fixtures[static_cast<std::size_t>(b)].states[1] = 3;
    References(a, 0, 0, 0, 0);
    References(d, 44, 45, 46, 47);
    EXPECT_EQ(SelectGroup(0), a);
    for (int j = 0; j < 2; ++j)
        EXPECT_EQ(Fixtures[static_cast<std::size_t>(other)].states[j], 0);
    for (int j = 0; j < 5; ++j)
        EXPECT_EQ(Fixtures[static_cast<std::size_t>(a)].states[j], 2) << j;
    EXPECT_EQ(Fixtures[static_cast<std::size_t>(b)].states[1], 3);
    EXPECT_EQ(Fixtures[static_cast<std::size_t>(b)].states[0], 2);
    EXPECT_EQ(Fixtures[static_cast<std::size_t>(a)].groupPan, 5);
    EXPECT_EQ(Fixtures[static_cast<std::size_t>(a)].groupTiltFine, 8);
    EXPECT_EQ(Fixtures[static_cast<std::size_t>(d)].groupPan, 44);   // a dimmer keeps its bytes
    EXPECT_EQ(MasterLinkActive, 1);

    // A group whose members are all held links nothing.
    AllStatesOff(2);
    for (int j = 0; j < 2; ++j)
        Fixtures[static_cast<std::size_t>(d)].states[j] = 2;
    ASSERT_TRUE(AddGroupFromLinks());
    for (int j = 0; j < 2; ++j)
        Fixtures[static_cast<std::size_t>(d)].states[j] = 3;
    EXPECT_EQ(SelectGroup(1), d);
    EXPECT_EQ(MasterLinkActive, 0);

    // An empty group selects fixture 0.
    ASSERT_FALSE(RemoveFixtureFromGroup(0, a));
    ASSERT_FALSE(RemoveFixtureFromGroup(0, b));
    EXPECT_TRUE(RemoveFixtureFromGroup(0, d));
    EXPECT_TRUE(Layer(0, 0).empty());
    EXPECT_EQ(SelectGroup(0), 0);
}

TEST_F(FixtureGroupsTest, RecalledGroupDrivesByTheStoredReferences)
{
    const int a = PatchFixture(head, 0, "A");
    const int b = PatchFixture(head, 10, "B");
    Link(a);
    Link(b);
    References(a, 40, 0, 0, 0);
    References(b, 90, 0, 0, 0);
    ASSERT_TRUE(AddGroupFromLinks());
    AllStatesOff(2);
    References(a, 0, 0, 0, 0);
    References(b, 0, 0, 0, 0);

    ASSERT_EQ(SelectGroup(0), a);
    SelectedFixture = a;
    SetFixtureChannel(0, 100);
    EXPECT_EQ(Fixtures[static_cast<std::size_t>(b)].values[0], 150);
    EXPECT_EQ(DmxOutLevels[10], 150);
    SetFixtureChannel(0, 230);
    EXPECT_EQ(Fixtures[static_cast<std::size_t>(b)].values[0], 255);

    // Removing one fixture clears its bytes and unlinks it; the other stays.
    EXPECT_FALSE(RemoveFixtureFromGroup(0, a));
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(Groups[0].layers[0][j], 0) << j;
        EXPECT_EQ(Fixtures[static_cast<std::size_t>(a)].states[j], 0) << j;
    }
    EXPECT_EQ(Fixtures[static_cast<std::size_t>(b)].states[0], 2);
    ASSERT_TRUE(RemoveGroup(0));
    EXPECT_EQ(GroupCount, 0);
    EXPECT_TRUE(Groups.empty());
    EXPECT_FALSE(RemoveGroup(0));
}

TEST_F(FixtureGroupsTest, ChannelsPastTheEndAndFreedChannelsStayOutOfGroups)
{
    // Eight channels at 1020: pan and tilt fall past 1023.
    const int wide = AddDeviceType("wide", 8, {FunctionDimmer, FunctionDimmer, FunctionDimmer, FunctionDimmer,
                                               FunctionDimmer, FunctionPan, FunctionTilt, FunctionDimmer});
    const int w = PatchFixture(wide, 1020, "W");
    References(w, 77, 78, 0, 0);
    Link(w);
    ASSERT_TRUE(AddGroupFromLinks());
    EXPECT_EQ(Layer(0, 0), (std::vector<int>{1020, 1021, 1022, 1023}));
    for (int layer = 1; layer < 5; ++layer)
        EXPECT_TRUE(Layer(0, layer).empty()) << layer;
    References(w, 1, 2, 3, 4);
    SelectGroup(0);
    EXPECT_EQ(Fixtures[static_cast<std::size_t>(w)].groupPan, 1);

    // Fixture OFF, then a new fixture on the freed channels: not a member.
    const int a = PatchFixture(head, 0, "A");
    AllStatesOff(2);
    Link(a);
    ASSERT_TRUE(AddGroupFromLinks());
    ASSERT_EQ(Layer(1, 0), (std::vector<int>{0, 1, 2, 3, 4}));
    BuildChannelMaps();
    platform::QueueAnswers({"Yes"});
    ASSERT_TRUE(RemoveFixture(a));
    PatchFixture(head, 0, "N");
    EXPECT_TRUE(Layer(1, 0).empty());
    EXPECT_TRUE(GroupMembers(1).empty());
}

} // namespace
