// The values/time editor without its window: chart geometry and values, the pencil and
// the line, the block clipboard with its undo, the wave generator and the fan.
#include "EditorsShow.h"

#include "editors/Generators.h"

#include "app/FixtureArea.h"
#include "app/OutputEngine.h"

using namespace editors_test;

namespace {

class GraphCore : public EditorsCore {};

TEST_F(GraphCore, ColumnsAndValuesFollowZoomScaleAndModeAndHoldToTheChart)
{
    ColumnWidth = 4;
    FirstVisibleScene = 10;
    for (int x = 42; x <= 45; ++x)
        EXPECT_EQ(SceneAtX(x, 100), 10) << x;
    EXPECT_EQ(SceneAtX(46, 100), 11);
    EXPECT_EQ(SceneAtX(0, 100), 10);          // left of the chart: the first visible scene
    EXPECT_EQ(SceneAtX(4000, 100), 99);       // held to the last scene
    EXPECT_FALSE(PastLastScene(45 + 4 * 89, 100));
    EXPECT_TRUE(PastLastScene(46 + 4 * 89, 100));

    ValueScale = 2;
    EXPECT_EQ(ValueAtY(100), 205);
    EXPECT_EQ(ValueAtY(-40), 255);            // above the chart: no wrap past 255
    EXPECT_EQ(ValueAtY(10000), 0);            // below it: no wrap below 0
    TimeTrackMode = 1;
    ValueScale = 1;
    EXPECT_EQ(ValueAtY(0), 30000);
    EXPECT_EQ(ValueAtY(-5), 30000);
    ValueScale = 4;
    EXPECT_EQ(ValueAtY(1199), 50);            // 25 ms raised to the minimum
    EXPECT_EQ(ValueAtY(5000), 50);

    EXPECT_EQ(ElapsedText(61250), "1:01:2");
    EXPECT_EQ(TimeHintText(1500), "1:50s(40)");
    for (int i = 0; i < 6; ++i)
        ZoomIn();
    EXPECT_EQ(ColumnWidth, 64);
    for (int i = 0; i < 8; ++i)
        ScaleMin();
    EXPECT_EQ(ValueScale, 1);
}

TEST_F(GraphCore, LineWritesEvenStepsIntoLinkedFixturesAndTimesStayInRange)
{
    const int a = PatchFixture(spot, 0, "A");
    const int b = PatchFixture(spot, 16, "B");
    const int c = PatchFixture(spot, 32, "C");
    SelectedFixture = a;
    Fixtures[a].states[3] = 2;
    Fixtures[b].states[3] = 2;     // linked: follows
    Sequence(10, 0);               // C's dimmer is not linked: keeps its levels
    ChosenChannel = 3;
    const std::uint8_t cBefore = Level(4, 32 + 3);

    EXPECT_FALSE(LineWrite(a, 4, 0, 4, 255));   // both ends in one column
    EXPECT_EQ(Level(4, 3), transport_test::LevelOf(CurSequence, 4, 3));
    EXPECT_FALSE(UndoBlockValid);

    // Ends given right to left: ordered, heights swapped with them.
    ASSERT_TRUE(LineWrite(a, 6, 0, 2, 255));
    const int expect[] = {0, 63, 127, 191, 255};
    for (int s = 2; s <= 6; ++s) {
        EXPECT_EQ(Level(s, 3), expect[s - 2]) << s;
        EXPECT_EQ(Level(s, 16 + 3), expect[s - 2]) << s;
    }
    EXPECT_EQ(Level(4, 32 + 3), cBefore);
    EXPECT_EQ(Level(1, 3), transport_test::LevelOf(CurSequence, 1, 3));
    EXPECT_TRUE(UndoBlockValid);
    EXPECT_EQ(UndoBuffer.firstScene, 2);
    EXPECT_EQ(UndoBuffer.sceneCount, 5);

    // A drag above the chart writes 255, not a wrapped byte.
    ASSERT_TRUE(LineWrite(a, 0, -300, 1, -300));
    EXPECT_EQ(Level(0, 3), 255);
    EXPECT_EQ(Level(1, 3), 255);
    EXPECT_EQ(PencilWrite(a, 5, 9999), 0);
    EXPECT_EQ(Level(5, 3), 0);

    TimeTrackMode = 1;
    ValueScale = 1;
    ASSERT_TRUE(LineWrite(a, 0, 150, 3, 0));
    SequenceRecord &seq = *Sequences[static_cast<std::size_t>(CurSequence)];
    const std::uint32_t times[] = {15000, 20000, 25000, 30000};
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(seq.scenes[s]->sceneTime, times[s]) << s;
    FadeTrackMode = 1;
    ValueScale = 4;
    EXPECT_EQ(PencilWrite(a, 7, 100000), 50);
    EXPECT_EQ(seq.scenes[7]->fadeTime, 50u);
    (void)c;
}

TEST_F(GraphCore, NothingIsWrittenWithoutACurrentSequenceOrScene)
{
    const int a = PatchFixture(spot, 0, "A");
    SelectedFixture = a;
    EXPECT_EQ(PencilWrite(a, 0, 10), -1);
    Sequence(3, 0);
    CurScene = -1;
    EXPECT_EQ(PencilWrite(a, 0, 10), -1);
    EXPECT_FALSE(LineWrite(a, 0, 10, 2, 10));
    SelectionValid = 1;
    SelLastScene = SelLastChannel = 2;
    EXPECT_FALSE(CopyBlock(a));
    EXPECT_FALSE(SelectionValid);
}

TEST_F(GraphCore, TimeConversionGivesHalfASecondToScenesWithoutTime)
{
    SequenceRecord &seq = Sequence(3);
    EXPECT_FALSE(NeedsTimeConversion(seq));
    seq.scenes[1]->sceneTime = 0;
    EXPECT_TRUE(NeedsTimeConversion(seq));
    ConvertZeroTimes(seq);
    EXPECT_EQ(seq.scenes[1]->sceneTime, 500u);
    EXPECT_EQ(seq.scenes[0]->sceneTime, 1000u);
}

TEST_F(GraphCore, PasteAndFillLayTheBufferInsideFixtureAndSequence)
{
    const int a = PatchFixture(spot, 0, "A");
    SelectedFixture = a;
    Fixtures[a].used[1] = 0;           // an unused channel inside the block
    Sequence(10, 0);
    for (int s = 0; s < 10; ++s)
        for (int j = 0; j < 3; ++j)
            SetLevel(s, j, 100 + 10 * s + j);
    SelFirstScene = 0, SelLastScene = 1, SelFirstChannel = 0, SelLastChannel = 2;
    SelectionValid = 1;
    ASSERT_TRUE(CopyBlock(a));
    EXPECT_FALSE(SelectionValid);
    ASSERT_EQ(CopyBufferScenes, 2);
    ASSERT_EQ(CopyBufferChannels, 3);
    // Channel-major, the unused channel's row as zeros.
    const std::vector<std::uint8_t> expected = {100, 110, 0, 0, 102, 112};
    EXPECT_EQ(CopyBuffer, expected);

    // Paste at the last scene writes one scene; the unused target gets 0.
    CurScene = 9;
    ChosenChannel = 0;
    SetLevel(9, 1, 77);
    BlockRange r = PasteRange(a);
    EXPECT_EQ(r.Scenes(), 1);
    EXPECT_EQ(r.Channels(), 3);
    ASSERT_TRUE(PasteBlock(a));
    EXPECT_EQ(Level(9, 0), 100);
    EXPECT_EQ(Level(9, 1), 0);
    EXPECT_EQ(Level(9, 2), 102);
    EXPECT_EQ(Level(8, 0), 180);
    // With the chosen channel on the fixture's last channel: one channel.
    CurScene = 3;
    ChosenChannel = 15;
    r = PasteRange(a);
    EXPECT_EQ(r.Channels(), 1);
    EXPECT_EQ(r.Scenes(), 2);
    ASSERT_TRUE(PasteBlock(a));
    EXPECT_EQ(Level(3, 15), 100);
    EXPECT_EQ(Level(4, 15), 110);
    EXPECT_EQ(Level(3, 16), transport_test::LevelOf(CurSequence, 3, 16));   // next fixture's channel

    // Fill over 2.5 buffers: two copies, the rest left alone.
    SelFirstScene = 2, SelLastScene = 6, SelFirstChannel = 2, SelLastChannel = 2;
    SelectionValid = 1;
    EXPECT_EQ(FillRepeats(), 2);
    const std::uint8_t rest = Level(6, 2);
    ASSERT_TRUE(FillBlock(a));
    EXPECT_EQ(Level(2, 2), 100);
    EXPECT_EQ(Level(3, 2), 110);
    EXPECT_EQ(Level(4, 2), 100);
    EXPECT_EQ(Level(5, 2), 110);
    EXPECT_EQ(Level(6, 2), rest);
    // A span shorter than the buffer: nothing to fill.
    SelFirstScene = SelLastScene = 4;
    EXPECT_EQ(FillRepeats(), 0);
    EXPECT_FALSE(FillBlock(a));
}

TEST_F(GraphCore, SelectionIsHeldToTheFixtureAndTheSequenceAndUndoFollowsItsBlock)
{
    const int wide = PatchFixture(spot, 1008, "Wide");     // 16 channels, the last at 1023
    const int narrow = PatchFixture(dim, 0, "Narrow");     // 8 channels
    Sequence(6, 0);
    SelFirstScene = 2, SelLastScene = 40, SelFirstChannel = 4, SelLastChannel = 15;
    SelectionValid = 1;
    ASSERT_TRUE(ClampSelection(narrow));
    EXPECT_EQ(SelLastChannel, 7);
    EXPECT_EQ(SelLastScene, 5);
    SelFirstChannel = 8, SelLastChannel = 15;               // nothing of it on the narrow one
    EXPECT_FALSE(ClampSelection(narrow));
    EXPECT_FALSE(SelectionValid);

    // Clear on the fixture at the top of the channels stays inside 1024.
    SelectedFixture = wide;
    SelFirstScene = 0, SelLastScene = 1, SelFirstChannel = 10, SelLastChannel = 31;
    SelectionValid = 1;
    ASSERT_TRUE(ClearBlock(wide));
    EXPECT_EQ(Level(0, 1023), 0);
    EXPECT_EQ(UndoBuffer.channelCount, 6);

    // Undo restores the pencil's column; a second save replaces the first.
    SelectedFixture = narrow;
    ChosenChannel = 2;
    const std::uint8_t before = Level(4, 2);
    SaveUndoBlock(narrow, CurSequence, 0, 6, 2, 1);
    CurScene = 1;
    PencilWrite(narrow, 4, 0);
    EXPECT_EQ(Level(4, 2), 255);
    ASSERT_TRUE(RestoreUndoTable());
    EXPECT_EQ(Level(4, 2), before);
    EXPECT_FALSE(UndoBlockValid);
    EXPECT_FALSE(RestoreUndoTable());

    SaveUndoBlock(narrow, CurSequence, 0, 6, 2, 1);
    SaveUndoBlock(narrow, CurSequence, 3, 1, 5, 1);
    PencilWrite(narrow, 4, 0);
    SetLevel(3, 5, 9);
    ASSERT_TRUE(RestoreUndoTable());
    EXPECT_EQ(Level(4, 2), 255);           // the first block is gone
    EXPECT_NE(Level(3, 5), 9);

    // The sequence shrank: the block's scenes are gone, nothing is written.
    SaveUndoBlock(narrow, CurSequence, 3, 3, 2, 1);
    SequenceRecord &seq = *Sequences[static_cast<std::size_t>(CurSequence)];
    DeleteScene(seq, 5);
    UndoBlockValid = 1;   // as if the table edit had left it
    SetLevel(3, 2, 1);
    EXPECT_FALSE(RestoreUndoTable());
    EXPECT_EQ(Level(3, 2), 1);
    EXPECT_FALSE(UndoBlockValid);

    // After the fixture was removed, the index names another fixture: nothing.
    SaveUndoBlock(narrow, CurSequence, 0, 2, 0, 1);
    platform::QueueAnswers({"Yes"});
    ASSERT_TRUE(RemoveFixture(wide));
    EXPECT_FALSE(UndoBlockValid);
    EXPECT_FALSE(RestoreUndoTable());
}

TEST_F(GraphCore, WavesFollowShapeGroupShiftAndSeed)
{
    const int a = PatchFixture(dim, 0, "A");
    const int b = PatchFixture(dim, 8, "B");
    PatchFixture(dim, 16, "C");             // no linked channel: not a target
    Fixtures[a].states[0] = 2;
    Fixtures[b].states[0] = 2;
    SelectedFixture = a;
    Sequence(4, 0);
    WaveSettings w;
    w.amplitude = 128;
    w.offset = 128;
    w.shift = 0;
    w.group = false;
    ASSERT_TRUE(ApplyWave(a, 1, w));
    EXPECT_EQ(Level(1, 1), 192);
    EXPECT_EQ(Level(3, 1), 64);
    EXPECT_EQ(Level(1, 9), transport_test::LevelOf(CurSequence, 1, 9));   // not in the group
    w.shape = WaveShape::Square;
    w.duration = 50;
    ASSERT_TRUE(ApplyWave(a, 1, w));
    EXPECT_EQ(Level(1, 1), 192);
    EXPECT_EQ(Level(3, 1), 64);
    w.amplitude = 256;
    w.offset = 255;
    ASSERT_TRUE(ApplyWave(a, 1, w));
    EXPECT_EQ(Level(1, 1), 255);
    EXPECT_EQ(Level(3, 1), 127);

    // Group with Shift 90: the second target in fixture order, whichever is selected.
    w = WaveSettings{};
    w.shift = 90;
    EXPECT_EQ(WaveTargets(b, true), (std::vector<int>{a, b}));
    ASSERT_TRUE(ApplyWave(b, 1, w));
    EXPECT_EQ(Level(0, 8 + 1), 192);
    EXPECT_EQ(Level(0, 1), 128);

    // The preview has n + 1 points per target.
    const auto preview = WaveLevels(w, 4, 2, 5);
    ASSERT_EQ(preview.size(), 2u);
    EXPECT_EQ(preview[0].size(), 5u);
    EXPECT_EQ(preview[1][0], 192);

    // Random: one seed repeats, two seeds differ; Shift -90 over 400 scenes moves the
    // first target's scene l to scene l - 100 of the second.
    w.shape = WaveShape::Random;
    w.seed = 1234;
    w.shift = -90;
    const auto once = WaveLevels(w, 400, 2, 400);
    EXPECT_EQ(WaveLevels(w, 400, 2, 400), once);
    w.seed = 4321;
    EXPECT_NE(WaveLevels(w, 400, 2, 400)[0], once[0]);
    EXPECT_EQ(once[1][300], once[0][0]);
    EXPECT_EQ(once[1][0], once[0][100]);
    EXPECT_EQ(WaveLevels(w, 400, 2, 401)[1].size(), 401u);
}

TEST_F(GraphCore, FanSpreadsLinkedMembersSymmetricallyAndPreviewStoresNothing)
{
    std::vector<int> members;
    for (int i = 0; i < 4; ++i) {
        const int f = PatchFixture(spot, i * 16, "S");
        Fixtures[f].states[0] = Fixtures[f].states[1] = 2;
        Fixtures[f].values[0] = 128;
        Fixtures[f].values[1] = 100;
        members.push_back(f);
    }
    SelectedFixture = members[2];
    Sequence(2, 0);
    std::vector<FanMove> moves;
    ASSERT_EQ(FanCompute(members[2], 40, 20, 10, moves), "");
    ASSERT_EQ(moves.size(), 4u);
    const int pans[] = {98, 118, 138, 158}, tilts[] = {75, 85, 85, 75};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(moves[i].pan, pans[i]) << i;
        EXPECT_EQ(moves[i].tilt, tilts[i]) << i;
    }
    // A preview sends but stores nothing; storing makes them the members' values.
    EXPECT_EQ(FanModify(members[2], 40, 20, 10, false), "");
    EXPECT_EQ(Fixtures[members[0]].values[0], 128);
    EXPECT_EQ(DmxOutLevels[0], 98);
    EXPECT_EQ(FanModify(members[2], 40, 20, 10, true), "");
    EXPECT_EQ(Fixtures[members[3]].values[0], 158);
    EXPECT_EQ(Level(0, 48), 158);

    Fixtures[members[3]].states[1] = 0;    // three members: -1, 0, 1
    for (int f : members)
        Fixtures[f].values[0] = 128;
    ASSERT_EQ(FanCompute(members[0], 30, 0, 0, moves), "");
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves[0].pan, 108);
    EXPECT_EQ(moves[1].pan, 128);
    EXPECT_EQ(moves[2].pan, 148);

    Fixtures[members[1]].states[0] = Fixtures[members[2]].states[0] = 0;
    EXPECT_EQ(FanCompute(members[0], 30, 0, 0, moves), FanTooFewText);
    const int d = PatchFixture(dim, 100, "D");
    EXPECT_EQ(FanCompute(d, 30, 0, 0, moves), FanNoPanTiltText);
}

} // namespace
