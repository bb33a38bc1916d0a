// A fixture's beam parameters and colour channels read from its profile: the icon's
// parameters, then the element streams read one by one onto hidden controls of the
// preview form, in three passes (dimmer and colour mixer, the colour-wheel channels,
// the wheel tables).
#include "TFixForm.h"
#include "TVisufRender.h"

#include "PatchLoader.h"
#include "ShowModel.h"
#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/ComponentStream.h"
#include "controls/ControlStreams.h"
#include "controls/Faders.h"
#include "fixtures/TPanelWidgets.h"
#include "fixtures/TProfileStreams.h"
#include "platform/MsgBox.h"

#include <QFrame>
#include <memory>

namespace {
// The hidden controls the element streams are read into.
struct ReadingControls {
    std::unique_ptr<TImage> image;
    std::unique_ptr<TCBTC> button;
    std::unique_ptr<TCMY> mixer;
    std::unique_ptr<TSlider> slider;
    std::unique_ptr<TSliderh> sliderh;

    explicit ReadingControls(QWidget *parent)
        : image(new TImage(parent)), button(new TCBTC(parent)), mixer(new TCMY(parent)), slider(new TSlider(parent)),
          sliderh(new TSliderh(parent))
    {
        for (QWidget *w : {static_cast<QWidget *>(image.get()), static_cast<QWidget *>(button.get()),
                           static_cast<QWidget *>(mixer.get()), static_cast<QWidget *>(slider.get()),
                           static_cast<QWidget *>(sliderh.get())})
            w->hide();
    }
    QWidget *For(const QByteArray &className)
    {
        if (className == "TSliderh")
            return sliderh.get();
        if (className == "TSlider")
            return slider.get();
        if (className == "TCMY")
            return mixer.get();
        if (className == "TCBTC")
            return button.get();
        if (className == "TImage")
            return image.get();
        return nullptr;
    }
};

struct ElementHit {
    QByteArray className;
    qsizetype pos = 0;
};

// Every "TPF0" from `pos` on whose class is one of the reading controls' and which the
// reader accepts; the scan resumes past each stream read.
std::vector<ElementHit> FindElements(const QByteArray &file, qsizetype pos, ReadingControls &controls)
{
    std::vector<ElementHit> hits;
    while (pos >= 0 && pos < file.size()) {
        const qsizetype at = file.indexOf("TPF0", pos);
        if (at < 0)
            break;
        qsizetype next = at + 4;
        try {
            ComponentReader head(file, at);
            head.readSignature();
            QByteArray className, name;
            head.readComponentHeader(className, name);
            if (QWidget *control = controls.For(className)) {
                ComponentReader r(file, at);
                readComponentInto(r, *control);
                hits.push_back(ElementHit{className, at});
                next = r.pos();
            }
        } catch (const StreamReadError &) {
            // not an element stream after all: scan on
        }
        pos = next;
    }
    return hits;
}

// Reads the stream at `hit` into its control again and returns it.
QWidget *Reread(const QByteArray &file, const ElementHit &hit, ReadingControls &controls)
{
    QWidget *control = controls.For(hit.className);
    ComponentReader r(file, hit.pos);
    readComponentInto(r, *control);
    return control;
}
} // namespace

void LoadFixtureProfile(BeamModel &model, const FixtureRecord &fixture)
{
    if (!fixture.profileFileName || !FixForm)
        return;
    QByteArray file;
    if (!ReadWholeFile(DeviceProfilePath(*fixture.profileFileName), file))
        return;
    if (ReadBeamProfile(model, fixture, file, FixForm->MainPanel) == ProfileReadResult::NotDsp)
        platform::ShowMessage(DspCaption, DspNotFormatText);
}

ProfileReadResult ReadBeamProfile(BeamModel &model, const FixtureRecord &fixture, const QByteArray &file,
                                  QWidget *parent)
{
    RegisterPanelClassDescriptors();
    ReadingControls controls(parent);
    DspProfile profile;
    DspIconParams params{};
    qsizetype elementsPos = 0;
    const ProfileReadResult head = ReadDspHeaderAndIcon(file, profile, *controls.image, params, elementsPos);
    if (head != ProfileReadResult::Ok)
        return head;
    model.beamAngle = params.beam;
    model.panRange = RangeToInt(params.pan);
    model.tiltRange = RangeToInt(params.tilt);
    model.kind = params.type;
    model.hidden = (params.flags & IconFlagInvisible) ? 1 : 0;
    model.panInverted = (params.flags & IconFlagPanInvert) ? 1 : 0;
    model.tiltInverted = (params.flags & IconFlagTiltInvert) ? 1 : 0;

    const int start = fixture.start;
    auto colourChannel = [&](int ch) { return profile.Used(ch) && profile.functions[ch] == FnColor; };
    const std::vector<ElementHit> hits = FindElements(file, elementsPos, controls);

    // Pass 1: the dimmer fader and the colour mixer.
    for (const ElementHit &hit : hits) {
        if ((hit.className == "TSliderh" || hit.className == "TSlider") && !model.dimmerPresent) {
            auto *f = static_cast<TSliderBase *>(Reread(file, hit, controls));
            const int ch = TagByte(f->Tag(), 0);
            if (profile.Used(ch) && profile.functions[ch] == FnDimmer) {
                model.dimmerChannel = start + ch;
                model.dimmerPresent = 1;
                model.dimmerInverted = f->Inverted() ? 1 : 0;
                if (fixture.channelCount == 1)
                    model.singleChannelColour = f->Color();
            }
        } else if (hit.className == "TCMY" && !model.cmyPresent) {
            auto *c = static_cast<TCMY *>(Reread(file, hit, controls));
            const int tag = c->Tag();
            const int cyan = TagByte(tag, 0), magenta = TagByte(tag, 1), yellow = TagByte(tag, 2);
            if (colourChannel(cyan))
                model.cyanChannel = start + cyan;
            if (colourChannel(magenta))
                model.magentaChannel = start + magenta;
            if (colourChannel(yellow))
                model.yellowChannel = start + yellow;
            if (colourChannel(cyan) && colourChannel(magenta) && colourChannel(yellow)) {
                model.cmyPresent = 1;
                model.rgbMode = c->RGBset() ? 1 : 0;
            }
        }
    }
    // Pass 2: the colour-wheel channels, in the order their buttons come.
    int wheel1 = -1, wheel2 = -1;
    for (const ElementHit &hit : hits) {
        if (hit.className != "TCBTC")
            continue;
        const int ch = TagByte(static_cast<TCBTC *>(Reread(file, hit, controls))->Tag(), 0);
        if (!colourChannel(ch))
            continue;
        if (wheel1 < 0)
            wheel1 = ch;
        else if (ch != wheel1 && wheel2 < 0)
            wheel2 = ch;
    }
    // Pass 3: the wheel tables in stream order.
    for (const ElementHit &hit : hits) {
        if (hit.className != "TCBTC")
            continue;
        auto *b = static_cast<TCBTC *>(Reread(file, hit, controls));
        const int ch = TagByte(b->Tag(), 0);
        const TColor c = b->Color();
        const WheelEntry e{std::uint8_t(TagByte(b->Tag(), 1)), std::uint8_t(GetRValue(c)), std::uint8_t(GetGValue(c)),
                           std::uint8_t(GetBValue(c))};
        if (ch == wheel1 && wheel1 >= 0)
            model.wheel1.push_back(e);
        else if (ch == wheel2 && wheel2 >= 0)
            model.wheel2.push_back(e);
    }
    if (wheel1 >= 0) {
        model.wheel1Channel = start + wheel1;
        model.wheel1Present = 1;
        model.wheel1Count = std::int32_t(model.wheel1.size());
    }
    if (wheel2 >= 0) {
        model.wheel2Channel = start + wheel2;
        model.wheel2Present = 1;
        model.wheel2Count = std::int32_t(model.wheel2.size());
    }
    return ProfileReadResult::Ok;
}
