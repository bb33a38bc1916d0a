#include "SequenceEditing.h"

#include "EngineHold.h"
#include "PlayState.h"
#include "ShowFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

SceneRecord ClipboardStart()
{
    SceneRecord scene;
    std::memcpy(scene.name.data(), "SCENE", 5);
    return scene;
}

} // namespace

SceneRecord SceneClipboard = ClipboardStart();
std::uint8_t SequenceFromFile = 0;
std::uint8_t UndoBlockValid = 0;
std::uint8_t ConfirmOptions = 0x1F;
std::atomic<std::uint8_t> &ShowLoading = ShowFileBusy;

std::string LimitMessage(const char *format, int limit)
{
    char text[160];
    std::snprintf(text, sizeof text, format, limit);
    return text;
}

SequenceRecord *SequenceAt(int index)
{
    if (index < 0 || index >= SequenceCount || index >= MaxSequences)
        return nullptr;
    return Sequences[static_cast<std::size_t>(index)];
}

bool SequenceTableFull()
{
    return SequenceCount >= MaxSequences;
}

bool SceneTableFull(const SequenceRecord &seq)
{
    return seq.sceneCount >= MaxScenes;
}

namespace {
// A background play goes on with the sequence it plays when the table moves under it.
void FollowSequenceMove(int index, int delta)
{
    if (PlayInBackground.load() && PlaySequence >= index)
        PlaySequence += delta;
}

// ... and with the scenes it plays when its sequence's scenes move.
void FollowSceneMove(const SequenceRecord &seq, int index, int delta)
{
    if (!PlayInBackground.load() || SequenceAt(PlaySequence) != &seq)
        return;
    if (PlayScene >= index)
        PlayScene += delta;
    if (NextScene >= index)
        NextScene += delta;
}
} // namespace

SequenceRecord *InsertNewSequence(int at)
{
    if (SequenceTableFull() || at < 0 || at > SequenceCount)
        return nullptr;
    HoldEngine hold;
    SequenceRecord *seq = NewSequenceRecord(at);
    if (!seq)
        return nullptr;
    if (at == 0) {
        seq->tempo = 120;
        seq->commonFade = 50;
        seq->flags = SeqFlagCycle | SeqFlagFade;
        seq->modes = 0;
    }
    for (int i = SequenceCount; i > at; --i)
        Sequences[static_cast<std::size_t>(i)] = Sequences[static_cast<std::size_t>(i - 1)];
    Sequences[static_cast<std::size_t>(at)] = seq;
    ++SequenceCount;
    FollowSequenceMove(at, 1);
    return seq;
}

SequenceRecord *TakeSequence(int index)
{
    if (index < 0 || index >= SequenceCount)
        return nullptr;
    HoldEngine hold;
    SequenceRecord *seq = Sequences[static_cast<std::size_t>(index)];
    for (int i = index; i + 1 < SequenceCount; ++i)
        Sequences[static_cast<std::size_t>(i)] = Sequences[static_cast<std::size_t>(i + 1)];
    Sequences[static_cast<std::size_t>(SequenceCount - 1)] = nullptr;
    --SequenceCount;
    if (PlayInBackground.load() && PlaySequence == index)
        PlaySequence = -1;   // the engine asks the window to stop
    else
        FollowSequenceMove(index + 1, -1);
    return seq;
}

int MovedSequenceIndex(int i, int from, int to)
{
    if (i < 0)
        return i;
    if (i == from)
        return to;
    if (from < to && i > from && i <= to)
        return i - 1;
    if (to < from && i >= to && i < from)
        return i + 1;
    return i;
}

bool MoveSequence(int from, int to)
{
    if (from == to || !SequenceAt(from) || !SequenceAt(to))
        return false;
    HoldEngine hold;
    SequenceRecord *moved = Sequences[static_cast<std::size_t>(from)];
    const int step = from < to ? 1 : -1;
    for (int i = from; i != to; i += step)
        Sequences[static_cast<std::size_t>(i)] = Sequences[static_cast<std::size_t>(i + step)];
    Sequences[static_cast<std::size_t>(to)] = moved;
    if (PlayInBackground.load())
        PlaySequence = MovedSequenceIndex(PlaySequence, from, to);
    for (PlayerSlot &slot : PlayerSlots)
        slot.sequence = static_cast<std::int16_t>(MovedSequenceIndex(slot.sequence, from, to));
    // The current sequence keeps its record too: the main window stores the fixtures into
    // it when it changes sequence, which must not land in the record now at its old index.
    CurSequence = MovedSequenceIndex(CurSequence, from, to);
    UndoBlockValid = 0;
    return true;
}

bool DeleteSequence(int index)
{
    if (index < 0 || index >= SequenceCount)
        return false;
    FreeSequence(TakeSequence(index));
    return true;
}

EditResult SplitSequence(int index, int fromScene)
{
    SequenceRecord *seq = SequenceAt(index);
    if (!seq || fromScene < 1 || fromScene >= seq->sceneCount)
        return EditResult::Refused;
    if (SequenceTableFull())
        return EditResult::Limit;
    HoldEngine hold;
    SequenceRecord *part = InsertNewSequence(index + 1);
    if (!part)
        return EditResult::NoMemory;
    part->tempo = seq->tempo;
    part->commonFade = seq->commonFade;
    part->flags = seq->flags;
    part->modes = seq->modes;
    part->jumpTiming = seq->jumpTiming;
    const int moved = seq->sceneCount - fromScene;
    for (int i = 0; i < moved; ++i) {
        part->scenes[i] = seq->scenes[fromScene + i];
        seq->scenes[fromScene + i] = nullptr;
    }
    part->sceneCount = static_cast<std::int16_t>(moved);
    seq->sceneCount = static_cast<std::int16_t>(fromScene);
    return EditResult::Done;
}

EditResult MergeWithPrevious(int index)
{
    SequenceRecord *seq = SequenceAt(index);
    SequenceRecord *prev = SequenceAt(index - 1);
    if (!seq || !prev)
        return EditResult::Refused;
    if (prev->sceneCount + seq->sceneCount >= MaxScenes)
        return EditResult::Limit;
    HoldEngine hold;
    for (int i = 0; i < seq->sceneCount; ++i) {
        prev->scenes[prev->sceneCount + i] = seq->scenes[i];
        seq->scenes[i] = nullptr;
    }
    prev->sceneCount = static_cast<std::int16_t>(prev->sceneCount + seq->sceneCount);
    seq->sceneCount = 0;
    DeleteSequence(index);
    return EditResult::Done;
}

SceneRecord *InsertNewScene(SequenceRecord &seq, int current)
{
    if (SceneTableFull(seq))
        return nullptr;
    auto *scene = new (std::nothrow) SceneRecord();
    if (!scene)
        return nullptr;
    HoldEngine hold;
    const bool hasCurrent = current >= 0 && current < seq.sceneCount && seq.scenes[current];
    const int at = hasCurrent ? current + 1 : 0;
    scene->sceneTime = hasCurrent ? seq.scenes[current]->sceneTime : 500;
    scene->fadeTime = hasCurrent ? seq.scenes[current]->fadeTime : 50;
    if (at > 0 && seq.scenes[at - 1])
        std::memcpy(scene->levels, seq.scenes[at - 1]->levels, sizeof scene->levels);
    char name[32];
    std::snprintf(name, sizeof name, "%s%d", "SCENE ", seq.sceneCount + 1);
    SetSceneName(*scene, name);
    for (int i = seq.sceneCount; i > at; --i)
        seq.scenes[i] = seq.scenes[i - 1];
    seq.scenes[at] = scene;
    ++seq.sceneCount;
    FollowSceneMove(seq, at, 1);
    return scene;
}

bool DeleteScene(SequenceRecord &seq, int index)
{
    if (index < 0 || index >= seq.sceneCount)
        return false;
    HoldEngine hold;
    delete seq.scenes[index];
    for (int i = index; i + 1 < seq.sceneCount; ++i)
        seq.scenes[i] = seq.scenes[i + 1];
    seq.scenes[seq.sceneCount - 1] = nullptr;
    --seq.sceneCount;
    FollowSceneMove(seq, index + 1, -1);
    return true;
}

void FillFirstScene(SceneRecord &scene, int choice, const SceneRecord *before,
                    const std::function<int(int fixture, int channel)> &panelDefault)
{
    std::memset(scene.levels, 0, sizeof scene.levels);
    if (choice == 3 && before) {
        std::memcpy(scene.levels, before->levels, sizeof scene.levels);
        scene.sceneTime = before->sceneTime;
        scene.positionRef = before->positionRef;
        scene.fadeTime = before->fadeTime;
        return;
    }
    scene.sceneTime = 500;
    scene.fadeTime = 50;
    if (choice != 1)
        return;
    const int count = std::min<int>(FixtureCount, static_cast<int>(Fixtures.size()));
    for (int f = 0; f < count; ++f) {
        const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
        for (int j = 0; j < fx.channelCount && j < MaxFixtureChannels; ++j) {
            const int c = fx.start + j;
            if (c < 0 || c >= MaxChannels || !fx.used[j])
                continue;
            const int level = panelDefault ? panelDefault(f, j) : -1;
            scene.levels[c] = static_cast<std::uint8_t>(level < 0 ? 0 : std::min(level, 255));
        }
    }
}

void SetSceneName(SceneRecord &scene, const std::string &bytes)
{
    scene.name.fill('\0');
    std::memcpy(scene.name.data(), bytes.data(), std::min<std::size_t>(bytes.size(), 14));
}

std::string SceneNameBytes(const SceneRecord &scene)
{
    const auto end = std::find(scene.name.begin(), scene.name.end(), '\0');
    return std::string(scene.name.begin(), end);
}

void SetShowName(const std::string &bytes)
{
    ShowName.fill('\0');
    std::memcpy(ShowName.data(), bytes.data(), std::min<std::size_t>(bytes.size(), 15));
}

std::string ShowNameBytes()
{
    const auto end = std::find(ShowName.begin(), ShowName.end() - 1, '\0');
    return std::string(ShowName.begin(), end);
}

int NextWrapped(int current, int count)
{
    if (count <= 0)
        return -1;
    return current < 0 || current + 1 >= count ? 0 : current + 1;
}

int PreviousWrapped(int current, int count)
{
    if (count <= 0)
        return -1;
    return current <= 0 || current >= count ? count - 1 : current - 1;
}
