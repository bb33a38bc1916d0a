// The visualiser's one mesh type and its drawing: float vertices with their projected
// screen positions, an undirected edge list per vertex (wire drawing) and coloured
// triangles (filled drawing); the 3 x 4 matrix helpers, the camera with its perspective
// projection, and the light-mixing triangle fill into the 24-bit picture.
#pragma once

#include "VertexIndex.h"

#include <QImage>
#include <cstdint>
#include <vector>

class QPainter;

// Indices a, b, c into the vertices; colour 0x00BBGGRR. Also the on-disk form.
struct MeshTriangle {
    std::uint16_t a = 0, b = 0, c = 0;
    std::uint16_t padding = 0;
    std::uint32_t colour = 0;
};
static_assert(sizeof(MeshTriangle) == 12);

struct MeshVertex {
    float x = 0, y = 0, z = 0;
    std::int32_t sx = 0, sy = 0;   // written by the projection
};
static_assert(sizeof(MeshVertex) == 20);

// Counts are 16-bit: a mesh holds at most 65535 vertices and 65535 triangles.
constexpr std::size_t MeshMaxCount = 65535;

struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<std::vector<std::uint16_t>> neighbours;   // per vertex
    std::vector<MeshTriangle> triangles;
    // The vertices by their coordinates, for AddVertex. Code that writes vertex coordinates
    // in place calls VerticesMoved afterwards.
    VertexIndex index;

    std::uint16_t VertexCount() const { return static_cast<std::uint16_t>(vertices.size()); }
    std::uint16_t TriangleCount() const { return static_cast<std::uint16_t>(triangles.size()); }
};

// Appends a vertex without neighbours. Before that the existing vertices are walked in
// order and each one equal to (x, y, z) pushes z up by 0.001 (the walk goes on with the
// pushed z, kept as a float). False, and nothing added, when the mesh is full. The mesh's
// index answers the walk in one step per push.
bool AddVertex(Mesh &mesh, float x, float y, float z);
// To be called after vertex coordinates were written in place (moved, turned, scaled): the
// index is rebuilt when the next vertex is added.
void VerticesMoved(Mesh &mesh);
// Links a and b unless already linked; indices not below the vertex count are ignored.
void AddEdge(Mesh &mesh, int a, int b);
// Unlinks a and b (the last occurrence on each side).
void RemoveEdge(Mesh &mesh, int a, int b);
// Appends a triangle; false when an index is not below the vertex count or the mesh is full.
bool AddTriangle(Mesh &mesh, const MeshTriangle &triangle);
void ClearMesh(Mesh &mesh);
// A box over vertices 0..7 (0..3 one face, 4..7 the opposite one, i and i + 4 joined):
// its 12 edges, and two triangles per face in the face colours, in the order x = 0,
// y = 0, z = 0, y = top, x = right, z = far as the room lies.
void AddBoxEdges(Mesh &mesh);
void AddBoxFaces(Mesh &mesh, const std::uint32_t colours[6]);

// 4 x 4 floats, row-major; rows 0..2 hold the affine transform, row 3 is (0, 0, 0, 1).
struct Matrix34 {
    float m[4][4];
};
const Matrix34 &IdentityMatrix();
MeshVertex TransformPoint(const Matrix34 &matrix, const MeshVertex &p);
Matrix34 MultiplyMatrix(const Matrix34 &a, const Matrix34 &b);
Matrix34 RotateX(double radians);
Matrix34 RotateY(double radians);
Matrix34 RotateZ(double radians);
Matrix34 Translate(float x, float y, float z);

// Angles in degrees.
struct Camera {
    float depthOffset = 100;
    float angle1 = 0;
    float angle2 = 180;
    float scale = 2000;
    float lookX = 0, lookY = 0, lookZ = 0;
    std::int32_t centreX = 0, centreY = 0;
};
static_assert(sizeof(Camera) == 36);

struct ViewCoefficients {
    float c[8] = {};
    float depthOffset = 0, scale = 0, centreX = 0, centreY = 0;
};

ViewCoefficients SetCamera(const Camera &camera);
// Screen position of a point given relative to the look-at. A depth closer to 0 than
// 1e-6 is taken as 1e-6 with its sign; positions are held within +-2^24 (NaN gives 0) and
// truncated toward zero.
void ProjectPoint(const ViewCoefficients &view, double x, double y, double z, std::int32_t &sx, std::int32_t &sy);
void ProjectMesh(Mesh &mesh, const Camera &camera, const ViewCoefficients &view);
// A line per edge (each edge once) with the painter's pen.
void DrawEdges(const Mesh &mesh, QPainter &painter);

// t[a][b] = min(255, trunc(sqrt(a*a + b*b) * 0.9090909)).
struct LightTable {
    std::uint8_t t[256][256];
};
const LightTable &Lights();

// The top-down 24-bit picture, blue-green-red bytes; its width is a multiple of 4, so a
// row is exactly 3 x width bytes.
using FrameBuffer = QImage;
// A black picture for a paint box of that size (width rounded down to a multiple of 4).
FrameBuffer MakeFrameBuffer(int paintWidth, int paintHeight);
void ClearFrame(FrameBuffer &frame);

// Light-mixes every triangle of the mesh in its own colour into the picture.
void FillTriangles(const Mesh &mesh, FrameBuffer &frame);
// Light-mixes the 16 triangles (0, j, j + 1), j = 1..16 (17 read as 1) in one colour.
void FillCone(const Mesh &mesh, std::uint32_t colour, FrameBuffer &frame);
// One triangle from its projected corners.
void FillTriangle(FrameBuffer &frame, const MeshVertex &p0, const MeshVertex &p1, const MeshVertex &p2,
                  std::uint32_t colour);
