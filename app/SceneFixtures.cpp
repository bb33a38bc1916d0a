#include "SceneFixtures.h"

#include "LevelPipeline.h"
#include "LookSwitch.h"
#include "OutputEngine.h"
#include "PlayControl.h"
#include "PlayState.h"
#include "StartupState.h"

#include <algorithm>
#include <cstring>

namespace {

int FixtureTableSize()
{
    return static_cast<int>(std::min<std::int64_t>(FixtureCount, static_cast<std::int64_t>(Fixtures.size())));
}

int ChannelsOf(const FixtureRecord &f)
{
    return std::min<int>(f.channelCount, MaxFixtureChannels);
}

// Calls `each(fixture, j, channel)` for every fixture channel that lies inside the
// 1024 logical channels.
template <typename F>
void ForEachFixtureChannel(F each)
{
    const int count = FixtureTableSize();
    for (int i = 0; i < count; ++i) {
        FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        const int n = ChannelsOf(f);
        for (int j = 0; j < n; ++j) {
            const int c = f.start + j;
            if (c >= 0 && c < MaxChannels)
                each(i, f, j, c);
        }
    }
}

bool FollowsScenes(std::uint8_t state)
{
    return state == 0 || state == 2;
}

bool SceneEditAllowed()
{
    return AccessLevel <= 1 && !Playing.load() && !MultiSeqRunning.load();
}

} // namespace

SequenceRecord *CurrentSequenceRecord()
{
    if (CurSequence < 0 || CurSequence >= SequenceCount || CurSequence >= MaxSequences)
        return nullptr;
    return Sequences[static_cast<std::size_t>(CurSequence)];
}

SceneRecord *CurrentSceneRecord()
{
    SequenceRecord *seq = CurrentSequenceRecord();
    if (!seq || CurScene < 0 || CurScene >= seq->sceneCount || CurScene >= MaxScenes)
        return nullptr;
    return seq->scenes[CurScene];
}

bool FixturesToScene()
{
    if (!SceneEditAllowed() || PlayListRunning.load())
        return false;
    SceneRecord *scene = CurrentSceneRecord();
    if (!scene)
        return false;
    ForEachFixtureChannel([scene](int, FixtureRecord &f, int j, int c) {
        if (FollowsScenes(f.states[j]))
            scene->levels[c] = f.values[j];
    });
    return true;
}

bool SceneToFixtures()
{
    if (!SceneEditAllowed())
        return false;
    const SceneRecord *scene = CurrentSceneRecord();
    if (!scene)
        return false;
    ForEachFixtureChannel([scene](int, FixtureRecord &f, int j, int c) {
        if (FollowsScenes(f.states[j]))
            f.values[j] = scene->levels[c];
    });
    return true;
}

void SceneToAllFixtureChannels(const SceneRecord &scene)
{
    ForEachFixtureChannel([&scene](int, FixtureRecord &f, int j, int c) { f.values[j] = scene.levels[c]; });
}

void PlaceSceneOnOutput(const SceneRecord &scene)
{
    const bool blackOut = BlackOutOn.load() != 0;
    std::uint8_t *out = WindowLevels();
    ForEachFixtureChannel([&scene, blackOut, out](int, FixtureRecord &f, int j, int c) {
        if (f.used[j] != 1 || f.states[j] != 0)
            return;
        if (blackOut && ChannelOffValues[c] != -1)
            return;
        f.values[j] = scene.levels[c];
        out[c] = scene.levels[c];
    });
    // The single player holds the scene until its first step: without a fade it writes
    // its levels on every tick, which would bring the last sequence's look back after
    // the cross-fade.
    std::memcpy(PlayerSlots[0].levels, scene.levels, MaxChannels);
}

void SendFixtureValues(bool withLinked, const std::function<void(int, int)> &sent)
{
    ForEachFixtureChannel([&](int i, FixtureRecord &f, int j, int c) {
        if (f.used[j] != 1)
            return;
        if (f.states[j] != 0 && !(withLinked && f.states[j] == 2))
            return;
        SetChannelLevel(c, f.values[j]);
        if (sent)
            sent(i, j);
    });
}

void ApplyBlackOutLevels(bool skipHeld)
{
    ForEachFixtureChannel([skipHeld](int, FixtureRecord &f, int j, int c) {
        if (ChannelOffValues[c] == -1)
            return;
        if (skipHeld && f.states[j] == 3)
            return;
        SetChannelLevel(c, static_cast<std::uint8_t>(std::clamp<int>(ChannelOffValues[c], 0, 255)));
    });
}

void ApplyFavouriteLevels(bool skipHeld)
{
    ForEachFixtureChannel([skipHeld](int, FixtureRecord &f, int j, int c) {
        if (!f.used[j])
            return;
        if (skipHeld && f.states[j] == 3)
            return;
        SetChannelLevel(c, FavouriteLevels[c]);
    });
}
