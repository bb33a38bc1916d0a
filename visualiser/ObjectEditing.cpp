#include "ObjectEditing.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double DegreesToRadians = 3.14159265358979323846 / 180.0;

void Shift(Mesh &mesh, float dx, float dy, float dz)
{
    for (MeshVertex &v : mesh.vertices) {
        v.x += dx;
        v.y += dy;
        v.z += dz;
    }
    VerticesMoved(mesh);
}

} // namespace

std::optional<std::array<float, 3>> ObjectCentre(const Mesh &mesh)
{
    if (mesh.vertices.empty())
        return std::nullopt;
    // The box starts at the first vertex: objects may lie far outside +-100 (millimetres).
    const MeshVertex &first = mesh.vertices.front();
    std::array<float, 3> lo{first.x, first.y, first.z}, hi = lo;
    for (const MeshVertex &v : mesh.vertices) {
        const float p[3] = {v.x, v.y, v.z};
        for (int k = 0; k < 3; ++k) {
            lo[std::size_t(k)] = std::min(lo[std::size_t(k)], p[k]);
            hi[std::size_t(k)] = std::max(hi[std::size_t(k)], p[k]);
        }
    }
    return std::array<float, 3>{(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2};
}

void MoveObject(Object3DRecord &o, float x, float y, float z)
{
    if (!o.mesh)
        return;
    Shift(*o.mesh, x != o.x ? x - o.x : 0, y != o.y ? y - o.y : 0, z != o.z ? z - o.z : 0);
    o.x = x;
    o.y = y;
    o.z = z;
}

void TurnObject(Object3DRecord &o, float rotX, float rotY, float rotZ)
{
    const auto centre = o.mesh ? ObjectCentre(*o.mesh) : std::nullopt;
    if (!centre)
        return;
    Matrix34 m = IdentityMatrix();
    if (rotX != o.rotX)
        m = MultiplyMatrix(m, RotateX((rotX - o.rotX) * DegreesToRadians));
    if (rotY != o.rotY)
        m = MultiplyMatrix(m, RotateY((rotY - o.rotY) * DegreesToRadians));
    if (rotZ != o.rotZ)
        m = MultiplyMatrix(m, RotateZ((rotZ - o.rotZ) * DegreesToRadians));
    o.rotX = rotX;
    o.rotY = rotY;
    o.rotZ = rotZ;
    const auto [cx, cy, cz] = *centre;
    for (MeshVertex &v : o.mesh->vertices) {
        MeshVertex p = v;
        p.x -= cx;
        p.y -= cy;
        p.z -= cz;
        const MeshVertex t = TransformPoint(m, p);
        v.x = t.x + cx;
        v.y = t.y + cy;
        v.z = t.z + cz;
    }
    VerticesMoved(*o.mesh);
}

void CentreObject(Object3DRecord &o, float x, float y, float z)
{
    const auto centre = o.mesh ? ObjectCentre(*o.mesh) : std::nullopt;
    if (!centre)
        return;
    Shift(*o.mesh, x - (*centre)[0], y - (*centre)[1], z - (*centre)[2]);
    o.x = o.y = o.z = 0;
}

void ScaleObject(Object3DRecord &o, double percent)
{
    const auto centre = o.mesh ? ObjectCentre(*o.mesh) : std::nullopt;
    if (!centre)
        return;
    const double f = percent / 100.0;
    for (MeshVertex &v : o.mesh->vertices) {
        v.x = float((*centre)[0] + (v.x - (*centre)[0]) * f);
        v.y = float((*centre)[1] + (v.y - (*centre)[1]) * f);
        v.z = float((*centre)[2] + (v.z - (*centre)[2]) * f);
    }
    VerticesMoved(*o.mesh);
}

void DeleteObject(Scene3D &scene, int index)
{
    if (index < 0 || std::size_t(index) >= scene.objects.size())
        return;
    scene.objects.erase(scene.objects.begin() + index);
    scene.selected = -1;
}

void ShadeObject(Mesh &mesh, std::uint32_t colour)
{
    auto base = [](std::uint32_t byte) { return byte <= 32 ? 1u : byte - 32; };
    const std::uint32_t r = base(colour & 0xFF), g = base((colour >> 8) & 0xFF), b = base((colour >> 16) & 0xFF);
    const std::size_t n = mesh.triangles.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t e = std::uint32_t(i * 32 / n);
        mesh.triangles[i].colour = ((r + e) & 0xFF) | ((g + e) & 0xFF) << 8 | ((b + e) & 0xFF) << 16;
    }
}
