// The 3D object file (*.cr3): "3D1K" framing the whole file, then per object that has a
// vertex the chunks "BASE" (colour, position, rotation), "NODS" (the vertices), "RAYS" (each
// vertex with its neighbours) and "SURF" (the triangles, left out when there are none).
// Chunk ends are absolute file offsets.
#pragma once

#include "Scene3D.h"

#include <cstdint>
#include <vector>

std::vector<std::uint8_t> WriteCr3(const Scene3D &scene);

struct Cr3ReadResult {
    bool magic = false;   // the file starts with "3D1K"
    int added = 0;        // objects appended
};
// Appends the file's objects to `scene`. A chunk out of place, an end before the position
// or past the file ends the read quietly, keeping the whole objects read; an object left
// without a vertex is dropped.
Cr3ReadResult ReadCr3(const std::vector<std::uint8_t> &bytes, Scene3D &scene);
