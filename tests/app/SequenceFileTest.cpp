// Sequence and scene files and the show preview without windows: the layouts byte by
// byte, the older layout, the repairs on reading, and files that are short or lie about
// their counts.
#include "fixtures/ShowFileTestSupport.h"

#include "app/PatchLoader.h"
#include "app/SequenceFile.h"
#include "app/ShowFile.h"
#include "app/ShowPreview.h"

#include <cstring>

namespace {

class SequenceFileTest : public ShowFileTest {};

Bytes Written(const SequenceRecord &seq)
{
    MemoryStream s;
    WriteSequenceFile(s, seq);
    return s.Data();
}

SequenceReadResult Read(const Bytes &bytes, StagedSequence &staged)
{
    MemoryStream s(bytes);
    return ReadSequenceFile(s, staged);
}

void PutU16(Bytes &b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(Bytes &b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// One scene record of 28 + `levels` bytes.
Bytes SceneBytes(std::uint32_t time, std::uint32_t fade, std::uint16_t levelCount, int levels, std::uint8_t level)
{
    Bytes b(28 + static_cast<std::size_t>(levels), level);
    std::memset(b.data(), 0, 28);
    std::memcpy(b.data(), "LOADED", 6);
    PutU32(b, 16, time);
    b[20] = 3;   // position reference
    b[21] = 9;   // reserved
    PutU16(b, 22, levelCount);
    PutU32(b, 24, fade);
    return b;
}

} // namespace

TEST_F(SequenceFileTest, WrittenFileFollowsTheLayoutAndKeepsZeroTimesInMemory)
{
    SequenceRecord *seq = AddSequence("AB", 2);
    seq->tempo = 100;
    seq->commonFade = 70;
    seq->flags = 3;
    seq->modes = 0x11;
    seq->jumpTiming = 1;
    seq->scenes[0]->sceneTime = 0;
    seq->scenes[1]->sceneTime = 777;
    const Bytes b = Written(*seq);

    ASSERT_EQ(b.size(), 23u + 2 + 2 * 1052);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 8), (Bytes{'S', 'Q', 'N', 'L', 0x33, 0, 0, 0}));
    EXPECT_EQ(b[8], 2);
    EXPECT_EQ(std::string(b.begin() + 9, b.begin() + 11), "AB");
    EXPECT_EQ(U32At(b, 11), 100u);
    EXPECT_EQ(U32At(b, 15), 70u);
    EXPECT_EQ(b[19], 3);
    EXPECT_EQ(b[20], 0x11);
    EXPECT_EQ(b[21] | (b[22] << 8), 2);
    EXPECT_EQ(b[23] | (b[24] << 8), 1);
    const std::size_t scene0 = 25, scene1 = 25 + 1052;
    EXPECT_EQ(U32At(b, scene0 + 16), 500u);
    EXPECT_EQ((b[scene0 + 22] | (b[scene0 + 23] << 8)), 1024);
    EXPECT_EQ(U32At(b, scene1 + 16), 777u);
    EXPECT_EQ(seq->scenes[0]->sceneTime, 0u);

    // Read back: every field, scene time 0 now 500.
    StagedSequence staged;
    ASSERT_EQ(Read(b, staged), SequenceReadResult::Ok);
    const SequenceRecord &r = *staged.record;
    EXPECT_EQ(r.name, "AB");
    EXPECT_EQ(r.tempo, 100u);
    EXPECT_EQ(r.commonFade, 70u);
    EXPECT_EQ(r.flags, 3);
    EXPECT_EQ(r.modes, 0x11);
    EXPECT_EQ(r.jumpTiming, 1);
    ASSERT_EQ(r.sceneCount, 2);
    EXPECT_EQ(r.scenes[0]->sceneTime, 500u);
    EXPECT_EQ(0, std::memcmp(r.scenes[1]->levels, seq->scenes[1]->levels, MaxChannels));
    // Written again it is the same file.
    EXPECT_EQ(Written(r), b);
}

TEST_F(SequenceFileTest, ZeroTempoReadsAs120)
{
    SequenceRecord *seq = AddSequence("T", 1);
    Bytes b = Written(*seq);
    PutU32(b, 10, 0);
    StagedSequence staged;
    ASSERT_EQ(Read(b, staged), SequenceReadResult::Ok);
    EXPECT_EQ(staged.record->tempo, 120u);
}

TEST_F(SequenceFileTest, SceneFilesLoadWholeShortAndRepaired)
{
    // A written scene file is one 1052-byte record and loads as that scene.
    SequenceRecord *seq = AddSequence("S", 1);
    seq->scenes[0]->sceneTime = 0;
    MemoryStream out;
    WriteSceneFile(out, *seq->scenes[0]);
    ASSERT_EQ(out.Data().size(), 1052u);
    {
        MemoryStream in(out.Data());
        auto scene = std::make_unique<SceneRecord>();
        ASSERT_TRUE(ReadSceneFile(in, *scene));
        EXPECT_EQ(scene->sceneTime, 500u);
        EXPECT_EQ(0, std::memcmp(scene->levels, seq->scenes[0]->levels, MaxChannels));
    }
    // Level count 0: 512 levels, the rest stays as the zeroed record had it; a fade of
    // 30 ms becomes 50; name, reference and reserved byte come from the file.
    {
        MemoryStream in(SceneBytes(900, 30, 0, 512, 77));
        auto scene = std::make_unique<SceneRecord>();
        ASSERT_TRUE(ReadSceneFile(in, *scene));
        EXPECT_EQ(scene->levels[511], 77);
        EXPECT_EQ(scene->levels[512], 0);
        EXPECT_EQ(scene->levels[1023], 0);
        EXPECT_EQ(scene->fadeTime, 50u);
        EXPECT_EQ(scene->sceneTime, 900u);
        EXPECT_EQ(scene->positionRef, 3);
        EXPECT_EQ(scene->reserved, 9);
        EXPECT_EQ(std::string(scene->name.data(), 6), "LOADED");
    }
    // Short records and a level count above 1024 fail.
    for (const Bytes &bad : {SceneBytes(1, 50, 1024, 1000, 1), SceneBytes(1, 50, 1025, 1025, 1), Bytes(20, 0)}) {
        MemoryStream in(bad);
        auto scene = std::make_unique<SceneRecord>();
        EXPECT_FALSE(ReadSceneFile(in, *scene));
    }
}

TEST_F(SequenceFileTest, OlderLayoutReadsNameCountAndTempoTimes)
{
    Bytes b(16 + 4 + 2 + 65536, 0);
    std::memcpy(b.data(), "OLD", 3);
    b[17] = 0xEE;   // the unused bytes may hold anything
    PutU16(b, 20, 2);
    for (std::uint32_t bpm : {0u, 120u}) {
        const Bytes scene = SceneBytes(bpm, 100, 1024, 1024, 5);
        b.insert(b.end(), scene.begin(), scene.end());
    }
    ASSERT_EQ(b.size(), 67662u);
    StagedSequence staged;
    ASSERT_EQ(Read(b, staged), SequenceReadResult::Ok);
    const SequenceRecord &r = *staged.record;
    EXPECT_EQ(r.name, "OLD");
    EXPECT_EQ(r.tempo, 120u);
    EXPECT_EQ(r.commonFade, 0u);
    EXPECT_EQ(r.flags, 0);
    EXPECT_EQ(r.modes, 0);
    ASSERT_EQ(r.sceneCount, 2);
    EXPECT_EQ(r.scenes[0]->sceneTime, 120u);
    EXPECT_EQ(r.scenes[1]->sceneTime, 500u);

    // "SQNL" with another version is not the current layout.
    Bytes other = Written(*AddSequence("X", 1));
    other[4] = 50;
    StagedSequence again;
    EXPECT_EQ(Read(other, again), SequenceReadResult::Bad);
}

TEST_F(SequenceFileTest, EveryCutOfAThreeSceneFileFailsAndLeavesNothingStaged)
{
    const Bytes b = Written(*AddSequence("SEQUENCE 1", 3));
    ASSERT_EQ(b.size(), 3189u);
    for (std::size_t len = 0; len < b.size(); ++len) {
        StagedSequence staged;
        ASSERT_EQ(Read(Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(len)), staged),
                  SequenceReadResult::Bad)
            << len;
        EXPECT_EQ(staged.record->sceneCount, 0) << len;
        EXPECT_EQ(staged.record->scenes[0], nullptr) << len;
    }
}

TEST_F(SequenceFileTest, CountsThatDoNotFitAreRefused)
{
    const Bytes good = Written(*AddSequence("C", 2));
    const std::size_t countAt = 9 + 1 + 10;
    for (std::uint16_t count : {std::uint16_t(0xFFFF), std::uint16_t(16385), std::uint16_t(3)}) {
        Bytes b = good;
        PutU16(b, countAt, count);
        StagedSequence staged;
        EXPECT_EQ(Read(b, staged), SequenceReadResult::Bad) << count;
    }
    Bytes levels = good;
    PutU16(levels, 24 + 22, 1025);
    StagedSequence staged;
    EXPECT_EQ(Read(levels, staged), SequenceReadResult::Bad);
    // An empty sequence is a whole file.
    Bytes none = good;
    none.resize(24);
    PutU16(none, countAt, 0);
    StagedSequence empty;
    EXPECT_EQ(Read(none, empty), SequenceReadResult::Ok);
}

TEST_F(SequenceFileTest, NamesAreCutAtTheFirstPointOfTheFileName)
{
    EXPECT_EQ(NameCutAtFirstPoint("d.x/a.b.sqn", ".sqn"), "d.x/a.sqn");
    EXPECT_EQ(NameCutAtFirstPoint("/s/scene", ".scn"), "/s/scene.scn");
    EXPECT_EQ(ShowNameCutAtFirstPoint("/a.b/show.x.d1k"), "/a.b/show.d1k");
}

TEST_F(SequenceFileTest, PreviewListsFixturesVersionAndSequences)
{
    DeviceTypeEntry t;
    t.fileName = "spot.dsp";
    t.deviceName = "Spot";
    t.channelCount = 8;
    t.usedMask = 0xFF;
    DeviceTypes.push_back(t);
    DeviceTypeCount = 1;
    PatchFixture(0, 0, "Spot");
    AddSequence("SEQUENCE 1", 1);
    const Bytes show = WriteShowBytes();
    const std::uint8_t versionBefore = LoadedSetupVersion;
    LoadedSetupVersion = 40;

    MemoryStream in(show);
    const std::vector<std::string> lines = ShowPreviewLines(in);
    EXPECT_EQ(lines, (std::vector<std::string>{" ST NN User Header", "------------------", "  0  8 Spot",
                                               "**** Show V51 ****", "SEQUENCE 1 = 1"}));
    EXPECT_EQ(LoadedSetupVersion, 40);
    EXPECT_EQ(FixtureCount, 1);
    EXPECT_EQ(SequenceCount, 1);
    LoadedSetupVersion = versionBefore;

    EXPECT_EQ(ShowPreviewCaption("d1k"), "Preview");
    EXPECT_EQ(ShowPreviewCaption("dmx"), "Can't preview");
}

TEST_F(SequenceFileTest, PreviewOfBrokenShowsEndsQuietly)
{
    AddSequence("SEQUENCE 1", 2);
    const Bytes show = WriteShowBytes();
    // Every cut ends the text somewhere, never with a box or a crash.
    for (std::size_t len = 0; len < show.size(); len += 7) {
        MemoryStream in(Bytes(show.begin(), show.begin() + static_cast<std::ptrdiff_t>(len)));
        const auto lines = ShowPreviewLines(in);
        EXPECT_LE(lines.size(), 4u) << len;
    }
    // A later version and an impossible sequence count: no box either.
    Bytes later = show;
    later[8] = 53;
    MemoryStream laterIn(later);
    EXPECT_TRUE(ShowPreviewLines(laterIn).empty());
    EXPECT_TRUE(Boxes().empty());
}
