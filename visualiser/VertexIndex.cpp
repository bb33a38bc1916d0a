#include "VertexIndex.h"

#include "Mesh.h"

#include <cstring>

namespace {

bool IsNan(float v)
{
    return v != v;
}

// The bits of a coordinate with -0 read as +0, so that keys equal under == hash alike.
std::uint64_t KeyBits(float v)
{
    if (v == 0.0f)
        v = 0.0f;
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

std::size_t Hash(float x, float y, float z)
{
    std::uint64_t h = KeyBits(x) * 0x9E3779B97F4A7C15ull + KeyBits(y);
    h = h * 0xC2B2AE3D27D4EB4Full + KeyBits(z);
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return std::size_t(h);
}

} // namespace

void VertexIndex::Follow(const MeshVertex *vertices, std::size_t count)
{
    if (current_ && next_.size() == count)
        return;
    std::size_t size = 16;
    while (size < 2 * count + 2)
        size *= 2;
    slots_.assign(size, Slot{});
    used_ = 0;
    next_.clear();
    next_.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        Append(vertices[i].x, vertices[i].y, vertices[i].z);
    current_ = true;
}

const VertexIndex::Slot *VertexIndex::Find(float x, float y, float z) const
{
    if (slots_.empty())
        return nullptr;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = Hash(x, y, z) & mask;; i = (i + 1) & mask) {
        const Slot &s = slots_[i];
        if (s.first == None)
            return nullptr;
        if (s.x == x && s.y == y && s.z == z)
            return &s;
    }
}

float VertexIndex::PushedZ(float x, float y, float z) const
{
    if (IsNan(x) || IsNan(y))
        return z;
    // `after`: the vertex of the last match; the walk goes on past it.
    Vertex after = None;
    for (;;) {
        if (IsNan(z))
            return z;
        const Slot *s = Find(x, y, z);
        if (!s)
            return z;
        Vertex j = s->first;
        if (after != None)
            while (j != None && j <= after)
                j = next_[j];
        if (j == None)
            return z;
        after = j;
        z = static_cast<float>(double(z) + 0.001);
    }
}

void VertexIndex::Append(float x, float y, float z)
{
    const auto index = static_cast<Vertex>(next_.size());
    next_.push_back(None);
    if (IsNan(x) || IsNan(y) || IsNan(z))
        return;
    if (2 * (used_ + 1) > slots_.size())
        Grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = Hash(x, y, z) & mask;; i = (i + 1) & mask) {
        Slot &s = slots_[i];
        if (s.first == None) {
            s.x = x;
            s.y = y;
            s.z = z;
            s.first = s.last = index;
            ++used_;
            return;
        }
        if (s.x == x && s.y == y && s.z == z) {
            next_[s.last] = index;
            s.last = index;
            return;
        }
    }
}

void VertexIndex::Grow()
{
    std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size());
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot &s : old) {
        if (s.first == None)
            continue;
        std::size_t i = Hash(s.x, s.y, s.z) & mask;
        while (slots_[i].first != None)
            i = (i + 1) & mask;
        slots_[i] = s;
    }
}

void VertexIndex::Drop()
{
    current_ = false;
    std::vector<Slot>().swap(slots_);
    std::vector<Vertex>().swap(next_);
    used_ = 0;
}
