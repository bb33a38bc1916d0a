// The values editor's effect generators on the scene tables: sine, square and random
// waves over a channel of a fixture and its linked fixtures, their preview curves, and
// the fan that spreads pan and tilt across the linked fixtures of one type.
#pragma once

#include <string>
#include <vector>

enum class WaveShape { Sine, Square, Random };

struct WaveSettings {
    WaveShape shape = WaveShape::Sine;
    int amplitude = 128;   // 0..256
    int offset = 128;      // 0..255
    int startPhase = 0;    // degrees, -180..180
    int duration = 50;     // square: % of the period high, 1..99
    int shift = 90;        // degrees between targets, -180..180
    bool group = true;     // the linked fixtures of the same type too
    int seed = 0;          // random
};

// The fixtures a wave writes, in fixture order: the selected one and, with `group`, every
// fixture of its type with at least one used channel in state 2.
std::vector<int> WaveTargets(int fixture, bool group);
// The levels of every target over `points` scenes of a sequence of `n` scenes (points is
// n for writing, n + 1 for the preview); target d counts from 0 in fixture order.
std::vector<std::vector<int>> WaveLevels(const WaveSettings &w, int n, int targets, int points);
// Writes the wave into `channel` of every target over the current sequence. False when
// there is nothing to write.
bool ApplyWave(int fixture, int channel, const WaveSettings &w);
// A random seed as the "Random" button draws it.
int DrawRandomSeed();

// The fan: every member's pan and tilt moved from its current values. `store` makes
// them the members' values; either way they go to the output. Returns the message shown
// ("" when it acted).
struct FanMove {
    int fixture;
    int pan, tilt;
};
std::string FanCompute(int fixture, int ampFan, int shiftFan, int offsetFan, std::vector<FanMove> &moves);
std::string FanModify(int fixture, int ampFan, int shiftFan, int offsetFan, bool store);

constexpr const char *FanNoPanTiltText = "No fixtures in Group with Pan/Tilt";
constexpr const char *FanTooFewText = "No fixtures in Master group or < 2";
constexpr const char *PlayModeText = "Can't use in Play mode";
