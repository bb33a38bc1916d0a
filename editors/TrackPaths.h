// The track editor without its window: the pan/tilt path of one fixture across the
// current sequence's scenes as 16-bit values, the saved path that "Restore" returns to,
// dragging points and boxes, the pencil, and the shape generators.
#pragma once

#include <cstdint>
#include <vector>

extern int TrackFixture;
extern int TrackSequence;
extern int TrackFirst, TrackLast;          // visible scenes, inclusive
extern int TrackPan, TrackTilt, TrackPanFine, TrackTiltFine;   // channels, -1 absent
extern int TrackMode;                      // 0 no path, 1 8-bit, 2 16-bit
extern int TrackZoom;                      // 1, 2 or 4
extern std::vector<std::uint16_t> SavedPan16, SavedTilt16;
extern std::vector<std::int16_t> TrackSelected;   // scenes caught by a band, ended by -1
extern int PencilScene;
extern bool PencilOn;
struct TrackPlace {
    int height = 301, width = 418, left = 186, top = 141;
};
extern TrackPlace TrackWindowPlace;
extern bool TrackInactive;

constexpr int TrackCentre = 32640;         // 127.5 x 256

// trunc(x) + 1 when the fraction is above 0.5, else trunc(x).
int TrackRound(double x);

// The edited fixture and sequence still exist, the mode is not 0 and the visible range
// lies inside the sequence.
bool TrackUsable();
// Takes the fixture's pan/tilt channels and mode; in modes 1 and 2 saves its path and
// clears the band's list.
void TrackTakeFixture(int fixture);
// Sizes the per-scene arrays and the visible range to the sequence.
void TrackTakeSequence(int sequence);

enum class Axis { Pan, Tilt };
// The 16-bit value of a scene (coarse x 256 + fine in mode 2).
int TrackValue(int fixture, int scene, Axis axis);
int TrackCoarse(int fixture, int scene, Axis axis);
// Stores a computed 16-bit value: mode 2 coarse/fine of trunc(v) held to 0..`limit`; mode
// 1 coarse = rnd(v / 256) held to 0..255.
void TrackStore(int fixture, int scene, Axis axis, double v, int limit = 65280);
void TrackSetCoarse(int fixture, int scene, Axis axis, int coarse);

// The fixtures a generator writes: with `group` every fixture of the edited one's type
// whose pan and tilt channels are both linked; otherwise the edited fixture.
std::vector<int> TrackTargets(bool group);

// The path saved when the fixture was taken back into the scenes (only scenes that both
// the saved arrays and the sequence hold).
bool TrackRestore();

// Generators over the visible scenes of every target; false when nothing was written.
bool TrackResize(int xPercent, int yPercent, bool group);
bool TrackRotate(int angle, bool group);
bool TrackMirror(Axis axis, bool group);
bool TrackLine(bool group);
bool TrackPolygon(int size, int vertices, bool group);
bool TrackCircle(int size, int factor, bool group);
bool TrackStar(int outer, int inner, bool group);

// Field mouse (coarse coordinates 0..255).
// The first visible scene whose point lies within 2 of (x, y), -1 none.
int TrackPointAt(int x, int y);
// A point to a position (held to the field); Shift keeps pan, Ctrl keeps tilt.
void TrackMovePoint(int scene, int x, int y, bool keepPan, bool keepTilt);
// The visible scenes inside a band (inclusive) into TrackSelected; the box around them
// grown by 2 (not past the field). False when none lies inside.
struct TrackBox {
    int left = 0, top = 0, right = -1, bottom = -1;
    bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};
bool TrackCatch(int x0, int y0, int x1, int y1, TrackBox &box);
// Moves every caught scene (and the box) by (dx, dy); refused when the box would leave
// the field.
bool TrackMoveBox(TrackBox &box, int dx, int dy, bool keepPan, bool keepTilt);
