#include "Scene3D.h"

Scene3D &Objects3D()
{
    static Scene3D scene;
    return scene;
}

void DeleteAll3DObjects()
{
    Scene3D &s = Objects3D();
    s.objects.clear();
    s.selected = -1;
}

void SetRoomVertices(Mesh &room, int w, int h, int l)
{
    const int corners[12][3] = {{0, 0, 0},         {w, 0, 0},         {w, 0, l},         {0, 0, l},
                                {0, h, 0},         {w, h, 0},         {w, h, l},         {0, h, l},
                                {w / 4, 0, l / 4}, {w / 4, 0, 3 * l / 4}, {3 * w / 4, 0, 3 * l / 4},
                                {3 * w / 4, 0, l / 4}};
    if (room.vertices.size() < 12)
        return;
    for (int i = 0; i < 12; ++i) {
        room.vertices[std::size_t(i)].x = float(corners[i][0]);
        room.vertices[std::size_t(i)].y = float(corners[i][1]);
        room.vertices[std::size_t(i)].z = float(corners[i][2]);
    }
    VerticesMoved(room);
}

void BuildRoomMesh(Mesh &room, int w, int h, int l)
{
    ClearMesh(room);
    for (int i = 0; i < 12; ++i)
        AddVertex(room, float(i), 0, 0);   // placed below; distinct while added
    SetRoomVertices(room, w, h, l);
    AddBoxEdges(room);
    const int extra[6][2] = {{0, 2}, {1, 3}, {8, 9}, {9, 10}, {10, 11}, {8, 11}};
    for (const auto &e : extra)
        AddEdge(room, e[0], e[1]);
    static const std::uint32_t greys[6] = {0x070707, 0x0F0F0F, 0x171717, 0x1F1F1F, 0x272727, 0x2F2F2F};
    AddBoxFaces(room, greys);
}
