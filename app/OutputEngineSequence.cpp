// The single-sequence player and the stepping and fading rules that the multi-sequence
// player and the cross-fade share with it.
#include "OutputEngine.h"
#include "OutputEngineSteps.h"
#include "PlayState.h"

#include <algorithm>
#include <cstring>

namespace engine {

namespace {
// Milliseconds of one beat; a stored tempo of 0 counts as 1 BPM.
std::int64_t BeatMs(const SequenceRecord &seq)
{
    return 60000 / std::max<std::int64_t>(seq.tempo, 1);
}
} // namespace

bool StepDue(const SequenceRecord &seq, const PlayerCursor &cursor, std::int32_t clock)
{
    switch (StepModeOf(seq.modes)) {
    case 0:
    case 1:
        return clock >= cursor.nextStepTime;
    case 2:
        return BeatTrigger.load() != 0;
    default:
        return ManualTrigger.load() != 0;
    }
}

const SceneRecord *AdvanceScene(const SequenceRecord &seq, PlayerCursor &cursor, std::int32_t clock, bool slot)
{
    const std::int64_t n = SceneCountOf(&seq);
    std::int64_t scene = std::max<std::int64_t>(std::int64_t(cursor.scene) + 1, 0);
    std::int64_t next;
    if (seq.flags & SeqFlagCycle) {
        scene %= n;
        next = (scene + 1) % n;
    } else if (scene < n - 1) {
        next = scene + 1;
    } else {
        // The last scene is held; a scene index beyond it (scenes deleted, or a new
        // sequence chosen during play) falls back onto the last scene as well.
        scene = n - 1;
        next = scene;
    }
    cursor.scene = static_cast<std::int32_t>(scene);
    cursor.nextScene = static_cast<std::int32_t>(next);
    const SceneRecord *newScene = SceneAt(&seq, cursor.scene);
    const std::int64_t sceneTime = newScene ? newScene->sceneTime : 0;

    const int step = StepModeOf(seq.modes);
    std::int64_t fade;
    switch (FadeModeOf(seq.modes)) {
    case 0:
        fade = seq.commonFade;
        break;
    case 2:
        fade = newScene ? newScene->fadeTime : 0;
        break;
    default:
        fade = step == 0 ? BeatMs(seq) : step == 1 ? sceneTime : TickMs;
        break;
    }
    cursor.fadeTicks = static_cast<std::int32_t>(fade / TickMs);
    cursor.fadeEnd = AddMs(clock, fade);

    if (step == 0)
        cursor.nextStepTime = AddMs(cursor.nextStepTime, BeatMs(seq));
    else if (step == 1 || slot)
        cursor.nextStepTime = AddMs(cursor.nextStepTime, sceneTime);
    else
        cursor.nextStepTime = AddMs(clock, 500);
    return newScene;
}

void FadeLevels(std::uint8_t *levels, const std::uint8_t *cur, const std::uint8_t *next, std::int64_t w,
                std::int64_t ticks, bool jumpNow)
{
    w = std::clamp<std::int64_t>(w, 0, ticks);
    std::memcpy(levels, cur, MaxChannels);
    for (int i = 0; i < MaxChannels; ++i) {
        std::uint8_t kind = FadeKind[i];
        const int fine = FineChannel[i];
        if (kind == Fade16Coarse && (fine < 0 || fine >= MaxChannels))
            kind = Fade8Bit;   // no usable fine partner: fade the coarse channel alone
        switch (kind) {
        case FadeJump:
            if (jumpNow)
                levels[i] = next[i];
            break;
        case Fade8Bit: {
            const std::int64_t a = levels[i];
            levels[i] = static_cast<std::uint8_t>(a + (std::int64_t(next[i]) - a) * w / ticks);
            break;
        }
        case Fade16Coarse: {
            std::int64_t a = std::int64_t(levels[i]) * 256 + levels[fine];
            const std::int64_t b = std::int64_t(next[i]) * 256 + next[fine];
            a += (b - a) * w / ticks;
            levels[i] = static_cast<std::uint8_t>(a >> 8);
            levels[fine] = static_cast<std::uint8_t>(a & 255);
            break;
        }
        default:
            break;   // fine channels keep what their coarse channel gave them
        }
    }
}

void StepSequencePlayer()
{
    PlayClock = AddMs(PlayClock, TickMs);
    if (PlaySequence < 0 || PlaySequence >= SequenceCount) {
        // Past the last sequence: the main window stops the play before the tick goes on.
        Playing.store(1);
        platform::SendMessageTo(MessageWindow, EngineMessage, EngineCodeHalt, 0);
        return;
    }
    const SequenceRecord *seq = SequenceAt(PlaySequence);
    std::uint8_t *levels = PlayerSlots[0].levels;
    if (SceneCountOf(seq) == 0) {
        BeatTrigger.store(0);
        ManualTrigger.store(0);
        return;
    }

    PlayerCursor cursor{PlayScene, NextScene, NextStepTime, FadeEnd, FadeTicks};
    if (StepDue(*seq, cursor, PlayClock)) {
        const SceneRecord *scene = AdvanceScene(*seq, cursor, PlayClock, false);
        PlayScene = cursor.scene;
        NextScene = cursor.nextScene;
        NextStepTime = cursor.nextStepTime;
        FadeEnd = cursor.fadeEnd;
        FadeTicks = cursor.fadeTicks;
        SceneChanged.store(1);
        if (scene)
            std::memcpy(levels, scene->levels, MaxChannels);
    }

    if (seq->flags & SeqFlagFade) {
        const SceneRecord *cur = SceneAt(seq, PlayScene);
        const SceneRecord *next = SceneAt(seq, NextScene);
        if (!cur || !next) {
            BeatTrigger.store(0);
            ManualTrigger.store(0);
            return;
        }
        if (PlayClock >= FadeEnd || FadeTicks <= 0) {
            std::memcpy(levels, next->levels, MaxChannels);
        } else {
            const std::int64_t remaining = (std::int64_t(FadeEnd) - PlayClock) / TickMs;
            FadeLevels(levels, cur->levels, next->levels, FadeTicks - remaining, FadeTicks, seq->jumpTiming != 0);
        }
    }

    WriteFixtureLevels(levels, PlayInBackground.load() != 0, true);
    BeatTrigger.store(0);
    ManualTrigger.store(0);
}

} // namespace engine
