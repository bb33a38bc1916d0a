#include "PlayControl.h"

#include "LevelPipeline.h"
#include "OutputEngine.h"
#include "SceneFixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

Flag PlayListRunning{0};
std::uint8_t IgnoreBlackOut = 0;

namespace {

std::int32_t WrapAdd(std::int32_t clock, std::int32_t ms)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(clock) + static_cast<std::uint32_t>(ms));
}

const SceneRecord *SceneOf(int sequence, int scene)
{
    if (sequence < 0 || sequence >= SequenceCount || sequence >= MaxSequences)
        return nullptr;
    const SequenceRecord *seq = Sequences[static_cast<std::size_t>(sequence)];
    if (!seq || scene < 0 || scene >= seq->sceneCount || scene >= MaxScenes)
        return nullptr;
    return seq->scenes[scene];
}

} // namespace

void StartSinglePlay(int sequence, int scene)
{
    // The tick that first sees Playing finds every field in place.
    PlaySequence = sequence;
    PlayScene = scene - 1;
    PlayClock = -50;
    LastTriggerTime = -50;
    BeatTrigger.store(0);
    ManualTrigger.store(0);
    NextScene = scene;
    NextStepTime = 0;
    FadeEnd = 0;
    FadeTicks = 0;
    Playing.store(1, std::memory_order_release);
}

void StartBackgroundPlay(int sequence, int scene)
{
    PlaySequence = sequence;
    PlayScene = scene;
    PlayClock = -50;
    LastTriggerTime = -50;
    BeatTrigger.store(0);
    NextScene = 0;
    std::memset(PlayerSlots[0].levels, 0, sizeof PlayerSlots[0].levels);
    NextStepTime = 0;
    PlayInBackground.store(1, std::memory_order_release);
}

std::int32_t CrossFadeDuration(bool disabled, long timeMs)
{
    if (disabled)
        return TickMs;
    return static_cast<std::int32_t>(std::clamp<long>(timeMs, TickMs, 0x7fffffffL));
}

void StartFavouriteCrossFade(std::int32_t durationMs)
{
    std::uint8_t target[MaxChannels];
    const SceneRecord *first = SceneOf(0, 0);
    if (FavouriteAssigned)
        std::memcpy(target, FavouriteLevels, MaxChannels);
    else if (first)
        std::memcpy(target, first->levels, MaxChannels);
    else
        std::memcpy(target, CrossFadeTo, MaxChannels);
    StartCrossFade(target, std::max<std::int32_t>(durationMs, TickMs));
    FavouriteOn.store(1);
}

bool StartSceneCrossFade(int sequence, int scene, std::int32_t durationMs)
{
    const SceneRecord *target = SceneOf(sequence, scene);
    if (!target)
        return false;
    const std::int32_t duration = std::max<std::int32_t>(durationMs, TickMs);
    EngineBusyGuard busy;
    StartCrossFade(target->levels, duration);
    PlayClock = WrapAdd(PlayClock, duration);
    return true;
}

void EndCrossFade()
{
    CrossFading.store(0);
    const SequenceRecord *seq = CurrentSequenceRecord();
    if (CurScene < 0 && seq && seq->sceneCount > 0)
        CurScene = 0;
}

std::string FormatPlayClock(std::int32_t clockMs)
{
    const std::int64_t ms = std::max<std::int32_t>(clockMs, 0);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%01d", static_cast<int>(ms / 3600000 % 24),
                  static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                  static_cast<int>(ms / 100 % 10));
    return text;
}

int TapTempo::Tap(std::uint32_t nowMs)
{
    const auto t = static_cast<std::int32_t>(nowMs);
    // Wrapping difference: the clock may pass 2^31 between taps.
    std::int32_t d = static_cast<std::int32_t>(nowMs - static_cast<std::uint32_t>(TapTime));
    TapTime = t;
    // A first tap, a tap after 2 s and a zero or backward interval only restart the
    // measurement.
    if (d <= 0 || d >= 2000)
        return 0;
    if (TapInterval > 0 && std::abs((d - TapInterval) * 100 / TapInterval) < 20)
        d = (d + TapInterval) / 2;
    TapInterval = d;
    return 60000 / d;
}

int NextStepKind(int kind)
{
    return kind >= 0 && kind < 3 ? kind + 1 : 0;
}

int NextFadeKind(int kind, int stepKind)
{
    switch (kind) {
    case 0:
        return stepKind == 2 || stepKind == 3 ? 2 : 1;
    case 1:
        return 2;
    default:
        return 0;
    }
}
