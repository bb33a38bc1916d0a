// Feeds arbitrary bytes to the 3DS importer: at most 0x7FFF vertices and triangles, and
// every triangle's indices below the vertex count.
#include "visualiser/Import3ds.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Mesh mesh;
    Import3ds(data, size, mesh);
    bool ok = mesh.vertices.size() <= 0x7FFF && mesh.triangles.size() <= 0x7FFF;
    for (const MeshTriangle &t : mesh.triangles)
        ok = ok && t.a < mesh.vertices.size() && t.b < mesh.vertices.size() && t.c < mesh.vertices.size();
    if (!ok) {
        std::fprintf(stderr, "import out of bounds\n");
        std::abort();
    }
    return 0;
}
