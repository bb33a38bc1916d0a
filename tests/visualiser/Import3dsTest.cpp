// The 3DS importer over bytes built from the chunk layout: axes, colours and the merge of
// meshes through the vertex base, the overflow rule, and files cut or with bad lengths.
#include "Chunks3ds.h"
#include "visualiser/Import3ds.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace chunks3ds;

namespace {

Import3dsResult Import(const Bytes &file, Mesh &mesh)
{
    return Import3ds(file.data(), file.size(), mesh);
}

void ExpectSound(const Mesh &m)
{
    EXPECT_LE(m.vertices.size(), 0x7FFFu);
    EXPECT_LE(m.triangles.size(), 0x7FFFu);
    for (const MeshTriangle &t : m.triangles)
        EXPECT_LT(std::max({t.a, t.b, t.c}), m.vertices.size());
}

} // namespace

TEST(Import3dsTest, MeshesArriveTurnedGreyAndMergedThroughTheBase)
{
    // One box side of 4 points and 2 faces, a material and a keyframer chunk beside it.
    const Bytes material = Chunk(0xAFFF, Chunk(0xA000, {'M', 'a', 't', 0}));
    const Bytes keyframer = Chunk(0xB000, Chunk(0xB002, Join({Chunk(0xB010, Bytes(10, 0)), Chunk(0xB020, Bytes(30, 1))})));
    const Bytes box = Object("Box", Points({{0, 0, 0}, {1, 0, 0}, {1, 0, 2}, {0, 3, 2}}), Faces({{0, 1, 2}, {0, 2, 3}}));
    Mesh m;
    const Import3dsResult r = Import(File(box, Join({material, keyframer})), m);
    EXPECT_EQ(r.vertices, 4);
    EXPECT_EQ(r.triangles, 2);
    EXPECT_FALSE(r.overflow);
    EXPECT_FALSE(r.badChunk);
    ASSERT_EQ(m.vertices.size(), 4u);
    EXPECT_EQ(m.vertices[3].x, 0.0f);
    EXPECT_EQ(m.vertices[3].y, 2.0f) << "the file's z is the room's y";
    EXPECT_EQ(m.vertices[3].z, 3.0f);
    for (const MeshTriangle &t : m.triangles)
        EXPECT_EQ(t.colour, 0x7F7F7Fu);

    // Two objects of 100 vertices: the second's faces refer to 100..199.
    const Bytes two = File(Join({Strip("A", 100), Strip("B", 100)}));
    Mesh both;
    Import(two, both);
    ASSERT_EQ(both.vertices.size(), 200u);
    ASSERT_EQ(both.triangles.size(), 196u);
    EXPECT_EQ(both.triangles[98].a, 100);
    EXPECT_EQ(both.triangles[195].c, 199);

    // Every cut of that file leaves counts and indices in bounds.
    for (std::size_t n = 0; n < two.size(); n += 7) {
        Mesh cut;
        Import3ds(two.data(), n, cut);
        ExpectSound(cut);
    }
}

TEST(Import3dsTest, OverflowBadLengthsAndShortArrays)
{
    // Mesh 2 declares 0x7FF6 points (10 + 0x7FF6 reaches 0x8000) and holds 2: it and mesh 3
    // add nothing.
    std::vector<Point> ten;
    for (int i = 0; i < 10; ++i)
        ten.push_back({float(i), 0, 0});
    const Bytes overflow = File(Join({Object("One", Points(ten), Faces({{0, 1, 2}})),
                                      Object("Two", Points({{50, 0, 0}, {51, 0, 0}}, 0x7FF6), Faces({{0, 1, 0}})),
                                      Strip("Three", 5)}));
    Mesh m;
    Import3dsResult r = Import(overflow, m);
    EXPECT_TRUE(r.overflow);
    EXPECT_EQ(m.vertices.size(), 10u);
    EXPECT_EQ(m.triangles.size(), 1u);
    // So does a face array whose count passes 0x7FFF triangles.
    Mesh faces;
    r = Import(File(Object("F", Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), Faces({{0, 1, 2}}, 0x8000))), faces);
    EXPECT_TRUE(r.overflow);
    EXPECT_TRUE(faces.triangles.empty());

    // Lengths 0, 5 and one past the end end the walk; what came before stays.
    const Bytes first = Strip("A", 4);
    for (std::int64_t length : {0, 5}) {
        Mesh k;
        r = Import(File(Join({first, Chunk(0x4000, Bytes(8, 'x'), length), Strip("B", 4)})), k);
        EXPECT_TRUE(r.badChunk) << length;
        EXPECT_EQ(k.vertices.size(), 4u) << length;
    }
    Bytes past = File(Join({first, Strip("B", 4)}));
    const Bytes second = Strip("B", 4);
    const std::size_t at = past.size() - second.size();   // the second object's header
    const std::uint32_t tooLong = std::uint32_t(second.size() + 1);
    std::memcpy(&past[at + 2], &tooLong, 4);
    Mesh k;
    r = Import(past, k);
    EXPECT_TRUE(r.badChunk);
    EXPECT_EQ(k.vertices.size(), 4u);

    // A point array declaring more points than it holds adds those inside; a face index
    // 0xFFFF at base 100 is dropped, not wrapped onto vertex 99.
    Mesh shortArray;
    Import(File(Join({Strip("A", 100), Object("B", Points({{0, 0, 5}, {1, 0, 5}, {0, 1, 5}}, 9),
                                              Faces({{0, 1, 2}, {0, 1, 0xFFFF}}))})),
           shortArray);
    EXPECT_EQ(shortArray.vertices.size(), 103u);
    ASSERT_EQ(shortArray.triangles.size(), 99u);
    EXPECT_EQ(shortArray.triangles.back().c, 102);
}
