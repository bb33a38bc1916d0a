#include "app/LevelPipeline.h"
#include "app/PlayState.h"
#include "app/SceneRecordIO.h"
#include "app/ShowModel.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Model, NewRecordsAreZeroFilledWithTheirDefaults)
{
    int i = AddFixture();
    FixtureRecord &f = Fixtures[i];
    f.channelCount = 16;
    for (int j = 16; j < MaxFixtureChannels; ++j) {
        EXPECT_EQ(f.used[j], 0);
        EXPECT_EQ(f.invert[j], 0);
        EXPECT_EQ(f.values[j], 0);
        EXPECT_EQ(f.states[j], 0);
    }
    EXPECT_EQ(FixtureCount, 1);
    ClearFixtures();
    EXPECT_EQ(FixtureCount, 0);

    SequenceRecord *first = NewSequenceRecord(0);
    EXPECT_EQ(first->tempo, 120u);
    EXPECT_EQ(first->commonFade, 50u);
    first->tempo = 90;
    first->flags = SeqFlagCycle;
    Sequences[0] = first;
    SequenceCount = 1;
    SequenceRecord *second = NewSequenceRecord(1);
    EXPECT_EQ(second->tempo, 90u);
    EXPECT_EQ(second->flags, SeqFlagCycle);
    EXPECT_EQ(second->sceneCount, 0);

    SceneRecord *s = NewSceneRecord(first);
    EXPECT_EQ(s->sceneTime, 500u);
    s->sceneTime = 1234;
    first->scenes[0] = s;
    first->sceneCount = 1;
    CurScene = 0;
    SceneRecord *t = NewSceneRecord(first);
    EXPECT_EQ(t->sceneTime, 1234u);
    delete t;
    delete second;
    FreeShowTables();
    EXPECT_EQ(SequenceCount, 0);
    EXPECT_EQ(Sequences[0], nullptr);
}

TEST(Model, StartTablesAreOpen)
{
    EXPECT_EQ(DmxPatch[0], 0);
    EXPECT_EQ(DmxPatch[1023], 1023);
    EXPECT_EQ(DmxScale[500], 255);
    EXPECT_EQ(PhysMasterMap[7], 255);
    EXPECT_EQ(ChannelOffValues[3], -1);
    EXPECT_EQ(DmxOutChannels, 1024);
    EXPECT_EQ(DeviceState, -1);
}

TEST(Model, EngineBusyGuardRestoresTheSavedValue)
{
    EngineBusy = 0;
    {
        EngineBusyGuard outer;
        EXPECT_EQ(EngineBusy.load(), 1);
        {
            EngineBusyGuard inner;
        }
        EXPECT_EQ(EngineBusy.load(), 1);
    }
    EXPECT_EQ(EngineBusy.load(), 0);
}

TEST(SceneRecord, RoundTripIs1052BytesAndKeepsTheReservedByte)
{
    SceneRecord a;
    std::memcpy(a.name.data(), "Scene one\0\0\0\0\0\0\xE9", 16);
    a.sceneTime = 777;
    a.positionRef = 3;
    a.reserved = 0xA5;
    a.fadeTime = 200;
    for (int i = 0; i < MaxChannels; ++i)
        a.levels[i] = static_cast<std::uint8_t>(i * 7);
    MemoryStream out;
    WriteSceneRecord(out, a);
    ASSERT_EQ(out.Size(), 1052);
    EXPECT_EQ(out.Data()[22], 0x00);
    EXPECT_EQ(out.Data()[23], 0x04);   // level count 1024

    MemoryStream in(out.Data());
    SceneRecord b;
    ReadSceneRecord(in, &b);
    EXPECT_EQ(in.Position(), 1052);
    EXPECT_EQ(b.name, a.name);
    EXPECT_EQ(b.sceneTime, 777u);
    EXPECT_EQ(b.positionRef, 3);
    EXPECT_EQ(b.reserved, 0xA5);
    EXPECT_EQ(b.fadeTime, 200u);
    EXPECT_EQ(std::memcmp(a.levels, b.levels, MaxChannels), 0);
}

namespace {
std::vector<std::uint8_t> RecordWith(std::uint16_t count, std::uint32_t fade, std::size_t levelBytes)
{
    MemoryStream s;
    char name[16] = "x";
    s.Write(name, 16);
    s.WriteU32(100);
    s.WriteU8(0);
    s.WriteU8(0);
    s.WriteU16(count);
    s.WriteU32(fade);
    std::vector<std::uint8_t> levels(levelBytes, 9);
    s.Write(levels.data(), levels.size());
    return s.Data();
}
} // namespace

TEST(SceneRecord, OlderAndDamagedRecords)
{
    // Level count 0 means 512 levels; a short fade becomes 50.
    MemoryStream old(RecordWith(0, 30, 512));
    SceneRecord s;
    ReadSceneRecord(old, &s);
    EXPECT_EQ(s.fadeTime, 50u);
    EXPECT_EQ(s.levels[511], 9);
    EXPECT_EQ(s.levels[512], 0);
    EXPECT_EQ(old.Remaining(), 0);

    // The skip form passes over the same record.
    MemoryStream skip(RecordWith(0, 30, 512));
    ReadSceneRecord(skip, nullptr);
    EXPECT_EQ(skip.Remaining(), 0);

    // Too many levels fail without writing past the record.
    MemoryStream big(RecordWith(2000, 100, 2000));
    SceneRecord guard[2];
    guard[1].levels[0] = 0x5A;
    EXPECT_THROW(ReadSceneRecord(big, &guard[0]), StreamError);
    EXPECT_EQ(guard[1].levels[0], 0x5A);

    // A truncated record fails in both forms.
    for (std::size_t cut : {std::size_t(10), std::size_t(25), std::size_t(600)}) {
        auto bytes = RecordWith(1024, 100, 1024);
        bytes.resize(cut);
        MemoryStream a(bytes), b(bytes);
        EXPECT_THROW(ReadSceneRecord(a, &s), StreamError);
        EXPECT_THROW(ReadSceneRecord(b, nullptr), StreamError);
    }
}
