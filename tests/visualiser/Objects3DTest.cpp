// The 3D objects without windows: the *.cr3 file written and read back (its exact layout,
// objects without triangles, every truncation and bad chunk), the *.3dx library text, and
// the editing of an object's vertices and colours.
#include "visualiser/Library3dx.h"
#include "visualiser/ObjectEditing.h"
#include "visualiser/Objects3DFile.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <set>
#include <string>

namespace {

// One triangle (0,0,0), (1,0,0), (0,1,0) with its three edges, face colour 0x7F7F7F.
Object3DRecord Triangle(float dx = 0)
{
    Object3DRecord o;
    o.mesh = std::make_unique<Mesh>();
    AddVertex(*o.mesh, dx, 0, 0);
    AddVertex(*o.mesh, dx + 1, 0, 0);
    AddVertex(*o.mesh, dx, 1, 0);
    AddEdge(*o.mesh, 0, 1);
    AddEdge(*o.mesh, 1, 2);
    AddEdge(*o.mesh, 2, 0);
    MeshTriangle t;
    t.a = 0, t.b = 1, t.c = 2, t.colour = 0x7F7F7F;
    AddTriangle(*o.mesh, t);
    return o;
}

std::uint32_t U32At(const std::vector<std::uint8_t> &b, std::size_t at)
{
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

std::set<std::pair<int, int>> Edges(const Mesh &m)
{
    std::set<std::pair<int, int>> out;
    for (std::size_t i = 0; i < m.neighbours.size(); ++i)
        for (int k : m.neighbours[i])
            out.insert({std::min<int>(int(i), k), std::max<int>(int(i), k)});
    return out;
}

void ExpectSameObject(const Object3DRecord &a, const Object3DRecord &b)
{
    ASSERT_EQ(a.mesh->vertices.size(), b.mesh->vertices.size());
    for (std::size_t i = 0; i < a.mesh->vertices.size(); ++i) {
        EXPECT_EQ(a.mesh->vertices[i].x, b.mesh->vertices[i].x);
        EXPECT_EQ(a.mesh->vertices[i].y, b.mesh->vertices[i].y);
        EXPECT_EQ(a.mesh->vertices[i].z, b.mesh->vertices[i].z);
    }
    EXPECT_EQ(Edges(*a.mesh), Edges(*b.mesh));
    ASSERT_EQ(a.mesh->triangles.size(), b.mesh->triangles.size());
    for (std::size_t i = 0; i < a.mesh->triangles.size(); ++i)
        EXPECT_EQ(std::memcmp(&a.mesh->triangles[i], &b.mesh->triangles[i], sizeof(MeshTriangle)), 0);
    EXPECT_EQ(a.colour, b.colour);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.rotZ, b.rotZ);
}

} // namespace

TEST(Cr3FileTest, OneTriangleHasTheFileLayoutAndObjectsRoundTrip)
{
    Scene3D one;
    one.objects.push_back(Triangle());
    const std::vector<std::uint8_t> bytes = WriteCr3(one);
    ASSERT_EQ(bytes.size(), 140u);
    const std::pair<const char *, std::uint32_t> chunks[] = {{"3D1K", 140}, {"BASE", 44}, {"NODS", 88}, {"RAYS", 120}};
    std::size_t at = 0;
    for (const auto &[tag, end] : chunks) {
        EXPECT_EQ(std::memcmp(bytes.data() + at, tag, 4), 0) << tag;
        EXPECT_EQ(U32At(bytes, at + 4), end) << tag;
        at = tag == std::string("3D1K") ? 8 : end;
    }
    EXPECT_EQ(std::memcmp(bytes.data() + 120, "SURF", 4), 0);
    EXPECT_EQ(U32At(bytes, 124), 140u);
    EXPECT_EQ(U32At(bytes, 8 + 8), 0xFFFFFFu) << "the colour first in BASE";

    // An object without triangles has no "SURF"; the one after it is read all the same.
    Scene3D two;
    two.objects.push_back(Triangle());
    two.objects[0].mesh->triangles.clear();
    two.objects[0].colour = 0x102030;
    two.objects[0].rotZ = 45;
    two.objects.push_back(Triangle(5));
    two.objects[1].x = -3;
    two.objects.push_back({});   // no mesh: never written
    const std::vector<std::uint8_t> file = WriteCr3(two);
    EXPECT_EQ(std::string(file.begin(), file.end()).find("SURF"), std::string(file.begin(), file.end()).rfind("SURF"));
    Scene3D back;
    back.objects.push_back(Triangle(9));   // a read appends
    const Cr3ReadResult r = ReadCr3(file, back);
    EXPECT_TRUE(r.magic);
    ASSERT_EQ(r.added, 2);
    ASSERT_EQ(back.objects.size(), 3u);
    ExpectSameObject(back.objects[1], two.objects[0]);
    ExpectSameObject(back.objects[2], two.objects[1]);
}

TEST(Cr3FileTest, TruncatedAndBadFilesKeepTheWholeObjectsRead)
{
    Scene3D two;
    two.objects.push_back(Triangle());
    two.objects.push_back(Triangle(5));
    const std::vector<std::uint8_t> file = WriteCr3(two);
    const std::size_t firstEnd = 140;   // the first object's "SURF" ends there
    for (std::size_t n = 0; n < file.size(); ++n) {
        Scene3D s;
        ReadCr3(std::vector<std::uint8_t>(file.begin(), file.begin() + std::ptrdiff_t(n)), s);
        for (const Object3DRecord &o : s.objects) {
            EXPECT_FALSE(o.mesh->vertices.empty());
            for (const auto &list : o.mesh->neighbours)
                for (int k : list)
                    EXPECT_LT(k, int(o.mesh->vertices.size()));
            for (const MeshTriangle &t : o.mesh->triangles)
                EXPECT_LT(std::max({t.a, t.b, t.c}), o.mesh->vertices.size());
        }
        if (n >= firstEnd) {
            ASSERT_GE(s.objects.size(), 1u) << n;
            ExpectSameObject(s.objects[0], two.objects[0]);
        }
    }
    auto read = [](std::vector<std::uint8_t> bytes) {
        Scene3D s;
        const Cr3ReadResult r = ReadCr3(bytes, s);
        return std::make_pair(r, s.objects.size());
    };
    std::vector<std::uint8_t> bad = file;
    bad[0] = 'X';
    EXPECT_FALSE(read(bad).first.magic);
    EXPECT_EQ(read(bad).second, 0u);
    bad = file;
    bad[firstEnd + 4] = 0xFF;   // the second "BASE" ends past the file
    EXPECT_EQ(read(bad).second, 1u);
    bad = file;
    bad[4] = 100;               // "3D1K" ends inside the first object
    bad[5] = 0;
    EXPECT_EQ(read(bad).second, 1u) << "its vertices were read before the limit";
    bad = file;
    bad[88 + 8] = 0;            // the first "RAYS" group counts 0
    bad[88 + 9] = 0;
    EXPECT_EQ(read(bad).second, 1u) << "the read stops after that object's vertices";
}

TEST(Library3dxTest, KeysVerticesRaysAndSurfaces)
{
    const std::string text = "; a library\r\n"
                             "[Brantoval3dx]\r\n Nodes = 3 \r\n color = 0x102030 \r\n"
                             "[XYZ]\nVert0=1.5,2,3\nVERT1=oops\nVert2=0,1,0\nVert2=9,9,9\n"
                             "[Rays]\nRay0=0,1\nRay1=1,0\n"
                             "[Surfaces]\nSur0=0,1,1,255\nSur1=0,1,70000,1\nSur2=0,1\n";
    // A comma-decimal locale does not change the numbers.
    const char *old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    Scene3D s;
    const Library3dxResult r = Read3dx(text, s);
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_TRUE(r.added);
    EXPECT_EQ(r.badVertices, 1);
    const Object3DRecord &o = s.objects.at(0);
    EXPECT_EQ(o.colour, 0x102030u);
    ASSERT_EQ(o.mesh->vertices.size(), 2u);
    EXPECT_EQ(o.mesh->vertices[0].x, 1.5f);
    EXPECT_EQ(o.mesh->vertices[1].y, 1.0f) << "the first Vert2 wins";
    EXPECT_EQ(Edges(*o.mesh), (std::set<std::pair<int, int>>{{0, 1}}));
    ASSERT_EQ(o.mesh->triangles.size(), 1u) << "70000 is no index; two numbers are no surface";
    EXPECT_EQ(o.mesh->triangles[0].colour, 255u);

    Scene3D rays;
    Read3dx("[Brantoval3dx]\nNodes=8\n[XYZ]\nVert0=0,0,0\nVert1=1,0,0\nVert2=2,0,0\nVert3=3,0,0\nVert4=4,0,0\n"
            "Vert5=5,0,0\nVert6=6,0,0\nVert7=7,0,0\n[Rays]\nRay0=2,5,7\n",
            rays);
    EXPECT_EQ(Edges(*rays.objects.at(0).mesh), (std::set<std::pair<int, int>>{{2, 5}, {2, 7}}));
    EXPECT_EQ(Read3dx("[Brantoval3dx]\nColor=junk\nNodes=1\n[XYZ]\nVert0=0,0,0\n", rays).added, true);
    EXPECT_EQ(rays.objects.back().colour, 0xFFFFFFu);
    // 65535 missing vertex keys are one read with 65535 bad lines, and no object.
    const Library3dxResult none = Read3dx("[Brantoval3dx]\nNodes=99999\n", rays);
    EXPECT_EQ(none.badVertices, 65535);
    EXPECT_FALSE(none.added);
    EXPECT_FALSE(Read3dx("[Brantoval3dx]\nNodes=0\n", rays).added);
}

TEST(ObjectEditingTest, ShadeMoveTurnCentreScaleAndDelete)
{
    Mesh m;
    for (int i = 0; i < 3; ++i)
        AddVertex(m, float(i), 0, 0);
    m.triangles.resize(4);
    ShadeObject(m, 0x00102030);
    const std::uint32_t shades[] = {0x010110, 0x090918, 0x111120, 0x191928};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m.triangles[std::size_t(i)].colour, shades[i]) << i;
    m.triangles.resize(8);
    ShadeObject(m, 0x002120FF);
    EXPECT_EQ(m.triangles[7].colour, 0x1D1DFBu) << "255 - 32 + 28; 33 gives base 1, as 32 does";

    // x over 500..1000: the box starts at the first vertex.
    Object3DRecord o;
    o.mesh = std::make_unique<Mesh>();
    EXPECT_FALSE(ObjectCentre(*o.mesh)) << "an empty mesh has no centre";
    AddVertex(*o.mesh, 500, 200, 300);
    AddVertex(*o.mesh, 1000, 200, 300);
    EXPECT_EQ((*ObjectCentre(*o.mesh))[0], 750.0f);

    CentreObject(o, 4, 3, 6);
    EXPECT_EQ(*ObjectCentre(*o.mesh), (std::array<float, 3>{4, 3, 6}));
    MoveObject(o, 1, 0, -2);
    EXPECT_EQ(*ObjectCentre(*o.mesh), (std::array<float, 3>{5, 3, 4}));
    EXPECT_EQ(o.x, 1.0f);
    ScaleObject(o, 200);
    EXPECT_FLOAT_EQ(o.mesh->vertices[1].x - o.mesh->vertices[0].x, 1000.0f);
    // A quarter turn about Y: centre + (1, 0, 0) goes to centre + (0, 0, -1).
    Object3DRecord t;
    t.mesh = std::make_unique<Mesh>();
    AddVertex(*t.mesh, 9, 3, 4);
    AddVertex(*t.mesh, 11, 3, 4);
    TurnObject(t, 0, 90, 0);
    EXPECT_EQ(t.rotY, 90.0f);
    EXPECT_NEAR(t.mesh->vertices[1].x, 10.0f, 1e-5);
    EXPECT_NEAR(t.mesh->vertices[1].z, 3.0f, 1e-5);
    EXPECT_NEAR(t.mesh->vertices[0].z, 5.0f, 1e-5);

    Scene3D s;
    s.objects.push_back(std::move(o));
    s.objects.push_back(std::move(t));
    s.selected = 1;
    DeleteObject(s, 0);
    EXPECT_EQ(s.objects.size(), 1u);
    EXPECT_EQ(s.selected, -1);
}
