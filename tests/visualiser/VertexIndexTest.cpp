// AddVertex through the mesh's coordinate index against the plain walk over every earlier
// vertex: random meshes full of repeated points and push chains, meshes read from *.cr3 and
// 3DS files, and meshes given more vertices after their vertices were moved, turned,
// centred, scaled, resized or placed.
#include "Chunks3ds.h"
#include "VertexWalk.h"

#include "visualiser/BeamModel.h"
#include "visualiser/Import3ds.h"
#include "visualiser/ObjectEditing.h"
#include "visualiser/Objects3DFile.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <random>

namespace {

float Pushed(float z)
{
    return static_cast<float>(double(z) + 0.001);
}

// Both meshes take the point: the program's through AddVertex, the reference by the walk.
void AddBoth(Mesh &mesh, Mesh &reference, float x, float y, float z)
{
    ASSERT_TRUE(AddVertex(mesh, x, y, z));
    WalkAdd(reference, x, y, z);
}

std::unique_ptr<Mesh> NewMesh()
{
    return std::make_unique<Mesh>();
}

} // namespace

TEST(VertexIndexTest, PushChainsFollowTheWalk)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const float p1 = Pushed(3), p2 = Pushed(p1);
    // A point pushed onto an earlier vertex's place is not pushed again by it; onto a later
    // one it is.
    Mesh earlier;
    for (float z : {p1, 3.0f, 3.0f})
        AddVertex(earlier, 0, 0, z);
    EXPECT_EQ(earlier.vertices[2].z, p1);
    Mesh later;
    for (float z : {3.0f, p1, 3.0f})
        AddVertex(later, 0, 0, z);
    EXPECT_EQ(later.vertices[2].z, p2);
    // +0 and -0 are one key; NaN matches nothing; a push that cannot move z still counts.
    Mesh special;
    AddVertex(special, 0, 0, 0);
    AddVertex(special, -0.0f, 0, -0.0f);
    EXPECT_EQ(special.vertices[1].z, Pushed(-0.0f));
    AddVertex(special, nan, 1, 1);
    AddVertex(special, nan, 1, 1);
    EXPECT_EQ(special.vertices[3].z, 1.0f);
    for (int k = 0; k < 3; ++k)
        AddVertex(special, 5, 5, 1e9f);
    EXPECT_EQ(special.vertices[6].z, 1e9f);

    // Random meshes from few coordinates, so that points repeat and pushes land on other
    // points, with edges and triangles between them.
    const float xs[] = {0.0f, -0.0f, 1.0f, nan};
    const float zs[] = {0.0f, -0.0f, Pushed(0), 3.0f, p1, p2, Pushed(p2), 1e9f, inf, nan};
    int pushed = 0, longest = 0, ontoEarlier = 0;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::mt19937 rng(seed);
        Mesh mesh, reference;
        for (int i = 0; i < 1500; ++i) {
            const float x = xs[rng() % 3 + (rng() % 50 == 0)], y = xs[rng() % 3], z = zs[rng() % 10];
            AddBoth(mesh, reference, x, y, z);
            const MeshVertex &v = reference.vertices.back();
            int pushes = 0;
            for (float w = z; std::memcmp(&w, &v.z, 4) != 0 && pushes < 100; w = Pushed(w))
                ++pushes;
            pushed += pushes > 0;
            longest = std::max(longest, pushes);
            for (int j = 0; j < i; ++j) {
                const MeshVertex &u = reference.vertices[std::size_t(j)];
                if (pushes > 0 && u.x == v.x && u.y == v.y && u.z == v.z) {
                    ++ontoEarlier;
                    break;
                }
            }
            if (i > 2 && rng() % 2) {
                const auto a = std::uint16_t(rng() % unsigned(i)), b = std::uint16_t(rng() % unsigned(i));
                for (Mesh *m : {&mesh, &reference}) {
                    AddEdge(*m, a, b);
                    AddTriangle(*m, MeshTriangle{a, b, std::uint16_t(i), 0, std::uint32_t(i)});
                }
            }
        }
        ExpectSameMesh(mesh, reference, "seed " + std::to_string(seed));
    }
    EXPECT_GT(pushed, 1000);
    EXPECT_GT(longest, 5);
    EXPECT_GT(ontoEarlier, 10) << "pushes that ended on an earlier vertex";
}

TEST(VertexIndexTest, FilesReadLikeTheWalk)
{
    // 3DS: two meshes whose faces each carry their own copies of the corners, as exporters
    // write them, on points one push apart; the second import appends to the first.
    using namespace chunks3ds;
    std::vector<Point> points;
    std::vector<Face> faces;
    for (int q = 0; q < 40; ++q) {
        const float x = float(q % 5), z = float(q / 5) * 0.001f;
        const Point corners[4] = {{x, 0, z}, {x + 1, 0, z}, {x + 1, 1, z}, {x, 1, Pushed(z)}};
        for (int t = 0; t < 2; ++t) {
            const auto base = std::uint16_t(points.size());
            for (int k : {0, 1 + t, 2 + t})
                points.push_back(corners[k]);
            faces.push_back({base, std::uint16_t(base + 1), std::uint16_t(base + 2)});
        }
    }
    const Bytes file = File(Join({Object("A", Points(points), Faces(faces)), Object("B", Points(points), Faces(faces))}));
    Mesh imported, reference;
    Import3ds(file.data(), file.size(), imported);
    Import3ds(file.data(), file.size(), imported);
    for (int copy = 0; copy < 4; ++copy) {
        const auto base = std::uint16_t(reference.vertices.size());
        for (const Point &p : points)
            WalkAdd(reference, p.x, p.z, p.y);
        for (const Face &f : faces)
            AddTriangle(reference, MeshTriangle{std::uint16_t(base + f.a), std::uint16_t(base + f.b),
                                                std::uint16_t(base + f.c), 0, 0x7F7F7F});
    }
    ExpectSameMesh(imported, reference, "3DS");

    // *.cr3: the file's vertices repeat (written from meshes filled directly), so the read
    // pushes them; edges and triangles come back on the pushed vertices.
    Scene3D written;
    std::mt19937 rng(3);
    for (int object = 0; object < 2; ++object) {
        Object3DRecord o;
        o.mesh = NewMesh();
        for (int i = 0; i < 600; ++i) {
            const float v[3] = {float(rng() % 3), rng() % 4 ? 0.0f : -0.0f, float(rng() % 4) * 0.001f};
            o.mesh->vertices.push_back(MeshVertex{v[0], v[1], v[2], 0, 0});
            o.mesh->neighbours.emplace_back();
            if (i > 0) {
                AddEdge(*o.mesh, i, int(rng() % unsigned(i)));
                const auto k = std::uint16_t(rng() % unsigned(i));
                AddTriangle(*o.mesh, MeshTriangle{std::uint16_t(i), std::uint16_t(i - 1), k, 0, 7});
            }
        }
        written.objects.push_back(std::move(o));
    }
    Scene3D read;
    ASSERT_EQ(ReadCr3(WriteCr3(written), read).added, 2);
    for (int object = 0; object < 2; ++object) {
        const Mesh &source = *written.objects[std::size_t(object)].mesh;
        Mesh want;
        for (const MeshVertex &v : source.vertices)
            WalkAdd(want, v.x, v.y, v.z);
        for (std::size_t i = 0; i < source.neighbours.size(); ++i)
            for (std::uint16_t k : source.neighbours[i])
                AddEdge(want, int(i), k);
        for (const MeshTriangle &t : source.triangles)
            AddTriangle(want, t);
        ExpectSameMesh(*read.objects[std::size_t(object)].mesh, want, "cr3 object " + std::to_string(object));
    }
}

TEST(VertexIndexTest, EditsThenMoreVerticesAddLikeTheWalk)
{
    // An object edited in every way the panel can, given more points after each edit: at
    // its vertices' new places and at their old ones.
    std::mt19937 rng(11);
    Object3DRecord o, ref;
    o.mesh = NewMesh();
    ref.mesh = NewMesh();
    auto grid = [&] { return float(int(rng() % 3)) * 0.5f; };
    for (int i = 0; i < 300; ++i)
        AddBoth(*o.mesh, *ref.mesh, grid(), grid(), grid());
    const std::pair<const char *, std::function<void(Object3DRecord &)>> edits[] = {
        {"moved", [](Object3DRecord &r) { MoveObject(r, 0.5f, 0, -0.5f); }},
        {"turned", [](Object3DRecord &r) { TurnObject(r, 90, 0, 180); }},
        {"centred", [](Object3DRecord &r) { CentreObject(r, 4, 3, 6); }},
        {"scaled", [](Object3DRecord &r) { ScaleObject(r, 50); }},
    };
    for (const auto &[name, edit] : edits) {
        const std::vector<MeshVertex> before = o.mesh->vertices;
        edit(o);
        edit(ref);
        for (int i = 0; i < 100; ++i) {
            const MeshVertex now = o.mesh->vertices[rng() % before.size()], old = before[rng() % before.size()];
            AddBoth(*o.mesh, *ref.mesh, now.x, now.y, now.z);
            AddBoth(*o.mesh, *ref.mesh, old.x, old.y, old.z);
        }
        ExpectSameMesh(*o.mesh, *ref.mesh, std::string(name) + ", then more vertices");
    }

    // The room resized, a fixture's body and beam placed and aimed: points added at the
    // vertices' new places are pushed by them.
    Mesh room;
    BuildRoomMesh(room, 8, 6, 12);
    SetRoomVertices(room, 10, 5, 20);
    BeamModel head;
    InitBeamModel(head);
    head.posX = 3, head.posY = 5, head.posZ = 2, head.rotX = 30;
    BuildPlacement(head);
    AddVertex(head.beam, 0, 0, 0);   // the index now covers the placed beam
    BuildBeam(head, RoomExtent{});
    using Named = std::pair<Mesh *, const char *>;
    for (auto [mesh, name] : {Named{&room, "room"}, Named{&head.body, "body"}, Named{&head.beam, "beam"}}) {
        Mesh reference = *mesh;
        const std::vector<MeshVertex> now = mesh->vertices;
        for (const MeshVertex &v : now)
            AddBoth(*mesh, reference, v.x, v.y, v.z);
        ExpectSameMesh(*mesh, reference, name);
        EXPECT_NE(mesh->vertices.back().z, now.back().z) << name;
    }
}
