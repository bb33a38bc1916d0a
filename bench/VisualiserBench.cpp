// Visualiser benchmark: one drawn frame of 64 moving heads in the 8 x 6 x 12 room (beams
// of 10 to 30 degrees, pan and tilt changing every frame, scale 8000), filled and wired,
// at 1024 x 768 and 1920 x 1080; and the cone fill alone.
//
//   visualiser_bench [Google Benchmark options]
#include "visualiser/TVisufRender.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr int Heads = 64;

struct Rig {
    VisualScene scene;
    std::uint8_t frame[1024] = {};
    FrameBuffer picture;
    int step = 0;

    Rig(int w, int h)
    {
        SetupScene(scene, 8, 6, 12);
        scene.camera.scale = 8000;
        scene.camera.angle1 = -20;
        scene.camera.angle2 = 200;
        for (int i = 0; i < Heads; ++i) {
            auto m = std::make_unique<BeamModel>();
            m->fixtureIndex = i;
            InitBeamModel(*m);
            m->kind = BeamMovingHead;
            m->panRange = 540;
            m->tiltRange = 270;
            m->beamAngle = 10 + (i % 21);
            m->posX = 0.5 + (i % 8);
            m->posY = 5.5;
            m->posZ = 0.75 + 1.5 * (i / 8);
            m->panChannel = 2 * i;
            m->tiltChannel = 2 * i + 1;
            m->channelCount = 1;   // one-channel colour: the dimmer scales the fader colour
            m->dimmerPresent = 1;
            m->dimmerChannel = 512;
            m->singleChannelColour = 0x203040u + std::uint32_t(i) * 0x030201u;
            ComputeConeOffsets(*m);
            BuildPlacement(*m);
            BuildBeam(*m, scene.extent);
            SetApexEdges(*m, 2);
            scene.models.push_back(std::move(m));
        }
        frame[512] = 255;
        picture = MakeFrameBuffer(w, h);
    }
    // Pan and tilt move on every frame.
    void NextLevels()
    {
        ++step;
        for (int i = 0; i < Heads; ++i) {
            frame[2 * i] = std::uint8_t(100 + (step * 3 + i * 7) % 56);
            frame[2 * i + 1] = std::uint8_t(10 + (step * 5 + i * 3) % 60);   // aimed down into the room
        }
    }
};

void RenderFrames(benchmark::State &state)
{
    Rig rig(int(state.range(0)), int(state.range(1)));
    RenderOptions options;
    options.fillBeams = state.range(2) != 0;
    options.roomWires = !options.fillBeams;
    options.fixtureWires = !options.fillBeams;
    for (auto _ : state) {
        rig.NextLevels();
        RenderFrame(rig.scene, options, rig.frame, rig.picture);
        benchmark::DoNotOptimize(rig.picture.constBits());
    }
    // BRTV_SHOT_DIR: the last frame of each run is kept for a look.
    if (const char *dir = std::getenv("BRTV_SHOT_DIR"))
        rig.picture.save(QString::asprintf("%s/bench-%dx%d-%s.png", dir, rig.picture.width(), rig.picture.height(),
                                           options.fillBeams ? "filled" : "wire"));
}
BENCHMARK(RenderFrames)
    ->ArgNames({"w", "h", "filled"})
    ->Args({1024, 768, 1})
    ->Args({1024, 768, 0})
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 0})
    ->Unit(benchmark::kMillisecond);

void FillConeAlone(benchmark::State &state)
{
    Rig rig(1024, 768);
    rig.NextLevels();
    RenderFrame(rig.scene, RenderOptions{}, rig.frame, rig.picture);
    const BeamModel &m = *rig.scene.models[27];
    for (auto _ : state) {
        FillCone(m.beam, 0x406080, rig.picture);
        benchmark::DoNotOptimize(rig.picture.constBits());
    }
}
BENCHMARK(FillConeAlone)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    // Painting the wires needs the GUI library, not a screen.
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
