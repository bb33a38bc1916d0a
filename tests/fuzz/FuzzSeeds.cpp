// Writes seed inputs for the fuzz targets with the program's own writers, one folder per
// target: FOLDER/show (a new show, a patched show with a second sequence and the optional
// chunks, a configuration file), FOLDER/sequence (a sequence, a scene, a show to
// preview), FOLDER/profile (a profile with every kind of element group, an icon picture,
// and the picture data alone), FOLDER/beam (profiles with the colour controls the
// visualiser looks for), FOLDER/paste (the designer's element clipboard, one per element
// kind) and FOLDER/settings.
#include "FuzzSetup.h"

#include "app/SequenceFile.h"
#include "app/ShowModel.h"
#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/ControlStreams.h"
#include "controls/Faders.h"
#include "controls/Knob.h"
#include "fixtures/SetupFile.h"
#include "fixtures/TPanelWidgets.h"
#include "fixtures/TProfileStreams.h"
#include "platform/SettingsText.h"
#include "tests/common/OptionalShowTables.h"

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {
void Save(const std::string &path, const void *data, std::size_t size)
{
    std::ofstream(path, std::ios::binary).write(static_cast<const char *>(data), static_cast<std::streamsize>(size));
}
void Save(const std::string &path, const MemoryStream &s) { Save(path, s.Data().data(), s.Data().size()); }
void Save(const std::string &path, const QByteArray &b) { Save(path, b.constData(), std::size_t(b.size())); }

void PatchSpot(int start, const std::string &header)
{
    const int i = AddFixture();
    FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
    const DeviceTypeEntry &e = DeviceTypes[0];
    f.start = static_cast<std::int16_t>(start);
    f.channelCount = e.channelCount;
    for (int j = 0; j < e.channelCount; ++j)
        f.used[j] = (e.usedMask >> j) & 1;
    f.deviceType = 0;
    f.profileFileName = &e.fileName;
    f.deviceName = &e.deviceName;
    f.userHeader = header;
}

void ShowSeeds(const std::string &dir)
{
    NewShow();
    MemoryStream a;
    WriteShow(a);
    Save(dir + "/new.d1k", a);

    PatchSpot(0, "A");
    PatchSpot(20, "B");
    BuildChannelMaps();
    SequenceRecord *seq = NewSequenceRecord(SequenceCount);
    seq->name = "SECOND";
    for (int i = 0; i < 3; ++i) {
        SceneRecord *scene = NewSceneRecord(seq);
        scene->levels[i] = 200;
        seq->scenes[seq->sceneCount++] = scene;
    }
    Sequences[SequenceCount++] = seq;
    FillOptionalShowTables();
    Scene3DName = "room.cr3";
    MemoryStream b;
    WriteShow(b);
    Save(dir + "/two.d1k", b);

    MemoryStream c;
    SaveSetup(c, SetupConfigFile);
    Save(dir + "/config.cfg", c);
}

// A sequence file, a scene file and a show to preview, written from the show that
// ShowSeeds left behind.
void SequenceSeeds(const std::string &dir)
{
    const SequenceRecord &seq = *Sequences[SequenceCount - 1];
    MemoryStream sequence;
    WriteSequenceFile(sequence, seq);
    Save(dir + "/second.sqn", sequence);
    MemoryStream scene;
    WriteSceneFile(scene, *seq.scenes[0]);
    Save(dir + "/first.scn", scene);
    MemoryStream show;
    WriteShow(show);
    Save(dir + "/preview.d1k", show);
}

void ProfileSeeds(const std::string &dir)
{
    RegisterPanelClassDescriptors();
    DspProfile header = SpotProfileHeader("Seed Spot");
    header.usedMask = 0x1F;
    header.smoothMask = 3;
    header.defaults[2] = 255;
    DspIconParams params;
    params.type = KindMovingHead;
    QWidget surface;
    surface.resize(800, 600);
    TImage icon;
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(qRgb(200, 20, 20));
    icon.SetPicture(picture);
    std::vector<PanelElement> list;
    auto *label = new TLabel(&surface);
    label->SetCaption("Pan/Tilt");
    list.push_back({ElLabel, label});
    auto *slider = new TSlider(&surface);
    slider->SetTag(4);
    list.push_back({ElSlider, slider});
    auto *group = new TGroupBox(&surface);
    group->SetCaption("Colours");
    list.push_back({ElGroupBox, group});
    auto *knob = new TKnobL(group);
    knob->SetTag(2);
    list.push_back({ElKnob, knob});
    auto *colour = new TCBTC(group);
    colour->SetTag(3 | (40 << 8));
    list.push_back({ElColorButton, colour});
    Save(dir + "/spot.dsp", BuildDspProfile(header, icon, params, list, &surface));
    Save(dir + "/bare.dsp", BuildDspProfile(header, icon, params, {}, &surface));
    Save(dir + "/picture.bin", icon.PictureData());
}

// Dimmer fader, colour mixer on three colour channels and two colour wheels.
void BeamSeeds(const std::string &dir)
{
    DspProfile header = SpotProfileHeader("Seed Wash");
    for (int ch : {3, 4, 5, 6, 7})
        header.functions[ch] = FnColor;
    DspIconParams params;
    params.beam = 12;
    params.type = KindFixedSpot;
    QWidget surface;
    surface.resize(800, 600);
    TImage icon;
    std::vector<PanelElement> list;
    auto *fader = new TSliderh(&surface);
    fader->SetTag(2);
    fader->SetInverted(true);
    list.push_back({ElSliderh, fader});
    auto *mixer = new TCMY(&surface);
    mixer->SetTag(3 | (4 << 8) | (5 << 16));
    list.push_back({ElCMY, mixer});
    for (int i = 0; i < 4; ++i) {
        auto *button = new TCBTC(&surface);
        button->SetTag((i < 2 ? 6 : 7) | ((20 * i) << 8));
        button->SetColor(0x0000FFu << (8 * (i % 3)));
        list.push_back({ElColorButton, button});
    }
    Save(dir + "/wash.dsp", BuildDspProfile(header, icon, params, list, &surface));
    DspProfile one = SpotProfileHeader("Seed Dimmer");
    one.count = 1;
    one.usedMask = 1;
    one.functions[0] = FnDimmer;
    auto *single = new TSlider(&surface);
    single->SetColor(0x00FF00);
    Save(dir + "/dimmer.dsp", BuildDspProfile(one, icon, params, {{ElSlider, single}}, &surface));
}

// What the designer's Copy writes: one element's stream, for each of the ten kinds.
void PasteSeeds(const std::string &dir)
{
    RegisterPanelClassDescriptors();
    const char *classes[] = {"TGroupBox", "TFieldXY", "TCBTC",  "TKnobL", "TSlider",
                             "TSliderh",  "TSpeedButton", "TLabel", "TCMY",   "TMultiButton"};
    QWidget surface;
    for (const char *name : classes) {
        const ClassDescriptor *d = findClassDescriptor(name);
        if (!d)
            continue;
        std::unique_ptr<QWidget> control(d->create(&surface));
        control->setGeometry(16, 24, 40, 120);
        Save(dir + "/" + name + ".tmp", componentStream(*control));
    }
}

void SettingsSeeds(const std::string &dir)
{
    platform::SettingsKeys keys;
    keys["Software/Brantoval/MainWindow"]["Size"] = "1";
    keys["Software/Brantoval/MainWindow"]["History0"] = platform::EscapeSettingsValue("/shows/a b.d1k\r\n");
    keys["Software/Brantoval/PWD"]["Key"] = "hex:00FF10";
    keys["Software/Brantoval/Empty"];
    const std::string text = platform::FormatSettingsText(keys);
    Save(dir + "/settings.ini", text.data(), text.size());
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    for (const char *sub : {"/show", "/profile", "/settings", "/sequence", "/beam", "/paste"})
        std::filesystem::create_directories(dir + sub);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qargc = 1;
    QApplication app(qargc, argv);
    QuietShowCore();
    ShowSeeds(dir + "/show");
    SequenceSeeds(dir + "/sequence");
    ProfileSeeds(dir + "/profile");
    SettingsSeeds(dir + "/settings");
    BeamSeeds(dir + "/beam");
    PasteSeeds(dir + "/paste");
    RemoveFuzzFolder();
    return 0;
}
