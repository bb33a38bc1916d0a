// State of the program's start: the start mode from the command line, the start
// dialog's choice, the access record and a few device notices.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern std::uint8_t StartupActionsPending;
// 0 exit, 1 new show, 2 open with the dialog, 3 open ShowFileName, 4 open cancelled,
// 5 fixture-profile editor, 6..10 recent show File1..File5.
extern std::uint8_t StartChoice;
extern std::uint8_t AutoPlay;
extern std::uint8_t StartMode;      // 255 none, 0 sequence, 1 cue list, 2 play list
extern std::int32_t StartIndex;     // 0-based, -1 none
extern std::int32_t JoystickId;     // -1 none
extern std::uint8_t DeviceArrived;
extern std::uint8_t DeviceReady;
extern std::uint8_t AccessRecord[10];   // byte 0 is the access level 0..3
inline std::uint8_t &AccessLevel = AccessRecord[0];

// Set when the program must end before or instead of running its event loop.
extern bool TerminateRequested;
// The exit status when start-up ends the program (1 when the engine timer failed).
extern int StartupExitCode;

// Registry keys of the main window.
inline const char *const MainWindowKey = "Software\\Brantoval\\MainWindow";
inline const char *const HistoryKey = "Software\\Brantoval\\History";

// Records the steps of start-up and shut-down in order, for tests; null when unused.
extern void (*LifecycleTrace)(const char *step);
inline void TraceStep(const char *step)
{
    if (LifecycleTrace)
        LifecycleTrace(step);
}

// Command line. A switch is an argument that begins with "/" and holds no other "/".
bool IsCommandSwitch(const std::string &arg);
// Applies a switch: "pla" auto-play, "sequence:N", "lis" play list, "cuenumber:N",
// matched without regard to case. Unknown switches do nothing.
void ApplyCommandSwitch(const std::string &arg);
// The show file an argument names, or "" when it names none: its file-name part must
// hold a point; the extension becomes ".dmx" when it began with ".dm", else ".d1k".
std::string ShowFileFromArgument(const std::string &arg);
// Resets the start mode to its initial values (tests).
void ResetStartMode();
