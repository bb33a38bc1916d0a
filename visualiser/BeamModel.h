// One patched fixture as the visualiser sees it: where it hangs in the room, how it is
// turned, which output channels aim it and colour its beam, and two meshes, the body and
// the beam cone. On every drawn frame the model reads the output frame to aim and colour
// the beam; the rim of the cone is cast onto the room's walls.
#pragma once

#include "Mesh.h"

#include <cstdint>
#include <vector>

enum BeamKind : std::int32_t { BeamScanner = 0, BeamMovingHead = 1, BeamFixedSpot = 2 };

struct WheelEntry {
    std::uint8_t dmx = 0, red = 0, green = 0, blue = 0;
};

// The room the beams land in: width (x), height (y), depth (z).
struct RoomExtent {
    double w = 8, h = 6, l = 12;
};

struct BeamModel {
    std::uint8_t hidden = 0;
    double posX = 200, posY = 250, posZ = 50;
    double rotX = 0, rotY = 0, rotZ = 0;
    double pan = 0, tilt = 0;            // degrees
    double beamAngle = 5.0;
    std::uint32_t beamColour = 0x808080;  // 0 = no beam drawn
    std::int32_t fixtureIndex = 0;
    std::uint8_t fineMode = 0;
    std::int32_t panChannel = -1, panFineChannel = -1, tiltChannel = -1, tiltFineChannel = -1;
    std::int32_t wheel1Channel = -1, wheel1Count = 0;
    std::int32_t wheel2Channel = -1, wheel2Count = 0;
    std::int32_t cyanChannel = -1, magentaChannel = -1, yellowChannel = -1;
    std::int32_t dimmerChannel = -1;
    std::uint32_t singleChannelColour = 0;
    std::uint8_t cmyPresent = 0, wheel1Present = 0, wheel2Present = 0, rgbMode = 0, dimmerPresent = 0,
                 dimmerInverted = 0;
    std::vector<WheelEntry> wheel1, wheel2;
    std::uint8_t lastPan = 128, lastTilt = 128, lastPanFine = 128, lastTiltFine = 128;
    std::int32_t kind = BeamScanner;
    std::int32_t panRange = 360, tiltRange = 360;
    std::uint8_t panInverted = 0, tiltInverted = 0;
    float sinOffset[16] = {}, cosOffset[16] = {};
    Mesh beam, body;
    Matrix34 placement = IdentityMatrix();

    // The fixture's channels as the dark test needs them: the first channel, the count,
    // the used channels and their black-out states (-1 none).
    std::int32_t start = 0;
    std::int32_t channelCount = 0;
    std::uint32_t usedMask = 0;
    std::int16_t blackOut[32] = {};
};

// Initial values, cone offsets, the beam mesh (apex and 16 rim points) and the body mesh.
void InitBeamModel(BeamModel &model);
// Cone offsets from the beam angle.
void ComputeConeOffsets(BeamModel &model);
// Placement matrix from position and rotation; the body set per kind and transformed.
void BuildPlacement(BeamModel &model);
// Pan and tilt from the last levels; the rim cast onto the walls.
void BuildBeam(BeamModel &model, const RoomExtent &room);
// Colour and aim from the output frame (1024 levels).
void UpdateBeamFromDmx(BeamModel &model, const std::uint8_t *frame, const RoomExtent &room);
// Pan and tilt angles from the last levels.
void ComputePanTilt(BeamModel &model);

// (d sin tilt sin pan, d cos tilt, d sin tilt cos pan), angles in degrees.
MeshVertex Direction(double d, double panDegrees, double tiltDegrees);
// Where the ray from a through p meets the room's walls; p when it meets none.
MeshVertex WallPoint(const MeshVertex &a, const MeshVertex &p, const RoomExtent &room);
// The apex-to-rim edges of the beam mesh for the "Lines" setting 0..4: none, rim points
// 4 and 12, 4, 8, 12 and 16, the even ones, all 16.
void SetApexEdges(BeamModel &model, int lines);
// A range scanned from a profile, held within int32 and truncated (NaN gives 0).
std::int32_t RangeToInt(double value);
