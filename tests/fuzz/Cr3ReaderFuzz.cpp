// Feeds arbitrary bytes to the 3D object file reader. What it reads is written and read
// again: the second read must give the same objects (vertex counts, triangles and edge
// sets; the vertices bit for bit when no two of the first read's vertices are equal, as
// the vertex nudge of equal points is not the same twice).
#include "visualiser/Objects3DFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>

namespace {

void Fail(const char *what)
{
    std::fprintf(stderr, "round trip failed: %s\n", what);
    std::abort();
}

std::set<std::pair<int, int>> Edges(const Mesh &m)
{
    std::set<std::pair<int, int>> out;
    for (std::size_t i = 0; i < m.neighbours.size(); ++i)
        for (int k : m.neighbours[i])
            out.insert({std::min(int(i), k), std::max(int(i), k)});
    return out;
}

bool Distinct(const Mesh &m)
{
    for (std::size_t i = 0; i < m.vertices.size(); ++i)
        for (std::size_t j = i + 1; j < m.vertices.size(); ++j)
            if (m.vertices[i].x == m.vertices[j].x && m.vertices[i].y == m.vertices[j].y &&
                m.vertices[i].z == m.vertices[j].z)
                return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Scene3D first;
    ReadCr3(std::vector<std::uint8_t>(data, data + size), first);
    for (const Object3DRecord &o : first.objects) {
        const Mesh &m = *o.mesh;
        if (m.vertices.empty() || m.neighbours.size() != m.vertices.size())
            Fail("an object without vertices, or neighbours out of step");
        for (const auto &list : m.neighbours)
            for (int k : list)
                if (k >= int(m.vertices.size()))
                    Fail("a neighbour past the vertices");
        for (const MeshTriangle &t : m.triangles)
            if (t.a >= m.vertices.size() || t.b >= m.vertices.size() || t.c >= m.vertices.size())
                Fail("a triangle past the vertices");
    }
    Scene3D second;
    ReadCr3(WriteCr3(first), second);
    if (second.objects.size() != first.objects.size())
        Fail("object count");
    for (std::size_t i = 0; i < first.objects.size(); ++i) {
        const Mesh &a = *first.objects[i].mesh, &b = *second.objects[i].mesh;
        if (a.vertices.size() != b.vertices.size() || a.triangles.size() != b.triangles.size() || Edges(a) != Edges(b))
            Fail("vertices, triangles or edges");
        for (std::size_t t = 0; t < a.triangles.size(); ++t)
            if (a.triangles[t].a != b.triangles[t].a || a.triangles[t].b != b.triangles[t].b ||
                a.triangles[t].c != b.triangles[t].c || a.triangles[t].colour != b.triangles[t].colour)
                Fail("a triangle");
        if (Distinct(a))
            for (std::size_t v = 0; v < a.vertices.size(); ++v)
                if (std::memcmp(&a.vertices[v], &b.vertices[v], 12) != 0)
                    Fail("a vertex");
    }
    return 0;
}
