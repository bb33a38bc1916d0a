#include "CueList.h"

#include "LevelPipeline.h"
#include "LookSwitch.h"
#include "MultiSeqSlots.h"
#include "OutputEngine.h"
#include "OutputEngineSteps.h"
#include "PlayControl.h"
#include "PlayState.h"
#include "WindowSeams.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// The cue table and its count agree before any change: a count beyond the records (or a
// negative one) is cut to what exists.
void SyncCueTable()
{
    CueCount = std::clamp<std::int32_t>(CueCount, 0, static_cast<std::int32_t>(Cues.size()));
    Cues.resize(static_cast<std::size_t>(CueCount));
}

CueRecord &CueAt(int cue)
{
    return Cues[static_cast<std::size_t>(cue)];
}

// Where an index lands when the item at `from` is taken out and put back at `to`.
int MovedIndex(int v, int from, int to)
{
    if (v == from)
        return to;
    if (v > from)
        --v;
    if (v >= to)
        ++v;
    return v;
}

template <typename F>
void ForEachPlayListLine(bool cueLines, F &&f)
{
    const std::size_t n = std::min<std::size_t>(PlayListEntries.size(), static_cast<std::size_t>(std::max(PlayListCount, 0)));
    for (std::size_t i = 0; i < n; ++i) {
        PlayListEntry &e = PlayListEntries[i];
        if ((e.cueFlag != 0) == cueLines && e.index != -1)
            f(e);
    }
}

void RebuildPlayListWindow()
{
    if (AskSeam(WindowSeams().playListVisible))
        CallSeam(WindowSeams().programFormFullBuild);
}

void Changed()
{
    ShowModified = 1;
    RebuildPlayListWindow();
}

void SnapshotSlots(CueRecord &cue)
{
    for (int i = 0; i < PlayerSlotCount; ++i) {
        const PlayerSlot &s = PlayerSlots[static_cast<std::size_t>(i)];
        cue.sequence[i] = s.sequence;
        cue.on[i] = s.active != 0 ? 1 : 0;
    }
}

} // namespace

bool SelectableCue(int n)
{
    return n >= 0 && n < CueCount && static_cast<std::size_t>(n) < Cues.size();
}

int AddCue(int at)
{
    SyncCueTable();
    const int r = std::clamp(at, 0, static_cast<int>(CueCount));
    CueRecord cue;
    char name[32];
    std::snprintf(name, sizeof name, "Cue %d", r + 1);
    cue.name = name;
    SnapshotSlots(cue);
    Cues.insert(Cues.begin() + r, std::move(cue));
    CueCount += 1;
    ForEachPlayListLine(true, [r](PlayListEntry &e) {
        if (e.index >= r)
            ++e.index;
    });
    Changed();
    return r;
}

int DeleteCue(int cue)
{
    SyncCueTable();
    if (!SelectableCue(cue))
        return -1;
    Cues.erase(Cues.begin() + cue);
    CueCount -= 1;
    ForEachPlayListLine(true, [cue](PlayListEntry &e) {
        if (e.index == cue)
            e.index = -1;
        else if (e.index > cue)
            --e.index;
    });
    Changed();
    if (CueCount == 0)
        return -1;
    return cue > 0 ? cue - 1 : 0;
}

bool UpdateCue(int cue)
{
    SyncCueTable();
    if (!SelectableCue(cue))
        return false;
    SnapshotSlots(CueAt(cue));
    ShowModified = 1;
    return true;
}

bool RenameCue(int cue, const std::string &name)
{
    SyncCueTable();
    if (!SelectableCue(cue))
        return false;
    CueAt(cue).name = name.substr(0, MaxCueNameBytes);
    Changed();
    return true;
}

int MoveCue(int from, int to)
{
    SyncCueTable();
    if (!SelectableCue(from))
        return -1;
    if (to < 0 || to >= CueCount)
        to = CueCount - 1;
    if (to == from)
        return -1;
    CueRecord moved = std::move(CueAt(from));
    Cues.erase(Cues.begin() + from);
    Cues.insert(Cues.begin() + to, std::move(moved));
    ForEachPlayListLine(true, [from, to](PlayListEntry &e) { e.index = static_cast<std::int16_t>(MovedIndex(e.index, from, to)); });
    Changed();
    return to;
}

bool ApplyCue(int cue, bool disabled, long timeMs)
{
    SyncCueTable();
    if (!SelectableCue(cue))
        return false;
    // The cross-fade and the slots given after it reach the stage as one step: no tick
    // plays the slots half given.
    LookSwitch change;
    if (Playing.load())
        MakeCrossFadeMSSequence(cue, disabled, timeMs);
    CueRecord &c = CueAt(cue);
    for (int i = 0; i < PlayerSlotCount; ++i) {
        // No sequence (-1, or any other negative index from a damaged file): off on 0.
        if (c.sequence[i] < 0) {
            c.on[i] = 0;
            c.sequence[i] = 0;
            ShowModified = 1;
        }
        SetMultiSeqSlotOn(i, c.on[i]);
        SetMultiSeqSlotSequence(i, c.sequence[i]);
    }
    return true;
}

std::string CueStatusText(int cue)
{
    std::string text = "NN=";
    if (SelectableCue(cue)) {
        const CueRecord &c = CueAt(cue);
        for (int i = 0; i < PlayerSlotCount; ++i)
            if (c.on[i] != 0)
                text += std::to_string(c.sequence[i] + 1) + "-";
    }
    text.pop_back();
    return text;
}

void CueTargetLevels(const CueRecord &cue, std::uint8_t (&target)[MaxChannels])
{
    std::fill(std::begin(target), std::end(target), std::uint8_t{0});
    const bool anyOn = std::any_of(std::begin(cue.on), std::end(cue.on), [](std::uint8_t on) { return on != 0; });
    if (anyOn) {
        for (int i = 0; i < PlayerSlotCount; ++i) {
            if (cue.on[i] == 0)
                continue;
            // Only existing sequences with a first scene add to the target.
            const SceneRecord *first = engine::SceneAt(engine::SequenceAt(cue.sequence[i]), 0);
            if (!first)
                continue;
            for (int ch = 0; ch < MaxChannels; ++ch)
                target[ch] = std::max(target[ch], first->levels[ch]);
        }
        return;
    }
    const std::size_t fixtures = std::min<std::size_t>(Fixtures.size(), static_cast<std::size_t>(std::max(FixtureCount, 0)));
    for (std::size_t f = 0; f < fixtures; ++f) {
        const FixtureRecord &fx = Fixtures[f];
        for (int j = 0; j < fx.channelCount && j < MaxFixtureChannels; ++j) {
            const int ch = fx.start + j;
            if (ch < 0 || ch >= MaxChannels || fx.states[j] != 0 || ChannelOffValues[ch] < 0)
                continue;
            target[ch] = static_cast<std::uint8_t>(ChannelOffValues[ch]);
        }
    }
}

std::int32_t MakeCrossFadeMSSequence(int cue, bool disabled, long timeMs)
{
    if (!SelectableCue(cue))
        return PlayClock;
    std::uint8_t target[MaxChannels];
    CueTargetLevels(CueAt(cue), target);
    const std::int32_t duration = CrossFadeDuration(disabled, timeMs);
    // The fade's clocks come from the play clock before it moves on.
    EngineBusyGuard busy;
    StartCrossFade(target, duration);
    PlayClock = engine::AddMs(PlayClock, duration);
    return PlayClock;
}

void CueListSequenceMoved(int from, int to)
{
    if (from < 0 || to < 0 || from == to)
        return;
    for (CueRecord &c : Cues)
        for (std::int16_t &s : c.sequence)
            if (s >= 0)
                s = static_cast<std::int16_t>(MovedIndex(s, from, to));
    ForEachPlayListLine(false, [from, to](PlayListEntry &e) {
        if (e.index >= 0)
            e.index = static_cast<std::int16_t>(MovedIndex(e.index, from, to));
    });
    Changed();
}

void CueListSequenceInserted(int at)
{
    if (at < 0)
        return;
    for (CueRecord &c : Cues)
        for (std::int16_t &s : c.sequence)
            if (s >= at)
                ++s;
    ForEachPlayListLine(false, [at](PlayListEntry &e) {
        if (e.index >= at)
            ++e.index;
    });
    Changed();
}

void CueListSequenceDeleted(int at)
{
    if (at < 0)
        return;
    for (CueRecord &c : Cues)
        for (int i = 0; i < PlayerSlotCount; ++i) {
            std::int16_t &s = c.sequence[i];
            if (s == at) {
                c.on[i] = 0;   // the index is kept
            } else if (s > at) {
                --s;
            } else if (s < 0) {
                c.on[i] = 0;
                s = 0;
            }
        }
    ForEachPlayListLine(false, [at](PlayListEntry &e) {
        if (e.index == at)
            e.index = -1;
        else if (e.index > at)
            --e.index;
    });
    Changed();
}

std::string CueDebugListing()
{
    std::string text;
    const std::size_t n = std::min<std::size_t>(Cues.size(), static_cast<std::size_t>(std::max(CueCount, 0)));
    for (std::size_t k = 0; k < n; ++k) {
        const CueRecord &c = Cues[k];
        text += c.name;
        text += '\n';
        for (int i = 0; i < PlayerSlotCount; ++i)
            text += std::to_string(c.sequence[i]) + (c.on[i] != 0 ? " O ," : " _ ,");
        text += '\n';
    }
    return text;
}
