// The steps of one engine tick and the helpers they share. Only the tick calls the
// steps, on the timer thread; the stand-alone image compile also plays sequences through
// AdvanceScene and FadeLevels on its own state, on the GUI thread while it holds the engine.
#pragma once

#include "LevelPipeline.h"
#include "PlayState.h"
#include "ShowModel.h"

#include <algorithm>
#include <cstdint>

namespace engine {

// Clock arithmetic on the int32 millisecond clocks wraps instead of overflowing.
inline std::int32_t AddMs(std::int32_t clock, std::int64_t ms)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(clock) + static_cast<std::uint32_t>(ms));
}
inline std::int32_t DiffMs(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// The sequence at `index`, or nullptr when the index is outside the table.
const SequenceRecord *SequenceAt(std::int32_t index);
// The scene at `index` of `seq`, or nullptr when it does not exist.
inline const SceneRecord *SceneAt(const SequenceRecord *seq, std::int32_t index)
{
    if (!seq || index < 0 || index >= seq->sceneCount || index >= MaxScenes)
        return nullptr;
    return seq->scenes[index];
}
// Scene count of a sequence, 0 for a missing one.
inline int SceneCountOf(const SequenceRecord *seq)
{
    return seq && seq->sceneCount > 0 ? (seq->sceneCount < MaxScenes ? seq->sceneCount : MaxScenes) : 0;
}

// Where a player stands in its sequence.
struct PlayerCursor {
    std::int32_t scene = 0;
    std::int32_t nextScene = 0;
    std::int32_t nextStepTime = 0;
    std::int32_t fadeEnd = 0;
    std::int32_t fadeTicks = 0;
};

// True when the sequence's step mode says the next scene is due at `clock`.
bool StepDue(const SequenceRecord &seq, const PlayerCursor &cursor, std::int32_t clock);
// Moves the cursor onto the next scene of a sequence that has scenes and sets its fade
// and next step time. A slot's next step time in scene-time, beat and manual mode adds
// the new scene's time; the single player's beat and manual modes wait 500 ms.
// Returns the new scene.
const SceneRecord *AdvanceScene(const SequenceRecord &seq, PlayerCursor &cursor, std::int32_t clock, bool slot);
// Fades `levels` from `cur` toward `next`, `w` ticks out of `ticks` (ticks > 0, w is
// clamped to 0..ticks): 8-bit channels linearly, 16-bit pairs over coarse and fine
// together; jump channels take `next` when `jumpNow`, else keep `cur`.
void FadeLevels(std::uint8_t *levels, const std::uint8_t *cur, const std::uint8_t *next, std::int64_t w,
                std::int64_t ticks, bool jumpNow);
// Calls `write(channel)` for each fixture channel that follows the players: state 0, and
// state 2 when `withLinked`; during black-out channels with an off value are skipped.
template <class Write>
void ForEachPlayerChannel(bool withLinked, Write write)
{
    const bool blackOut = BlackOutOn.load();
    const int count = static_cast<int>(std::min<std::int64_t>(FixtureCount, static_cast<std::int64_t>(Fixtures.size())));
    for (int f = 0; f < count; ++f) {
        const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
        const int channels = std::min<int>(fx.channelCount, MaxFixtureChannels);
        for (int j = 0; j < channels; ++j) {
            const int ch = fx.start + j;
            if (ch < 0 || ch >= MaxChannels)
                continue;
            const std::uint8_t state = fx.states[j];
            if (state != 0 && !(withLinked && state == 2))
                continue;
            if (blackOut && ChannelOffValues[ch] >= 0)
                continue;
            write(ch);
        }
    }
}
// Writes player levels to the channels above. Sets OutputChanged on a difference when
// `markChanges`.
void WriteFixtureLevels(const std::uint8_t *levels, bool withLinked, bool markChanges);
// Sends or posts an engine message to the main window's message window.
void PostEngineCode(std::uintptr_t code, std::intptr_t lParam = 0);

void StepSequencePlayer();
void StepMultiPlayer();
void StepCrossFade();
// Applies DMX input by the input mode; true when the frame build is to be skipped.
bool ApplyDmxInput();
// The input is off: the next tick with input on takes it over afresh.
void ForgetInputMode();
void RunInputFunctions(int count);

} // namespace engine
