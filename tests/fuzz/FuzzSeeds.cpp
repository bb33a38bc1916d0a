// Writes seed inputs for the fuzz targets with the program's own writers, one folder per
// target: FOLDER/show (a new show, a patched show with a second sequence and the optional
// chunks, a configuration file), FOLDER/sequence (a sequence, a scene, a show to
// preview), FOLDER/device-sequence (a fixture's range and an empty one), FOLDER/profile
// (a profile with every kind of element group, an icon picture, and the picture data
// alone), FOLDER/beam (profiles with the colour controls the visualiser looks for),
// FOLDER/paste (the designer's element clipboard, one per element kind), FOLDER/settings,
// the 3D object and import folders, FOLDER/playlist (play lists), FOLDER/hotkeys (key
// files), FOLDER/flash-image (a stand-alone image), FOLDER/recording (DMX-input
// recordings), FOLDER/lan (datagrams as a peer sends them) and FOLDER/access ("PWD"
// values as the settings store keeps them).
#include "FuzzSetup.h"

#include "app/SequenceFile.h"
#include "app/ShowModel.h"
#include "app/PlayListFile.h"
#include "editors/DeviceSequenceFile.h"
#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/ControlStreams.h"
#include "controls/Faders.h"
#include "controls/Knob.h"
#include "fixtures/SetupFile.h"
#include "fixtures/TPanelWidgets.h"
#include "fixtures/TProfileStreams.h"
#include "app/AccessRecordStore.h"
#include "app/StartupState.h"
#include "live/AccessLock.h"
#include "live/DmxRecording.h"
#include "live/HotKeys.h"
#include "live/LanLink.h"
#include "live/PlayList.h"
#include "live/StandAloneImage.h"
#include "platform/Mailslot.h"
#include "platform/Settings.h"
#include "platform/SettingsText.h"
#include "visualiser/Objects3DFile.h"
#include "tests/visualiser/Chunks3ds.h"
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

// Device-sequence files of the patched spot over the second sequence's scenes, and an
// empty one.
void DeviceSequenceSeeds(const std::string &dir)
{
    const SequenceRecord &seq = *Sequences[SequenceCount - 1];
    MemoryStream range;
    WriteDeviceSequence(range, DeviceSequenceOf(Fixtures[0], seq, 0, seq.sceneCount - 1));
    Save(dir + "/spot.sqd", range);
    MemoryStream empty;
    WriteDeviceSequence(empty, DeviceSequenceOf(Fixtures[1], seq, 1, 0));
    Save(dir + "/empty.sqd", empty);
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
// FOLDER/cr3: 3D object files, one object without triangles, then one with them (140 bytes
// alone); FOLDER/3dx: a 3D library.
void Objects3DSeeds(const std::string &dir)
{
    for (const char *sub : {"/cr3", "/3dx"})
        std::filesystem::create_directories(dir + sub);
    auto piece = [](bool faces) {
        Object3DRecord o;
        o.mesh = std::make_unique<Mesh>();
        AddVertex(*o.mesh, 0, 0, 0);
        AddVertex(*o.mesh, 1, 0, 0);
        AddVertex(*o.mesh, 0, 1, 0);
        AddEdge(*o.mesh, 0, 1);
        AddEdge(*o.mesh, 1, 2);
        AddEdge(*o.mesh, 2, 0);
        if (faces)
            AddTriangle(*o.mesh, MeshTriangle{0, 1, 2, 0, 0x7F7F7F});
        return o;
    };
    Scene3D one, two;
    one.objects.push_back(piece(true));
    two.objects.push_back(piece(false));
    two.objects.push_back(piece(true));
    for (const auto &[name, scene] : {std::pair<const char *, const Scene3D *>{"/one.cr3", &one}, {"/two.cr3", &two}}) {
        const std::vector<std::uint8_t> bytes = WriteCr3(*scene);
        Save(dir + "/cr3" + name, bytes.data(), bytes.size());
    }
    const std::string library = "[Brantoval3dx]\r\nNodes=3\r\nColor=0x102030\r\n[XYZ]\r\nVert0=0,0,0\r\n"
                                "Vert1=1.5,0,0\r\nVert2=0,1,0\r\n[Rays]\r\nRay0=0,1,2\r\n[Surfaces]\r\nSur0=0,1,2,255\r\n";
    Save(dir + "/3dx/library.3dx", library.data(), library.size());
}
// FOLDER/3ds: 3DS files built from the chunk layout, each under 4 KB.
void Import3dsSeeds(const std::string &dir)
{
    std::filesystem::create_directories(dir + "/3ds");
    using namespace chunks3ds;
    const Bytes one = File(Object("Box", Points({{0, 0, 0}, {1, 0, 0}, {1, 0, 2}, {0, 3, 2}}), Faces({{0, 1, 2}, {0, 2, 3}})));
    // Two meshes of 100 points with 90 faces each.
    auto mesh = [](const std::string &name) {
        std::vector<Point> points;
        std::vector<Face> faces;
        for (int i = 0; i < 100; ++i)
            points.push_back({float(i), float(i % 5), 1});
        for (int i = 0; i < 90; ++i)
            faces.push_back({std::uint16_t(i), std::uint16_t(i + 1), std::uint16_t(i + 2)});
        return Object(name, Points(points), Faces(faces));
    };
    const Bytes two = File(Join({mesh("A"), mesh("B")}));
    const Bytes overflow = File(Join({Object("A", Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), Faces({{0, 1, 2}})),
                                      Object("B", Points({{5, 0, 0}, {6, 0, 0}}, 0x7FFE), Faces({{0, 1, 0}}))}));
    const Bytes extras = File(Object("Box", Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), Faces({{0, 1, 2}})),
                              Join({Chunk(0xAFFF, Chunk(0xA000, {'M', 0})),
                                    Chunk(0xB000, Chunk(0xB002, Join({Chunk(0xB010, Bytes(10, 0)), Chunk(0xB030, {1, 0})})))}));
    const Bytes lengths = Join({one, Chunk(0x4000, {'x', 0}, 0), Chunk(0x4000, {'x', 0}, 5),
                                Chunk(0x3D3D, Bytes(4, 0), 100)});
    const std::pair<const char *, const Bytes *> files[] = {
        {"one.3ds", &one}, {"two.3ds", &two}, {"overflow.3ds", &overflow}, {"extras.3ds", &extras}, {"lengths.3ds", &lengths}};
    for (const auto &[name, bytes] : files)
        Save(dir + "/3ds/" + name, bytes->data(), bytes->size());
}
// Play lists: one line of each action (a jump to a row past the list among them), with
// media, cues, fades and comments; and an empty list.
void PlayListSeeds(const std::string &dir)
{
    PlayListEntries.clear();
    SavePlayListFile(dir + "/empty.pgl");
    for (int a = ActPlay; a <= ActWaitGo; ++a) {
        PlayListEntry e;
        e.startTime = 1000 * a;
        e.index = static_cast<std::int16_t>(a % 2);
        e.cueFlag = static_cast<std::uint8_t>(a == ActFavourite);
        e.mediaFile = a == ActPlay ? "/media/song one.wav" : "";
        e.mediaStart = a == ActPlay ? 500 : -1;
        e.mediaStop = a == ActPlay ? 9000 : -1;
        e.action = static_cast<std::uint8_t>(a);
        e.gotoRow = static_cast<std::int16_t>(a == ActGoto ? 12 : 0);
        e.comments = "line " + std::to_string(a);
        e.fade = 250 * a;
        PlayListEntries.push_back(e);
    }
    PlayListCount = static_cast<std::int32_t>(PlayListEntries.size());
    SavePlayListFile(dir + "/every-action.pgl");
    PlayListEntries.clear();
    PlayListCount = 0;
}

// Key files: commands with every modifier and with captions, and an empty one.
void HotKeySeeds(const std::string &dir)
{
    const std::vector<HotKeyRecord> records = {
        {static_cast<std::uint16_t>('P' | HotKeyCtrl), "Play1", "&Play"},
        {static_cast<std::uint16_t>(0x70 | HotKeyShift | HotKeyAlt), "SynchSetup", "Synch and Hardware"},
        {0, "Record1", ""}};
    MemoryStream keys;
    WriteHotKeyFile(keys, records);
    Save(dir + "/" + HotKeyFileName, keys);
    MemoryStream empty;
    WriteHotKeyFile(empty, {});
    Save(dir + "/empty.key", empty);
}

// The stand-alone image of the show ShowSeeds left behind, compiled into FOLDER.
void FlashImageSeeds(const std::string &dir)
{
    StandAloneInput input;
    input.capacity = 4080;
    input.folder = dir + "/";
    CompileStandAloneImage(input);
}

// A recording of three changes and its stop, and one stopped at once.
void RecordingSeeds(const std::string &dir)
{
    std::uint8_t state[MaxInputChannels] = {};
    {
        DmxRecordWriter w(dir + "/changes.tmp", state);
        for (int i = 1; i <= 3; ++i) {
            state[i] = static_cast<std::uint8_t>(60 * i);
            w.Change(400 * i, state);
        }
        w.Finish(31000);
    }
    DmxRecordWriter(dir + "/empty.tmp", state).Finish(0);
}

// What a peer's slot sends: a name request, frames of 100 and 512 levels, an answer.
void LanSeeds(const std::string &dir)
{
    platform::TzolMailslot slot;
    std::string request(LanReplyBytes, '\0');
    request.replace(0, 13, "RNAMlight-desk");
    const std::pair<const char *, std::string> payloads[] = {{"rnam", request},
                                                              {"rdmx100", "RDMX" + std::string(100, '\x40')},
                                                              {"rdmx512", "RDMX" + std::string(512, '\x7F')},
                                                              {"hnam", "HNAM" + std::string(64, '\0')}};
    for (const auto &[name, payload] : payloads) {
        const std::string datagram = slot.AddHeader(payload.data(), static_cast<int>(payload.size()));
        Save(dir + "/" + name + ".bin", datagram.data(), datagram.size());
    }
}

// "PWD" values as the settings store keeps them: the records of each level, with and
// without a password.
void AccessSeeds(const std::string &dir)
{
    BuildScrambleTable();
    platform::Settings s;
    for (int level = 0; level <= 3; ++level) {
        const AccessRecordBytes record = MakeAccessRecord(level, level % 2 ? "secret" : "");
        s.WriteBinary(MainWindowKey, AccessRecordValue, std::vector<std::uint8_t>(record.begin(), record.end()));
        const std::string value = s.ReadString(MainWindowKey, AccessRecordValue);
        Save(dir + "/level" + std::to_string(level) + ".txt", value.data(), value.size());
    }
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    for (const char *sub : {"/show", "/profile", "/settings", "/sequence", "/device-sequence", "/beam", "/paste",
                            "/playlist", "/hotkeys", "/flash-image", "/recording", "/lan", "/access"})
        std::filesystem::create_directories(dir + sub);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qargc = 1;
    QApplication app(qargc, argv);
    QuietShowCore();
    // The settings store of the seeds lives in the fuzz folder.
    setenv("XDG_CONFIG_HOME", (platform::ProgramFolder() + "/config").c_str(), 1);
    ShowSeeds(dir + "/show");
    FlashImageSeeds(dir + "/flash-image");
    SequenceSeeds(dir + "/sequence");
    DeviceSequenceSeeds(dir + "/device-sequence");
    ProfileSeeds(dir + "/profile");
    SettingsSeeds(dir + "/settings");
    Objects3DSeeds(dir);
    Import3dsSeeds(dir);
    BeamSeeds(dir + "/beam");
    PasteSeeds(dir + "/paste");
    PlayListSeeds(dir + "/playlist");
    HotKeySeeds(dir + "/hotkeys");
    RecordingSeeds(dir + "/recording");
    LanSeeds(dir + "/lan");
    AccessSeeds(dir + "/access");
    RemoveFuzzFolder();
    return 0;
}
