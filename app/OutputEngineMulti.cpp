// The 32-slot multi-sequence player: every active slot plays its own sequence on the
// shared play clock and triggers, and the highest level of all slots wins.
#include "OutputEngine.h"
#include "OutputEngineSteps.h"
#include "PlayState.h"

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

// With every slot off, the fixture channels that have an off value rest on it.
void WriteOffValues()
{
    const int count = std::min<std::int64_t>(FixtureCount, static_cast<std::int64_t>(Fixtures.size()));
    for (int f = 0; f < count; ++f) {
        const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
        const int channels = std::min<int>(fx.channelCount, MaxFixtureChannels);
        for (int j = 0; j < channels; ++j) {
            const int ch = fx.start + j;
            if (ch < 0 || ch >= MaxChannels || fx.states[j] != 0)
                continue;
            if (ChannelOffValues[ch] >= 0)
                DmxOutLevels[ch] = static_cast<std::uint8_t>(ChannelOffValues[ch] & 255);
        }
    }
}

void StepSlot(PlayerSlot &slot, const SequenceRecord &seq)
{
    if (slot.restart) {
        slot.restart = 0;
        if (const SceneRecord *first = SceneAt(&seq, 0))
            std::memcpy(slot.levels, first->levels, MaxChannels);
        return;
    }
    PlayerCursor cursor{slot.scene, slot.nextScene, slot.nextStepTime, slot.fadeEnd, slot.fadeTicks};
    if (StepDue(seq, cursor, PlayClock)) {
        const SceneRecord *scene = AdvanceScene(seq, cursor, PlayClock, true);
        slot.scene = static_cast<std::int16_t>(cursor.scene);
        slot.nextScene = static_cast<std::int16_t>(cursor.nextScene);
        slot.nextStepTime = cursor.nextStepTime;
        slot.fadeEnd = cursor.fadeEnd;
        slot.fadeTicks = cursor.fadeTicks;
        if (scene)
            std::memcpy(slot.levels, scene->levels, MaxChannels);
        return;
    }
    if (!(seq.flags & SeqFlagFade) || slot.scene < 0)
        return;
    // Scenes deleted during play leave the slot where it is until it steps again.
    const SceneRecord *cur = SceneAt(&seq, slot.scene);
    const SceneRecord *next = SceneAt(&seq, slot.nextScene);
    if (!cur || !next)
        return;
    if (PlayClock >= slot.fadeEnd || slot.fadeTicks <= 0) {
        std::memcpy(slot.levels, next->levels, MaxChannels);
    } else {
        const std::int64_t remaining = (std::int64_t(slot.fadeEnd) - PlayClock) / TickMs;
        FadeLevels(slot.levels, cur->levels, next->levels, slot.fadeTicks - remaining, slot.fadeTicks,
                   seq.jumpTiming != 0);
    }
}

} // namespace

void StepMultiPlayer()
{
    PlayClock = AddMs(PlayClock, TickMs);
    std::memset(MultiMergeLevels, 0, MaxChannels);

    const bool anyActive = std::any_of(PlayerSlots.begin(), PlayerSlots.end(),
                                       [](const PlayerSlot &s) { return s.active != 0; });
    if (!anyActive) {
        WriteOffValues();
        BeatTrigger.store(0);
        ManualTrigger.store(0);
        return;
    }

    for (PlayerSlot &slot : PlayerSlots) {
        if (!slot.active)
            continue;
        // A slot on a missing or empty sequence neither steps nor contributes levels
        // (a pending restart waits until the sequence has scenes).
        const SequenceRecord *seq = SequenceAt(slot.sequence);
        if (SceneCountOf(seq) == 0)
            continue;
        StepSlot(slot, *seq);
        for (int k = 0; k < MaxChannels; ++k)
            MultiMergeLevels[k] = std::max(MultiMergeLevels[k], slot.levels[k]);
    }

    WriteFixtureLevels(MultiMergeLevels, false, true);
    // One trigger steps every slot that waits for it.
    BeatTrigger.store(0);
    ManualTrigger.store(0);
}

} // namespace engine
