// The room the visualiser draws and the free 3D objects standing in it. The objects form
// one scene that outlives the visualiser window: a new or opened show deletes them.
#pragma once

#include "Mesh.h"

#include <cstdint>
#include <memory>
#include <vector>

struct Object3DRecord {
    std::unique_ptr<Mesh> mesh;        // vertices in room coordinates
    std::uint32_t colour = 0xFFFFFF;   // 0x00BBGGRR
    float x = 0, y = 0, z = 0;          // as shown in the edits
    float rotX = 0, rotY = 0, rotZ = 0;
};

struct Scene3D {
    std::vector<Object3DRecord> objects;
    int selected = -1;
};

Scene3D &Objects3D();
// Frees every object and its mesh; no selection.
void DeleteAll3DObjects();

// The room mesh: 8 corners and the inner floor square (integer quarters), its edges with
// the floor diagonals, and two grey triangles per face.
void BuildRoomMesh(Mesh &room, int w, int h, int l);
// Moves the room's vertices to a new size (the inner square follows).
void SetRoomVertices(Mesh &room, int w, int h, int l);
