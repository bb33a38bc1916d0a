#include "Mesh.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

bool AddVertex(Mesh &mesh, float x, float y, float z)
{
    if (mesh.vertices.size() >= MeshMaxCount)
        return false;
    mesh.index.Follow(mesh.vertices.data(), mesh.vertices.size());
    z = mesh.index.PushedZ(x, y, z);
    MeshVertex v;
    v.x = x;
    v.y = y;
    v.z = z;
    mesh.vertices.push_back(v);
    mesh.neighbours.emplace_back();
    mesh.index.Append(x, y, z);
    return true;
}

void VerticesMoved(Mesh &mesh)
{
    mesh.index.Drop();
}

void AddEdge(Mesh &mesh, int a, int b)
{
    const int n = mesh.VertexCount();
    if (a < 0 || b < 0 || a >= n || b >= n)
        return;
    auto &la = mesh.neighbours[std::size_t(a)];
    if (std::find(la.begin(), la.end(), std::uint16_t(b)) != la.end())
        return;
    la.push_back(std::uint16_t(b));
    mesh.neighbours[std::size_t(b)].push_back(std::uint16_t(a));
}

namespace {
void RemoveLast(std::vector<std::uint16_t> &list, int value)
{
    for (auto i = list.size(); i-- > 0;)
        if (list[i] == value) {
            list.erase(list.begin() + std::ptrdiff_t(i));
            return;
        }
}
} // namespace

void RemoveEdge(Mesh &mesh, int a, int b)
{
    const int n = mesh.VertexCount();
    if (a < 0 || b < 0 || a >= n || b >= n)
        return;
    RemoveLast(mesh.neighbours[std::size_t(a)], b);
    RemoveLast(mesh.neighbours[std::size_t(b)], a);
}

bool AddTriangle(Mesh &mesh, const MeshTriangle &triangle)
{
    const int n = mesh.VertexCount();
    if (triangle.a >= n || triangle.b >= n || triangle.c >= n || mesh.triangles.size() >= MeshMaxCount)
        return false;
    MeshTriangle t = triangle;
    t.padding = 0;
    mesh.triangles.push_back(t);
    return true;
}

void ClearMesh(Mesh &mesh)
{
    mesh.vertices.clear();
    mesh.neighbours.clear();
    mesh.triangles.clear();
    mesh.index.Drop();
}

void AddBoxEdges(Mesh &mesh)
{
    const int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                              {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto &e : edges)
        AddEdge(mesh, e[0], e[1]);
}

void AddBoxFaces(Mesh &mesh, const std::uint32_t colours[6])
{
    const int faces[6][6] = {{7, 4, 3, 4, 3, 0}, {3, 0, 2, 0, 2, 1}, {4, 5, 0, 5, 0, 1},
                             {7, 4, 6, 4, 6, 5}, {6, 5, 2, 5, 2, 1}, {7, 6, 3, 6, 3, 2}};
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 2; ++k)
            AddTriangle(mesh, MeshTriangle{std::uint16_t(faces[f][3 * k]), std::uint16_t(faces[f][3 * k + 1]),
                                           std::uint16_t(faces[f][3 * k + 2]), 0, colours[f]});
}

// ---- matrices ------------------------------------------------------------------------------

const Matrix34 &IdentityMatrix()
{
    static const Matrix34 identity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    return identity;
}

MeshVertex TransformPoint(const Matrix34 &m, const MeshVertex &p)
{
    MeshVertex out;
    float *o[3] = {&out.x, &out.y, &out.z};
    for (int i = 0; i < 3; ++i)
        *o[i] = m.m[i][0] * p.x + m.m[i][1] * p.y + m.m[i][2] * p.z + m.m[i][3];
    return out;
}

Matrix34 MultiplyMatrix(const Matrix34 &a, const Matrix34 &b)
{
    Matrix34 out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k)
                s += a.m[i][k] * b.m[k][j];
            out.m[i][j] = s;
        }
    return out;
}

namespace {
// Identity with the turn by r in the plane of axes a and b: [a][a] = [b][b] = cos r,
// [a][b] = -sin r, [b][a] = sin r.
Matrix34 Rotation(int a, int b, double r)
{
    Matrix34 m = IdentityMatrix();
    m.m[a][a] = float(std::cos(r));
    m.m[a][b] = float(-std::sin(r));
    m.m[b][a] = float(std::sin(r));
    m.m[b][b] = float(std::cos(r));
    return m;
}
} // namespace

Matrix34 RotateX(double r) { return Rotation(1, 2, r); }
Matrix34 RotateY(double r) { return Rotation(2, 0, r); }
Matrix34 RotateZ(double r) { return Rotation(0, 1, r); }

Matrix34 Translate(float x, float y, float z)
{
    Matrix34 m = IdentityMatrix();
    m.m[0][3] = x;
    m.m[1][3] = y;
    m.m[2][3] = z;
    return m;
}

// ---- camera and projection -----------------------------------------------------------------

ViewCoefficients SetCamera(const Camera &camera)
{
    const double rad = std::atan(1.0) / 45.0;
    const double a1 = camera.angle1 * rad, a2 = camera.angle2 * rad;
    ViewCoefficients v;
    v.c[0] = float(-std::sin(a2));
    v.c[1] = float(-std::cos(a1) * std::cos(a2));
    v.c[2] = float(-std::sin(a1) * std::cos(a2));
    v.c[3] = float(std::cos(a2));
    v.c[4] = float(-std::cos(a1) * std::sin(a2));
    v.c[5] = float(-std::sin(a1) * std::sin(a2));
    v.c[6] = float(std::sin(a1));
    v.c[7] = float(-std::cos(a1));
    v.depthOffset = camera.depthOffset;
    v.scale = camera.scale;
    v.centreX = float(camera.centreX);
    v.centreY = float(camera.centreY);
    return v;
}

namespace {
constexpr double ScreenLimit = 16777216.0;   // 2^24

std::int32_t ScreenCoordinate(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<std::int32_t>(std::clamp(v, -ScreenLimit, ScreenLimit));
}
} // namespace

void ProjectPoint(const ViewCoefficients &v, double x, double y, double z, std::int32_t &sx, std::int32_t &sy)
{
    const float *c = v.c;
    double d = c[2] * x + c[5] * y + c[7] * z + double(v.depthOffset);
    if (std::fabs(d) < 1e-6)
        d = std::signbit(d) ? -1e-6 : 1e-6;
    sy = ScreenCoordinate(double(v.scale) * (c[0] * x + c[3] * y) / d + double(v.centreY));
    sx = ScreenCoordinate(double(v.scale) * (c[1] * x + c[4] * y + c[6] * z) / d + double(v.centreX));
}

void ProjectMesh(Mesh &mesh, const Camera &camera, const ViewCoefficients &view)
{
    for (MeshVertex &p : mesh.vertices)
        ProjectPoint(view, double(p.x) - camera.lookX, double(p.y) - camera.lookY, double(p.z) - camera.lookZ, p.sx,
                     p.sy);
}

namespace {
// Clips the segment to [0, w) x [0, h) (Liang-Barsky); false when nothing is left.
bool ClipSegment(double &x0, double &y0, double &x1, double &y1, int w, int h)
{
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0, (w - 1) - x0, y0, (h - 1) - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1)
            return false;
    }
    const double ax = x0, ay = y0;
    x0 = ax + t0 * dx;
    y0 = ay + t0 * dy;
    x1 = ax + t1 * dx;
    y1 = ay + t1 * dy;
    return true;
}

// One aliased, one-pixel line in a blue-green-red picture, end points included.
void LineInto(QImage &picture, std::int32_t ax, std::int32_t ay, std::int32_t bx, std::int32_t by, QRgb colour)
{
    const int w = picture.width(), h = picture.height();
    double x0 = ax, y0 = ay, x1 = bx, y1 = by;
    if (!ClipSegment(x0, y0, x1, y1, w, h))
        return;
    int x = int(std::lround(x0)), y = int(std::lround(y0));
    const int xe = int(std::lround(x1)), ye = int(std::lround(y1));
    const int dx = std::abs(xe - x), dy = -std::abs(ye - y);
    const int sx = x < xe ? 1 : -1, sy = y < ye ? 1 : -1;
    int err = dx + dy;
    std::uint8_t *bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    const std::uint8_t b = std::uint8_t(qBlue(colour)), g = std::uint8_t(qGreen(colour)), r = std::uint8_t(qRed(colour));
    for (;;) {
        if (x >= 0 && x < w && y >= 0 && y < h) {
            std::uint8_t *p = bits + stride * y + 3 * x;
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
        if (x == xe && y == ye)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}
} // namespace

void DrawEdges(const Mesh &mesh, QPainter &painter)
{
    const std::size_t n = mesh.vertices.size();
    // On the visualiser's own picture with a plain opaque pen the lines are set straight
    // into the pixels: the painter's general path for 24-bit pictures is many times slower.
    auto *picture = dynamic_cast<QImage *>(painter.device());
    const QPen pen = painter.pen();
    const bool direct = picture && picture->format() == QImage::Format_BGR888 && pen.style() == Qt::SolidLine &&
                        pen.color().alpha() == 255 && (pen.isCosmetic() || pen.widthF() <= 1) &&
                        !painter.testRenderHint(QPainter::Antialiasing) && painter.transform().isIdentity() &&
                        painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    const QRgb colour = pen.color().rgb();
    thread_local std::vector<QLine> lines;
    lines.clear();
    for (std::size_t i = 0; i < n; ++i) {
        const MeshVertex &a = mesh.vertices[i];
        for (std::uint16_t j : mesh.neighbours[i])
            if (j >= i) {
                const MeshVertex &b = mesh.vertices[j];
                if (direct)
                    LineInto(*picture, a.sx, a.sy, b.sx, b.sy, colour);
                else
                    lines.emplace_back(a.sx, a.sy, b.sx, b.sy);
            }
    }
    if (!lines.empty())
        painter.drawLines(lines.data(), int(lines.size()));
}

// ---- light mixing --------------------------------------------------------------------------

const LightTable &Lights()
{
    static const LightTable table = [] {
        LightTable t;
        for (int a = 0; a < 256; ++a)
            for (int b = 0; b < 256; ++b)
                t.t[a][b] = std::uint8_t(std::min(255, int(std::sqrt(double(a * a + b * b)) * 0.9090909)));
        return t;
    }();
    return table;
}

FrameBuffer MakeFrameBuffer(int paintWidth, int paintHeight)
{
    const int w = std::max(0, paintWidth) & ~3;
    const int h = std::max(0, paintHeight);
    if (w == 0 || h == 0)
        return FrameBuffer();
    FrameBuffer frame(w, h, QImage::Format_BGR888);
    ClearFrame(frame);
    return frame;
}

void ClearFrame(FrameBuffer &frame)
{
    if (!frame.isNull())
        std::memset(frame.bits(), 0, std::size_t(frame.sizeInBytes()));
}

namespace {
struct Target {
    std::uint8_t *bits = nullptr;
    int width = 0, height = 0;
    qsizetype stride = 0;
};

Target TargetOf(FrameBuffer &frame)
{
    Target t;
    if (frame.isNull() || frame.format() != QImage::Format_BGR888)
        return t;
    t.bits = frame.bits();
    t.width = frame.width();
    t.height = frame.height();
    t.stride = frame.bytesPerLine();
    return t;
}

// An edge walked downward from (x, y0): x on row y0 + i is x + slope * i / 65536.
struct Edge {
    std::int64_t x = 0;
    std::int64_t slope = 0;
    std::int32_t y0 = 0;
    Edge(const MeshVertex &from, const MeshVertex &to) : x(from.sx), y0(from.sy)
    {
        const std::int64_t dy = std::int64_t(to.sy) - from.sy;
        if (dy != 0)
            slope = ((std::int64_t(to.sx) - from.sx) * 65536) / dy;
    }
    std::int64_t At(std::int32_t y) const { return x + slope * (std::int64_t(y) - y0) / 65536; }
};

void Span(const Target &t, std::int32_t y, std::int64_t xa, std::int64_t xb, const std::uint8_t *lb,
          const std::uint8_t *lg, const std::uint8_t *lr)
{
    std::int64_t left = std::min(xa, xb), right = std::max(xa, xb);
    if (left < 0)
        left = 0;
    if (right > t.width)
        right = t.width;
    std::uint8_t *p = t.bits + t.stride * y + 3 * left;
    for (std::int64_t x = left; x < right; ++x, p += 3) {
        // Read the pixel first: the stores cannot then make the compiler reload it.
        const std::uint8_t b = p[0], g = p[1], r = p[2];
        p[0] = lb[b];
        p[1] = lg[g];
        p[2] = lr[r];
    }
}

void FillOne(const Target &t, const MeshVertex &p0, const MeshVertex &p1, const MeshVertex &p2,
             std::uint32_t colour)
{
    if (!t.bits)
        return;
    const MeshVertex *v[3] = {&p0, &p1, &p2};
    if (v[1]->sy < v[0]->sy)
        std::swap(v[0], v[1]);
    if (v[2]->sy < v[1]->sy)
        std::swap(v[1], v[2]);
    if (v[1]->sy < v[0]->sy)
        std::swap(v[0], v[1]);
    const MeshVertex &top = *v[0], &mid = *v[1], &bottom = *v[2];
    if (top.sy == bottom.sy)
        return;
    const LightTable &l = Lights();
    const std::uint8_t *lb = l.t[((colour >> 16) & 0xFF) / 2];
    const std::uint8_t *lg = l.t[((colour >> 8) & 0xFF) / 2];
    const std::uint8_t *lr = l.t[(colour & 0xFF) / 2];
    const Edge tb(top, bottom), tm(top, mid), mb(mid, bottom);
    // Upper half: rows top.y .. mid.y - 1, only those inside the picture.
    for (std::int32_t y = std::max(top.sy, 0), end = std::min(mid.sy, t.height); y < end; ++y)
        Span(t, y, tm.At(y), tb.At(y), lb, lg, lr);
    for (std::int32_t y = std::max(mid.sy, 0), end = std::min(bottom.sy, t.height); y < end; ++y)
        Span(t, y, tb.At(y), mb.At(y), lb, lg, lr);
}
} // namespace

void FillTriangle(FrameBuffer &frame, const MeshVertex &p0, const MeshVertex &p1, const MeshVertex &p2,
                  std::uint32_t colour)
{
    FillOne(TargetOf(frame), p0, p1, p2, colour);
}

void FillTriangles(const Mesh &mesh, FrameBuffer &frame)
{
    const Target t = TargetOf(frame);
    for (const MeshTriangle &tri : mesh.triangles)
        FillOne(t, mesh.vertices[tri.a], mesh.vertices[tri.b], mesh.vertices[tri.c], tri.colour);
}

void FillCone(const Mesh &mesh, std::uint32_t colour, FrameBuffer &frame)
{
    if (mesh.vertices.size() < 17)
        return;
    const Target t = TargetOf(frame);
    for (int j = 1; j <= 16; ++j)
        FillOne(t, mesh.vertices[0], mesh.vertices[std::size_t(j)], mesh.vertices[std::size_t(j == 16 ? 1 : j + 1)],
                colour);
}
