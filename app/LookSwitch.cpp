#include "LookSwitch.h"

#include "LevelPipeline.h"
#include "OutputEngineSteps.h"
#include "PlayState.h"

#include <algorithm>
#include <cstring>

namespace {

int depth = 0;
std::uint8_t keptLevels[MaxChannels];

// Marks the fixture channels that the next tick writes itself, by the rules the tick
// writes them: players and cross-fades write the player channels, background play also
// those linked to a master.
void MarkEngineChannels(bool (&engine)[MaxChannels])
{
    std::fill(std::begin(engine), std::end(engine), false);
    if (PlayPaused.load())
        return;
    const bool fading = CrossFading.load() != 0;
    const bool background = !fading && PlayInBackground.load() != 0;
    if (!fading && !background && !Playing.load())
        return;
    engine::ForEachPlayerChannel(background, [&](int ch) { engine[ch] = true; });
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
