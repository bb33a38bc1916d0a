// The output engine: the 50 ms tick on the timer thread and the channel setters.
#pragma once

#include "ShowModel.h"
#include "platform/Messages.h"

#include <atomic>
#include <cstdint>

constexpr int TickMs = 50;

// Message numbers and the engine message codes.
constexpr std::uint32_t RecordInputMessage = 5024;
constexpr std::uint32_t MasterInputMessage = 5025;
constexpr std::uint32_t AudioMessage = 5026;
constexpr std::uint32_t EngineMessage = 5027;

// wParam of EngineMessage.
constexpr std::uintptr_t EngineCodeBlackOut = ',';    // toggle black-out
constexpr std::uintptr_t EngineCodeTempo = '.';       // the current sequence's tempo changed
constexpr std::uintptr_t EngineCodeFavourite = ';';   // toggle the favourite
constexpr std::uintptr_t EngineCodeSlotOn = 'D';      // multi-player slot on (lParam slot)
constexpr std::uintptr_t EngineCodeSlotOff = 'd';     // multi-player slot off (lParam slot)
constexpr std::uintptr_t EngineCodeGo = 'G';          // start the play
constexpr std::uintptr_t EngineCodeHalt = 'H';        // stop the play
constexpr std::uintptr_t EngineCodeSelect = 'S';      // PlaySequence names the sequence or cue to take
constexpr std::uintptr_t EngineCodeSlowTick = 'Z';    // a tick took 500 ms or more

constexpr std::intptr_t InputChangedParam = 71;       // lParam of the "input changed" posts

// Message windows the engine reaches (0 = none).
extern platform::WindowHandle MessageWindow;
extern platform::WindowHandle MasterWindow;
extern std::atomic<platform::WindowHandle> RecorderWindow;
extern std::atomic<std::uint8_t> RecordingOn;

// The input states the tick hands to the recorder: each change while recording is copied
// with its input clock into the next of 64 preallocated snapshots, and the snapshot's
// serial number (counting from 1, wrapping) is posted in wParam. The recorder writes every
// snapshot after the last one it wrote up to the posted one, so a late or lost post loses
// nothing while fewer than 64 wait.
struct InputSnapshot {
    std::int32_t clock = 0;
    std::uint8_t levels[MaxInputChannels] = {};
};
constexpr std::uint32_t InputSnapshotCount = 64;
extern InputSnapshot InputSnapshots[InputSnapshotCount];
// The serial of the last snapshot taken (0 none yet); written by the tick only.
extern std::atomic<std::uint32_t> InputSnapshotSerial;
inline const InputSnapshot &InputSnapshotAt(std::uint32_t serial)
{
    return InputSnapshots[serial % InputSnapshotCount];
}

// Cross-fade clocks (ms of the play clock, and the length in ticks).
extern std::int32_t CrossFadeClock;
extern std::int32_t CrossFadeEnd;
extern std::int32_t CrossFadeLimit;
extern std::int32_t CrossFadeTicks;

// Rate limiting of the DMX-input functions: per physical master the input clock and
// value of the last level passed on, and the same for the tempo function.
extern std::int32_t MasterInputTime[PhysicalMasterCount];
extern std::uint8_t MasterInputValue[PhysicalMasterCount];
extern std::int32_t LastTempoTime;
extern std::uint8_t LastTempoValue;

// Starts the 50 ms timer; true when it runs (also when it already ran).
bool StartOutputTimer();
// Stops the timer and joins its thread. A tick blocked in a send to the GUI thread is
// released (the send returns 0), so this never waits on the GUI thread.
void StopOutputTimer();
bool OutputTimerRunning();
// One engine tick; the timer calls it, tests call it directly.
void OutputTick();

// The GUI's way of setting one logical level (0..1023; other channels are ignored).
// Ignored during background play or the favourite; during black-out only channels
// without an off value take it. While a LookSwitch is open the level is kept aside until
// the switch closes.
void SetChannelLevel(int channel, std::uint8_t level);
// Sets one logical level only while a device is open.
void SetChannelLevelIfOpen(int channel, std::uint8_t level);
// Waits `ms` milliseconds while the GUI thread's events are handled; returns the
// milliseconds that passed.
std::uint32_t WaitWithMessages(std::uint32_t ms);
// 1-based index of the highest output channel whose frame byte differs from the frame
// last sent; 0 when the two are equal.
int ChangedExtent();

// Starts a cross-fade from the present logical levels to `target` (1024 levels) over
// `durationMs` (at least 50). GUI thread only: holds the engine off while it prepares
// the fade and sets CrossFading last.
void StartCrossFade(const std::uint8_t *target, std::int32_t durationMs);
