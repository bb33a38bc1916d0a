#include "LookSwitch.h"

#include "LevelPipeline.h"
#include "PlayState.h"

#include <algorithm>
#include <cstring>

namespace {

int depth = 0;
std::uint8_t keptLevels[MaxChannels];

// Marks the fixture channels that the next tick writes itself, by the rules the tick
// writes them: players and cross-fades write channels in state 0 (background play also
// those in state 2), never the channels that black-out holds on their off values.
void MarkEngineChannels(bool (&engine)[MaxChannels])
{
    std::fill(std::begin(engine), std::end(engine), false);
    if (PlayPaused.load())
        return;
    const bool fading = CrossFading.load() != 0;
    const bool background = !fading && PlayInBackground.load() != 0;
    if (!fading && !background && !Playing.load())
        return;
    const bool blackOut = BlackOutOn.load() != 0;
    const int count = static_cast<int>(std::min<std::int64_t>(FixtureCount, static_cast<std::int64_t>(Fixtures.size())));
    for (int f = 0; f < count; ++f) {
        const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
        const int channels = std::min<int>(fx.channelCount, MaxFixtureChannels);
        for (int j = 0; j < channels; ++j) {
            const int ch = fx.start + j;
            if (ch < 0 || ch >= MaxChannels)
                continue;
            const std::uint8_t state = fx.states[j];
            if (state != 0 && !(background && state == 2))
                continue;
            if (blackOut && ChannelOffValues[ch] >= 0)
                continue;
            engine[ch] = true;
        }
    }
}

} // namespace

LookSwitch::LookSwitch()
{
    if (depth++ > 0)
        return;
    hold_.emplace();
    std::memcpy(keptLevels, DmxOutLevels, MaxChannels);
}

LookSwitch::~LookSwitch()
{
    if (--depth > 0)
        return;
    bool engine[MaxChannels];
    MarkEngineChannels(engine);
    for (int c = 0; c < MaxChannels; ++c)
        if (!engine[c])
            DmxOutLevels[c] = keptLevels[c];
    // hold_ goes last: the engine runs again with the levels in place.
}

bool LookSwitchOpen()
{
    return depth > 0;
}

std::uint8_t *WindowLevels()
{
    return depth > 0 ? keptLevels : DmxOutLevels;
}
