#include "SequenceFile.h"

#include "SceneRecordIO.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr char Magic[4] = {'S', 'Q', 'N', 'L'};
// Older files: name, 4 unused bytes, the count, then a table of 16384 four-byte entries.
constexpr int OldNameSize = 16;
constexpr int OldTableSize = 65536;

void WriteSceneCopy(BinaryStream &stream, const SceneRecord &scene)
{
    if (scene.sceneTime != 0) {
        WriteSceneRecord(stream, scene);
        return;
    }
    auto copy = std::make_unique<SceneRecord>(scene);
    copy->sceneTime = 500;
    WriteSceneRecord(stream, *copy);
}

struct NoMemory {};

void ReadScenes(BinaryStream &s, SequenceRecord &seq, int count, bool olderLayout)
{
    if (count < 0 || count > MaxScenes || count > s.Remaining() / 28)
        throw StreamError("scene count out of range");
    for (int j = 0; j < count; ++j) {
        auto *scene = new (std::nothrow) SceneRecord();
        if (!scene)
            throw NoMemory{};
        seq.scenes[j] = scene;
        seq.sceneCount = static_cast<std::int16_t>(j + 1);
        ReadSceneRecord(s, scene);
        if (scene->sceneTime == 0)
            scene->sceneTime = 500;
        if (olderLayout)
            scene->sceneTime = 60000 / scene->sceneTime;   // stored as a tempo in BPM
    }
}

void FreeScenes(SequenceRecord &seq)
{
    seq.scenes.ForEachHeld([](SceneRecord *scene) { delete scene; });
    seq.scenes.Clear();
    seq.sceneCount = 0;
}

} // namespace

void WriteSequenceFile(BinaryStream &stream, const SequenceRecord &seq)
{
    stream.Write(Magic, 4);
    stream.WriteI32(SequenceFileVersion);
    stream.WriteShortString(seq.name);
    stream.WriteI32(static_cast<std::int32_t>(seq.tempo));
    stream.WriteI32(static_cast<std::int32_t>(seq.commonFade));
    stream.WriteU8(seq.flags);
    stream.WriteU8(seq.modes);
    const int count = std::clamp<int>(seq.sceneCount, 0, MaxScenes);
    stream.WriteI16(static_cast<std::int16_t>(count));
    stream.WriteI16(seq.jumpTiming);
    static const SceneRecord zeroScene{};
    for (int j = 0; j < count; ++j)
        WriteSceneCopy(stream, seq.scenes[j] ? *seq.scenes[j] : zeroScene);
}

void WriteSceneFile(BinaryStream &stream, const SceneRecord &scene)
{
    WriteSceneCopy(stream, scene);
}

StagedSequence::StagedSequence() : record(new (std::nothrow) SequenceRecord()) {}

StagedSequence::~StagedSequence()
{
    if (record)
        FreeScenes(*record);
}

void StagedSequence::MoveInto(SequenceRecord &target)
{
    FreeScenes(target);
    SequenceRecord &src = *record;
    target.name = src.name;
    target.tempo = src.tempo;
    target.commonFade = src.commonFade;
    target.flags = src.flags;
    target.modes = src.modes;
    target.jumpTiming = src.jumpTiming;
    target.sceneCount = src.sceneCount;
    target.scenes.TakeFrom(src.scenes);
    src.sceneCount = 0;
}

SequenceReadResult ReadSequenceFile(BinaryStream &s, StagedSequence &staged)
{
    if (!staged.record)
        return SequenceReadResult::NoMemory;
    SequenceRecord &seq = *staged.record;
    try {
        s.Seek(0);
        char head[8] = {};
        const bool current = s.ReadSome(head, 8) == 8 && std::memcmp(head, Magic, 4) == 0 &&
                             head[4] == SequenceFileVersion && head[5] == 0 && head[6] == 0 && head[7] == 0;
        if (current) {
            seq.name = s.ReadShortString();
            seq.tempo = static_cast<std::uint32_t>(s.ReadI32());
            if (seq.tempo == 0)
                seq.tempo = 120;   // the engine divides by the tempo
            seq.commonFade = static_cast<std::uint32_t>(s.ReadI32());
            seq.flags = s.ReadU8();
            seq.modes = s.ReadU8();
            const int count = s.ReadI16();
            seq.jumpTiming = s.ReadI16();
            ReadScenes(s, seq, count, false);
        } else {
            s.Seek(0);
            char name[OldNameSize];
            s.Read(name, OldNameSize);
            seq.name.assign(name, strnlen(name, OldNameSize));
            s.Skip(4);
            seq.tempo = 120;
            seq.commonFade = 0;
            seq.flags = 0;
            seq.modes = 0;
            const int count = s.ReadI16();
            s.Skip(OldTableSize);
            ReadScenes(s, seq, count, true);
        }
        return SequenceReadResult::Ok;
    } catch (const StreamError &) {
        FreeScenes(seq);
        return SequenceReadResult::Bad;
    } catch (const NoMemory &) {
        FreeScenes(seq);
        return SequenceReadResult::NoMemory;
    }
}

bool ReadSceneFile(BinaryStream &stream, SceneRecord &scene)
{
    try {
        ReadSceneRecord(stream, &scene);
    } catch (const StreamError &) {
        return false;
    }
    if (scene.sceneTime == 0)
        scene.sceneTime = 500;
    return true;
}
