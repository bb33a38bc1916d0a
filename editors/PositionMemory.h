// Position memory without windows: the stored position scenes, the scenes' references to
// them, and copying the stored pan, tilt, fine and focus channels into the scenes that
// refer to a position. Numbers of position scenes are 1-based, as the references are.
#pragma once

#include "ShowModel.h"

#include <vector>

// The channels of one fixture a position covers (logical channels, -1 absent): pan and
// tilt, the fine pair only when both exist, and every Focus channel.
struct PositionChannels {
    int pan = -1, tilt = -1, panFine = -1, tiltFine = -1;
    std::vector<int> focus;
    bool HasPanTilt() const { return pan >= 0 && tilt >= 0; }
    bool HasFine() const { return panFine >= 0 && tiltFine >= 0; }
    int FirstFocus() const { return focus.empty() ? -1 : focus.front(); }
};
PositionChannels PositionChannelsOf(const FixtureRecord &f);

// A new zero-filled position scene after number `after` (0..count); references above it
// move up by one. Refused at 255 with the message. Returns the new number, 0 when refused.
int AddPositionScene(int after);
// Removes position scene `number`; references to it become 0 and those above move down.
// Refused for the last one with the message. Returns the number to show next, 0 refused.
int RemovePositionScene(int number);
// Copies position scene `number` (0: every position scene) into the scenes of every
// sequence that refer to it, on the fixtures with pan and tilt. References above the
// count are skipped. Returns the number of scenes changed.
int UpdatePositionReferences(int number);
// Copies all levels of the current scene into position scene `number`; false without a
// current scene.
bool TakePositionsFromCurrentScene(int number);
// The position scene `number` (1-based), nullptr outside the table.
PositionScene *PositionSceneAt(int number);
