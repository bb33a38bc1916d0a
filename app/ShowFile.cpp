#include "ShowFile.h"

#include "Chunk.h"
#include "EngineHold.h"
#include "LevelPipeline.h"
#include "PatchLoader.h"
#include "PhysicalMasters.h"
#include "PlayListFile.h"
#include "PlayState.h"
#include "InterfaceBinding.h"
#include "SceneRecordIO.h"
#include "SetupFile.h"
#include "ShowModel.h"
#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>

std::string Scene3DName;
std::string PlanPath;
std::uint8_t PositionMemoryPresent = 0;
std::atomic<std::uint8_t> ShowFileBusy{0};

namespace {

// The "FADE" chunk of the show being read.
std::optional<CrossFadeSettings> CrossFadeRead;

const char *const AppCaption = "Brantoval-1024";
constexpr std::uint32_t SilverColour = 0xC0C0C0;
constexpr std::uint32_t GreenColour = 0x00FF00;

struct AllocationFailed {};
// A chunk or count that does not fit the file.
struct FormatError {};

class BusyGuard {
public:
    BusyGuard() : saved_(ShowFileBusy.load()) { ShowFileBusy.store(1); }
    ~BusyGuard() { ShowFileBusy.store(saved_); }

private:
    std::uint8_t saved_;
};

void Require(bool ok)
{
    if (!ok)
        throw FormatError{};
}

// Names of cues, groups and position scenes: a length byte and that many characters,
// of which at most 254 are kept (the record's terminator sits at offset 255).
std::string ReadRecordName(BinaryStream &s)
{
    std::string name = s.ReadShortString();
    if (name.size() > 254)
        name.resize(254);
    return name;
}

template <class T> T *Allocate()
{
    T *p = new (std::nothrow) T();
    if (!p)
        throw AllocationFailed{};
    return p;
}

// ---- writing -----------------------------------------------------------------------

bool PhysicalMastersInUse()
{
    for (const auto &f : Fixtures)
        for (int j = 0; j < f.channelCount && j < MaxFixtureChannels; ++j)
            if (f.used[j] == 1 && f.states[j] == 3)
                return true;
    for (std::uint8_t m : PhysMasterMap)
        if (m < 16)
            return true;
    return false;
}

template <class V> std::size_t CountOf(const V &table, std::int32_t count)
{
    return std::min<std::size_t>(table.size(), count > 0 ? static_cast<std::size_t>(count) : 0);
}

void WriteShowChunk(BinaryStream &s)
{
    ChunkWriter chunk(s, "SHOW");
    s.Write(ShowName.data(), ShowName.size());
    int count = std::clamp<int>(SequenceCount, 0, MaxSequences);
    s.WriteI32(count);
    for (int i = 0; i < count; ++i) {
        const SequenceRecord *seq = Sequences[static_cast<std::size_t>(i)];
        static const SequenceRecord empty{};
        if (!seq)
            seq = &empty;
        s.WriteShortString(seq->name);
        s.WriteU32(seq->tempo);
        s.WriteU32(seq->commonFade);
        s.WriteU8(seq->flags);
        s.WriteU8(seq->modes);
        int scenes = std::clamp<int>(seq->sceneCount, 0, MaxScenes);
        s.WriteI16(static_cast<std::int16_t>(scenes));
        s.WriteI16(seq->jumpTiming);
        static const SceneRecord zeroScene{};
        for (int j = 0; j < scenes; ++j)
            WriteSceneRecord(s, seq->scenes[j] ? *seq->scenes[j] : zeroScene);
    }
    chunk.Finish();
}

void WriteChunks(BinaryStream &s)
{
    WriteShowChunk(s);

    if (FavouriteAssigned) {
        ChunkWriter c(s, "FAVR");
        s.Write(FavouriteLevels, MaxChannels);
        c.Finish();
    }
    std::size_t positions = CountOf(PositionScenes, PositionSceneCount);
    if (PositionMemoryPresent && positions > 0) {
        ChunkWriter c(s, "POS2");
        s.WriteI32(static_cast<std::int32_t>(positions));
        for (std::size_t i = 0; i < positions; ++i) {
            s.WriteShortString(PositionScenes[i].name, 254);
            s.Write(PositionScenes[i].levels, MaxChannels);
        }
        c.Finish();
    }
    if (PhysicalMastersInUse()) {
        ChunkWriter c(s, "PHM3");
        s.Write(PhysMasterMap, MaxChannels);
        for (const auto &m : PhysicalMasters)
            s.WriteU8(m.flags);
        for (const auto &m : PhysicalMasters)
            s.WriteU8(m.level);
        c.Finish();
    }
    std::size_t cues = CountOf(Cues, CueCount);
    if (cues > 0) {
        ChunkWriter c(s, "ECUL");
        s.WriteI32(static_cast<std::int32_t>(cues));
        for (std::size_t i = 0; i < cues; ++i) {
            const CueRecord &cue = Cues[i];
            s.WriteShortString(cue.name, 254);
            for (std::int16_t v : cue.sequence)
                s.WriteI16(v);
            s.Write(cue.on, PlayerSlotCount);
        }
        c.Finish();
    }
    std::size_t groups = CountOf(Groups, GroupCount);
    if (groups > 0) {
        ChunkWriter c(s, "GRP2");
        s.WriteI32(static_cast<std::int32_t>(groups));
        for (std::size_t i = 0; i < groups; ++i) {
            s.WriteShortString(Groups[i].name, 254);
            for (const auto &layer : Groups[i].layers)
                s.Write(layer, MaxChannels);
        }
        c.Finish();
    }
    {
        ChunkWriter c(s, "SPP1");
        WritePlacementBody(s);
        c.Finish();
    }
    {
        ChunkWriter c(s, "ROOM");
        for (std::int32_t v : RoomSize)
            s.WriteI32(v);
        c.Finish();
    }
    if (CountOf(PlayListEntries, PlayListCount) > 0) {
        ChunkWriter c(s, "PLS2");
        WritePlayList(s);
        c.Finish();
    }
    if (std::any_of(InputFunctions.begin(), InputFunctions.end(), [](const InputFunctionEntry &e) { return e.kind; })) {
        ChunkWriter c(s, "INFN");
        for (const auto &e : InputFunctions) {
            s.WriteU8(e.index);
            s.WriteU8(e.kind);
        }
        c.Finish();
    }
    {
        ChunkWriter c(s, "FADE");
        auto word = [](std::int32_t time, bool disabled) {
            return (std::uint32_t(time) & 0x7FFFFFFFu) | (disabled ? 0x80000000u : 0u);
        };
        const auto &source = ShowFileEvents().crossFadeSettings;
        const CrossFadeSettings fade = source ? source() : CrossFadeSettings{};
        s.WriteU32(word(fade.favouriteTime, fade.favouriteDisabled));
        s.WriteU32(word(fade.sequenceTime, fade.sequenceDisabled));
        c.Finish();
    }
    if (!Scene3DName.empty()) {
        ChunkWriter c(s, "CR3D");
        s.WriteShortString(Scene3DName);
        c.Finish();
    }
    if (!PlanPath.empty()) {
        ChunkWriter c(s, "PLAN");
        s.WriteShortString(PlanPath);
        c.Finish();
    }
}

// ---- reading -----------------------------------------------------------------------

void ReadShowBody(BinaryStream &s, bool currentLayout)
{
    s.Read(ShowName.data(), ShowName.size());
    std::int32_t count = s.ReadI32();
    Require(count >= 0 && count <= MaxSequences && count <= s.Remaining() / 15);
    for (int i = 0; i < count; ++i) {
        SequenceRecord *seq = Allocate<SequenceRecord>();
        Sequences[static_cast<std::size_t>(i)] = seq;
        SequenceCount = i + 1;
        int scenes;
        if (currentLayout) {
            seq->name = s.ReadShortString();
            seq->tempo = s.ReadU32();
            if (seq->tempo == 0)
                seq->tempo = 120;   // the engine divides by the tempo
            seq->commonFade = s.ReadU32();
            seq->flags = s.ReadU8();
            seq->modes = s.ReadU8();
            scenes = s.ReadI16();
            seq->jumpTiming = s.ReadI16();
        } else {
            char name[16];
            s.Read(name, 16);
            seq->name.assign(name, strnlen(name, 16));
            s.Skip(4);
            scenes = s.ReadI16();
            s.Skip(2);
            seq->tempo = 120;
            seq->commonFade = 50;
            seq->flags = SeqFlagCycle;
        }
        Require(scenes >= 0 && scenes <= MaxScenes && scenes <= s.Remaining() / 28);
        for (int j = 0; j < scenes; ++j) {
            SceneRecord *scene = Allocate<SceneRecord>();
            seq->scenes[j] = scene;
            ReadSceneRecord(s, scene);
            if (scene->sceneTime == 0)
                scene->sceneTime = 500;
            if (!currentLayout)
                scene->sceneTime = 60000 / scene->sceneTime;   // the older files store a tempo
        }
        seq->sceneCount = static_cast<std::int16_t>(scenes);
    }
}

enum class MasterChunk { PHMS, PHM2, PHM3 };

void ApplyMasterMapRules(MasterChunk kind)
{
    for (int c = 0; c < MaxChannels; ++c) {
        // Only masters 0..15 exist; any other value would index past the master tables.
        if (PhysMasterMap[c] != 255 && (!ChannelActive[c] || PhysMasterMap[c] > 15))
            PhysMasterMap[c] = 255;
    }
    for (const auto &f : Fixtures)
        for (int j = 0; j < f.channelCount && j < MaxFixtureChannels && f.start + j < MaxChannels; ++j) {
            if (f.states[j] == 3)
                continue;
            std::uint8_t &m = PhysMasterMap[f.start + j];
            if (kind != MasterChunk::PHM3)
                m = 255;
            else if (m > 15 || !(PhysicalMasters[m].flags & 2))
                m = 255;
        }
}

void ReadBytesCapped(BinaryStream &s, std::uint8_t *table, std::int64_t body, std::int64_t capacity)
{
    std::int64_t n = std::min(body, capacity);
    s.Read(table, static_cast<std::size_t>(n));
    s.Skip(body - n);
}

void ReadChunk(BinaryStream &s, const ChunkHeader &h)
{
    const std::int64_t body = h.end - s.Position();
    if (h.Is("FAVR")) {
        std::memset(FavouriteLevels, 0, MaxChannels);
        ReadBytesCapped(s, FavouriteLevels, body, MaxChannels);
        FavouriteAssigned = 1;
        if (ShowFileEvents().favouriteButtonColour)
            ShowFileEvents().favouriteButtonColour(GreenColour);
    } else if (h.Is("POSM")) {
        std::int64_t each = body / 32;
        PositionScenes.assign(32, PositionScene{});
        for (auto &p : PositionScenes)
            ReadBytesCapped(s, p.levels, each, MaxChannels);
        s.Seek(h.end);
        PositionSceneCount = 32;
        PositionMemoryPresent = 1;
    } else if (h.Is("PMNW") || h.Is("POS2")) {
        int count = 32;
        if (h.Is("POS2")) {
            count = s.ReadI32();
            Require(count >= 0 && count <= MaxPositionScenes && count <= body / (1 + MaxChannels));
        }
        PositionScenes.assign(static_cast<std::size_t>(count), PositionScene{});
        for (auto &p : PositionScenes) {
            p.name = ReadRecordName(s);
            s.Read(p.levels, MaxChannels);
        }
        PositionSceneCount = count;
        PositionMemoryPresent = count > 0;
    } else if (h.Is("PHMS")) {
        std::memset(PhysMasterMap, 255, MaxChannels);
        ReadBytesCapped(s, PhysMasterMap, body, MaxChannels);
        ApplyMasterMapRules(MasterChunk::PHMS);
    } else if (h.Is("PHM2") || h.Is("PHM3")) {
        Require(body >= 2 * PhysicalMasterCount);
        bool phm3 = h.Is("PHM3");
        std::memset(PhysMasterMap, 255, MaxChannels);
        ReadBytesCapped(s, PhysMasterMap, body - 2 * PhysicalMasterCount, MaxChannels);
        for (auto &m : PhysicalMasters) {
            std::uint8_t v = s.ReadU8();
            m.flags = phm3 ? v : (v ? 1 : 0);
        }
        for (auto &m : PhysicalMasters)
            m.level = s.ReadU8();
        ApplyMasterMapRules(phm3 ? MasterChunk::PHM3 : MasterChunk::PHM2);
    } else if (h.Is("CUEL") || h.Is("ECUL")) {
        int slotCount = h.Is("ECUL") ? PlayerSlotCount : 16;
        std::int32_t count = s.ReadI32();
        Require(count >= 0 && count <= body / (1 + 3 * slotCount));
        Cues.assign(static_cast<std::size_t>(count), CueRecord{});
        for (auto &cue : Cues) {
            cue.name = ReadRecordName(s);
            for (int k = 0; k < slotCount; ++k)
                cue.sequence[k] = s.ReadI16();
            s.Read(cue.on, static_cast<std::size_t>(slotCount));
        }
        CueCount = count;
    } else if (h.Is("GRPL") || h.Is("GRP2")) {
        int layers = h.Is("GRP2") ? 5 : 1;
        std::int32_t count = s.ReadI32();
        Require(count >= 0 && count <= body / (1 + layers * MaxChannels));
        Groups.assign(static_cast<std::size_t>(count), GroupRecord{});
        for (auto &g : Groups) {
            g.name = ReadRecordName(s);
            for (int l = 0; l < layers; ++l)
                s.Read(g.layers[l], MaxChannels);
        }
        GroupCount = count;
    } else if (h.Is("SPPL") || h.Is("SPP1")) {
        ReadPlacementChunk(s, h);
    } else if (h.Is("ROOM")) {
        for (auto &v : RoomSize)
            v = s.ReadI32();
    } else if (h.Is("PLST") || h.Is("PLS2")) {
        ReadPlayList(s, h.end);
    } else if (h.Is("INFN")) {
        InputFunctionCount = 0;
        for (int i = 0; i < MaxInputFunctions; ++i) {
            InputFunctions[static_cast<std::size_t>(i)].index = s.ReadU8();
            InputFunctions[static_cast<std::size_t>(i)].kind = s.ReadU8();
            if (InputFunctions[static_cast<std::size_t>(i)].kind)
                InputFunctionCount = static_cast<std::int16_t>(i + 1);
        }
    } else if (h.Is("FADE")) {
        std::uint32_t fav = s.ReadU32();
        std::uint32_t seq = s.ReadU32();
        // Handed to the transport once the whole show has been read.
        CrossFadeRead = CrossFadeSettings{static_cast<std::int32_t>(fav & 0x7FFFFFFFu), (fav >> 31) != 0,
                                          static_cast<std::int32_t>(seq & 0x7FFFFFFFu), (seq >> 31) != 0};
    } else if (h.Is("CR3D")) {
        Scene3DName = s.ReadShortString();
    } else if (h.Is("PLAN")) {
        PlanPath = s.ReadShortString();
        if (!PlanPath.empty() && platform::FileExists(PlanPath)) {
            if (ShowFileEvents().loadPlanBitmap)
                ShowFileEvents().loadPlanBitmap(PlanPath);
        } else {
            PlanPath.clear();
        }
    } else {
        s.Seek(h.end);
    }
}

// The show after the patch. False (or a StreamError) for a file that does not hold one.
// Before a show's masters are read, and for a new show: no scaling, every master physical,
// not following, at 0.
void ResetMasterLevels()
{
    for (auto &v : DmxScale)
        v = 255;
    for (auto &m : PhysicalMasters)
        m.flags = m.level = 0;
}

bool ReadShowData(BinaryStream &s)
{
    if (LoadSetup(s, LoadSetupShow) != 0)
        return false;
    const int version = LoadedSetupVersion;
    const bool chunked = version > 36;
    std::int64_t showEnd = 0;
    if (chunked) {
        ChunkHeader h = ReadChunkHeader(s);
        if (!h.Is("SHOW") || !ChunkEndValid(h, s))
            return false;
        showEnd = h.end;
    }
    ReadShowBody(s, version == static_cast<int>(SetupFormatVersion));
    if (chunked && s.Position() != showEnd)
        return false;

    ResetMasterLevels();
    PositionScenes.clear();
    PositionSceneCount = 0;
    PositionMemoryPresent = 0;
    FavouriteAssigned = 0;
    if (SequenceCount > 0 && Sequences[0]->sceneCount > 0)
        std::memcpy(FavouriteLevels, Sequences[0]->scenes[0]->levels, MaxChannels);
    if (ShowFileEvents().favouriteButtonColour)
        ShowFileEvents().favouriteButtonColour(SilverColour);

    if (!chunked)
        return true;   // the older files end with the show body
    while (s.Remaining() > 0) {
        ChunkHeader h = ReadChunkHeader(s);
        if (!ChunkEndValid(h, s))
            return false;
        ReadChunk(s, h);
        if (s.Position() != h.end)
            return false;
    }
    return true;
}

// Everything a show read replaces, kept aside so that a failed read can put it back.
struct ShowSnapshot {
    std::vector<FixtureRecord> fixtures;
    std::int32_t selectedFixture = -1;
    std::uint8_t setupVersion = 0;
    std::uint8_t channelActive[MaxChannels], channelUsed[MaxChannels], fixtureStart[MaxChannels];
    ChannelOwnerEntry channelOwner[MaxChannels];
    std::uint8_t dmxInvert[MaxChannels];
    std::int16_t dmxPatch[MaxChannels];
    std::array<SequenceRecord *, MaxSequences> sequences{};
    std::int32_t sequenceCount = 0, curSequence = -1, curScene = -1;
    Name16 showName{};
    std::uint8_t dmxScale[MaxChannels];
    std::array<PhysicalMasterRecord, PhysicalMasterCount> masters{};
    std::uint8_t physMasterMap[MaxChannels];
    std::vector<PositionScene> positionScenes;
    std::int32_t positionSceneCount = 0;
    std::uint8_t positionMemoryPresent = 0;
    std::uint8_t favouriteAssigned = 0;
    std::uint8_t favouriteLevels[MaxChannels];
    std::vector<CueRecord> cues;
    std::int32_t cueCount = 0;
    std::vector<GroupRecord> groups;
    std::int32_t groupCount = 0;
    std::vector<PlayListEntry> playList;
    std::int32_t playListCount = 0;
    std::array<InputFunctionEntry, MaxInputFunctions> inputFunctions{};
    std::int16_t inputFunctionCount = 0;
    std::int32_t roomSize[3] = {};
    std::string scene3D, plan;

    // Moves the current show in; the sequence and cue tables are left empty.
    void Take()
    {
        fixtures = Fixtures;
        selectedFixture = SelectedFixture;
        setupVersion = LoadedSetupVersion;
        std::memcpy(channelActive, ChannelActive, sizeof channelActive);
        std::memcpy(channelUsed, ChannelUsed, sizeof channelUsed);
        std::memcpy(fixtureStart, FixtureStart, sizeof fixtureStart);
        std::copy(std::begin(ChannelOwner), std::end(ChannelOwner), channelOwner);
        std::memcpy(dmxInvert, DmxInvert, sizeof dmxInvert);
        std::memcpy(dmxPatch, DmxPatch, sizeof dmxPatch);
        sequences = Sequences;
        Sequences.fill(nullptr);
        sequenceCount = SequenceCount;
        curSequence = CurSequence;
        curScene = CurScene;
        SequenceCount = 0;
        CurSequence = CurScene = -1;
        showName = ShowName;
        std::memcpy(dmxScale, DmxScale, sizeof dmxScale);
        masters = PhysicalMasters;
        std::memcpy(physMasterMap, PhysMasterMap, sizeof physMasterMap);
        positionScenes = std::move(PositionScenes);
        PositionScenes.clear();
        positionSceneCount = PositionSceneCount;
        positionMemoryPresent = PositionMemoryPresent;
        favouriteAssigned = FavouriteAssigned;
        std::memcpy(favouriteLevels, FavouriteLevels, sizeof favouriteLevels);
        cues = std::move(Cues);
        Cues.clear();
        cueCount = CueCount;
        groups = std::move(Groups);
        Groups.clear();
        groupCount = GroupCount;
        playList = std::move(PlayListEntries);
        PlayListEntries.clear();
        playListCount = PlayListCount;
        CueCount = GroupCount = PlayListCount = 0;
        inputFunctions = InputFunctions;
        inputFunctionCount = InputFunctionCount;
        std::memcpy(roomSize, RoomSize, sizeof roomSize);
        scene3D = Scene3DName;
        plan = PlanPath;
    }

    // Frees what a read left in the tables and puts the kept show back.
    void Restore()
    {
        FreeShowTables();
        Fixtures = std::move(fixtures);
        FixtureCount = static_cast<std::int32_t>(Fixtures.size());
        SelectedFixture = selectedFixture;
        LoadedSetupVersion = setupVersion;
        std::memcpy(ChannelActive, channelActive, sizeof channelActive);
        std::memcpy(ChannelUsed, channelUsed, sizeof channelUsed);
        std::memcpy(FixtureStart, fixtureStart, sizeof fixtureStart);
        std::copy(std::begin(channelOwner), std::end(channelOwner), ChannelOwner);
        std::memcpy(DmxInvert, dmxInvert, sizeof dmxInvert);
        std::memcpy(DmxPatch, dmxPatch, sizeof dmxPatch);
        Sequences = sequences;
        sequences.fill(nullptr);
        SequenceCount = sequenceCount;
        CurSequence = curSequence;
        CurScene = curScene;
        ShowName = showName;
        std::memcpy(DmxScale, dmxScale, sizeof dmxScale);
        PhysicalMasters = masters;
        std::memcpy(PhysMasterMap, physMasterMap, sizeof physMasterMap);
        PositionScenes = std::move(positionScenes);
        PositionSceneCount = positionSceneCount;
        PositionMemoryPresent = positionMemoryPresent;
        FavouriteAssigned = favouriteAssigned;
        std::memcpy(FavouriteLevels, favouriteLevels, sizeof favouriteLevels);
        Cues = std::move(cues);
        CueCount = cueCount;
        Groups = std::move(groups);
        GroupCount = groupCount;
        PlayListEntries = std::move(playList);
        PlayListCount = playListCount;
        InputFunctions = inputFunctions;
        InputFunctionCount = inputFunctionCount;
        std::memcpy(RoomSize, roomSize, sizeof roomSize);
        Scene3DName = scene3D;
        PlanPath = plan;
    }

    // The read succeeded: the kept show is no longer needed.
    void Drop()
    {
        for (auto &seq : sequences) {
            FreeSequence(seq);
            seq = nullptr;
        }
    }
};

void DefaultFirstSequence()
{
    SequenceRecord *seq = NewSequenceRecord(0);
    if (!seq) {
        ShowFileEvents().memoryAllocationError();
        return;
    }
    seq->name = "SEQUENCE 1";
    seq->tempo = 120;
    seq->commonFade = 50;
    seq->flags = SeqFlagCycle | SeqFlagFade;
    seq->modes = 0;
    SceneRecord *scene = new (std::nothrow) SceneRecord();
    if (!scene) {
        delete seq;
        ShowFileEvents().memoryAllocationError();
        return;
    }
    scene->sceneTime = 500;
    scene->fadeTime = 50;
    std::memcpy(scene->name.data(), "SCENE 1", 7);
    seq->scenes[0] = scene;
    seq->sceneCount = 1;
    Sequences[0] = seq;
    SequenceCount = 1;
    CurSequence = 0;
    CurScene = 0;
}

std::string FolderPart(const std::string &path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FilePart(const std::string &path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

ShowFileHooks &ShowFileEvents()
{
    static ShowFileHooks hooks = [] {
        ShowFileHooks h;
        h.createFirstSequence = DefaultFirstSequence;
        h.memoryAllocationError = [] {
            platform::ShowMessage(AppCaption, "Memory allocation error");
            CloseInterface();
            std::exit(1);
        };
        return h;
    }();
    return hooks;
}

bool WriteShow(BinaryStream &stream)
{
    BusyGuard busy;
    try {
        SaveSetup(stream, SetupShowHeader);
        WriteChunks(stream);
        return true;
    } catch (const StreamError &) {
        return false;
    }
}

namespace {
// The masters' channel lists follow the show's patch and map. The masters' window
// rebuilds and repaints them; before it exists (the first show of a start) the lists are
// rebuilt all the same, or a loaded master would hold no channels.
void RebuildMastersForShow()
{
    if (ShowFileEvents().rebuildMasterChannelLists)
        ShowFileEvents().rebuildMasterChannelLists();
    else
        RebuildMasterChannelLists();
}
} // namespace

bool LoadShowFromStream(BinaryStream &stream)
{
    BusyGuard busy;
    // The old show is freed and the new one read into the tables the tick reads; the
    // engine is let go again before any message is shown.
    auto hold = std::make_unique<HoldEngine>();
    ReleaseFixtureWindows();
    auto kept = std::make_unique<ShowSnapshot>();
    kept->Take();
    // A show without a "CR3D" chunk names no 3D scene (a failed read restores the name).
    Scene3DName.clear();
    CrossFadeRead.reset();
    bool ok = false;
    try {
        ok = ReadShowData(stream);
    } catch (const StreamError &) {
        ok = false;
    } catch (const FormatError &) {
        ok = false;
    } catch (const AllocationFailed &) {
        kept->Restore();
        BuildFixturePanels();
        ShowFileEvents().memoryAllocationError();
        return false;
    }
    if (!ok) {
        kept->Restore();
        BuildFixturePanels();
        hold.reset();
        platform::ShowMessage(AppCaption, "Error reading SHOW file");
        return false;
    }
    kept->Drop();
    // The old show's 3D objects go only once the new show was read.
    if (ShowFileEvents().deleteAll3DObjects)
        ShowFileEvents().deleteAll3DObjects();
    if (CrossFadeRead && ShowFileEvents().crossFadeSettingsRead)
        ShowFileEvents().crossFadeSettingsRead(*CrossFadeRead);
    RebuildMastersForShow();
    BuildFixturePanels();
    CurSequence = SequenceCount > 0 ? 0 : -1;
    CurScene = SequenceCount > 0 && Sequences[0]->sceneCount > 0 ? 0 : -1;
    return true;
}

bool ReadShowFile(const std::string &path)
{
    std::error_code ec;
    std::string full = std::filesystem::absolute(path, ec).string();
    if (ec)
        full = path;
    std::unique_ptr<FileStream> file;
    try {
        file = std::make_unique<FileStream>(full, FileStream::ReadOnly);
    } catch (const StreamError &) {
        platform::ShowMessage(path, "Can't open SHOW file");
        return false;
    }
    if (!LoadShowFromStream(*file))
        return false;
    ShowFileName = full;
    ShowFileState = 2;
    ShowModified = 0;
    if (ShowFileEvents().addRecentFile)
        ShowFileEvents().addRecentFile(ShowFileName);
    return true;
}

void NewShow()
{
    // The patch window runs a modal loop while the tables are half built.
    BusyGuard busy;
    {
        // The whole show is freed under the tick.
        HoldEngine hold;
        PositionScenes.clear();
        PositionSceneCount = 0;
        PositionMemoryPresent = 0;
        ShowFileState = 1;
        FreeShowTables();
    }
    // The old show's masters do not limit or drive the new one.
    ResetMasterLevels();
    RebuildMastersForShow();
    if (ShowFileEvents().deleteAll3DObjects)
        ShowFileEvents().deleteAll3DObjects();
    Scene3DName.clear();
    ShowFileName = NewShowFileName;
    if (ShowFileEvents().showPatchWindow)
        ShowFileEvents().showPatchWindow();
    ShowName.fill('\0');
    char name[16];
    std::snprintf(name, sizeof name, "%s%d", "SHOW ", 1);
    std::memcpy(ShowName.data(), name, std::strlen(name));
    if (ShowFileEvents().createFirstSequence) {
        HoldEngine hold;
        ShowFileEvents().createFirstSequence();
    }
}

bool WriteShowFile(const std::string &path)
{
    BusyGuard busy;
    return FileWriter()(path, [](const std::string &temp) {
        FileStream s(temp, FileStream::CreateWrite);
        if (!WriteShow(s))
            return false;
        s.Flush();
        return true;
    });
}

bool SaveShowTo(const std::string &path)
{
    const bool ok = WriteShowFile(path);
    if (!ok)
        platform::ShowMessage(AppCaption, "Error writing SHOW file");
    return ok;
}

std::string NameCutAtFirstPoint(const std::string &path, const std::string &extension)
{
    std::string file = FilePart(path);
    auto point = file.find('.');
    return FolderPart(path) + file.substr(0, point) + extension;
}

std::string ShowNameCutAtFirstPoint(const std::string &path)
{
    return NameCutAtFirstPoint(path, ".d1k");
}

std::string ShowNameCutAtLastPoint(const std::string &path)
{
    std::string file = FilePart(path);
    auto point = file.rfind('.');
    return FolderPart(path) + file.substr(0, point) + ".d1k";
}

bool SaveShow()
{
    if (ShowFileState == 1)
        return SaveShowAs();
    ShowFileName = ShowNameCutAtLastPoint(ShowFileName);
    if (!SaveShowTo(ShowFileName))
        return false;
    ShowModified = 0;
    return true;
}

bool SaveShowAs()
{
    std::string target;
    for (;;) {
        auto chosen = platform::SaveFileDialog(ShowSaveTitle, ShowSaveFilter, ShowFileName);
        if (!chosen)
            return false;
        target = ShowNameCutAtFirstPoint(*chosen);
        if (!platform::FileExists(target))
            break;
        if (platform::MessageBox(AppCaption, "File exists, replace?", platform::Buttons::YesNo) ==
            platform::Answer::Yes)
            break;
    }
    ShowFileName = target;
    ShowFileState = 2;
    if (!SaveShow())
        return false;
    if (ShowFileEvents().addRecentFile)
        ShowFileEvents().addRecentFile(ShowFileName);
    ShowModified = 0;
    return true;
}

bool SaveModifiedShowOnRequest(int accessLevel)
{
    if (accessLevel < 2 && ShowModified) {
        auto answer = platform::MessageBox(AppCaption, "The Show was modified. Save file ?", platform::Buttons::YesNoCancel);
        if (answer == platform::Answer::Cancel)
            return false;
        if (answer == platform::Answer::Yes) {
            bool saved = ShowFileState == 1 ? SaveShowAs() : SaveShow();
            if (!saved)
                return false;
        }
    }
    ShowModified = 0;
    return true;
}
