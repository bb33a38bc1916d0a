// An index of a mesh's vertices by their coordinates, so that adding a vertex finds the
// earlier vertices equal to it without walking them all. Coordinates are compared as floats
// with ==: +0 and -0 are one key, and a vertex with a NaN coordinate matches nothing.
//
// The search it answers: walk the vertices in order; each one equal to the new point pushes
// the point's z up by 0.001 (in double, kept as a float) and the walk goes on from there
// with the pushed z, so a vertex before the last match no longer counts. The index keeps,
// per key, the vertices holding it in increasing order and reproduces that walk with one
// look-up per push.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct MeshVertex;

class VertexIndex {
public:
    // Makes the index cover exactly the given vertices: rebuilt when it was dropped or
    // covers a different count; otherwise nothing happens.
    void Follow(const MeshVertex *vertices, std::size_t count);
    // The z that a point (x, y, z) ends with after the pushes of the walk over the covered
    // vertices.
    float PushedZ(float x, float y, float z) const;
    // Takes in the point (x, y, z) as the next vertex (index = the covered count).
    void Append(float x, float y, float z);
    // The vertices were moved, turned or scaled: the index forgets them and is rebuilt by
    // the next Follow.
    void Drop();

private:
    // Vertex indices: a mesh holds at most 65535 vertices, so 0xFFFF names none.
    using Vertex = std::uint16_t;
    static constexpr Vertex None = 0xFFFF;
    struct Slot {
        float x = 0, y = 0, z = 0;
        Vertex first = None;   // None: an empty slot
        Vertex last = None;
    };

    const Slot *Find(float x, float y, float z) const;
    void Grow();

    std::vector<Slot> slots_;          // open addressing, a power of two long, at most half full
    std::size_t used_ = 0;             // slots holding a key
    std::vector<Vertex> next_;         // per covered vertex: the next one with its key, or None
    bool current_ = false;             // false: dropped, rebuilt by the next Follow
};
