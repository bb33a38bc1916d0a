// Feeds arbitrary bytes to the visualiser's own reading of a fixture profile: the icon's
// beam parameters, then its search of the rest of the file for element streams and the
// three passes over them (dimmer and colour mixer, wheel channels, wheel tables). It may
// not crash, hang or read past its input, and what it finds must lie within the fixture;
// the model it gives then takes a frame.
#include "FuzzSetup.h"

#include "app/ShowModel.h"
#include "visualiser/BeamModel.h"
#include "visualiser/TFixForm.h"
#include "visualiser/TVisufRender.h"

#include <QApplication>
#include <QFrame>
#include <QWidget>
#include <cstdint>

namespace {
// -1 or a channel of the fixture.
bool WithinFixture(int channel, const FixtureRecord &f)
{
    return channel == -1 || (channel >= f.start && channel < f.start + DspChannels);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "beam_profile_fuzz";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    EnsureFixForm();   // the hidden form whose panel the reader's controls are made on
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    FixtureRecord fixture;
    fixture.start = 100;
    // The first byte past the signature is the channel count: a one-channel fixture takes
    // its fader's colour.
    fixture.channelCount = size > 4 ? std::uint8_t(data[4] % 33) : 1;
    BeamModel model;
    InitBeamModel(model);
    ReadBeamProfile(model, fixture, file, FixForm->MainPanel);
    for (int c : {model.dimmerChannel, model.cyanChannel, model.magentaChannel, model.yellowChannel,
                  model.wheel1Channel, model.wheel2Channel})
        FuzzRequire(WithinFixture(c, fixture), "a found channel lies within the fixture");
    FuzzRequire(model.wheel1Count == std::int32_t(model.wheel1.size()), "wheel 1 count");
    FuzzRequire(model.wheel2Count == std::int32_t(model.wheel2.size()), "wheel 2 count");
    // The model then aims and colours a beam from a frame made of the same bytes.
    std::uint8_t frame[MaxChannels] = {};
    for (std::size_t i = 0; i < size && i < sizeof frame; ++i)
        frame[(100 + i) % MaxChannels] = data[i];
    model.start = fixture.start;
    model.channelCount = fixture.channelCount;
    model.usedMask = 0xFFFFFFFFu;
    const RoomExtent room;
    BuildPlacement(model);
    UpdateBeamFromDmx(model, frame, room);
    BuildBeam(model, room);
    return 0;
}
