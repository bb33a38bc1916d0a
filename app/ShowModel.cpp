#include "ShowModel.h"
#include "LevelPipeline.h"
#include "PlayState.h"

#include <malloc.h>
#include <new>

namespace {
// A sequence record (with room for 16384 scene pointers) is just above the C library's
// default limit for taking a block straight from the kernel: each record would be
// mapped and unmapped on its own, and every unmap flushes the address translations of
// all processors. With a thousand sequences that made opening a show take seconds.
// Blocks up to 4 MB come from the heap instead, and up to 16 MB freed at the top of the
// heap stay there for the next show rather than going back and forth to the kernel.
[[maybe_unused]] const bool SequenceRecordsOnHeap = [] {
    return mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024) == 1 && mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024) == 1;
}();
} // namespace

std::vector<FixtureRecord> Fixtures;
std::int32_t FixtureCount = 0;
std::int32_t SelectedFixture = -1;
std::vector<DeviceTypeEntry> DeviceTypes;
std::int32_t DeviceTypeCount = 0;

std::array<SequenceRecord *, MaxSequences> Sequences = {};
std::int32_t SequenceCount = 0;
std::int32_t CurSequence = -1;
std::int32_t CurScene = -1;

std::vector<PositionScene> PositionScenes;
std::int32_t PositionSceneCount = 0;
std::vector<CueRecord> Cues;
std::int32_t CueCount = 0;
std::vector<GroupRecord> Groups;
std::int32_t GroupCount = 0;
std::vector<PlayListEntry> PlayListEntries;
std::int32_t PlayListCount = 0;
std::array<PhysicalMasterRecord, PhysicalMasterCount> PhysicalMasters = {};
std::array<InputFunctionEntry, MaxInputFunctions> InputFunctions = {};
std::int16_t InputFunctionCount = 0;

std::string ShowFileName;
Name16 ShowName = {};
std::uint8_t ShowFileState = 1;
std::uint8_t FavouriteAssigned = 0;

// Level pipeline.
std::uint8_t DmxOutLevels[MaxChannels];
std::uint8_t DmxInvert[MaxChannels];
std::uint8_t DmxInverted[MaxChannels];
std::int16_t DmxPatch[MaxChannels] = {
#define P4(n) n, n + 1, n + 2, n + 3
#define P16(n) P4(n), P4(n + 4), P4(n + 8), P4(n + 12)
#define P64(n) P16(n), P16(n + 16), P16(n + 32), P16(n + 48)
#define P256(n) P64(n), P64(n + 64), P64(n + 128), P64(n + 192)
    P256(0), P256(256), P256(512), P256(768)
#undef P256
#undef P64
#undef P16
#undef P4
};
std::uint8_t DmxScale[MaxChannels];
std::uint8_t DmxOutFrame[MaxChannels];
std::uint8_t DmxPrevFrame[MaxChannels];
std::uint8_t FadeKind[MaxChannels];
std::int16_t FineChannel[MaxChannels];
std::int16_t ChannelOffValues[MaxChannels];
std::uint8_t ChannelUsed[MaxChannels];
std::uint8_t ChannelActive[MaxChannels];
std::uint8_t FixtureStart[MaxChannels];
ChannelOwnerEntry ChannelOwner[MaxChannels];
std::uint8_t CrossFadeFrom[MaxChannels];
std::uint8_t CrossFadeTo[MaxChannels];
std::uint8_t CrossFadeLevels[MaxChannels];
std::uint8_t MultiMergeLevels[MaxChannels];
std::uint8_t FavouriteLevels[MaxChannels];
std::uint8_t PhysMasterMap[MaxChannels];
std::uint8_t DmxInLevels[MaxInputChannels];
std::uint8_t DmxInPrev[MaxInputChannels];

std::int32_t DmxOutChannels = 1024;
std::int32_t DeviceState = -1;
std::uint16_t InterfaceKind = 888;
std::uint8_t HardwareRevision[4] = {};
std::uint8_t DmxOutEnabled = 1;
std::atomic<std::uint8_t> SendFullFrame{0};
std::uint8_t DmxInEnabled = 0;
std::uint8_t DmxInThrough = 0;
std::uint8_t DmxInFromLan = 0;
std::uint8_t DmxInMode = 0;
std::int32_t InputClock = 0;

// Play state.
Flag Playing{0};
Flag PlayInBackground{0};
Flag MultiSeqRunning{0};
Flag CrossFading{0};
Flag PlayPaused{0};
Flag BlackOutOn{0};
Flag FavouriteOn{0};
std::int32_t PlaySequence = 0;
std::int32_t PlayScene = 0;
std::int32_t NextScene = 0;
std::int32_t PlayClock = 0;
std::int32_t NextStepTime = 0;
std::int32_t FadeEnd = 0;
std::int32_t FadeTicks = 0;
Flag BeatTrigger{0};
Flag ManualTrigger{0};
std::uint8_t MidiInputOn = 0;
std::int32_t LastTriggerTime = 0;
std::uint8_t HardwareBeatInput = 0;
std::uint8_t SynchMode = 0;
Flag SceneChanged{0};
Flag OutputChanged{0};
Flag FrameChanged{0};
std::atomic<std::int32_t> TickDuration{0};
Flag EngineBusy{0};
Flag TickInProgress{0};
std::uint8_t ShowModified = 0;
std::array<PlayerSlot, PlayerSlotCount> PlayerSlots = {};

namespace {
// Channel off values start as "none"; masters and scale start open.
struct InitialTables {
    InitialTables()
    {
        for (auto &v : ChannelOffValues)
            v = -1;
        ResetMasterTables();
        for (auto &o : ChannelOwner)
            o = ChannelOwnerEntry{};
    }
} initialTables;
} // namespace

int AddFixture()
{
    Fixtures.emplace_back();
    FixtureCount = static_cast<std::int32_t>(Fixtures.size());
    return FixtureCount - 1;
}

void ClearFixtures()
{
    Fixtures.clear();
    FixtureCount = 0;
    SelectedFixture = -1;
}

SequenceRecord *NewSequenceRecord(int index)
{
    auto *seq = new (std::nothrow) SequenceRecord();
    if (!seq)
        return nullptr;
    if (index > 0 && index <= SequenceCount && Sequences[index - 1]) {
        const SequenceRecord *prev = Sequences[index - 1];
        seq->tempo = prev->tempo;
        seq->commonFade = prev->commonFade;
        seq->flags = prev->flags;
        seq->modes = prev->modes;
        seq->jumpTiming = prev->jumpTiming;
    }
    return seq;
}

SceneRecord *NewSceneRecord(const SequenceRecord *seq)
{
    auto *scene = new (std::nothrow) SceneRecord();
    if (!scene)
        return nullptr;
    scene->sceneTime = 500;
    scene->fadeTime = 50;
    if (seq && CurScene >= 0 && CurScene < seq->sceneCount && seq->scenes[CurScene])
        scene->sceneTime = seq->scenes[CurScene]->sceneTime;
    return scene;
}

void FreeSequence(SequenceRecord *seq)
{
    if (!seq)
        return;
    seq->scenes.ForEachHeld([](SceneRecord *scene) { delete scene; });
    delete seq;
}

void FreeShowTables()
{
    for (auto &seq : Sequences) {
        FreeSequence(seq);
        seq = nullptr;
    }
    SequenceCount = 0;
    CurSequence = -1;
    CurScene = -1;
    Cues.clear();
    CueCount = 0;
    Groups.clear();
    GroupCount = 0;
    PlayListEntries.clear();
    PlayListCount = 0;
}

void ResetChannelMaps()
{
    for (int i = 0; i < MaxChannels; ++i) {
        ChannelActive[i] = 0;
        ChannelUsed[i] = 0;
        FixtureStart[i] = 0;
        DmxInvert[i] = 0;
        DmxPatch[i] = static_cast<std::int16_t>(i);
        ChannelOwner[i] = ChannelOwnerEntry{};
    }
}

void ResetMasterTables()
{
    for (int i = 0; i < MaxChannels; ++i) {
        PhysMasterMap[i] = 255;
        DmxScale[i] = 255;
    }
    InputFunctions.fill(InputFunctionEntry{});
}
