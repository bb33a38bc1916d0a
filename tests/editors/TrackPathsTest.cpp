// The track editor's paths without its window: rounding, the 16-bit store rules, the
// generators, mirror, dragging a box, "Restore" and the guards.
#include "EditorsShow.h"

using namespace editors_test;

namespace {

class TrackCore : public EditorsCore {
protected:
    // The fixture of `type` at 0 taken into the editor over a current sequence.
    int Take(int type, int scenes)
    {
        const int f = PatchFixture(type, 0, "T");
        SelectedFixture = f;
        Sequence(scenes, 0);
        TrackTakeSequence(CurSequence);
        TrackTakeFixture(f);
        return f;
    }
};

TEST_F(TrackCore, RoundingAndStoreRulesOfBothModes)
{
    EXPECT_EQ(TrackRound(0.5), 0);
    EXPECT_EQ(TrackRound(127.5), 127);
    EXPECT_EQ(TrackRound(2.51), 3);

    const int f = Take(head, 3);
    ASSERT_EQ(TrackMode, 2);
    SetLevel(0, 0, 255);   // pan 65280
    SetLevel(0, 2, 0);
    TrackFirst = TrackLast = 0;
    ASSERT_TRUE(TrackResize(200, 100, false));
    EXPECT_EQ(Level(0, 0), 255);
    EXPECT_EQ(Level(0, 2), 255);     // 65535: the fine byte too

    const int s = Take(spot, 3);
    ASSERT_EQ(TrackMode, 1);
    ASSERT_EQ(s, 1);
    TrackFixture = s;
    SetLevel(0, 0, 255);
    TrackFirst = TrackLast = 0;
    ASSERT_TRUE(TrackResize(200, 100, false));
    EXPECT_EQ(Level(0, 0), 255);
    EXPECT_EQ(Level(0, 2), transport_test::LevelOf(CurSequence, 0, 2));   // colour untouched
    (void)f;
}

TEST_F(TrackCore, ShapesLandOnTheVisibleScenes)
{
    Take(spot, 8);
    // Circle at Size 100: k = 0 at the top centre; 8-bit pan rnd(127.5) = 127.
    ASSERT_TRUE(TrackCircle(100, 1, false));
    EXPECT_EQ(Level(0, 0), 127);
    EXPECT_EQ(Level(0, 1), 0);
    EXPECT_EQ(Level(2, 0), 255);     // a quarter turn: right edge
    EXPECT_EQ(Level(2, 1), 127);

    // Polygon with as many scenes as vertices: a vertex on each.
    TrackFirst = 2;
    TrackLast = 5;
    ASSERT_TRUE(TrackPolygon(100, 4, false));
    EXPECT_EQ(Level(2, 0), 127);    // top
    EXPECT_EQ(Level(2, 1), 0);
    EXPECT_EQ(Level(3, 0), 255);    // right
    EXPECT_EQ(Level(4, 1), 255);    // bottom
    EXPECT_EQ(Level(5, 0), 0);      // left
    EXPECT_FALSE(TrackPolygon(100, 5, false));   // fewer scenes than vertices

    // Line over two scenes changes nothing; over three the middle is halfway.
    TrackFirst = 0;
    TrackLast = 1;
    SetLevel(0, 0, 0);
    SetLevel(1, 0, 255);
    EXPECT_FALSE(TrackLine(false));
    TrackLast = 2;
    SetLevel(2, 0, 255);
    SetLevel(1, 0, 9);
    ASSERT_TRUE(TrackLine(false));
    EXPECT_EQ(Level(1, 0), 127);
    EXPECT_EQ(Level(2, 0), 255);

    TrackFirst = TrackLast = 3;
    EXPECT_FALSE(TrackCircle(50, 1, false));    // one scene: nothing
}

TEST_F(TrackCore, StarStartsByTheAbsoluteSceneAndMirrorFlipsFineBytes)
{
    Take(head, 6);
    TrackFirst = 1;
    TrackLast = 4;
    ASSERT_TRUE(TrackStar(50, 25, false));
    // Scene 1 is odd: D In, tilt 32640 - 25 x 326.4 = 24480.
    EXPECT_EQ(TrackValue(0, 1, Axis::Tilt), 24480);
    EXPECT_EQ(Level(1, 1), 24480 >> 8);
    EXPECT_EQ(Level(1, 3), 24480 & 255);

    SetLevel(2, 0, 10);
    SetLevel(2, 2, 20);
    ASSERT_TRUE(TrackMirror(Axis::Pan, false));
    EXPECT_EQ(Level(2, 0), 245);
    EXPECT_EQ(Level(2, 2), 235);
}

TEST_F(TrackCore, BoxMovesStayOnTheFieldAndRestoreKeepsInsideTheSequence)
{
    const int f = Take(spot, 5);
    for (int s = 0; s < 5; ++s) {
        SetLevel(s, 0, 100 + s);
        SetLevel(s, 1, 100);
    }
    TrackTakeFixture(f);   // the saved path
    TrackBox box;
    ASSERT_TRUE(TrackCatch(99, 99, 102, 101, box));
    EXPECT_EQ(TrackSelected, (std::vector<std::int16_t>{0, 1, 2, -1}));
    EXPECT_EQ(box.left, 98);
    EXPECT_EQ(box.right, 104);
    EXPECT_FALSE(TrackMoveBox(box, 200, 0, false, false));   // would leave the field
    EXPECT_EQ(Level(0, 0), 100);
    ASSERT_TRUE(TrackMoveBox(box, 10, -20, false, true));    // Ctrl keeps tilt
    EXPECT_EQ(Level(0, 0), 110);
    EXPECT_EQ(Level(0, 1), 100);
    EXPECT_EQ(Level(3, 0), 103);
    EXPECT_EQ(TrackPointAt(111, 101), 0);
    EXPECT_EQ(TrackPointAt(150, 150), -1);

    // The sequence shrank under the editor: restore writes only what both hold.
    SequenceRecord &seq = *Sequences[static_cast<std::size_t>(CurSequence)];
    DeleteScene(seq, 4);
    DeleteScene(seq, 3);
    ASSERT_TRUE(TrackRestore());
    EXPECT_EQ(Level(0, 0), 100);
    EXPECT_EQ(Level(2, 0), 102);

    // Mode 0 (no pan/tilt) and a vanished sequence leave everything inert.
    const int d = PatchFixture(dim, 64, "D");
    TrackTakeFixture(d);
    EXPECT_EQ(TrackMode, 0);
    SetLevel(0, 64, 5);
    EXPECT_FALSE(TrackCircle(100, 1, false));
    EXPECT_FALSE(TrackRestore());
    EXPECT_FALSE(TrackMirror(Axis::Pan, false));
    EXPECT_EQ(Level(0, 64), 5);
    TrackTakeFixture(f);
    TrackSequence = 7;
    EXPECT_FALSE(TrackCircle(100, 1, false));
}

TEST_F(TrackCore, GroupGeneratorsWriteEveryLinkedFixtureOfTheType)
{
    const int a = Take(spot, 4);
    const int b = PatchFixture(spot, 16, "B");
    const int c = PatchFixture(spot, 32, "C");
    for (int f : {a, b}) {
        Fixtures[f].states[0] = Fixtures[f].states[1] = 2;
    }
    Fixtures[c].states[0] = 2;   // tilt not linked: not a target
    EXPECT_EQ(TrackTargets(true), (std::vector<int>{a, b}));
    EXPECT_EQ(TrackTargets(false), (std::vector<int>{a}));
    ASSERT_TRUE(TrackCircle(100, 1, true));
    EXPECT_EQ(Level(0, 16 + 1), 0);
    EXPECT_NE(Level(0, 32 + 1), 0);
}

} // namespace
