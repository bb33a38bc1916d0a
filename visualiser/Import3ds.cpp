#include "Import3ds.h"

#include <cstring>

namespace {

constexpr std::size_t HeaderSize = 6;
constexpr std::size_t MaxCount = 0x7FFF;

std::uint16_t U16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

std::uint32_t U32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

float F32(const std::uint8_t *p)
{
    const std::uint32_t bits = U32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

bool Container(std::uint16_t id)
{
    switch (id) {
    case 0x4D4D: // main
    case 0x3D3D: // editor
    case 0x4100: // triangle mesh
    case 0xAFFF: // material
    case 0xB000: // keyframer
    case 0xB002: // object node
        return true;
    default:
        return false;
    }
}

} // namespace

Import3dsResult Import3ds(const std::uint8_t *data, std::size_t size, Mesh &mesh)
{
    Import3dsResult r;
    std::size_t base = mesh.vertices.size();
    std::size_t pos = 0;
    while (size - pos >= HeaderSize) {
        const std::uint16_t id = U16(data + pos);
        const std::uint32_t length = U32(data + pos + 2);
        // A length below the header would not move on (0) or step back into it (1..5).
        if (length < HeaderSize || length > size - pos) {
            r.badChunk = true;
            break;
        }
        const std::size_t end = pos + length;
        std::size_t p = pos + HeaderSize;
        if (Container(id)) {
            pos = p;
            continue;
        }
        switch (id) {
        case 0x4000: // object name, then its sub-chunks
            while (p < end && data[p] != 0)
                ++p;
            pos = p < end ? p + 1 : end;
            break;
        case 0x4110: { // point array
            if (end - p < 2) {
                pos = end;
                break;
            }
            const std::size_t n = U16(data + p);
            p += 2;
            if (!r.overflow) {
                if (n + mesh.vertices.size() < 0x8000)
                    base = mesh.vertices.size();
                else
                    r.overflow = true;
            }
            for (std::size_t i = 0; i < n && end - p >= 12; ++i, p += 12)
                if (!r.overflow && AddVertex(mesh, F32(data + p), F32(data + p + 8), F32(data + p + 4)))
                    ++r.vertices;
            pos = p;
            break;
        }
        case 0x4120: { // face array, then its sub-chunks
            if (end - p < 2) {
                pos = end;
                break;
            }
            const std::size_t m = U16(data + p);
            p += 2;
            if (m + mesh.triangles.size() > MaxCount)
                r.overflow = true;
            for (std::size_t i = 0; i < m && end - p >= 8; ++i, p += 8) {
                if (r.overflow)
                    continue;
                // Checked before narrowing: a base plus 0xFFFF must not wrap onto a vertex.
                const int a = int(base) + U16(data + p), b = int(base) + U16(data + p + 2),
                          c = int(base) + U16(data + p + 4);
                const int count = int(mesh.vertices.size());
                if (a >= count || b >= count || c >= count)
                    continue;
                MeshTriangle t;
                t.a = std::uint16_t(a);
                t.b = std::uint16_t(b);
                t.c = std::uint16_t(c);
                t.colour = 0x7F7F7F;
                if (AddTriangle(mesh, t))
                    ++r.triangles;
            }
            pos = p;
            break;
        }
        default: // every other chunk, with whatever it holds, by its length
            pos = end;
            break;
        }
    }
    return r;
}
