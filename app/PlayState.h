// Play state shared between the windows and the engine tick. The bytes that order the
// GUI thread and the timer thread are atomics; the tables themselves stay plain.
#pragma once

#include "ShowModel.h"

#include <atomic>
#include <cstdint>

using Flag = std::atomic<std::uint8_t>;

extern Flag Playing;
extern Flag PlayInBackground;
extern Flag MultiSeqRunning;
extern Flag CrossFading;
extern Flag PlayPaused;
extern Flag BlackOutOn;
extern Flag FavouriteOn;
extern std::int32_t PlaySequence;
extern std::int32_t PlayScene;
extern std::int32_t NextScene;
extern std::int32_t PlayClock;
extern std::int32_t NextStepTime;
extern std::int32_t FadeEnd;
extern std::int32_t FadeTicks;
extern Flag BeatTrigger;
extern Flag ManualTrigger;
extern std::uint8_t MidiInputOn;
extern std::int32_t LastTriggerTime;
extern std::uint8_t HardwareBeatInput;
extern std::uint8_t SynchMode;
extern Flag SceneChanged;
extern Flag OutputChanged;
extern Flag FrameChanged;
extern std::atomic<std::int32_t> TickDuration;
extern Flag EngineBusy;
extern Flag TickInProgress;
extern std::uint8_t ShowModified;
extern std::array<PlayerSlot, PlayerSlotCount> PlayerSlots;

// Holds the engine off for a scope: saves EngineBusy, sets it, and restores the saved
// value, so that a nested guard never frees the engine early.
class EngineBusyGuard {
public:
    EngineBusyGuard() : saved_(EngineBusy.load()) { EngineBusy.store(1); }
    ~EngineBusyGuard() { EngineBusy.store(saved_); }
    EngineBusyGuard(const EngineBusyGuard &) = delete;
    EngineBusyGuard &operator=(const EngineBusyGuard &) = delete;

private:
    std::uint8_t saved_;
};
