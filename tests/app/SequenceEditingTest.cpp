// The sequence and scene table operations without windows.
#include "transport/TransportShow.h"

#include "app/SequenceEditing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace transport_test;

namespace {

class SequenceEditingTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPlayState(); }
    void TearDown() override { ResetPlayState(); }

    std::vector<SequenceRecord *> Table() const
    {
        return std::vector<SequenceRecord *>(Sequences.begin(), Sequences.begin() + SequenceCount);
    }
};

} // namespace

TEST_F(SequenceEditingTest, NewSequenceMovesLaterOnesUpAndCopiesTheOneBefore)
{
    AddSequence(1, SeqFlagFade, 0x0A, 90);
    AddSequence(1);
    AddSequence(1);
    Sequences[0]->commonFade = 700;
    Sequences[0]->jumpTiming = 1;
    const auto before = Table();

    SequenceRecord *made = InsertNewSequence(1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(SequenceCount, 4);
    EXPECT_EQ(Sequences[1], made);
    EXPECT_EQ(Sequences[0], before[0]);
    EXPECT_EQ(Sequences[2], before[1]);
    EXPECT_EQ(Sequences[3], before[2]);
    EXPECT_EQ(made->tempo, 90u);
    EXPECT_EQ(made->commonFade, 700u);
    EXPECT_EQ(made->flags, SeqFlagFade);
    EXPECT_EQ(made->modes, 0x0A);
    EXPECT_EQ(made->jumpTiming, 1);
    EXPECT_EQ(made->sceneCount, 0);

    // At the head of the table the first sequence's settings apply.
    SequenceRecord *first = InsertNewSequence(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->tempo, 120u);
    EXPECT_EQ(first->commonFade, 50u);
    EXPECT_EQ(first->flags, SeqFlagCycle | SeqFlagFade);
    EXPECT_EQ(first->modes, 0);
    EXPECT_EQ(InsertNewSequence(SequenceCount + 1), nullptr);
}

TEST_F(SequenceEditingTest, FullTablesRefuseAndLeaveTheTableAlone)
{
    // One empty record stands in every slot; the table is reset without freeing it.
    static SequenceRecord shared;
    for (auto &slot : Sequences)
        slot = &shared;
    SequenceCount = MaxSequences;
    EXPECT_TRUE(SequenceTableFull());
    EXPECT_EQ(InsertNewSequence(3), nullptr);
    EXPECT_EQ(SequenceCount, MaxSequences);
    Sequences.fill(nullptr);
    SequenceCount = 0;

    static SceneRecord scene;
    AddSequence(0);
    SequenceRecord &seq = *Sequences[0];
    for (int i = 0; i < MaxScenes; ++i)
        seq.scenes[i] = &scene;
    seq.sceneCount = MaxScenes;
    EXPECT_EQ(InsertNewScene(seq, 5), nullptr);
    EXPECT_EQ(seq.sceneCount, MaxScenes);
    seq.scenes.Clear();
    seq.sceneCount = 0;

    EXPECT_EQ(LimitMessage(SequenceLimitText, MaxSequences), "You can't made more than 16384 SEQUENCES in SHOW");
    EXPECT_EQ(LimitMessage(MergeSceneLimitText, MaxScenes), "You can't made more than 16384 SCENES in one SEQUENCE");
}

TEST_F(SequenceEditingTest, SplitMovesTheSameRecordsAndRefusesTheFirstScene)
{
    AddSequence(1);
    AddSequence(5, SeqFlagCycle | SeqFlagFade, 0x11, 75);
    AddSequence(1);
    SequenceRecord *source = Sequences[1];
    source->jumpTiming = 1;
    std::vector<SceneRecord *> scenes;
    for (int i = 0; i < 5; ++i)
        scenes.push_back(source->scenes[i]);
    SequenceRecord *last = Sequences[2];

    EXPECT_EQ(SplitSequence(1, 0), EditResult::Refused);
    EXPECT_EQ(SplitSequence(1, 5), EditResult::Refused);
    EXPECT_EQ(SequenceCount, 3);

    ASSERT_EQ(SplitSequence(1, 2), EditResult::Done);
    EXPECT_EQ(SequenceCount, 4);
    EXPECT_EQ(Sequences[1], source);
    EXPECT_EQ(Sequences[3], last);
    SequenceRecord *part = Sequences[2];
    EXPECT_EQ(source->sceneCount, 2);
    EXPECT_EQ(part->sceneCount, 3);
    EXPECT_EQ(source->scenes[0], scenes[0]);
    EXPECT_EQ(source->scenes[1], scenes[1]);
    EXPECT_EQ(source->scenes[2], nullptr);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(part->scenes[i], scenes[2 + i]);
    EXPECT_EQ(part->tempo, 75u);
    EXPECT_EQ(part->flags, SeqFlagCycle | SeqFlagFade);
    EXPECT_EQ(part->modes, 0x11);
    EXPECT_EQ(part->jumpTiming, 1);
}

TEST_F(SequenceEditingTest, MergeAppendsToThePreviousAndFreesTheRecord)
{
    AddSequence(2);
    AddSequence(3);
    AddSequence(1);
    std::vector<SceneRecord *> moved;
    for (int i = 0; i < 3; ++i)
        moved.push_back(Sequences[1]->scenes[i]);
    SequenceRecord *third = Sequences[2];

    EXPECT_EQ(MergeWithPrevious(0), EditResult::Refused);
    EXPECT_EQ(MergeWithPrevious(3), EditResult::Refused);
    ASSERT_EQ(MergeWithPrevious(1), EditResult::Done);
    EXPECT_EQ(SequenceCount, 2);
    EXPECT_EQ(Sequences[1], third);
    EXPECT_EQ(Sequences[2], nullptr);
    ASSERT_EQ(Sequences[0]->sceneCount, 5);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Sequences[0]->scenes[2 + i], moved[static_cast<std::size_t>(i)]);

    // Two halves that together reach the limit stay apart.
    Sequences[0]->sceneCount = MaxScenes / 2;
    Sequences[1]->sceneCount = MaxScenes / 2;
    EXPECT_EQ(MergeWithPrevious(1), EditResult::Limit);
    Sequences[0]->sceneCount = 5;
    Sequences[1]->sceneCount = 1;
}

TEST_F(SequenceEditingTest, NewSceneTakesTimesAndLevelsFromTheCurrentOne)
{
    AddSequence(3);
    SequenceRecord &seq = *Sequences[0];
    SceneRecord *third = seq.scenes[2];
    SceneRecord *made = InsertNewScene(seq, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(seq.sceneCount, 4);
    EXPECT_EQ(seq.scenes[2], made);
    EXPECT_EQ(seq.scenes[3], third);
    EXPECT_EQ(made->sceneTime, 1100u);
    EXPECT_EQ(made->fadeTime, 250u);
    EXPECT_EQ(made->levels[7], LevelOf(0, 1, 7));
    EXPECT_EQ(SceneNameBytes(*made), "SCENE 4");

    // The first scene of an empty sequence: zeros, 500 / 50 ms, at 0.
    AddSequence(0);
    SceneRecord *first = InsertNewScene(*Sequences[1], -1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Sequences[1]->scenes[0], first);
    EXPECT_EQ(first->sceneTime, 500u);
    EXPECT_EQ(first->fadeTime, 50u);
    EXPECT_EQ(first->levels[7], 0);
    EXPECT_EQ(SceneNameBytes(*first), "SCENE 1");

    EXPECT_TRUE(DeleteScene(seq, 2));
    EXPECT_EQ(seq.sceneCount, 3);
    EXPECT_EQ(seq.scenes[2], third);
    EXPECT_EQ(seq.scenes[3], nullptr);
    EXPECT_FALSE(DeleteScene(seq, 3));
}

TEST_F(SequenceEditingTest, FirstSceneChoices)
{
    AddFixtureWith(10, {0, 0, 0});
    Fixtures[0].used[2] = 0;
    SceneRecord scene;
    std::memset(scene.levels, 9, sizeof scene.levels);
    // "Default": the panel's default where it has one, else 0; unused channels 0.
    FillFirstScene(scene, 1, nullptr, [](int, int channel) { return channel == 0 ? 77 : -1; });
    EXPECT_EQ(scene.levels[10], 77);
    EXPECT_EQ(scene.levels[11], 0);
    EXPECT_EQ(scene.levels[12], 0);
    EXPECT_EQ(scene.levels[500], 0);

    SceneRecord before;
    before.sceneTime = 1234;
    before.fadeTime = 321;
    before.positionRef = 4;
    before.levels[3] = 200;
    FillFirstScene(scene, 3, &before, {});
    EXPECT_EQ(scene.sceneTime, 1234u);
    EXPECT_EQ(scene.fadeTime, 321u);
    EXPECT_EQ(scene.positionRef, 4);
    EXPECT_EQ(scene.levels[3], 200);

    // "Inherited" without a scene before fills as "Zero".
    FillFirstScene(scene, 3, nullptr, {});
    EXPECT_EQ(scene.sceneTime, 500u);
    EXPECT_EQ(scene.fadeTime, 50u);
    EXPECT_EQ(scene.levels[3], 0);
}

TEST_F(SequenceEditingTest, NamesAreCutToTheirFields)
{
    SceneRecord scene;
    scene.name.fill('x');
    SetSceneName(scene, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(SceneNameBytes(scene), "ABCDEFGHIJKLMN");
    EXPECT_EQ(scene.name[14], '\0');
    EXPECT_EQ(scene.name[15], '\0');

    ShowName.fill('x');
    SetShowName("ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(ShowNameBytes(), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(ShowName[15], '\0');
    // An 8-bit byte survives.
    SetShowName("Caf\xE9");
    EXPECT_EQ(ShowNameBytes(), "Caf\xE9");
}

TEST_F(SequenceEditingTest, SteppingWraps)
{
    EXPECT_EQ(NextWrapped(2, 3), 0);
    EXPECT_EQ(NextWrapped(0, 3), 1);
    EXPECT_EQ(NextWrapped(-1, 3), 0);
    EXPECT_EQ(PreviousWrapped(0, 3), 2);
    EXPECT_EQ(PreviousWrapped(2, 3), 1);
    EXPECT_EQ(NextWrapped(0, 0), -1);
}
