// Builds 3DS file bytes from the chunk layout for the importer's tests, fuzz seeds and
// benchmark: a chunk is a u16 identifier and a u32 length including its 6-byte header.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace chunks3ds {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes &b, std::uint16_t v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

inline void PutU32(Bytes &b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(std::uint8_t(v >> (8 * i)));
}

inline void PutF32(Bytes &b, float f)
{
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    PutU32(b, v);
}

// A chunk around `body`; a `length` of 0 or more is written instead of the true one.
inline Bytes Chunk(std::uint16_t id, const Bytes &body, std::int64_t length = -1)
{
    Bytes b;
    PutU16(b, id);
    PutU32(b, length >= 0 ? std::uint32_t(length) : std::uint32_t(6 + body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

inline Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes b;
    for (const Bytes &p : parts)
        b.insert(b.end(), p.begin(), p.end());
    return b;
}

struct Point {
    float x, y, z;
};
struct Face {
    std::uint16_t a, b, c;
};

// A point array declaring `declared` points (their number when 0).
inline Bytes Points(const std::vector<Point> &points, std::uint16_t declared = 0)
{
    Bytes body;
    PutU16(body, declared ? declared : std::uint16_t(points.size()));
    for (const Point &p : points) {
        PutF32(body, p.x);
        PutF32(body, p.y);
        PutF32(body, p.z);
    }
    return Chunk(0x4110, body);
}

inline Bytes Faces(const std::vector<Face> &faces, std::uint16_t declared = 0)
{
    Bytes body;
    PutU16(body, declared ? declared : std::uint16_t(faces.size()));
    for (const Face &f : faces) {
        PutU16(body, f.a);
        PutU16(body, f.b);
        PutU16(body, f.c);
        PutU16(body, 0);
    }
    return Chunk(0x4120, body);
}

// A named object (0x4000) holding one triangle mesh (0x4100).
inline Bytes Object(const std::string &name, const Bytes &points, const Bytes &faces)
{
    Bytes body(name.begin(), name.end());
    body.push_back(0);
    const Bytes mesh = Chunk(0x4100, Join({points, faces}));
    body.insert(body.end(), mesh.begin(), mesh.end());
    return Chunk(0x4000, body);
}

// The file: main (0x4D4D) around the editor (0x3D3D) around `objects`, plus `beside`
// (material or keyframer chunks) after the editor.
inline Bytes File(const Bytes &objects, const Bytes &beside = {})
{
    return Chunk(0x4D4D, Join({Chunk(0x3D3D, objects), beside}));
}

// A strip of `n` points (i, i % 7, 0) and n - 2 faces (i, i + 1, i + 2).
inline Bytes Strip(const std::string &name, int n)
{
    std::vector<Point> points;
    std::vector<Face> faces;
    for (int i = 0; i < n; ++i)
        points.push_back({float(i), float(i % 7), 0});
    for (int i = 0; i + 2 < n; ++i)
        faces.push_back({std::uint16_t(i), std::uint16_t(i + 1), std::uint16_t(i + 2)});
    return Object(name, Points(points), Faces(faces));
}

} // namespace chunks3ds
