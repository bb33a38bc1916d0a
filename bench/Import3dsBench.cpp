// The 3DS import of one mesh of 30000 points and 29998 faces built in memory: the vertex
// search of every added point makes it quadratic in the points.
#include "tests/visualiser/Chunks3ds.h"
#include "visualiser/Import3ds.h"

#include <chrono>
#include <cstdio>

int main()
{
    const chunks3ds::Bytes file = chunks3ds::File(chunks3ds::Strip("Big", 30000));
    Mesh mesh;
    const auto start = std::chrono::steady_clock::now();
    const Import3dsResult r = Import3ds(file.data(), file.size(), mesh);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::printf("import3ds: %d vertices, %d triangles, %lld ms\n", r.vertices, r.triangles, static_cast<long long>(ms));
    return r.vertices == 30000 && r.triangles == 29998 ? 0 : 1;
}
