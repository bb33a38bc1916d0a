// The 3DS import: a flat walk over the chunks of a 3DS file's bytes (u16 identifier, u32
// length including the 6-byte header) that adds every triangle mesh's points and faces to
// one mesh. Meshes are merged through the vertex base; the file's z axis becomes the room's
// y axis. Once the meshes would pass 32767 vertices or triangles nothing more is added.
#pragma once

#include "Mesh.h"

#include <cstddef>
#include <cstdint>

struct Import3dsResult {
    int vertices = 0;       // added
    int triangles = 0;      // added
    bool overflow = false;  // the meshes passed 0x7FFF vertices or triangles
    bool badChunk = false;  // a chunk shorter than its header or past the end ended the walk
};

Import3dsResult Import3ds(const std::uint8_t *data, std::size_t size, Mesh &mesh);
