// The 16 physical masters and the main master without windows: which channels each master
// holds, what a fader position does to them (drive their levels or limit them as a
// dimmer), the assignment grid, DMX input in modes 3 and 4, and the control states that
// the input mode imposes on the window.
#pragma once

#include "ShowModel.h"

#include <array>
#include <cstdint>
#include <string>

constexpr int MasterCount = 16;          // masters 0..15
constexpr int MainMaster = 16;           // the main ("super") master
constexpr int MasterGridSide = 32;       // the assignment grid: 32 x 32 output channels
constexpr std::uint8_t NoMaster = 255;
constexpr std::uint8_t MasterFollowsMain = 0x01;
constexpr std::uint8_t MasterIsDimmer = 0x02;
constexpr std::uint8_t HeldByMaster = 3;  // fixture channel state of a physical master's channel

// One master's channels, in channel order.
struct MasterChannelList {
    std::int16_t count = 0;
    std::int16_t channels[MaxChannels] = {};
};
extern std::array<MasterChannelList, MasterCount> MasterChannelLists;
// The master the grid assigns to and the popup acts on (0..16).
extern std::int32_t SelectedMaster;

bool IsDimmerMaster(int master);
bool FollowsMainMaster(int master);
// The level master 0..16 gives its channels: its own, scaled by the main master when it
// follows it (integer, truncating).
int EffectiveMasterLevel(int master);

// The used channel of a patched fixture on output channel `c`; false when there is none.
bool MasterGridChannel(int c, int &fixture, int &channel);

// Map and lists again from the patch: a state-3 channel keeps its master, any other keeps
// only a dimmer-kind master; channels that no fixture uses lose theirs.
void RebuildMasterChannelLists();

// The fader of master 0..16 moved to `v`. The main master recomputes every master that
// follows it.
void MasterFaderChange(int master, int v);
// Every fader's change once with the level its record holds (main master last), as after
// a show was loaded: dimmers set their channels' scale, physical masters their levels.
void ReapplyAllMasterLevels();
// Master 0..15 applies its present level to its channels again (scale or levels).
void ApplyMasterLevel(int master);
// Bump: save the level and go to 255; release: back to the saved level.
void BumpMasterDown(int master);
void BumpMasterUp(int master);

// A mouse click on grid cell `cell` (column + 32 x row) with master 0..15: assigns or
// releases the channel by the master's kind. True when the cell held a channel.
bool ToggleMasterChannel(int master, int cell);
// "Clear All": every state-3 channel back to 0, every map entry and scale reset.
void ClearAllMasters();
// The master's kind: its channels follow (state 0 for a dimmer, state 3 and no scale for
// a physical master), then the lists are rebuilt.
void SetMasterKind(int master, bool dimmer);
// Every free, unheld dimmer channel of the patch goes to `master`. Returns how many.
int SearchFreeDimmerChannels(int master);

// Masters 0..16 that a DMX-input function of kind 1 drives (within InputFunctionCount).
std::array<bool, MasterCount + 1> MastersDrivenByInput();
// The input level that drives master 0..16 in mode 4 (its first kind-1 function), -1 none.
int MasterInputLevel(int master);

// The 100 ms step of the input modes: faders that input drives follow it. True when the
// timer keeps running (modes 3 and 4).
bool MasterInputStep();
// Favourite or black-out released: the masters take hold of their channels again.
void ApplyInputToMasters();
// The engine's notice (message MasterInputMessage). False when it was ignored.
bool HandleMasterInput(std::uintptr_t wParam, std::intptr_t lParam);

// What the input mode leaves the operator: per master 0..16.
struct MasterControlState {
    bool faderEnabled = true;     // the fader and the bump button
    bool followEnabled = true;    // the follow box (masters 0..15)
};
struct MasterControlStates {
    std::array<MasterControlState, MasterCount + 1> masters;
    bool mainLabelEnabled = true;
    bool timerRuns = false;
};
// The states by DMX-input mode. A follow box that the mode unchecks clears the master's
// follow bit, so box and record always agree.
MasterControlStates ApplyMasterControlStates();

// The grid's look of output channel `c`: whether it is filled, its 0x00BBGGRR colour,
// the master number shown (1..16, 0 none) and whether it is a fixture's first channel.
struct MasterCellLook {
    bool filled = false;
    std::uint32_t colour = 0;
    int number = 0;
    bool firstChannel = false;
};
MasterCellLook MasterCellLookOf(int c);
// The hover texts of a cell: "133 OUT2" and "Empty" or name + " - Ch" + number + kind.
std::string MasterCellChannelText(int c);
std::string MasterCellFixtureText(int c);
