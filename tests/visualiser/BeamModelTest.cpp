// The beam model: initial meshes, pan and tilt from levels, the colour rules (dark test,
// colour mixer, wheels, dimmer), aiming with fine channels, and the wall point.
#include "visualiser/BeamModel.h"
#include "visualiser/Scene3D.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const RoomExtent Room{8, 6, 12};

struct Model {
    BeamModel m;
    std::uint8_t frame[1024] = {};
    Model()
    {
        InitBeamModel(m);
        m.posX = 4;
        m.posY = 5;
        m.posZ = 6;
        BuildPlacement(m);
        BuildBeam(m, Room);
    }
    void Update() { UpdateBeamFromDmx(m, frame, Room); }
};

TEST(BeamModelTest, InitialModelAndMeshes)
{
    BeamModel m;
    m.fixtureIndex = 7;
    m.panRange = 1;
    InitBeamModel(m);
    EXPECT_EQ(m.fixtureIndex, 7);
    EXPECT_EQ(m.panRange, 360);
    EXPECT_EQ(m.beamColour, 0x808080u);
    EXPECT_EQ(m.beam.VertexCount(), 17);
    EXPECT_EQ(m.beam.neighbours[0].size(), 16u);
    EXPECT_EQ(m.beam.neighbours[16].size(), 3u);   // apex, 15 and 1
    EXPECT_EQ(m.body.VertexCount(), 8);
    EXPECT_EQ(m.body.TriangleCount(), 12);
    EXPECT_EQ(m.body.triangles[0].colour, 0x575757u);
    EXPECT_EQ(m.blackOut[0], -1);
    EXPECT_FLOAT_EQ(m.cosOffset[15], 2.5f);   // i = 16: (5 / 2) cos 360
    // The rim starts at the position plus a 100-long direction.
    const MeshVertex &r = m.beam.vertices[1];
    const double len = std::hypot(r.x - 200.0, r.y - 250.0, r.z - 50.0);
    EXPECT_NEAR(len, 100, 1e-3);

    SetApexEdges(m, 1);
    EXPECT_EQ(m.beam.neighbours[0].size(), 2u);
    SetApexEdges(m, 3);
    EXPECT_EQ(m.beam.neighbours[0].size(), 8u);
    SetApexEdges(m, 0);
    EXPECT_TRUE(m.beam.neighbours[0].empty());
    EXPECT_EQ(m.beam.neighbours[5].size(), 2u);   // the ring stays
}

TEST(BeamModelTest, PanAndTiltFromLevels)
{
    BeamModel m;
    InitBeamModel(m);
    m.panRange = 360;
    m.lastPan = 255;
    ComputePanTilt(m);
    EXPECT_DOUBLE_EQ(m.pan, 179.296875);
    m.lastPan = 0;
    ComputePanTilt(m);
    EXPECT_DOUBLE_EQ(m.pan, -179.296875);
    m.panInverted = 1;
    ComputePanTilt(m);
    EXPECT_DOUBLE_EQ(m.pan, 179.296875);

    m.kind = BeamScanner;
    m.tiltRange = 90;
    m.lastTilt = 0;
    ComputePanTilt(m);
    EXPECT_DOUBLE_EQ(m.tilt, 45.0);
    m.tiltRange = 91;   // (180 - 91) / 2 halves as an integer: 44
    ComputePanTilt(m);
    EXPECT_DOUBLE_EQ(m.tilt, 44.0);
    m.kind = BeamMovingHead;
    m.tiltRange = 270;
    m.lastTilt = 255;
    ComputePanTilt(m);
    EXPECT_DOUBLE_EQ(m.tilt, 127.5 * 270 / 256);

    // Extreme ranges from a profile stay finite integers.
    EXPECT_EQ(RangeToInt(1e30), 2147483647);
    EXPECT_EQ(RangeToInt(-1e30), -2147483647 - 1);
    EXPECT_EQ(RangeToInt(std::nan("")), 0);
    m.kind = BeamScanner;
    m.tiltRange = RangeToInt(-1e30);
    ComputePanTilt(m);
    EXPECT_TRUE(std::isfinite(m.tilt));
}

TEST(BeamModelTest, ColourRules)
{
    Model a;
    a.m.start = 10;
    a.m.channelCount = 4;
    a.m.usedMask = 0xF;
    // Wheel 1 on channel 11 with a red entry at 20; dimmer on 12 (black-out 0).
    a.m.wheel1Present = 1;
    a.m.wheel1Channel = 11;
    a.m.wheel1 = {{20, 255, 0, 0}};
    a.m.blackOut[2] = 0;
    a.frame[11] = 21;
    a.frame[12] = 200;
    a.Update();
    EXPECT_EQ(a.m.beamColour, 0x808080u) << "unmatched wheel level: grey";
    a.m.dimmerPresent = 1;
    a.m.dimmerChannel = 12;
    a.frame[11] = 20;
    a.frame[12] = 255;
    a.Update();
    EXPECT_EQ(a.m.beamColour, 0x0000FFu);
    a.m.dimmerInverted = 1;
    a.Update();
    EXPECT_EQ(a.m.beamColour, 0u) << "inverted dimmer full";

    // All used channels at their black-out states and no dimmer: no beam.
    Model d;
    d.m.start = 0;
    d.m.channelCount = 2;
    d.m.usedMask = 3;
    d.m.blackOut[0] = 0;
    d.m.blackOut[1] = 5;
    d.m.wheel1Present = 1;
    d.m.wheel1Channel = 0;
    d.frame[1] = 5;
    d.Update();
    EXPECT_EQ(d.m.beamColour, 0u);

    // Colour mixer C 0, M 255, Y 255 and dimmer 128: red at half.
    Model c;
    c.m.start = 100;
    c.m.channelCount = 4;
    c.m.usedMask = 0xF;
    c.m.blackOut[3] = 0;
    c.m.cmyPresent = 1;
    c.m.cyanChannel = 100;
    c.m.magentaChannel = 101;
    c.m.yellowChannel = 102;
    c.m.dimmerPresent = 1;
    c.m.dimmerChannel = 103;
    c.frame[100] = 0;
    c.frame[101] = 255;
    c.frame[102] = 255;
    c.frame[103] = 128;
    c.Update();
    EXPECT_EQ(c.m.beamColour, 0x000080u);
    // A wheel on top multiplies the mixed colour.
    c.m.wheel2Present = 1;
    c.m.wheel2Channel = 5;
    c.m.wheel2 = {{0, 128, 255, 255}};
    c.frame[103] = 255;
    c.Update();
    EXPECT_EQ(c.m.beamColour, 0x00007Fu);   // 128 * 255 / 256 = 127

    // One channel: the fader's colour scaled by the level.
    Model s;
    s.m.start = 0;
    s.m.channelCount = 1;
    s.m.usedMask = 1;
    s.m.blackOut[0] = 0;
    s.m.dimmerPresent = 1;
    s.m.dimmerChannel = 0;
    s.m.singleChannelColour = 0x00FF00;
    s.frame[0] = 51;
    s.Update();
    EXPECT_EQ(s.m.beamColour, 0x003300u);

    // Channels beyond the frame count as absent.
    Model o;
    o.m.start = 1020;
    o.m.channelCount = 8;
    o.m.usedMask = 0xFF;
    o.m.cmyPresent = 1;
    o.m.cyanChannel = 1030;
    o.Update();
}

TEST(BeamModelTest, AimFollowsLevelsAndFineModeKeepsRimWhenUnchanged)
{
    Model a;
    a.m.panChannel = 0;
    a.m.tiltChannel = 1;
    a.m.kind = BeamMovingHead;
    a.frame[0] = 128;
    a.frame[1] = 128;
    const auto before = a.m.beam.vertices;
    a.Update();   // levels as last: the rim stays
    for (std::size_t i = 1; i < before.size(); ++i)
        EXPECT_EQ(a.m.beam.vertices[i].x, before[i].x);
    a.frame[0] = 200;
    a.Update();
    EXPECT_EQ(a.m.lastPan, 200);
    bool moved = false;
    for (std::size_t i = 1; i < before.size(); ++i)
        moved = moved || a.m.beam.vertices[i].x != before[i].x;
    EXPECT_TRUE(moved);
    // Every rim point lies on a wall or the floor or ceiling.
    for (std::size_t i = 1; i < 17; ++i) {
        const MeshVertex &v = a.m.beam.vertices[i];
        const bool onWall = std::fabs(v.x) < 1e-3 || std::fabs(v.x - 8) < 1e-3 || std::fabs(v.y) < 1e-3 ||
                            std::fabs(v.y - 6) < 1e-3 || std::fabs(v.z) < 1e-3 || std::fabs(v.z - 12) < 1e-3;
        EXPECT_TRUE(onWall) << i;
    }

    Model f;
    f.m.fineMode = 1;
    f.m.panChannel = 0;
    f.m.panFineChannel = 1;
    f.m.tiltChannel = 2;
    f.m.tiltFineChannel = 3;
    std::memset(f.frame, 128, 4);
    const auto rim = f.m.beam.vertices;
    f.Update();
    for (std::size_t i = 0; i < rim.size(); ++i) {
        EXPECT_EQ(f.m.beam.vertices[i].x, rim[i].x);
        EXPECT_EQ(f.m.beam.vertices[i].z, rim[i].z);
    }
    f.frame[1] = 0;   // only the fine level moves
    f.Update();
    EXPECT_EQ(f.m.lastPanFine, 0);
    EXPECT_DOUBLE_EQ(f.m.pan, 0.5 * 360 / 256 + (0 - 127.5) / (256.0 / 360) / 256);

    // Without a tilt channel (and not fine) the aim stays.
    Model n;
    n.m.panChannel = 0;
    n.frame[0] = 10;
    n.Update();
    EXPECT_EQ(n.m.lastPan, 128);
}

TEST(BeamModelTest, WallPoint)
{
    MeshVertex a{4, 3, 6, 0, 0}, p{4, 3, 6, 0, 0};
    const MeshVertex same = WallPoint(a, p, Room);
    EXPECT_EQ(same.x, 4);
    EXPECT_EQ(same.y, 3);
    EXPECT_EQ(same.z, 6);

    MeshVertex right{5, 3, 6, 0, 0};
    const MeshVertex r = WallPoint(a, right, Room);
    EXPECT_FLOAT_EQ(r.x, 8);
    EXPECT_FLOAT_EQ(r.y, 3);
    MeshVertex down{4.5f, 2, 6, 0, 0};   // x wall hit below the floor: the floor takes it
    const MeshVertex d = WallPoint(a, down, Room);
    EXPECT_FLOAT_EQ(d.y, 0);
    EXPECT_FLOAT_EQ(d.x, 5.5f);
    MeshVertex back{4, 3, 5, 0, 0};
    EXPECT_FLOAT_EQ(WallPoint(a, back, Room).z, 0);
    // Leaving through a corner region with equal z: the last computed point stands.
    MeshVertex steep{40, 30, 6, 0, 0};
    const MeshVertex s = WallPoint(a, steep, Room);
    EXPECT_FLOAT_EQ(s.y, 6);
    EXPECT_FLOAT_EQ(s.x, 4 + 36 * 3.0f / 27);
}

TEST(Scene3DTest, RoomMeshAndObjects)
{
    Mesh room;
    BuildRoomMesh(room, 8, 6, 12);
    ASSERT_EQ(room.VertexCount(), 12);
    EXPECT_EQ(room.TriangleCount(), 12);
    EXPECT_EQ(room.vertices[6].x, 8);
    EXPECT_EQ(room.vertices[6].y, 6);
    EXPECT_EQ(room.vertices[6].z, 12);
    EXPECT_EQ(room.vertices[10].x, 6);
    EXPECT_EQ(room.vertices[10].z, 9);
    EXPECT_EQ(room.neighbours[0].size(), 4u);   // 1, 3, 4 and the diagonal 2
    EXPECT_EQ(room.triangles[11].colour, 0x2F2F2Fu);
    SetRoomVertices(room, 9, 6, 12);
    EXPECT_EQ(room.vertices[1].x, 9);
    EXPECT_EQ(room.vertices[8].x, 2);

    Objects3D().objects.push_back(Object3DRecord{std::make_unique<Mesh>(), 0xFF, 0, 0, 0, 0, 0, 0});
    Objects3D().selected = 0;
    DeleteAll3DObjects();
    EXPECT_TRUE(Objects3D().objects.empty());
    EXPECT_EQ(Objects3D().selected, -1);
}

} // namespace
