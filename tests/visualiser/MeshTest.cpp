// The mesh: vertex nudging, edges, triangle refusal, the light table, the camera and the
// projection, the fill (exact pixel counts, and far-off or degenerate corners that must
// stay quick and inside the picture), and JPEG writing.
#include "visualiser/JpegFile.h"
#include "visualiser/Mesh.h"

#include "app/PatchLoader.h"

#include <QPainter>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

extern "C" {
#include <jpeglib.h>
}

namespace {

MeshVertex At(int x, int y)
{
    MeshVertex v;
    v.sx = x;
    v.sy = y;
    return v;
}

int CountBytes(const FrameBuffer &f, std::uint8_t value)
{
    int n = 0;
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < 3 * f.width(); ++x)
            n += f.constScanLine(y)[x] == value;
    return n;
}

TEST(MeshTest, EqualVerticesArePushedApartInFloatSteps)
{
    Mesh m;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(AddVertex(m, 1, 2, 3));
    ASSERT_EQ(m.VertexCount(), 3);
    EXPECT_EQ(m.vertices[0].z, 3.0f);
    EXPECT_NEAR(m.vertices[1].z, 3.001, 1e-6);
    EXPECT_NEAR(m.vertices[2].z, 3.002, 1e-6);
    // The walk goes on with the pushed z, rounded to float after each push.
    EXPECT_EQ(m.vertices[2].z, float(3.001f + 0.001));
    EXPECT_NE(m.vertices[1].z, m.vertices[2].z);
    EXPECT_EQ(m.vertices[2].x, 1.0f);
}

TEST(MeshTest, EdgesOnceAndTrianglesWithinTheVertices)
{
    Mesh m;
    for (int i = 0; i < 7; ++i)
        AddVertex(m, float(i * 10), 0, 0);
    AddEdge(m, 2, 5);
    AddEdge(m, 2, 5);
    AddEdge(m, 5, 2);
    AddEdge(m, 2, 7);    // no vertex 7: ignored
    AddEdge(m, -1, 2);
    EXPECT_EQ(m.neighbours[2].size(), 1u);
    EXPECT_EQ(m.neighbours[5].size(), 1u);

    // Each edge is drawn once: with additive painting a second stroke would double it.
    for (auto &v : m.vertices) {
        v.sx = int(v.x);
        v.sy = 5;
    }
    QImage img(64, 10, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setCompositionMode(QPainter::CompositionMode_Plus);
        p.setPen(QColor(100, 0, 0, 255));
        DrawEdges(m, p);
    }
    EXPECT_EQ(qRed(img.pixel(35, 5)), 100);
    EXPECT_EQ(qRed(img.pixel(10, 5)), 0);

    RemoveEdge(m, 5, 2);
    EXPECT_TRUE(m.neighbours[2].empty());
    EXPECT_TRUE(m.neighbours[5].empty());
    RemoveEdge(m, 5, 2);   // nothing there: nothing happens

    EXPECT_FALSE(AddTriangle(m, MeshTriangle{0, 1, 7, 0, 0}));
    EXPECT_TRUE(AddTriangle(m, MeshTriangle{0, 1, 6, 9, 0x123456}));
    ASSERT_EQ(m.TriangleCount(), 1);
    EXPECT_EQ(m.triangles[0].padding, 0);
    ClearMesh(m);
    EXPECT_EQ(m.VertexCount(), 0);
    EXPECT_EQ(m.TriangleCount(), 0);
}

TEST(MeshTest, EdgesOnThePictureClippedToIt)
{
    Mesh m;
    const int points[6][2] = {{2, 5}, {12, 5}, {-(1 << 24), 3}, {1 << 24, 3}, {40, -100}, {40, 100}};
    for (const auto &p : points) {
        AddVertex(m, float(p[0]), float(p[1]), 0);
        m.vertices.back().sx = p[0];
        m.vertices.back().sy = p[1];
    }
    AddEdge(m, 0, 1);
    AddEdge(m, 2, 3);
    AddEdge(m, 4, 5);   // x 40 lies right of the 32-pixel picture
    FrameBuffer f = MakeFrameBuffer(32, 16);
    {
        QPainter p(&f);
        QPen pen(QColor(10, 20, 30));
        pen.setCosmetic(true);
        p.setPen(pen);
        DrawEdges(m, p);
    }
    auto lit = [&](int x, int y) { return f.constScanLine(y)[3 * x + 2] == 10 && f.constScanLine(y)[3 * x] == 30; };
    for (int x = 2; x <= 12; ++x)
        EXPECT_TRUE(lit(x, 5)) << x;
    EXPECT_FALSE(lit(1, 5));
    EXPECT_FALSE(lit(13, 5));
    for (int x = 0; x < 32; ++x)
        EXPECT_TRUE(lit(x, 3)) << x;
    int rows[16] = {};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            rows[y] += lit(x, y);
    EXPECT_EQ(rows[3] + rows[5], 32 + 11);
    for (int y = 0; y < 16; ++y)
        if (y != 3 && y != 5) {
            EXPECT_EQ(rows[y], 0) << y;
        }
}

TEST(MeshTest, CountsStopAtSixteenBits)
{
    Mesh m;
    for (std::size_t i = 0; i < MeshMaxCount; ++i)
        m.vertices.push_back(MeshVertex{float(i), 0, 0, 0, 0});
    m.neighbours.resize(MeshMaxCount);
    EXPECT_FALSE(AddVertex(m, -1, -1, -1));
    EXPECT_EQ(m.vertices.size(), MeshMaxCount);
    m.triangles.resize(MeshMaxCount);
    EXPECT_FALSE(AddTriangle(m, MeshTriangle{0, 1, 2, 0, 0}));
}

TEST(MeshTest, MatrixHelpers)
{
    const double quarter = std::atan(1.0) * 2;
    auto apply = [](const Matrix34 &m, float x, float y, float z) { return TransformPoint(m, MeshVertex{x, y, z, 7, 7}); };
    MeshVertex v = apply(RotateX(quarter), 0, 1, 0);
    EXPECT_NEAR(v.z, 1, 1e-6);
    EXPECT_NEAR(v.y, 0, 1e-6);
    v = apply(RotateY(quarter), 1, 0, 0);
    EXPECT_NEAR(v.z, -1, 1e-6);
    v = apply(RotateZ(quarter), 1, 0, 0);
    EXPECT_NEAR(v.y, 1, 1e-6);
    EXPECT_EQ(v.sx, 0) << "screen fields cleared";
    // Translate then turn: the turn acts first on the point.
    const Matrix34 m = MultiplyMatrix(Translate(10, 20, 30), RotateZ(quarter));
    v = apply(m, 1, 0, 0);
    EXPECT_NEAR(v.x, 10, 1e-5);
    EXPECT_NEAR(v.y, 21, 1e-5);
    EXPECT_NEAR(v.z, 30, 1e-5);
    EXPECT_EQ(m.m[3][3], 0) << "row 3 of a product is left 0";
}

TEST(MeshTest, LightTable)
{
    const LightTable &l = Lights();
    EXPECT_EQ(l.t[127][0], 115);
    EXPECT_EQ(l.t[127][255], 255);
    EXPECT_EQ(l.t[0][11], 9);
    std::uint64_t sum = 0;
    for (auto &row : l.t)
        for (auto b : row)
            sum += b;
    EXPECT_EQ(sum, 11429626u);
}

TEST(MeshTest, CameraAndProjection)
{
    Camera cam;
    cam.angle1 = 0;
    cam.angle2 = 180;
    cam.centreX = 400;
    cam.centreY = 300;
    const ViewCoefficients v = SetCamera(cam);
    EXPECT_NEAR(v.c[0], 0, 1e-6);
    EXPECT_NEAR(v.c[3], -1, 1e-6);
    EXPECT_NEAR(v.c[6], 0, 1e-6);
    EXPECT_NEAR(v.c[7], -1, 1e-6);
    std::int32_t sx = 0, sy = 0;
    ProjectPoint(v, 0, 10, 0, sx, sy);
    EXPECT_EQ(sy, 100);
    EXPECT_EQ(sx, 400);
    ProjectPoint(v, 0, 10, 50, sx, sy);
    EXPECT_EQ(sy, -100);

    // Depth 0 and points far off: held within 2^24, NaN gives 0.
    ProjectPoint(v, 0, 10, 100, sx, sy);
    EXPECT_EQ(sy, -(1 << 24));
    ProjectPoint(v, 1e30, 1e30, 0, sx, sy);
    EXPECT_LE(std::abs(sx), 1 << 24);
    ProjectPoint(v, std::nan(""), 0, 0, sx, sy);
    EXPECT_EQ(sx, 0);
    EXPECT_EQ(sy, 0);

    // A mesh is projected relative to the look-at.
    Mesh m;
    AddVertex(m, 4, 13, 6);
    cam.lookX = 4;
    cam.lookY = 3;
    cam.lookZ = 6;
    ProjectMesh(m, cam, SetCamera(cam));
    EXPECT_EQ(m.vertices[0].sy, 100);
}

TEST(MeshTest, TriangleFillMixesLightByTable)
{
    FrameBuffer f = MakeFrameBuffer(18, 16);   // width rounded down to 16
    ASSERT_EQ(f.width(), 16);
    ASSERT_EQ(f.bytesPerLine(), 48);
    FillTriangle(f, At(0, 0), At(10, 0), At(0, 10), 0xFFFFFF);
    EXPECT_EQ(CountBytes(f, 115), 55 * 3);
    EXPECT_EQ(CountBytes(f, 0), (256 - 55) * 3);
    // Row 0 runs from x 0 up to, not including, 10; the last row (9) holds one pixel.
    EXPECT_EQ(f.constScanLine(0)[3 * 9], 115);
    EXPECT_EQ(f.constScanLine(0)[3 * 10], 0);
    EXPECT_EQ(f.constScanLine(9)[0], 115);
    EXPECT_EQ(f.constScanLine(9)[3], 0);
    EXPECT_EQ(f.constScanLine(10)[0], 0);

    // Each byte through its own colour half: blue 0x40, green 0, red 0xFF over 255.
    FrameBuffer g = MakeFrameBuffer(8, 8);
    g.fill(Qt::white);
    FillTriangle(g, At(0, 0), At(8, 0), At(0, 8), 0x4000FF);
    const uchar *p = g.constScanLine(0);
    EXPECT_EQ(p[0], Lights().t[0x20][255]);
    EXPECT_EQ(p[1], Lights().t[0][255]);
    EXPECT_EQ(p[2], 255);

    // A flat triangle draws nothing.
    FrameBuffer h = MakeFrameBuffer(16, 16);
    FillTriangle(h, At(0, 3), At(10, 3), At(5, 3), 0xFFFFFF);
    EXPECT_EQ(CountBytes(h, 0), 256 * 3);
}

TEST(MeshTest, FarCornersStayQuickAndInside)
{
    FrameBuffer f = MakeFrameBuffer(16, 16);
    const auto t0 = std::chrono::steady_clock::now();
    FillTriangle(f, At(0, -(1 << 24)), At(-1000000000, 1 << 24), At(1000000000, 1 << 24), 0xFFFFFF);
    FillTriangle(f, At(8, 8), At(1 << 24, 9), At(8, 1 << 24), 0xFFFFFF);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0);
    EXPECT_LT(ms.count(), 500);
    EXPECT_EQ(CountBytes(f, 0), 0) << "the big triangle covers the picture";

    // Depth 0 projected and filled.
    Camera cam;
    cam.centreX = 8;
    cam.centreY = 8;
    Mesh m;
    AddVertex(m, 0, 0, 100);
    AddVertex(m, 1, 0, 100);
    AddVertex(m, 0, 1, 0);
    AddTriangle(m, MeshTriangle{0, 1, 2, 0, 0xFFFFFF});
    ProjectMesh(m, cam, SetCamera(cam));
    FrameBuffer g = MakeFrameBuffer(16, 16);
    FillTriangles(m, g);
    EXPECT_EQ(g.width(), 16);

    // An empty picture takes nothing.
    FrameBuffer none = MakeFrameBuffer(3, 10);
    EXPECT_TRUE(none.isNull());
    FillTriangle(none, At(0, 0), At(10, 0), At(0, 10), 0xFFFFFF);
    FillCone(m, 0xFFFFFF, none);
}

TEST(MeshTest, ConeFillsSixteenTriangles)
{
    Mesh m;
    AddVertex(m, 0, 0, 0);
    for (int i = 0; i < 16; ++i)
        AddVertex(m, float(i + 1), 0, 0);
    m.vertices[0].sx = 8;
    m.vertices[0].sy = 0;
    for (int i = 1; i <= 16; ++i) {
        m.vertices[std::size_t(i)].sx = i;
        m.vertices[std::size_t(i)].sy = 15;
    }
    FrameBuffer f = MakeFrameBuffer(16, 16);
    FillCone(m, 0xFFFFFF, f);
    // Rows 0..14 lit between the outer rim points; triangle (0, 16, 1) spans them all and
    // the inner triangles mix in again where they overlap it.
    EXPECT_GE(f.constScanLine(14)[3 * 8], 115);
    EXPECT_EQ(f.constScanLine(0)[3 * 8], 0) << "the apex row has no width";
    EXPECT_EQ(f.constScanLine(15)[3 * 8], 0);
    Mesh few;
    AddVertex(few, 0, 0, 0);
    FillCone(few, 0xFFFFFF, f);   // too few vertices: nothing
}

// Decodes a JPEG through libjpeg; false when it is not one.
bool DecodeSize(const std::vector<std::uint8_t> &bytes, int &w, int &h)
{
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return false;
    jpeg_decompress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    w = int(info.image_width);
    h = int(info.image_height);
    jpeg_destroy_decompress(&info);
    return true;
}

std::vector<std::uint8_t> ReadFile(const std::string &path)
{
    std::vector<std::uint8_t> out;
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            out.push_back(std::uint8_t(c));
        std::fclose(f);
    }
    return out;
}

TEST(JpegFileTest, PictureSavedAndOldFileKeptOnFailure)
{
    FrameBuffer f = MakeFrameBuffer(402, 300);
    FillTriangle(f, At(0, 0), At(400, 0), At(0, 300), 0x00FF00);
    MemoryStream out;
    std::string error;
    ASSERT_TRUE(EncodeJpeg(f, VisualiserJpegQuality, out, error)) << error;
    int w = 0, h = 0;
    ASSERT_TRUE(DecodeSize(out.Data(), w, h));
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);

    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/pic.jpg";
    ASSERT_TRUE(SaveJpegFile(path, f, error));
    ASSERT_TRUE(DecodeSize(ReadFile(path), w, h));

    // A failing write leaves the old file as it was.
    const auto before = ReadFile(path);
    auto saved = FileWriter();
    FileWriter() = [](const std::string &, const std::function<bool(const std::string &)> &) { return false; };
    FrameBuffer other = MakeFrameBuffer(40, 30);
    EXPECT_FALSE(SaveJpegFile(path, other, error));
    FileWriter() = saved;
    EXPECT_EQ(ReadFile(path), before);

    EXPECT_FALSE(EncodeJpeg(FrameBuffer(), 90, out, error));
    EXPECT_EQ(WithJpegExtension("/a.b/pic.png"), "/a.b/pic.jpg");
    EXPECT_EQ(WithJpegExtension("/a.b/pic"), "/a.b/pic.jpg");
}

} // namespace
