#include "Objects3DFile.h"

#include "BinaryStream.h"
#include "Chunk.h"

#include <algorithm>
#include <cstring>

std::vector<std::uint8_t> WriteCr3(const Scene3D &scene)
{
    MemoryStream s;
    ChunkWriter file(s, "3D1K");
    for (const Object3DRecord &o : scene.objects) {
        if (!o.mesh || o.mesh->vertices.empty())
            continue;
        const Mesh &m = *o.mesh;
        ChunkWriter base(s, "BASE");
        s.WriteU32(o.colour);
        for (float v : {o.x, o.y, o.z, o.rotX, o.rotY, o.rotZ})
            s.WriteF32(v);
        base.Finish();
        ChunkWriter nods(s, "NODS");
        for (const MeshVertex &v : m.vertices) {
            s.WriteF32(v.x);
            s.WriteF32(v.y);
            s.WriteF32(v.z);
        }
        nods.Finish();
        ChunkWriter rays(s, "RAYS");
        for (std::size_t i = 0; i < m.neighbours.size(); ++i) {
            const auto &n = m.neighbours[i];
            if (n.empty())
                continue;
            s.WriteU16(static_cast<std::uint16_t>(n.size() + 1));
            s.WriteU16(static_cast<std::uint16_t>(i));
            for (std::uint16_t k : n)
                s.WriteU16(k);
        }
        rays.Finish();
        if (!m.triangles.empty()) {
            ChunkWriter surf(s, "SURF");
            for (const MeshTriangle &t : m.triangles) {
                s.WriteU16(t.a);
                s.WriteU16(t.b);
                s.WriteU16(t.c);
                s.WriteU16(0);
                s.WriteU32(t.colour);
            }
            surf.Finish();
        }
    }
    file.Finish();
    return s.Data();
}

namespace {

// A little-endian cursor over the bytes up to `limit`.
struct Cursor {
    const std::uint8_t *data;
    std::size_t pos, limit;

    bool Has(std::size_t n) const { return pos <= limit && limit - pos >= n; }
    std::uint16_t U16()
    {
        const std::uint16_t v = std::uint16_t(data[pos] | data[pos + 1] << 8);
        pos += 2;
        return v;
    }
    std::uint32_t U32()
    {
        const std::uint32_t v = std::uint32_t(data[pos]) | std::uint32_t(data[pos + 1]) << 8 |
                                std::uint32_t(data[pos + 2]) << 16 | std::uint32_t(data[pos + 3]) << 24;
        pos += 4;
        return v;
    }
    float F32()
    {
        const std::uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    bool IsTag(const char *tag) const { return Has(4) && std::memcmp(data + pos, tag, 4) == 0; }
    // Takes the chunk `tag` and gives its end: false when another tag is there or the end
    // lies before the body or past the limit.
    bool Chunk(const char *tag, std::size_t &end)
    {
        if (!IsTag(tag) || !Has(ChunkHeaderSize))
            return false;
        pos += 4;
        end = U32();
        return end >= pos && end <= limit;
    }
};

bool ReadObject(Cursor &c, Object3DRecord &o)
{
    std::size_t end = 0;
    if (!c.Chunk("BASE", end) || end - c.pos != 28)
        return false;
    o.colour = c.U32();
    for (float *v : {&o.x, &o.y, &o.z, &o.rotX, &o.rotY, &o.rotZ})
        *v = c.F32();
    Mesh &m = *o.mesh;
    if (!c.Chunk("NODS", end) || (end - c.pos) % 12 != 0 || (end - c.pos) / 12 > MeshMaxCount)
        return false;
    while (c.pos < end) {
        const float x = c.F32(), y = c.F32(), z = c.F32();
        AddVertex(m, x, y, z);
    }
    if (!c.Chunk("RAYS", end))
        return false;
    while (c.pos < end) {
        if (end - c.pos < 4)
            return false;
        const std::uint16_t count = c.U16(), vertex = c.U16();
        if (count == 0 || (end - c.pos) / 2 < std::size_t(count - 1))
            return false;
        for (int k = 1; k < count; ++k)
            AddEdge(m, vertex, c.U16());
    }
    // "SURF" is left out for an object without triangles: the next "BASE" or the end
    // follows then.
    if (c.IsTag("SURF")) {
        if (!c.Chunk("SURF", end) || (end - c.pos) % 12 != 0 || (end - c.pos) / 12 > MeshMaxCount)
            return false;
        while (c.pos < end) {
            MeshTriangle t;
            t.a = c.U16();
            t.b = c.U16();
            t.c = c.U16();
            c.U16();
            t.colour = c.U32();
            AddTriangle(m, t);
        }
    }
    return true;
}

} // namespace

Cr3ReadResult ReadCr3(const std::vector<std::uint8_t> &bytes, Scene3D &scene)
{
    Cr3ReadResult result;
    if (bytes.size() < ChunkHeaderSize || std::memcmp(bytes.data(), "3D1K", 4) != 0)
        return result;
    result.magic = true;
    Cursor c{bytes.data(), 4, bytes.size()};
    c.limit = std::min<std::size_t>(c.U32(), bytes.size());
    while (c.pos < c.limit) {
        Object3DRecord o;
        o.mesh = std::make_unique<Mesh>();
        const bool whole = ReadObject(c, o);
        if (!o.mesh->vertices.empty()) {
            scene.objects.push_back(std::move(o));
            ++result.added;
        }
        if (!whole)
            break;
    }
    return result;
}
