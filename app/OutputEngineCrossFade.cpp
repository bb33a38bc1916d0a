// The cross-fade from the levels at its start to a target (favourite, sequence, cue).
#include "OutputEngine.h"
#include "OutputEngineSteps.h"
#include "PlayState.h"

#include <cstring>

namespace engine {

void StepCrossFade()
{
    CrossFadeClock = AddMs(CrossFadeClock, TickMs);
    if (CrossFadeClock >= CrossFadeLimit || CrossFadeClock >= CrossFadeEnd || CrossFadeTicks <= 0) {
        std::memcpy(CrossFadeLevels, CrossFadeTo, MaxChannels);
        CrossFading.store(0);
    } else {
        const std::int64_t remaining = (std::int64_t(CrossFadeEnd) - CrossFadeClock) / TickMs;
        FadeLevels(CrossFadeLevels, CrossFadeFrom, CrossFadeTo, CrossFadeTicks - remaining, CrossFadeTicks, false);
    }
    WriteFixtureLevels(CrossFadeLevels, false, false);
}

} // namespace engine
