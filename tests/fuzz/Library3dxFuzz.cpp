// Feeds arbitrary text to the 3D library reader: every index it keeps lies below its
// count, and every edge is listed under both its ends.
#include "visualiser/Library3dx.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Scene3D scene;
    Read3dx(std::string(reinterpret_cast<const char *>(data), size), scene);
    for (const Object3DRecord &o : scene.objects) {
        const Mesh &m = *o.mesh;
        const std::size_t n = m.vertices.size();
        bool ok = n > 0 && m.neighbours.size() == n;
        for (std::size_t i = 0; ok && i < n; ++i)
            for (int k : m.neighbours[i]) {
                const auto &back = m.neighbours[std::size_t(k)];
                ok = ok && std::size_t(k) < n && std::find(back.begin(), back.end(), int(i)) != back.end();
            }
        for (const MeshTriangle &t : m.triangles)
            ok = ok && t.a < n && t.b < n && t.c < n;
        if (!ok) {
            std::fprintf(stderr, "library object out of step\n");
            std::abort();
        }
    }
    return 0;
}
