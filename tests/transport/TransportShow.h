// A small show for the transport tests: sequences of named scenes with known levels,
// fixtures in chosen channel states, and the play state reset between tests.
#pragma once

#include "app/LevelPipeline.h"
#include "app/OutputEngine.h"
#include "app/PlayControl.h"
#include "app/PlayState.h"
#include "app/ShowModel.h"
#include "app/StartupState.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace transport_test {

// Level of `channel` in scene `scene` of sequence `seq`: distinct per scene.
inline std::uint8_t LevelOf(int seq, int scene, int channel)
{
    return static_cast<std::uint8_t>(10 + 40 * scene + channel + 3 * seq);
}

inline int AddSequence(int scenes, std::uint8_t flags = SeqFlagCycle, std::uint8_t modes = 0, std::uint32_t tempo = 120)
{
    const int index = SequenceCount;
    SequenceRecord *seq = new SequenceRecord;
    seq->name = "SEQUENCE " + std::to_string(index + 1);
    seq->tempo = tempo;
    seq->commonFade = 50;
    seq->flags = flags;
    seq->modes = modes;
    for (int s = 0; s < scenes; ++s) {
        auto *scene = new SceneRecord;
        std::snprintf(scene->name.data(), scene->name.size(), "SCENE %d", s + 1);
        scene->sceneTime = 1000 + 100 * s;
        scene->fadeTime = 200 + 50 * s;
        for (int c = 0; c < MaxChannels; ++c)
            scene->levels[c] = LevelOf(index, s, c);
        seq->scenes[s] = scene;
    }
    seq->sceneCount = static_cast<std::int16_t>(scenes);
    Sequences[static_cast<std::size_t>(index)] = seq;
    SequenceCount = index + 1;
    return index;
}

// A fixture of `states.size()` channels at `start`, every channel used.
inline int AddFixtureWith(int start, std::initializer_list<std::uint8_t> states)
{
    const int f = AddFixture();
    FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
    fx.start = static_cast<std::int16_t>(start);
    fx.channelCount = static_cast<std::uint8_t>(states.size());
    int j = 0;
    for (std::uint8_t s : states) {
        fx.used[j] = 1;
        fx.states[j] = s;
        ++j;
    }
    return f;
}

inline void ResetPlayState()
{
    FreeShowTables();
    ClearFixtures();
    CurSequence = CurScene = -1;
    SelectedFixture = -1;
    for (Flag *f : {&Playing, &PlayInBackground, &MultiSeqRunning, &CrossFading, &PlayPaused, &BlackOutOn,
                    &FavouriteOn, &BeatTrigger, &ManualTrigger, &SceneChanged, &OutputChanged, &FrameChanged,
                    &EngineBusy, &TickInProgress, &PlayListRunning})
        f->store(0);
    PlaySequence = PlayScene = NextScene = 0;
    PlayClock = NextStepTime = FadeEnd = FadeTicks = 0;
    LastTriggerTime = 0;
    SynchMode = 0;
    IgnoreBlackOut = 0;
    FavouriteAssigned = 0;
    AccessLevel = 0;
    DeviceState = -1;
    DmxInEnabled = 0;
    CrossFadeClock = CrossFadeEnd = CrossFadeLimit = CrossFadeTicks = 0;
    for (int i = 0; i < MaxChannels; ++i) {
        DmxOutLevels[i] = 0;
        FadeKind[i] = Fade8Bit;
        FineChannel[i] = 0;
        ChannelOffValues[i] = -1;
        CrossFadeFrom[i] = CrossFadeTo[i] = CrossFadeLevels[i] = FavouriteLevels[i] = 0;
    }
    for (PlayerSlot &s : PlayerSlots)
        std::memset(s.levels, 0, sizeof s.levels);
}

} // namespace transport_test
