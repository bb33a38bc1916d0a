// Runs the play list against its own clock: each step fires the lines whose start time
// has come, in list order, through the main window's controls (reached through
// PlayListHost), starts their media and applies their after-end actions. A "Wait GO"
// line holds the list and the engine until GO. GUI thread only.
#pragma once

#include "ShowModel.h"

#include <cstdint>
#include <functional>
#include <string>

namespace platform {
class MediaPlayer;
}

// What the runner calls out to; an empty call does nothing (a query answers false).
struct PlayListHost {
    // The main window's play controls.
    std::function<void()> mainStop;
    std::function<void()> mainPlay;
    // Puts `index` into the sequence choice and runs the sequence change.
    std::function<void(int index)> sequenceChange;
    // The cue list item and its click; the multi-sequence player item, its click and its
    // own Play.
    std::function<bool()> cueListChecked;
    std::function<void()> cueListClick;
    std::function<bool()> multiSeqChecked;
    std::function<void()> multiSeqClick;
    std::function<void()> multiPlay;
    std::function<void(int cue)> selectCue;
    // Black-out button pressed (true) or released (false) and its click run.
    std::function<void(bool down)> blackOut;
    // The favourite pressed with the line's fade (0: no cross-fade).
    std::function<void(std::int32_t fade)> favourite;
    // The sequence cross-fade set from the line's fade (0: cross-fade disabled).
    std::function<void(std::int32_t fade)> sequenceCrossFade;
    // The main window's and the multi-sequence player's Play and Stop buttons.
    std::function<void(bool enabled)> playButtonsEnabled;
    // Ends the program the normal way.
    std::function<void()> terminate;
    // The window: the grid shows line `line`; Play hidden while running; GO shown (and the
    // fast buttons hidden) while waiting; the step timer; the status texts.
    std::function<void(int line)> showLine;
    std::function<void(bool running)> runningChanged;
    std::function<void(bool waiting)> waitingChanged;
    std::function<void(bool on)> timer;
    std::function<void(const std::string &)> clockText;
    std::function<void(const std::string &)> mediaText;
    std::function<void()> repaint;
    // Media: the player to use (the video screen's or the window's own, made on use), the
    // video screen told when media starts (with or without a picture), and the player
    // stopped and released (empty: stopped and closed here).
    std::function<platform::MediaPlayer *(bool cd)> mediaPlayer;
    std::function<void(bool hasVideo)> mediaStarted;
    std::function<void(platform::MediaPlayer &player)> mediaStopped;
};

class PlayListRunner {
public:
    explicit PlayListRunner(PlayListHost host = {}) : host_(std::move(host)) {}
    PlayListHost &Host() { return host_; }

    // Starts the list at line `line` after checking every line (boxes for broken jumps).
    // False when nothing was started.
    bool Start(int line);
    // One step of the 100 ms timer.
    void Step();
    void Stop();
    void Go();
    void FastForward();
    void FastBackward();
    // The play-list clock in ms.
    std::int32_t Now() const;

    int PlayListPos = 0;
    std::uint32_t PlayListStartTick = 0;
    std::int32_t PlayListBaseTime = 0;
    std::int32_t MediaEnd = 0;
    std::int32_t MediaStartPos = 0;
    int GoState = 0;
    std::uint32_t GoWaitStart = 0;
    std::uint8_t CdMedia = 0;

private:
    bool Validate();
    void FireMedia(const PlayListEntry &line);
    void FireLook(const PlayListEntry &line);
    // Plays the line's media; the time it lasts, from now.
    std::int32_t PlayerPlay(const PlayListEntry &line);
    void PlayerStop();
    void Text(const std::function<void(const std::string &)> &f, const std::string &s) const
    {
        if (f)
            f(s);
    }

    PlayListHost host_;
    platform::MediaPlayer *media_ = nullptr;   // the player of the running media
    // Counts stops: a media wait handles events, and the list may be stopped (its window
    // closed, the video screen let go) before the wait ends.
    std::uint32_t stops_ = 0;
};
