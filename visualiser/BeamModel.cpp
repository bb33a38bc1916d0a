#include "BeamModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double DegreeToRadian = 3.14159265358979323846 / 180.0;
constexpr double ConeTwist = 0.7853981633974483;

struct BodyCorners {
    float y1, z1a, z1b, y2, z2a, z2b;
};
BodyCorners CornersOf(int kind)
{
    switch (kind) {
    case BeamScanner: return {-0.75f, -0.2f, 0.2f, 0.25f, -0.2f, 0.2f};
    case BeamMovingHead: return {-0.6f, -0.3f, 0.3f, 0.1f, -0.15f, 0.15f};
    default: return {-0.2f, -0.6f, 0.1f, 0.2f, -0.6f, 0.1f};
    }
}

void CornerPoints(int kind, MeshVertex out[8])
{
    const BodyCorners c = CornersOf(kind);
    const float a = 0.3f;
    const float xs[4] = {-a, a, a, -a};
    for (int i = 0; i < 4; ++i) {
        out[i].x = xs[i];
        out[i].y = c.y1;
        out[i].z = (i == 0 || i == 1) ? c.z1a : c.z1b;
        out[i + 4].x = xs[i];
        out[i + 4].y = c.y2;
        out[i + 4].z = (i == 0 || i == 1) ? c.z2a : c.z2b;
    }
}

int Level(const std::uint8_t *frame, int channel, int fallback)
{
    return (channel >= 0 && channel < 1024) ? frame[channel] : fallback;
}

bool Inside(double v, double hi) { return v >= 0 && v <= hi; }

MeshVertex Along(const MeshVertex &a, const MeshVertex &p, double t)
{
    MeshVertex r;
    r.x = float(a.x + t * (double(p.x) - a.x));
    r.y = float(a.y + t * (double(p.y) - a.y));
    r.z = float(a.z + t * (double(p.z) - a.z));
    return r;
}
} // namespace

std::int32_t RangeToInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, lo, hi));
}

MeshVertex Direction(double d, double panDegrees, double tiltDegrees)
{
    const double p = panDegrees * DegreeToRadian, t = tiltDegrees * DegreeToRadian;
    MeshVertex v;
    v.x = float(d * std::sin(t) * std::sin(p));
    v.y = float(d * std::cos(t));
    v.z = float(d * std::sin(t) * std::cos(p));
    return v;
}

void ComputeConeOffsets(BeamModel &m)
{
    for (int i = 1; i <= 16; ++i) {
        const double a = i * 22.5 * DegreeToRadian;
        m.sinOffset[i - 1] = float(m.beamAngle / 2 * std::sin(a));
        m.cosOffset[i - 1] = float(m.beamAngle / 2 * std::cos(a));
    }
}

void InitBeamModel(BeamModel &m)
{
    const std::int32_t index = m.fixtureIndex;
    m = BeamModel{};
    m.fixtureIndex = index;
    std::fill(std::begin(m.blackOut), std::end(m.blackOut), std::int16_t(-1));
    ComputeConeOffsets(m);
    AddVertex(m.beam, float(m.posX), float(m.posY), float(m.posZ));
    for (int i = 0; i < 16; ++i) {
        const MeshVertex d = Direction(100, m.pan + m.cosOffset[i] + ConeTwist, m.tilt + m.sinOffset[i] + ConeTwist);
        AddVertex(m.beam, float(m.posX + d.x), float(m.posY + d.y), float(m.posZ + d.z));
    }
    for (int i = 1; i <= 16; ++i) {
        AddEdge(m.beam, 0, i);
        AddEdge(m.beam, i, i == 16 ? 1 : i + 1);
    }
    MeshVertex corners[8];
    CornerPoints(m.kind, corners);
    for (const MeshVertex &c : corners)
        AddVertex(m.body, c.x, c.y, c.z);
    AddBoxEdges(m.body);
    static const std::uint32_t bodyGreys[6] = {0x575757, 0x5F5F5F, 0x676767, 0x6F6F6F, 0x777777, 0x7F7F7F};
    AddBoxFaces(m.body, bodyGreys);
}

void BuildPlacement(BeamModel &m)
{
    if (!m.beam.vertices.empty()) {
        m.beam.vertices[0].x = float(m.posX);
        m.beam.vertices[0].y = float(m.posY);
        m.beam.vertices[0].z = float(m.posZ);
    }
    Matrix34 p = MultiplyMatrix(IdentityMatrix(), Translate(float(m.posX), float(m.posY), float(m.posZ)));
    p = MultiplyMatrix(p, RotateX(m.rotX * DegreeToRadian));
    p = MultiplyMatrix(p, RotateY(m.rotY * DegreeToRadian));
    p = MultiplyMatrix(p, RotateZ(m.rotZ * DegreeToRadian));
    m.placement = p;
    MeshVertex corners[8];
    CornerPoints(m.kind, corners);
    for (std::size_t i = 0; i < 8 && i < m.body.vertices.size(); ++i) {
        const MeshVertex t = TransformPoint(p, corners[i]);
        m.body.vertices[i].x = t.x;
        m.body.vertices[i].y = t.y;
        m.body.vertices[i].z = t.z;
    }
    VerticesMoved(m.beam);
    VerticesMoved(m.body);
}

void ComputePanTilt(BeamModel &m)
{
    auto flip = [](int level, bool inverted) { return inverted ? 255 - level : level; };
    const double panStep = 256.0 / m.panRange, tiltStep = 256.0 / m.tiltRange;
    m.pan = (flip(m.lastPan, m.panInverted) - 127.5) / panStep;
    if (m.fineMode)
        m.pan += (flip(m.lastPanFine, m.panInverted) - 127.5) / panStep / 256;
    const int t = flip(m.lastTilt, m.tiltInverted);
    if (m.kind == BeamMovingHead)
        m.tilt = (t - 127.5) / tiltStep;
    else
        m.tilt = t / tiltStep + double((180 - std::int64_t(m.tiltRange)) / 2);
    if (m.fineMode)
        m.tilt += (flip(m.lastTiltFine, m.tiltInverted) - 127.5) / tiltStep / 256;
}

MeshVertex WallPoint(const MeshVertex &a, const MeshVertex &p, const RoomExtent &room)
{
    MeshVertex last = p;
    if (p.x != a.x) {
        const double wall = p.x > a.x ? room.w : 0.0;
        last = Along(a, p, (wall - a.x) / (double(p.x) - a.x));
        if (Inside(last.y, room.h) && Inside(last.z, room.l))
            return last;
    }
    if (p.y != a.y) {
        const double wall = p.y > a.y ? room.h : 0.0;
        last = Along(a, p, (wall - a.y) / (double(p.y) - a.y));
        if (Inside(last.x, room.w) && Inside(last.z, room.l))
            return last;
    }
    if (p.z != a.z) {
        const double wall = p.z > a.z ? room.l : 0.0;
        last = Along(a, p, (wall - a.z) / (double(p.z) - a.z));
    }
    return last;
}

namespace {
void SetRim(BeamModel &m, int i, const MeshVertex &local, const MeshVertex &origin, const RoomExtent &room)
{
    if (std::size_t(i) >= m.beam.vertices.size())
        return;
    const MeshVertex w = WallPoint(origin, TransformPoint(m.placement, local), room);
    MeshVertex &v = m.beam.vertices[std::size_t(i)];
    v.x = w.x;
    v.y = w.y;
    v.z = w.z;
    VerticesMoved(m.beam);
}
} // namespace

void BuildBeam(BeamModel &m, const RoomExtent &room)
{
    ComputePanTilt(m);
    const MeshVertex origin = TransformPoint(m.placement, MeshVertex{});
    for (int i = 1; i <= 16; ++i)
        SetRim(m, i, Direction(100, m.pan + m.cosOffset[i - 1], m.tilt + m.sinOffset[i - 1]), origin, room);
}

void UpdateBeamFromDmx(BeamModel &m, const std::uint8_t *frame, const RoomExtent &room)
{
    // Dark: every used channel with a black-out state sits at that state.
    bool dark = true;
    for (int c = 0; c < m.channelCount && c < 32 && dark; ++c) {
        if (!((m.usedMask >> c) & 1) || m.blackOut[c] == -1)
            continue;
        const int level = Level(frame, m.start + c, -1);
        if (level >= 0 && level != m.blackOut[c])
            dark = false;
    }
    int r = 0, g = 0, b = 0;
    auto multiply = [&](const WheelEntry &e) {
        r = e.red * r / 256;
        g = e.green * g / 256;
        b = e.blue * b / 256;
    };
    auto find = [&](const std::vector<WheelEntry> &table, int channel) -> const WheelEntry * {
        const int level = Level(frame, channel, -1);
        for (const WheelEntry &e : table)
            if (e.dmx == level)
                return &e;
        return nullptr;
    };
    // A fixture without colour channels (a plain dimmer, a white spot) shines white; its
    // dimmer scales it below.
    const bool colourless = !m.cmyPresent && !m.wheel1Present && !m.wheel2Present;
    if (!dark && colourless)
        r = g = b = 255;
    if (!dark) {
        if (m.cmyPresent) {
            r = Level(frame, m.cyanChannel, 0);
            g = Level(frame, m.magentaChannel, 0);
            b = Level(frame, m.yellowChannel, 0);
            if (!m.rgbMode) {
                r = 255 - r;
                g = 255 - g;
                b = 255 - b;
            }
        }
        if (m.wheel1Present) {
            if (const WheelEntry *e = find(m.wheel1, m.wheel1Channel)) {
                if (m.cmyPresent)
                    multiply(*e);
                else
                    r = e->red, g = e->green, b = e->blue;
            } else {
                r = g = b = 128;
            }
        }
    }
    if (m.wheel2Present)
        if (const WheelEntry *e = find(m.wheel2, m.wheel2Channel))
            multiply(*e);
    if (m.dimmerPresent) {
        // A one-channel fixture takes its fader's colour; a fader left in a system colour
        // (the button face) gives no tint, so the beam stays white.
        if (m.channelCount == 1 && !(m.singleChannelColour & 0x80000000u)) {
            r = int(m.singleChannelColour & 0xFF);
            g = int((m.singleChannelColour >> 8) & 0xFF);
            b = int((m.singleChannelColour >> 16) & 0xFF);
        }
        int level = Level(frame, m.dimmerChannel, 0);
        if (m.dimmerInverted)
            level = 255 - level;
        r = level * r / 255;
        g = level * g / 255;
        b = level * b / 255;
    }
    m.beamColour = std::uint32_t(r) | (std::uint32_t(g) << 8) | (std::uint32_t(b) << 16);

    // Aim.
    const int p = Level(frame, m.panChannel, m.lastPan), t = Level(frame, m.tiltChannel, m.lastTilt);
    const int pf = Level(frame, m.panFineChannel, m.lastPanFine), tf = Level(frame, m.tiltFineChannel, m.lastTiltFine);
    if (m.fineMode) {
        if (p == m.lastPan && t == m.lastTilt && pf == m.lastPanFine && tf == m.lastTiltFine)
            return;
    } else {
        if (m.panChannel < 0 || m.tiltChannel < 0)
            return;
        if (p == m.lastPan && t == m.lastTilt)
            return;
    }
    m.lastPan = std::uint8_t(p);
    m.lastTilt = std::uint8_t(t);
    m.lastPanFine = std::uint8_t(pf);
    m.lastTiltFine = std::uint8_t(tf);
    ComputePanTilt(m);

    // Rim around the aim point, cast onto the walls.
    const MeshVertex q = Direction(100, m.pan, m.tilt);
    const double radius = 100 * m.beamAngle / 90;
    const MeshVertex origin = TransformPoint(m.placement, MeshVertex{});
    const double ax = std::fabs(q.x), ay = std::fabs(q.y), az = std::fabs(q.z);
    for (int i = 1; i <= 16; ++i) {
        const double angle = (m.pan + i * 22.5) * DegreeToRadian;
        const double s = radius * std::sin(angle), c = radius * std::cos(angle);
        MeshVertex rim = q;
        if (ay >= ax && az < ay) {
            rim.x = float(q.x + s);
            rim.z = float(q.z + c);
        } else if (az < ax) {
            rim.y = float(q.y + s);
            rim.z = float(q.z + c);
        } else {
            rim.x = float(q.x + c);
            rim.y = float(q.y + s);
        }
        SetRim(m, i, rim, origin, room);
    }
}

void SetApexEdges(BeamModel &m, int lines)
{
    for (int i = 1; i <= 16; ++i)
        RemoveEdge(m.beam, 0, i);
    auto wanted = [lines](int i) {
        switch (lines) {
        case 1: return i == 4 || i == 12;
        case 2: return i % 4 == 0;
        case 3: return i % 2 == 0;
        case 4: return true;
        default: return false;
        }
    };
    for (int i = 1; i <= 16; ++i)
        if (wanted(i))
            AddEdge(m.beam, 0, i);
}
