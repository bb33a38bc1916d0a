// One frame of the visualiser drawn into its picture without a window: the shaded or
// wired room, the 3D objects, the fixture bodies and the beams aimed and coloured from
// an output frame.
#pragma once

#include "BeamModel.h"
#include "Scene3D.h"
#include "fixtures/TProfileStreams.h"

#include <QSize>
#include <functional>
#include <memory>
#include <vector>

struct FixtureRecord;

struct VisualScene {
    Mesh room;
    Camera camera;
    RoomExtent extent;
    std::vector<std::unique_ptr<BeamModel>> models;   // one per fixture, in fixture order
    const Scene3D *objects = nullptr;
};

struct RenderOptions {
    bool roomWires = false;
    bool fixtureWires = false;
    bool fillBeams = true;
    QSize paintSize;   // the paint box; the screen centre is half of it (the picture's when empty)
};

// Told after the bodies, after each filled cone (with `afterCone` set: the window lets
// pending messages through there) and after the wired beams; true stops the frame.
using PerFixture = std::function<bool(bool afterCone)>;

// Room edges and the first placement need the scene set up: room mesh and camera for
// the room size, look-at at its centre (integer halves).
void SetupScene(VisualScene &scene, int w, int h, int l);

// Draws one frame; false when `perFixture` stopped it.
bool RenderFrame(VisualScene &scene, const RenderOptions &options, const std::uint8_t *frame,
                 FrameBuffer &picture, const PerFixture &perFixture = {});

// The model position's screen point (relative to the room centre) for picking.
void ProjectModel(const VisualScene &scene, const BeamModel &model, QSize paintSize, int &sx, int &sy);

// Channels and beam parameters of a fixture's model from its profile in "Devices", read
// onto hidden controls of the preview form (which must exist).
void LoadFixtureProfile(BeamModel &model, const FixtureRecord &fixture);
// The same from the profile's bytes, the controls made under `parent`. NotDsp when the
// file is none (the caller tells the operator); a damaged header leaves the defaults.
ProfileReadResult ReadBeamProfile(BeamModel &model, const FixtureRecord &fixture, const QByteArray &file,
                                  QWidget *parent);
