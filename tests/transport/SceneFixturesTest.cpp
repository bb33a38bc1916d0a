// Levels between the current scene, the fixtures and the output.
#include "TransportShow.h"

#include "app/SceneFixtures.h"

#include <gtest/gtest.h>

#include <vector>

using namespace transport_test;

namespace {
class SceneFixturesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPlayState();
        AddSequence(2);
        CurSequence = 0;
        CurScene = 1;
        // Channels 10..13 in the states normal, manual, linked, held.
        fixture = AddFixtureWith(10, {0, 1, 2, 3});
        for (int j = 0; j < 4; ++j)
            Fx().values[j] = static_cast<std::uint8_t>(200 + j);
    }
    void TearDown() override { ResetPlayState(); }
    FixtureRecord &Fx() { return Fixtures[static_cast<std::size_t>(fixture)]; }
    SceneRecord &Scene() { return *Sequences[0]->scenes[1]; }
    int fixture = -1;
};
} // namespace

TEST_F(SceneFixturesTest, FixturesToSceneStoresOnlyNormalAndLinkedChannels)
{
    EXPECT_TRUE(FixturesToScene());
    EXPECT_EQ(Scene().levels[10], 200);
    EXPECT_EQ(Scene().levels[11], LevelOf(0, 1, 11));
    EXPECT_EQ(Scene().levels[12], 202);
    EXPECT_EQ(Scene().levels[13], LevelOf(0, 1, 13));
}

TEST_F(SceneFixturesTest, SceneToFixturesTakesOnlyNormalAndLinkedChannels)
{
    EXPECT_TRUE(SceneToFixtures());
    EXPECT_EQ(Fx().values[0], LevelOf(0, 1, 10));
    EXPECT_EQ(Fx().values[1], 201);
    EXPECT_EQ(Fx().values[2], LevelOf(0, 1, 12));
    EXPECT_EQ(Fx().values[3], 203);
}

TEST_F(SceneFixturesTest, NothingMovesWhilePlayingLockedOrWithoutAScene)
{
    const SceneRecord before = Scene();
    auto unchanged = [&] {
        EXPECT_EQ(std::memcmp(before.levels, Scene().levels, MaxChannels), 0);
        EXPECT_EQ(Fx().values[0], 200);
    };
    Playing = 1;
    EXPECT_FALSE(FixturesToScene());
    EXPECT_FALSE(SceneToFixtures());
    unchanged();
    Playing = 0;
    MultiSeqRunning = 1;
    EXPECT_FALSE(FixturesToScene());
    EXPECT_FALSE(SceneToFixtures());
    MultiSeqRunning = 0;
    AccessLevel = 2;
    EXPECT_FALSE(FixturesToScene());
    EXPECT_FALSE(SceneToFixtures());
    AccessLevel = 1;
    PlayListRunning = 1;
    EXPECT_FALSE(FixturesToScene());   // the play list only stops the store
    unchanged();
    PlayListRunning = 0;
    CurScene = 2;
    EXPECT_FALSE(FixturesToScene());
    CurScene = 1;
    CurSequence = 3;
    EXPECT_FALSE(SceneToFixtures());
    unchanged();
}

TEST_F(SceneFixturesTest, SendFixtureValuesSkipsUnusedChannelsAndLinkedOnesUnlessAsked)
{
    Fx().used[0] = 0;
    const int other = AddFixtureWith(20, {0, 2});
    Fixtures[static_cast<std::size_t>(other)].values[0] = 55;
    Fixtures[static_cast<std::size_t>(other)].values[1] = 66;
    std::vector<std::pair<int, int>> sent;
    SendFixtureValues(false, [&](int f, int j) { sent.emplace_back(f, j); });
    EXPECT_EQ(DmxOutLevels[10], 0);   // unused
    EXPECT_EQ(DmxOutLevels[11], 0);   // manual
    EXPECT_EQ(DmxOutLevels[12], 0);   // linked, not asked
    EXPECT_EQ(DmxOutLevels[20], 55);
    EXPECT_EQ(DmxOutLevels[21], 0);
    EXPECT_EQ(sent, (std::vector<std::pair<int, int>>{{other, 0}}));

    SendFixtureValues(true);
    EXPECT_EQ(DmxOutLevels[12], 202);
    EXPECT_EQ(DmxOutLevels[21], 66);
    EXPECT_EQ(DmxOutLevels[13], 0);   // held channels never
}

TEST_F(SceneFixturesTest, BlackOutTakesOffValuesAndKeepsHeldChannelsWhenAsked)
{
    for (int c = 10; c < 14; ++c)
        DmxOutLevels[c] = 100;
    ChannelOffValues[10] = 0;
    ChannelOffValues[11] = -1;
    ChannelOffValues[12] = 40;
    ChannelOffValues[13] = 5;
    ApplyBlackOutLevels(true);
    EXPECT_EQ(DmxOutLevels[10], 0);
    EXPECT_EQ(DmxOutLevels[11], 100);
    EXPECT_EQ(DmxOutLevels[12], 40);
    EXPECT_EQ(DmxOutLevels[13], 100);
    ApplyBlackOutLevels(false);
    EXPECT_EQ(DmxOutLevels[13], 5);
}

TEST_F(SceneFixturesTest, FixturesReachingPastTheLastChannelAreCutOff)
{
    const int edge = AddFixtureWith(1020, {0, 0, 0, 0, 0, 0, 0, 0});
    for (int j = 0; j < 8; ++j)
        Fixtures[static_cast<std::size_t>(edge)].values[j] = 9;
    Fixtures[static_cast<std::size_t>(edge)].channelCount = 200;   // damaged count
    EXPECT_TRUE(FixturesToScene());
    EXPECT_EQ(Scene().levels[1023], 9);
    SendFixtureValues(true);
    EXPECT_EQ(DmxOutLevels[1023], 9);
    ChannelOffValues[1023] = 1;
    ApplyBlackOutLevels(false);
    EXPECT_EQ(DmxOutLevels[1023], 1);
    FavouriteLevels[1022] = 77;
    ApplyFavouriteLevels(false);
    EXPECT_EQ(DmxOutLevels[1022], 77);
}

TEST_F(SceneFixturesTest, FavouriteLevelsGoOntoUsedChannelsOnly)
{
    for (int c = 10; c < 14; ++c)
        FavouriteLevels[c] = static_cast<std::uint8_t>(c);
    Fx().used[1] = 0;
    ApplyFavouriteLevels(true);
    EXPECT_EQ(DmxOutLevels[10], 10);
    EXPECT_EQ(DmxOutLevels[11], 0);
    EXPECT_EQ(DmxOutLevels[12], 12);
    EXPECT_EQ(DmxOutLevels[13], 0);
    ApplyFavouriteLevels(false);
    EXPECT_EQ(DmxOutLevels[13], 13);
}
