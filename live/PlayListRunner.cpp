#include "PlayListRunner.h"

#include "EngineHold.h"
#include "HardwareSettings.h"
#include "LookSwitch.h"
#include "MediaNames.h"
#include "PlayControl.h"
#include "PlayList.h"
#include "PlayState.h"

#include "platform/Clock.h"
#include "platform/MediaFileCheck.h"
#include "platform/MediaPlayer.h"
#include "platform/MsgBox.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

constexpr int MediaWaitMs = 5000;

template <typename F, typename... A>
void Call(const F &f, A... args)
{
    if (f)
        f(args...);
}
template <typename F>
bool Ask(const F &f)
{
    return f && f();
}

bool AskYes(const char *format, int number)
{
    char text[96];
    std::snprintf(text, sizeof text, format, number);
    return platform::MessageBox("Brantoval-1024", text, platform::Buttons::YesNo) != platform::Answer::No;
}

PlayListEntry &Line(int i)
{
    return PlayListEntries[static_cast<std::size_t>(i)];
}

// A sum of list times that stays within the 32-bit clock: a line's time read from a file
// can be anything, and a time past the end of the clock is simply never reached.
std::int32_t ClockSum(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(a + b, INT32_MIN, INT32_MAX));
}

} // namespace

std::int32_t PlayListRunner::Now() const
{
    return ClockSum(PlayListBaseTime, static_cast<std::int32_t>(platform::MonotonicMs() - PlayListStartTick));
}

bool PlayListRunner::Validate()
{
    bool changed = ClearMissingPlayListIndices();
    for (PlayListEntry &e : PlayListEntries) {
        if (e.action != ActGoto)
            continue;
        if (e.gotoRow < 0 || e.gotoRow >= PlayListCount) {
            if (AskYes("Label %d does not exist, correct?", e.gotoRow + 1)) {
                e.action = ActEnd;
                changed = true;
            }
        } else if (Line(e.gotoRow).startTime == e.startTime) {
            if (AskYes("Incorrect time for GOTO %d, correct to \"End\"?", e.gotoRow + 1)) {
                e.action = ActEnd;
                changed = true;
            }
        }
    }
    if (changed) {
        PlayListModified = 1;
        Call(host_.repaint);
    }
    return changed;
}

bool PlayListRunner::Start(int line)
{
    if (PlayListCount <= 0 || PlayListEntries.empty())
        return false;
    if (Playing.load() || PlayInBackground.load())
        Call(host_.mainStop);
    Text(host_.mediaText, "");
    Validate();
    Call(host_.runningChanged, true);
    PlayListRunning.store(1);
    GoState = 0;
    PlayListPos = line < 0 || line >= PlayListCount ? 0 : line;
    PlayListStartTick = platform::MonotonicMs();
    PlayListBaseTime = Line(PlayListPos).startTime;
    MediaEnd = 0;
    Step();
    if (PlayListRunning.load())
        Call(host_.playButtonsEnabled, false);
    return true;
}

void PlayListRunner::Step()
{
    if (GoState == 1 || !PlayListRunning.load())
        return;
    Call(host_.timer, false);
    std::int32_t now = Now();
    // Jumps between lines could fire for ever inside one step: at most one turn per line
    // (and one more) here, the rest in the next step.
    for (int turns = 0; turns <= PlayListCount + 1; ++turns) {
        now = Now();
        if (MediaEnd != 0 && now >= MediaEnd) {
            PlayerStop();
            MediaEnd = 0;
            if (PlayListPos >= PlayListCount) {
                Stop();
                Text(host_.mediaText, "That's All");
                return;
            }
        }
        if (PlayListPos >= PlayListCount)
            break;
        int i = 0;
        if (GoState == 2) {
            GoState = 0;
            i = PlayListPos - 1;
        } else {
            if (now < Line(PlayListPos).startTime)
                break;
            i = PlayListPos++;
            Call(host_.showLine, i);
            if (Line(i).action == ActWaitGo) {
                GoWaitStart = platform::MonotonicMs();
                Call(host_.waitingChanged, true);
                GoState = 1;
                PlayPaused.store(1);
                Call(host_.timer, true);
                return;
            }
        }
        const PlayListEntry e = Line(i);
        const std::uint32_t stops = stops_;
        FireMedia(e);
        if (stops != stops_)
            return;   // stopped while the media opened
        {
            // The line's cue or sequence and its action reach the stage as one step, after
            // the media has started (its wait handles events).
            LookSwitch change;
            FireLook(e);
            switch (e.action) {
            case ActStop:
                Call(host_.mainStop);
                break;
            case ActBlackOut:
                Call(host_.blackOut, true);
                break;
            case ActFavourite:
                Call(host_.favourite, e.fade);
                break;
            case ActGoto:
            case ActEnd:
            case ActExit:
                break;
            default:   // Play, Wait GO
                if (BlackOutOn.load())
                    Call(host_.blackOut, false);
                if (!Playing.load()) {
                    if (Ask(host_.multiSeqChecked))
                        Call(host_.multiPlay);
                    else
                        Call(host_.mainPlay);
                }
                break;
            }
        }
        // The ends of the list: their questions (leaving the program) come after the step.
        switch (e.action) {
        case ActGoto:
            if (e.gotoRow >= 0 && e.gotoRow < PlayListCount && e.gotoRow != i) {
                PlayListPos = e.gotoRow;
                PlayListStartTick = platform::MonotonicMs();
                PlayListBaseTime = Line(e.gotoRow).startTime;
                break;
            }
            [[fallthrough]];
        case ActEnd:
            Stop();
            return;
        case ActExit:
            Stop();
            Call(host_.terminate);
            return;
        default:
            break;
        }
        if (!PlayListRunning.load())
            return;
    }
    Text(host_.clockText, FormatPlayListClocks(now, MediaEnd));
    Call(host_.timer, true);
}

// The line's media.
void PlayListRunner::FireMedia(const PlayListEntry &e)
{
    if (!e.mediaFile.empty()) {
        const bool synch = Playing.load() && SynchMediaPlayList;
        if (synch)
            PlayPaused.store(1);
        PlayerStop();
        MediaEnd = ClockSum(PlayerPlay(e), Now());
        if (synch) {
            HoldEngine hold;   // the tick writes the play clock too
            PlayPaused.store(0);
            PlayClock = 0;
        }
    }
}

// The line's cue or sequence.
void PlayListRunner::FireLook(const PlayListEntry &e)
{
    if (e.cueFlag) {
        if (!Ask(host_.cueListChecked)) {
            if (Playing.load())
                Call(host_.mainStop);
            Call(host_.cueListClick);
        }
        Call(host_.sequenceCrossFade, e.fade);
        if (e.index >= 0)
            Call(host_.selectCue, static_cast<int>(e.index));
        PlayPaused.store(0);
    } else {
        if (Ask(host_.multiSeqChecked))
            Call(host_.multiSeqClick);
        if (e.index >= 0) {
            Call(host_.sequenceCrossFade, e.fade);
            Call(host_.sequenceChange, static_cast<int>(e.index));
        }
    }
}

std::int32_t PlayListRunner::PlayerPlay(const PlayListEntry &e)
{
    const std::string name = MediaBaseName(e.mediaFile);
    const bool cd = IsCdTrackName(e.mediaFile);
    // Looked at off this thread: a pipe, a device or a dead share must not hold the list.
    const platform::MediaFileState file = cd ? platform::MediaFileState::Readable : platform::CheckMediaFile(e.mediaFile);
    if (!PlayListRunning.load())
        return 5000;   // stopped meanwhile
    if (file == platform::MediaFileState::Missing) {
        Text(host_.mediaText, "MCI Not Found: " + e.mediaFile);
        return 5000;
    }
    if (file != platform::MediaFileState::Readable) {
        Text(host_.mediaText, "Can't Open " + e.mediaFile);
        return 5000;
    }
    CdMedia = cd ? 1 : 0;
    platform::MediaPlayer *player = host_.mediaPlayer ? host_.mediaPlayer(cd) : nullptr;
    std::string source = e.mediaFile;
    if (cd) {
        const auto track = CdTrackNumber(e.mediaFile);
        source = track ? CdTrackUrl(*track) : std::string();
    }
    const std::uint32_t stops = stops_;
    const bool opened = player && !source.empty() && platform::OpenAndWait(*player, source, MediaWaitMs);
    if (!opened || stops != stops_) {
        if (stops == stops_)
            Text(host_.mediaText, cd ? std::string("Can't Open CD audio") : "Can't Open " + e.mediaFile);
        if (player)
            player->Close();
        return 5000;
    }
    media_ = player;
    // A path typed in place has no start and stop: the whole media.
    const std::int32_t start = e.mediaStart < 0 ? 0 : e.mediaStart;
    std::int32_t stop = e.mediaStop;
    if (stop < 0)
        stop = static_cast<std::int32_t>(std::min<std::int64_t>(player->DurationMs(), 0x7FFFFFFF));
    MediaStartPos = start;
    if (start > 0)
        player->SetPositionMs(start);
    Text(host_.mediaText, "MCI Play: " + name);
    player->Play();
    Call(host_.mediaStarted, player->HasVideo());
    if (SynchMediaPlayList)
        platform::WaitProcessing([player, this] { return player->PositionMs() != MediaStartPos; }, MediaWaitMs);
    return stop > start ? stop - start : 1;
}

void PlayListRunner::PlayerStop()
{
    if (!media_)
        return;
    platform::MediaPlayer *player = media_;
    media_ = nullptr;
    if (host_.mediaStopped) {
        host_.mediaStopped(*player);
    } else {
        player->Stop();
        player->Close();
    }
    Text(host_.mediaText, "MCI Stop");
}

void PlayListRunner::Stop()
{
    ++stops_;
    if (GoState == 1)
        Go();
    if (Playing.load())
        Call(host_.mainStop);
    PlayListRunning.store(0);
    GoState = 0;
    Call(host_.timer, false);
    PlayerStop();
    MediaEnd = 0;
    Call(host_.waitingChanged, false);
    Call(host_.runningChanged, false);
    Call(host_.playButtonsEnabled, true);
}

void PlayListRunner::Go()
{
    if (GoState != 1)
        return;
    const std::uint32_t d = platform::MonotonicMs() - GoWaitStart;
    PlayListStartTick += d;
    {
        HoldEngine hold;   // the tick writes the play clock too
        PlayClock = static_cast<std::int32_t>(static_cast<std::uint32_t>(PlayClock) + d);
        PlayPaused.store(0);
    }
    Call(host_.waitingChanged, false);
    GoState = 2;
    Step();
}

void PlayListRunner::FastForward()
{
    if (!PlayListRunning.load() || GoState == 1 || PlayListPos >= PlayListCount)
        return;
    EngineBusyGuard busy;
    PlayListStartTick = platform::MonotonicMs();
    PlayListBaseTime = Line(PlayListPos).startTime;
}

void PlayListRunner::FastBackward()
{
    if (!PlayListRunning.load() || GoState == 1 || PlayListPos <= 1)
        return;
    EngineBusyGuard busy;
    PlayListStartTick = platform::MonotonicMs();
    PlayListPos -= 2;
    PlayListBaseTime = Line(PlayListPos).startTime;
}
