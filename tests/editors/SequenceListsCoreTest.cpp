// Position memory, the sequence grid and moves, and the device-sequence file without
// windows.
#include "fixtures/ShowFileTestSupport.h"
#include "tests/app/FixtureAreaShow.h"

#include "app/BinaryStream.h"
#include "app/PlayState.h"
#include "app/SequenceEditing.h"
#include "app/ShowFile.h"
#include "editors/DeviceSequenceFile.h"
#include "editors/PositionMemory.h"
#include "editors/SequenceGrid.h"

#include <cstring>
#include <filesystem>

using fixturearea_test::AddDeviceType;

namespace {

class SequenceListsCoreTest : public ShowFileTest {
protected:
    void SetUp() override
    {
        ShowFileTest::SetUp();
        fixturearea_test::ResetFixtureArea();
    }
    void TearDown() override
    {
        fixturearea_test::ResetFixtureArea();
        ShowFileTest::TearDown();
    }
    // Position memory of `count` scenes, scene k's levels all k.
    static void MakePositions(int count)
    {
        PositionScenes.assign(static_cast<std::size_t>(count), PositionScene{});
        for (int k = 0; k < count; ++k) {
            PositionScenes[static_cast<std::size_t>(k)].name = "P" + std::to_string(k + 1);
            std::memset(PositionScenes[static_cast<std::size_t>(k)].levels, k + 1, MaxChannels);
        }
        PositionSceneCount = count;
        PositionMemoryPresent = 1;
    }
    static SceneRecord &Scene(int seq, int scene) { return *Sequences[static_cast<std::size_t>(seq)]->scenes[scene]; }
};

TEST_F(SequenceListsCoreTest, AddingAndRemovingPositionsRenumbersTheReferences)
{
    AddSequence("A", 6);
    MakePositions(5);
    for (int k = 0; k < 6; ++k)
        Scene(0, k).positionRef = static_cast<std::uint8_t>(k);   // 0 none, 1..5

    EXPECT_EQ(AddPositionScene(3), 4);
    EXPECT_EQ(PositionSceneCount, 6);
    EXPECT_EQ(PositionScenes.size(), 6u);
    const std::uint8_t afterAdd[] = {0, 1, 2, 3, 5, 6};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(Scene(0, k).positionRef, afterAdd[k]) << k;
    EXPECT_TRUE(PositionSceneAt(4)->name.empty());
    EXPECT_EQ(PositionSceneAt(4)->levels[100], 0);
    EXPECT_EQ(PositionSceneAt(5)->name, "P4");
    EXPECT_EQ(ShowModified, 1);

    // Removing 2: references to 2 cleared, those above down by one.
    EXPECT_EQ(RemovePositionScene(2), 1);
    const std::uint8_t afterRemove[] = {0, 1, 0, 2, 4, 5};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(Scene(0, k).positionRef, afterRemove[k]) << k;
    EXPECT_EQ(PositionSceneAt(2)->name, "P3");

    // The limits, with their messages; nothing changes.
    MakePositions(255);
    EXPECT_EQ(AddPositionScene(10), 0);
    EXPECT_EQ(PositionSceneCount, 255);
    MakePositions(1);
    EXPECT_EQ(RemovePositionScene(1), 0);
    EXPECT_EQ(PositionSceneCount, 1);
    EXPECT_TRUE(BoxShown("Brantoval-1024|Can't create more than 255 positions"));
    EXPECT_TRUE(BoxShown("This is the last position\r\nUse \"Position Memory\" -> \"Remove\""));
}

TEST_F(SequenceListsCoreTest, UpdatesCopyOnlyThePositionChannelsOfPanTiltFixtures)
{
    // A head with pan, tilt, both fines and two Focus channels; a head with pan, tilt and
    // one fine only; a fixture with Focus but no tilt.
    const int head = AddDeviceType("head", 6, {FunctionPan, FunctionTilt, FunctionPanFine, FunctionTiltFine,
                                               FunctionFocus, FunctionFocus});
    const int half = AddDeviceType("half", 4, {FunctionPan, FunctionTilt, FunctionPanFine, FunctionDimmer});
    const int lamp = AddDeviceType("lamp", 2, {FunctionPan, FunctionFocus});
    PatchFixture(head, 0, "H");
    PatchFixture(half, 10, "F");
    PatchFixture(lamp, 20, "L");
    AddSequence("A", 4);
    AddSequence("B", 1);
    for (int s = 0; s < 2; ++s)
        for (int k = 0; k < Sequences[static_cast<std::size_t>(s)]->sceneCount; ++k)
            std::memset(Scene(s, k).levels, 7, MaxChannels);
    MakePositions(200);
    Scene(0, 0).positionRef = 1;
    Scene(0, 1).positionRef = 2;
    // Scene 2 has no reference; scene 3 names a position the table does not hold.
    Scene(0, 3).positionRef = 230;
    Scene(1, 0).positionRef = 200;

    EXPECT_EQ(UpdatePositionReferences(1), 1);
    const int changed[] = {0, 1, 2, 3, 4, 5, 10, 11};
    for (int c : changed)
        EXPECT_EQ(Scene(0, 0).levels[c], 1) << c;
    // The half head's single fine, its dimmer, the lamp and every other channel stay.
    for (int c : {12, 13, 20, 21, 6, 500})
        EXPECT_EQ(Scene(0, 0).levels[c], 7) << c;
    EXPECT_EQ(Scene(0, 1).levels[0], 7);
    EXPECT_EQ(Scene(0, 2).levels[0], 7);
    EXPECT_EQ(Scene(1, 0).levels[0], 7);

    // Update All: every reference takes its own position, one above the count is skipped.
    EXPECT_EQ(UpdatePositionReferences(0), 3);
    EXPECT_EQ(Scene(0, 1).levels[4], 2);
    EXPECT_EQ(Scene(1, 0).levels[5], 200);
    EXPECT_EQ(Scene(1, 0).levels[11], 200);
    EXPECT_EQ(Scene(0, 3).levels[0], 7);
    EXPECT_EQ(Scene(0, 2).levels[0], 7);

    // Get Positions copies all levels of the current scene.
    CurSequence = 0;
    CurScene = 2;
    Scene(0, 2).levels[1023] = 99;
    EXPECT_TRUE(TakePositionsFromCurrentScene(3));
    EXPECT_EQ(0, std::memcmp(PositionSceneAt(3)->levels, Scene(0, 2).levels, MaxChannels));
    CurScene = -1;
    EXPECT_FALSE(TakePositionsFromCurrentScene(3));
}

TEST_F(SequenceListsCoreTest, GridLayoutCellsAndSlotToggles)
{
    // Room for 11 rows (20 px each), wide enough for three pairs.
    SequenceGridRoom room{600, 222, 20, 0, 48, 120};
    auto g = LayOutSequenceGrid(room, 30);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->pairs, 3);
    EXPECT_EQ(g->rows, 11);
    EXPECT_EQ(SequenceOfCell(*g, 2, 1, 30), 10);
    EXPECT_EQ(SequenceOfCell(*g, 5, 10, 30), 29);
    EXPECT_EQ(SequenceOfCell(*g, 0, 0, 30), -1);
    EXPECT_EQ(NumberCellOf(*g, 25).column, 4);
    EXPECT_EQ(NumberCellOf(*g, 25).row, 6);

    // Too narrow for three pairs: one row less leaves room for the scroll bar.
    room.clientWidth = 400;
    g = LayOutSequenceGrid(room, 30);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->pairs, 4);
    EXPECT_EQ(g->rows, 10);
    EXPECT_EQ(SequenceOfCell(*g, 6, 3, 30), 29);
    EXPECT_EQ(SequenceOfCell(*g, 6, 4, 30), -1);

    // Few sequences: the grid is just tall enough; less than five rows of room: no layout.
    g = LayOutSequenceGrid(room, 4);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->rows, 5);
    EXPECT_EQ(g->pairs, 1);
    room.clientHeight = 90;
    EXPECT_FALSE(LayOutSequenceGrid(room, 4));

    EXPECT_EQ(FaceSizes(true).rowHeight, 40);
    EXPECT_EQ(FaceSizes(false).separator, 24);

    // The cue grid's slot toggle.
    SlotToggle t = ToggleSlot(5, false, 2);
    EXPECT_TRUE(t.on);
    EXPECT_EQ(t.sequence, 2);
    t = ToggleSlot(2, true, 2);
    EXPECT_FALSE(t.on);
    t = ToggleSlot(7, true, 2);
    EXPECT_TRUE(t.on);
    EXPECT_EQ(t.sequence, 2);
}

TEST_F(SequenceListsCoreTest, MovingASequenceShiftsTheOthersAndWhatPlaysThem)
{
    EXPECT_EQ(MovedSequenceIndex(0, 0, 2), 2);
    EXPECT_EQ(MovedSequenceIndex(1, 0, 2), 0);
    EXPECT_EQ(MovedSequenceIndex(2, 0, 2), 1);
    EXPECT_EQ(MovedSequenceIndex(3, 0, 2), 3);
    EXPECT_EQ(MovedSequenceIndex(-1, 0, 2), -1);
    EXPECT_EQ(MovedSequenceIndex(1, 3, 1), 2);
    EXPECT_EQ(MovedSequenceIndex(3, 3, 1), 1);
    EXPECT_EQ(MovedSequenceIndex(0, 3, 1), 0);

    for (const char *name : {"A", "B", "C", "D"})
        AddSequence(name, 1);
    PlayInBackground = 1;
    PlaySequence = 0;
    PlayerSlots[0].sequence = 1;
    PlayerSlots[1].sequence = 3;
    UndoBlockValid = 1;
    ASSERT_TRUE(MoveSequence(0, 2));
    std::string order;
    for (int i = 0; i < SequenceCount; ++i)
        order += Sequences[static_cast<std::size_t>(i)]->name;
    EXPECT_EQ(order, "BCAD");
    EXPECT_EQ(PlaySequence, 2);
    EXPECT_EQ(PlayerSlots[0].sequence, 0);
    EXPECT_EQ(PlayerSlots[1].sequence, 3);
    EXPECT_EQ(UndoBlockValid, 0);
    EXPECT_FALSE(MoveSequence(1, 1));
    EXPECT_FALSE(MoveSequence(1, 4));
    PlayInBackground = 0;
    for (PlayerSlot &s : PlayerSlots)
        s = PlayerSlot{};
}

TEST_F(SequenceListsCoreTest, DeviceSequenceFileRoundTripAndRefusals)
{
    const int spot = AddDeviceType("spot12", 12);
    const int other = AddDeviceType("other", 3);
    PatchFixture(spot, 100, "S");
    SequenceRecord *seq = AddSequence("A", 10);
    for (int k = 0; k < 10; ++k)
        for (int j = 0; j < 12; ++j)
            seq->scenes[k]->levels[100 + j] = static_cast<std::uint8_t>(k * 16 + j);

    const std::string path = Folder() + "range";
    ASSERT_TRUE(SaveDeviceSequenceFile(path, Fixtures[0], *seq, 2, 6));
    const Bytes b = ReadFileBytes(path + ".sqd");
    ASSERT_EQ(b.size(), 74u);
    EXPECT_EQ(b[0], 10);
    EXPECT_EQ(std::string(b.begin() + 1, b.begin() + 11), "spot12.dsp");
    EXPECT_EQ(b[11], 12);
    EXPECT_EQ(b[12], 5);
    EXPECT_EQ(b[13], 0);
    // Channel 0 over scenes 3..7, then channel 1.
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(b[14 + k], (k + 2) * 16);
    EXPECT_EQ(b[19], 2 * 16 + 1);

    // Loading finds the type by the lower-cased name and fills the clipboard exactly.
    Bytes upper = b;
    std::memcpy(upper.data() + 1, "SPOT12.DSP", 10);
    upper.push_back(0xEE);   // bytes after the levels are ignored
    WriteFileBytes(Folder() + "upper.sqd", upper);
    ASSERT_TRUE(LoadDeviceSequenceFile(Folder() + "upper.sqd"));
    EXPECT_EQ(DeviceSequenceType, spot);
    EXPECT_EQ(DeviceSequenceSceneCount, 5);
    EXPECT_EQ(DeviceSequenceValues, Bytes(b.begin() + 14, b.end()));

    // Refused: a short file and a negative count; the clipboard stays.
    const auto kept = DeviceSequenceValues;
    WriteFileBytes(Folder() + "short.sqd", Bytes(b.begin(), b.end() - 1));
    EXPECT_FALSE(LoadDeviceSequenceFile(Folder() + "short.sqd"));
    Bytes negative = b;
    negative[12] = 0xFF;
    negative[13] = 0xFF;
    WriteFileBytes(Folder() + "negative.sqd", negative);
    EXPECT_FALSE(LoadDeviceSequenceFile(Folder() + "negative.sqd"));
    EXPECT_EQ(DeviceSequenceValues, kept);
    EXPECT_EQ(DeviceSequenceSceneCount, 5);
    EXPECT_TRUE(BoxShown("Brantoval-1024|Error reading file"));

    // An unknown name gives type 0; no scenes is a valid, empty file.
    Bytes empty = {5, 'x', 'y', 'z', '.', 'd', 3, 0, 0};
    WriteFileBytes(Folder() + "empty.sqd", empty);
    DeviceSequenceType = other;
    ASSERT_TRUE(LoadDeviceSequenceFile(Folder() + "empty.sqd"));
    EXPECT_EQ(DeviceSequenceType, 0);
    EXPECT_EQ(DeviceSequenceSceneCount, 0);
    EXPECT_TRUE(DeviceSequenceValues.empty());

    // A failed write leaves no file and says so.
    FileWriter() = [](const std::string &, const std::function<bool(const std::string &)> &) { return false; };
    EXPECT_FALSE(SaveDeviceSequenceFile(Folder() + "failed.sqd", Fixtures[0], *seq, 0, 1));
    EXPECT_FALSE(std::filesystem::exists(Folder() + "failed.sqd"));
    EXPECT_TRUE(BoxShown("Brantoval-1024|Error writing file"));
}

TEST_F(SequenceListsCoreTest, SceneRangeUpDownsFollowTheMode)
{
    SceneRangeChoice r = InitialSceneRange(0, 3, 10, 0);
    EXPECT_EQ(r.fromMin, 1);
    EXPECT_EQ(r.fromMax, 10);
    EXPECT_EQ(r.from, 4);
    EXPECT_EQ(r.toMin, 4);
    EXPECT_EQ(r.toMax, 10);
    EXPECT_EQ(r.to, 10);
    r.to = 5;
    FromSceneChanged(r, 0, 7, 10, 0);
    EXPECT_EQ(r.toMin, 7);
    EXPECT_EQ(r.to, 7);

    r = InitialSceneRange(1, 2, 10, 20);
    EXPECT_EQ(r.toMin, 3);
    EXPECT_EQ(r.toMax, 10);
    r = InitialSceneRange(1, 2, 10, 4);
    EXPECT_EQ(r.toMin, 3);
    EXPECT_EQ(r.toMax, 6);
    EXPECT_EQ(r.to, 6);
    r = InitialSceneRange(1, 2, 10, 20);
    FromSceneChanged(r, 1, 8, 10, 20);
    EXPECT_EQ(r.toMin, 8);
    EXPECT_EQ(r.toMax, 10);
    EXPECT_EQ(r.to, 10);
}

} // namespace
