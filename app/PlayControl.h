// What the transport hands to the engine: starting the single-sequence player in the
// foreground or the background, the cross-fades to the favourite and to a scene, the
// tempo tap, and the step and fade kinds of a sequence. Plain C++, GUI thread only.
#pragma once

#include "PlayState.h"
#include "ShowModel.h"

#include <cstdint>
#include <string>

// The play list runs its entries (set by the play-list runner).
extern Flag PlayListRunning;
// The physical masters' "Ignore": channels in state 3 keep their level through
// black-out and the favourite.
extern std::uint8_t IgnoreBlackOut;

// The tempo to divide by: a stored tempo of 0 (a damaged file) counts as 120.
inline std::uint32_t UsableTempo(std::uint32_t tempo)
{
    return tempo == 0 ? 120 : tempo;
}

// Prepares the single player for `sequence` from `scene` and sets Playing last; the
// first tick then steps at once to `scene`.
void StartSinglePlay(int sequence, int scene);
// Prepares background play of `sequence` after `scene` and sets PlayInBackground last.
void StartBackgroundPlay(int sequence, int scene);

// Length of a cross-fade: one tick when disabled, else the time given, at least one tick.
std::int32_t CrossFadeDuration(bool disabled, long timeMs);
// Cross-fade from the present levels to the favourite: the assigned favourite, else the
// first scene of the first sequence, else the last target again. Sets FavouriteOn.
void StartFavouriteCrossFade(std::int32_t durationMs);
// Cross-fade from the present levels to a scene, moving the play clock on by the fade's
// length; nothing when the scene does not exist. The engine is held off for the whole
// start, so the fade's clocks come from the play clock before it moves. True when started.
bool StartSceneCrossFade(int sequence, int scene, std::int32_t durationMs);
// Ends a running cross-fade; a current scene of -1 becomes 0 when the current sequence
// has scenes.
void EndCrossFade();

// The play clock as "hh:mm:ss:t" (hours modulo 24, tenths); negative clocks show 0.
std::string FormatPlayClock(std::int32_t clockMs);

// Tempo tapping: taps less than 2 s apart give a tempo; an interval within 20 % of the
// previous one is averaged with it.
struct TapTempo {
    std::int32_t TapTime = 0;      // clock of the last tap
    std::int32_t TapInterval = 0;  // last accepted interval

    // Returns the tempo in BPM that the tap gives, or 0 when it gives none.
    int Tap(std::uint32_t nowMs);
};

// The step kind after `kind` (0 tempo, 1 scene time, 2 beat, 3 manual).
int NextStepKind(int kind);
// The fade kind after `kind` (0 common, 1 scene time, 2 fade track) for a sequence
// stepping by `stepKind`.
int NextFadeKind(int kind, int stepKind);
// Writes the step kind into bits 0-2 and the fade kind into bits 3-5 of a modes byte.
inline std::uint8_t WithStepKind(std::uint8_t modes, int kind)
{
    return static_cast<std::uint8_t>((modes & ~7u) | (static_cast<unsigned>(kind) & 7u));
}
inline std::uint8_t WithFadeKind(std::uint8_t modes, int kind)
{
    return static_cast<std::uint8_t>((modes & ~0x38u) | ((static_cast<unsigned>(kind) & 7u) << 3));
}
