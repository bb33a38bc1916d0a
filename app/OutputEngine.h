// The output engine: the 50 ms tick on the timer thread and the channel setters.
#pragma once

#include "platform/Messages.h"

#include <cstdint>

constexpr int TickMs = 50;

// Message numbers and the engine message codes.
constexpr std::uint32_t RecordInputMessage = 5024;
constexpr std::uint32_t MasterInputMessage = 5025;
constexpr std::uint32_t AudioMessage = 5026;
constexpr std::uint32_t EngineMessage = 5027;

// Message windows the engine reaches (0 = none).
extern platform::WindowHandle MessageWindow;
extern platform::WindowHandle MasterWindow;
extern platform::WindowHandle RecorderWindow;
extern std::uint8_t RecordingOn;

// Starts the 50 ms timer; true when it runs (also when it already ran).
bool StartOutputTimer();
// Stops the timer and joins its thread.
void StopOutputTimer();
bool OutputTimerRunning();
// One engine tick; the timer calls it, tests call it directly.
void OutputTick();
