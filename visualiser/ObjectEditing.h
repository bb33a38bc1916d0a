// Editing the free 3D objects: the vertices carry the placement, so moving, turning,
// centring and scaling change vertex coordinates (the six values remember the edits), and
// colouring shades the triangles from one colour.
#pragma once

#include "Scene3D.h"

#include <array>
#include <cstdint>
#include <optional>

// The centre of the vertices' bounding box; none for a mesh without vertices.
std::optional<std::array<float, 3>> ObjectCentre(const Mesh &mesh);

// Moves every vertex by (new - stored) on each axis whose value changed; stores the values.
void MoveObject(Object3DRecord &object, float x, float y, float z);
// Turns the vertices about the bounding-box centre by (new - stored) degrees, X then Y then Z,
// for each axis whose value changed; stores the values. Nothing for an empty mesh.
void TurnObject(Object3DRecord &object, float rotX, float rotY, float rotZ);
// Moves the vertices so that the bounding-box centre lands on (x, y, z); the position
// values become 0.
void CentreObject(Object3DRecord &object, float x, float y, float z);
// Scales the vertices about the bounding-box centre by percent / 100.
void ScaleObject(Object3DRecord &object, double percent);
// Removes object `index` with its mesh; no object stays selected.
void DeleteObject(Scene3D &scene, int index);
// Triangle i of n gets each channel's base (1 for a byte of 32 or less, else the byte - 32)
// plus trunc(i x 32 / n), each byte wrapping at 256. `colour` is 0x00BBGGRR.
void ShadeObject(Mesh &mesh, std::uint32_t colour);
