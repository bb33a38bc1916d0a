#include "TrackPaths.h"

#include "ValueChart.h"

#include "app/FixtureArea.h"
#include "app/SequenceEditing.h"

#include <algorithm>
#include <cmath>

int TrackFixture = -1;
int TrackSequence = -1;
int TrackFirst = 0, TrackLast = -1;
int TrackPan = -1, TrackTilt = -1, TrackPanFine = -1, TrackTiltFine = -1;
int TrackMode = 0;
int TrackZoom = 1;
std::vector<std::uint16_t> SavedPan16, SavedTilt16;
std::vector<std::int16_t> TrackSelected{-1};
int PencilScene = 0;
bool PencilOn = false;
TrackPlace TrackWindowPlace;
bool TrackInactive = false;

namespace {
constexpr double Pi = 3.14159265358979323846;

SequenceRecord *TrackSeq()
{
    return SequenceAt(TrackSequence);
}

int CoarseChannel(Axis a) { return a == Axis::Pan ? TrackPan : TrackTilt; }
int FineChannel(Axis a) { return a == Axis::Pan ? TrackPanFine : TrackTiltFine; }

SceneRecord *SceneOf(int scene)
{
    SequenceRecord *seq = TrackSeq();
    return seq && scene >= 0 && scene < seq->sceneCount ? static_cast<SceneRecord *>(seq->scenes[scene]) : nullptr;
}

const FixtureRecord &Fix(int fixture)
{
    return Fixtures[static_cast<std::size_t>(fixture)];
}

void SetFine(int fixture, int scene, Axis axis, int fine)
{
    if (SceneRecord *s = SceneOf(scene))
        SetSceneLevel(*s, Fix(fixture), FineChannel(axis), fine);
}

int Fine(int fixture, int scene, Axis axis)
{
    const SceneRecord *s = SceneOf(scene);
    return s ? SceneLevel(*s, Fix(fixture), FineChannel(axis)) : 0;
}
} // namespace

int TrackRound(double x)
{
    const double t = std::trunc(x);
    return static_cast<int>(x - t > 0.5 ? t + 1 : t);
}

bool TrackUsable()
{
    const SequenceRecord *seq = TrackSeq();
    if (TrackMode == 0 || !FixtureIndexValid(TrackFixture) || !seq || seq->sceneCount < 1)
        return false;
    TrackLast = std::min(TrackLast, seq->sceneCount - 1);
    TrackFirst = std::clamp(TrackFirst, 0, std::max(0, TrackLast));
    return TrackFirst <= TrackLast;
}

void TrackTakeSequence(int sequence)
{
    TrackSequence = sequence;
    const SequenceRecord *seq = TrackSeq();
    const int n = seq ? seq->sceneCount : 0;
    TrackFirst = 0;
    TrackLast = n - 1;
    SavedPan16.assign(static_cast<std::size_t>(n), 0);
    SavedTilt16.assign(static_cast<std::size_t>(n), 0);
    TrackSelected.assign(1, -1);
    TrackSelected.reserve(static_cast<std::size_t>(n) + 1);
}

void TrackTakeFixture(int fixture)
{
    TrackFixture = fixture;
    TrackPan = TrackTilt = TrackPanFine = TrackTiltFine = -1;
    TrackMode = 0;
    if (!FixtureIndexValid(fixture))
        return;
    const ChannelRoles r = RolesOf(Fix(fixture));
    TrackPan = r.pan;
    TrackTilt = r.tilt;
    TrackPanFine = r.panFine;
    TrackTiltFine = r.tiltFine;
    TrackMode = r.HasPanTilt() ? (r.HasFine() ? 2 : 1) : 0;
    if (TrackMode == 0)
        return;
    const SequenceRecord *seq = TrackSeq();
    const int n = seq ? seq->sceneCount : 0;
    SavedPan16.assign(static_cast<std::size_t>(n), 0);
    SavedTilt16.assign(static_cast<std::size_t>(n), 0);
    for (int s = 0; s < n; ++s) {
        SavedPan16[static_cast<std::size_t>(s)] = static_cast<std::uint16_t>(TrackValue(fixture, s, Axis::Pan));
        SavedTilt16[static_cast<std::size_t>(s)] = static_cast<std::uint16_t>(TrackValue(fixture, s, Axis::Tilt));
    }
    TrackSelected.assign(1, -1);
}

int TrackCoarse(int fixture, int scene, Axis axis)
{
    const SceneRecord *s = SceneOf(scene);
    return s && FixtureIndexValid(fixture) ? SceneLevel(*s, Fix(fixture), CoarseChannel(axis)) : 0;
}

int TrackValue(int fixture, int scene, Axis axis)
{
    const int coarse = TrackCoarse(fixture, scene, axis);
    return coarse * 256 + (TrackMode == 2 ? Fine(fixture, scene, axis) : 0);
}

void TrackSetCoarse(int fixture, int scene, Axis axis, int coarse)
{
    if (SceneRecord *s = SceneOf(scene))
        SetSceneLevel(*s, Fix(fixture), CoarseChannel(axis), std::clamp(coarse, 0, 255));
}

void TrackStore(int fixture, int scene, Axis axis, double v, int limit)
{
    if (TrackMode == 2) {
        const int w = static_cast<int>(std::clamp(std::trunc(v), 0.0, static_cast<double>(limit)));
        TrackSetCoarse(fixture, scene, axis, w >> 8);
        SetFine(fixture, scene, axis, w & 255);
    } else if (TrackMode == 1) {
        TrackSetCoarse(fixture, scene, axis, std::clamp(TrackRound(v / 256.0), 0, 255));
    }
}

std::vector<int> TrackTargets(bool group)
{
    std::vector<int> out;
    if (!FixtureIndexValid(TrackFixture))
        return out;
    if (!group) {
        out.push_back(TrackFixture);
        return out;
    }
    const int type = Fix(TrackFixture).deviceType;
    for (int i = 0; i < FixtureCount; ++i) {
        const FixtureRecord &f = Fix(i);
        if (f.deviceType == type && ChannelUsable(f, TrackPan) && ChannelUsable(f, TrackTilt) &&
            f.states[TrackPan] == 2 && f.states[TrackTilt] == 2)
            out.push_back(i);
    }
    return out;
}

bool TrackRestore()
{
    if (!TrackUsable())
        return false;
    const SequenceRecord *seq = TrackSeq();
    const int n = std::min<int>({seq->sceneCount, static_cast<int>(SavedPan16.size()), static_cast<int>(SavedTilt16.size())});
    for (int s = 0; s < n; ++s) {
        const int pan = SavedPan16[static_cast<std::size_t>(s)], tilt = SavedTilt16[static_cast<std::size_t>(s)];
        TrackSetCoarse(TrackFixture, s, Axis::Pan, pan >> 8);
        TrackSetCoarse(TrackFixture, s, Axis::Tilt, tilt >> 8);
        if (TrackMode == 2) {
            SetFine(TrackFixture, s, Axis::Pan, pan & 255);
            SetFine(TrackFixture, s, Axis::Tilt, tilt & 255);
        }
    }
    return true;
}

namespace {
// Runs `each` (fixture, scene, k, n) over the visible scenes of every target.
template <typename F>
bool ForVisible(bool group, int minimum, F each)
{
    if (!TrackUsable())
        return false;
    const int n = TrackLast - TrackFirst + 1;
    if (n < minimum)
        return false;
    for (int f : TrackTargets(group))
        for (int s = TrackFirst; s <= TrackLast; ++s)
            each(f, s, s - TrackFirst, n);
    return true;
}

void StoreAround(int fixture, int scene, double panOffset, double tiltOffset)
{
    TrackStore(fixture, scene, Axis::Pan, TrackCentre + panOffset);
    TrackStore(fixture, scene, Axis::Tilt, TrackCentre + tiltOffset);
}
} // namespace

bool TrackResize(int xPercent, int yPercent, bool group)
{
    return ForVisible(group, 1, [&](int f, int s, int, int) {
        const float pan = static_cast<float>(xPercent) * static_cast<float>(TrackValue(f, s, Axis::Pan) - TrackCentre) * 0.01f + TrackCentre;
        const float tilt = static_cast<float>(yPercent) * static_cast<float>(TrackValue(f, s, Axis::Tilt) - TrackCentre) * 0.01f + TrackCentre;
        TrackStore(f, s, Axis::Pan, std::clamp(static_cast<double>(pan), 0.0, 65535.0), 65535);
        TrackStore(f, s, Axis::Tilt, std::clamp(static_cast<double>(tilt), 0.0, 65535.0), 65535);
    });
}

bool TrackRotate(int angle, bool group)
{
    const double t = angle * 2 * Pi / 360;
    return ForVisible(group, 1, [&](int f, int s, int, int) {
        const double x = TrackValue(f, s, Axis::Pan) - TrackCentre, y = TrackValue(f, s, Axis::Tilt) - TrackCentre;
        TrackStore(f, s, Axis::Pan, std::clamp(x * std::cos(t) - y * std::sin(t) + TrackCentre, 0.0, 65535.0), 65535);
        TrackStore(f, s, Axis::Tilt, std::clamp(x * std::sin(t) + y * std::cos(t) + TrackCentre, 0.0, 65535.0), 65535);
    });
}

bool TrackMirror(Axis axis, bool group)
{
    return ForVisible(group, 1, [&](int f, int s, int, int) {
        TrackSetCoarse(f, s, axis, 255 - TrackCoarse(f, s, axis));
        if (TrackMode == 2)
            SetFine(f, s, axis, 255 - Fine(f, s, axis));
    });
}

bool TrackLine(bool group)
{
    if (!TrackUsable() || TrackLast - TrackFirst < 2)
        return false;
    const int n = TrackLast - TrackFirst + 1;
    for (int f : TrackTargets(group))
        for (Axis a : {Axis::Pan, Axis::Tilt}) {
            const bool wide = TrackMode == 2;
            const int v0 = wide ? TrackValue(f, TrackFirst, a) : TrackCoarse(f, TrackFirst, a);
            const int v1 = wide ? TrackValue(f, TrackLast, a) : TrackCoarse(f, TrackLast, a);
            for (int s = TrackFirst + 1; s < TrackLast; ++s) {
                const int k = s - TrackFirst;
                const int v = static_cast<int>(std::trunc(v0 + static_cast<double>(v1 - v0) * k / (n - 1)));
                if (wide) {
                    TrackSetCoarse(f, s, a, v >> 8);
                    SetFine(f, s, a, v & 255);
                } else {
                    TrackSetCoarse(f, s, a, v);
                }
            }
        }
    return true;
}

bool TrackPolygon(int size, int vertices, bool group)
{
    if (!TrackUsable() || vertices < 3)
        return false;
    const int n = TrackLast - TrackFirst + 1;
    if (n < vertices)
        return false;
    const double r = size * 326.4;
    std::vector<int> at(static_cast<std::size_t>(vertices) + 1);
    std::vector<double> vx(at.size()), vy(at.size());
    for (int i = 0; i <= vertices; ++i) {
        vx[static_cast<std::size_t>(i)] = r * std::sin(i * 2 * Pi / vertices);
        vy[static_cast<std::size_t>(i)] = -r * std::cos(i * 2 * Pi / vertices);
        at[static_cast<std::size_t>(i)] = i == 0          ? TrackFirst
                                          : i == vertices ? TrackLast + 1
                                                          : TrackFirst + TrackRound(static_cast<double>(i) * n / vertices);
    }
    auto put = [](int f, int s, double ox, double oy) {
        if (TrackMode == 2) {
            TrackStore(f, s, Axis::Pan, ox + TrackCentre);
            TrackStore(f, s, Axis::Tilt, oy + TrackCentre);
        } else {
            TrackSetCoarse(f, s, Axis::Pan, TrackRound(ox / 256 + 127.5));
            TrackSetCoarse(f, s, Axis::Tilt, TrackRound(oy / 256 + 127.5));
        }
    };
    for (int f : TrackTargets(group))
        for (int i = 0; i < vertices; ++i) {
            const auto a = static_cast<std::size_t>(i), b = a + 1;
            put(f, at[a], vx[a], vy[a]);
            const int span = at[b] - at[a];
            for (int j = at[a] + 1; j < at[b]; ++j) {
                const double t = static_cast<double>(j - at[a]) / span;
                put(f, j, vx[a] + (vx[b] - vx[a]) * t, vy[a] + (vy[b] - vy[a]) * t);
            }
        }
    return true;
}

bool TrackCircle(int size, int factor, bool group)
{
    const double r = size * 326.4;
    return ForVisible(group, 2, [&](int f, int s, int k, int n) {
        const double c = 2 * Pi / n;
        StoreAround(f, s, r * std::sin(factor * k * c), -r * std::cos(k * c));
    });
}

bool TrackStar(int outer, int inner, bool group)
{
    return ForVisible(group, 2, [&](int f, int s, int k, int n) {
        const double r = (s % 2 == 0 ? outer : inner) * 326.4;
        const double c = 2 * Pi / n;
        StoreAround(f, s, r * std::sin(k * c), -r * std::cos(k * c));
    });
}

int TrackPointAt(int x, int y)
{
    if (!TrackUsable())
        return -1;
    for (int s = TrackFirst; s <= TrackLast; ++s)
        if (std::abs(TrackCoarse(TrackFixture, s, Axis::Pan) - x) <= 2 &&
            std::abs(TrackCoarse(TrackFixture, s, Axis::Tilt) - y) <= 2)
            return s;
    return -1;
}

void TrackMovePoint(int scene, int x, int y, bool keepPan, bool keepTilt)
{
    if (!TrackUsable() || !SceneOf(scene))
        return;
    if (!keepPan)
        TrackSetCoarse(TrackFixture, scene, Axis::Pan, std::clamp(x, 0, 255));
    if (!keepTilt)
        TrackSetCoarse(TrackFixture, scene, Axis::Tilt, std::clamp(y, 0, 255));
}

bool TrackCatch(int x0, int y0, int x1, int y1, TrackBox &box)
{
    TrackSelected.assign(1, -1);
    if (!TrackUsable())
        return false;
    const int l = std::min(x0, x1), r = std::max(x0, x1), t = std::min(y0, y1), b = std::max(y0, y1);
    TrackSelected.clear();
    box = TrackBox{256, 256, -1, -1};
    for (int s = TrackFirst; s <= TrackLast; ++s) {
        const int px = TrackCoarse(TrackFixture, s, Axis::Pan), py = TrackCoarse(TrackFixture, s, Axis::Tilt);
        if (px >= l && px <= r && py >= t && py <= b) {
            TrackSelected.push_back(static_cast<std::int16_t>(s));
            box.left = std::min(box.left, px);
            box.right = std::max(box.right, px);
            box.top = std::min(box.top, py);
            box.bottom = std::max(box.bottom, py);
        }
    }
    const bool any = !TrackSelected.empty();
    TrackSelected.push_back(-1);
    if (!any)
        return false;
    // Grown by 2, except on a side already at (or within 1 of) the field's edge.
    if (box.left > 1)
        box.left -= 2;
    if (box.top > 1)
        box.top -= 2;
    if (box.right <= 253)
        box.right += 2;
    if (box.bottom <= 253)
        box.bottom += 2;
    return true;
}

bool TrackMoveBox(TrackBox &box, int dx, int dy, bool keepPan, bool keepTilt)
{
    if (!TrackUsable() || TrackSelected.empty() || TrackSelected.front() < 0)
        return false;
    if (keepPan)
        dx = 0;
    if (keepTilt)
        dy = 0;
    if (box.left + dx < 0 || box.right + dx > 255 || box.top + dy < 0 || box.bottom + dy > 255)
        return false;
    for (std::int16_t s : TrackSelected) {
        if (s < 0)
            break;
        TrackSetCoarse(TrackFixture, s, Axis::Pan, TrackCoarse(TrackFixture, s, Axis::Pan) + dx);
        TrackSetCoarse(TrackFixture, s, Axis::Tilt, TrackCoarse(TrackFixture, s, Axis::Tilt) + dy);
    }
    box.left += dx;
    box.right += dx;
    box.top += dy;
    box.bottom += dy;
    return true;
}
