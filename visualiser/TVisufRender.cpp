#include "TVisufRender.h"

#include "FixtureArea.h"
#include "controls/TColor.h"

#include <QPainter>
#include <QPen>

namespace {
QPen PenOf(std::uint32_t colour)
{
    QPen pen(toQColor(colour));
    pen.setWidth(1);
    pen.setCosmetic(true);
    return pen;
}

constexpr std::uint32_t WirePen = 0xC0C0C0;
constexpr std::uint32_t MarkPen = 0xFF0000;

void CentreOn(VisualScene &scene, QSize paint)
{
    scene.camera.centreX = paint.width() / 2;
    scene.camera.centreY = paint.height() / 2;
}
} // namespace

void SetupScene(VisualScene &scene, int w, int h, int l)
{
    BuildRoomMesh(scene.room, w, h, l);
    scene.extent = RoomExtent{double(w), double(h), double(l)};
    scene.camera.lookX = float(w / 2);
    scene.camera.lookY = float(h / 2);
    scene.camera.lookZ = float(l / 2);
}

bool RenderFrame(VisualScene &scene, const RenderOptions &options, const std::uint8_t *frame,
                 FrameBuffer &picture, const PerFixture &perFixture)
{
    auto stop = [&](bool afterCone) { return perFixture && perFixture(afterCone); };
    CentreOn(scene, options.paintSize.isEmpty() ? picture.size() : options.paintSize);
    ClearFrame(picture);
    if (picture.isNull())
        return true;
    const Camera &cam = scene.camera;
    const ViewCoefficients view = SetCamera(cam);
    ProjectMesh(scene.room, cam, view);

    if (options.roomWires) {
        QPainter p(&picture);
        p.setPen(PenOf(WirePen));
        DrawEdges(scene.room, p);
    } else {
        FillTriangles(scene.room, picture);
    }

    if (scene.objects) {
        const Scene3D &objects = *scene.objects;
        for (std::size_t i = 0; i < objects.objects.size(); ++i) {
            Mesh *mesh = objects.objects[i].mesh.get();
            if (!mesh)
                continue;
            ProjectMesh(*mesh, cam, view);
            FillTriangles(*mesh, picture);
        }
        if (objects.selected >= 0 && std::size_t(objects.selected) < objects.objects.size() &&
            objects.objects[std::size_t(objects.selected)].mesh) {
            QPainter p(&picture);
            p.setPen(PenOf(MarkPen));
            for (const MeshVertex &v : objects.objects[std::size_t(objects.selected)].mesh->vertices)
                p.drawRect(v.sx - 1, v.sy - 1, 2, 2);
        }
    }

    {
        std::unique_ptr<QPainter> p;
        if (options.fixtureWires)
            p = std::make_unique<QPainter>(&picture);
        for (std::size_t i = 0; i < scene.models.size(); ++i) {
            BeamModel &m = *scene.models[i];
            if (m.hidden)
                continue;
            ProjectMesh(m.body, cam, view);
            if (p) {
                p->setPen(PenOf(FixtureColour(m.fixtureIndex)));
                DrawEdges(m.body, *p);
            } else {
                FillTriangles(m.body, picture);
            }
        }
    }
    if (stop(false))
        return false;

    // Beams: filled cones (messages let through after each) or wired in their colour.
    std::unique_ptr<QPainter> wires;
    if (!options.fillBeams)
        wires = std::make_unique<QPainter>(&picture);
    for (auto &model : scene.models) {
        BeamModel &m = *model;
        if (m.hidden)
            continue;
        UpdateBeamFromDmx(m, frame, scene.extent);
        ProjectMesh(m.beam, cam, view);
        if (m.beamColour != 0) {
            if (wires) {
                wires->setPen(PenOf(m.beamColour));
                DrawEdges(m.beam, *wires);
            } else {
                FillCone(m.beam, m.beamColour, picture);
            }
        }
        if (!wires && stop(true))
            return false;
    }
    if (wires) {
        wires.reset();
        if (stop(false))
            return false;
    }
    return true;
}

void ProjectModel(const VisualScene &scene, const BeamModel &model, QSize paintSize, int &sx, int &sy)
{
    Camera cam = scene.camera;
    cam.centreX = paintSize.width() / 2;
    cam.centreY = paintSize.height() / 2;
    const ViewCoefficients view = SetCamera(cam);
    std::int32_t x = 0, y = 0;
    ProjectPoint(view, model.posX - cam.lookX, model.posY - cam.lookY, model.posZ - cam.lookZ, x, y);
    sx = x;
    sy = y;
}
