// The plain vertex search that AddVertex must match exactly: every earlier vertex in order,
// each one equal to the point pushes z up by 0.001 and the search goes on with the pushed
// z. Meshes built with it are compared with the program's bit for bit.
#pragma once

#include "visualiser/Mesh.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// Appends (x, y, z) after the walk; the reference mesh is never given to AddVertex.
inline void WalkAdd(Mesh &reference, float x, float y, float z)
{
    for (const MeshVertex &v : reference.vertices)
        if (v.x == x && v.y == y && v.z == z)
            z = static_cast<float>(double(z) + 0.001);
    reference.vertices.push_back(MeshVertex{x, y, z, 0, 0});
    reference.neighbours.emplace_back();
}

// Every vertex's x, y, z bits, every triangle and every neighbour list in order.
inline void ExpectSameMesh(const Mesh &got, const Mesh &want, const std::string &what)
{
    ASSERT_EQ(got.vertices.size(), want.vertices.size()) << what;
    for (std::size_t i = 0; i < got.vertices.size(); ++i) {
        const MeshVertex &g = got.vertices[i], &w = want.vertices[i];
        ASSERT_EQ(std::memcmp(&g, &w, 3 * sizeof(float)), 0)
            << what << ": vertex " << i << " is (" << g.x << ", " << g.y << ", " << g.z << "), the walk gives ("
            << w.x << ", " << w.y << ", " << w.z << ")";
    }
    ASSERT_EQ(got.triangles.size(), want.triangles.size()) << what;
    for (std::size_t i = 0; i < got.triangles.size(); ++i)
        ASSERT_EQ(std::memcmp(&got.triangles[i], &want.triangles[i], sizeof(MeshTriangle)), 0)
            << what << ": triangle " << i;
    ASSERT_EQ(got.neighbours, want.neighbours) << what;
}
