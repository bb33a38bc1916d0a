// The visualiser window inside the program: the shaded room, drawing only on change, the
// view settings kept in the store, first placement, picking, 3D objects kept across
// windows, JPEG pictures, and the profile reading of the beam models.
#include "VisualiserTestSupport.h"

#include "visualiser/JpegFile.h"
#include "ui_MainForm.h"
#include "ui_Visuf.h"
#include "platform/Settings.h"

#include <QImageReader>
#include "controls/ControlStreams.h"
#include <gtest/gtest.h>

namespace {

TEST(VisufParsTest, EncodedInOrderAndReadOnlyWhenWhole)
{
    VisufParams p;
    p.lines = 3;
    p.fill = true;
    p.angle1 = -90;
    p.angle2 = 270;
    p.scale = 2000;
    p.roomWires = true;
    const std::vector<std::uint8_t> expected = {0x03, 0x00, 0x01, 0x00, 0x0E, 0x01, 0xA6, 0xFF,
                                                0xD0, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(EncodeVisufPars(p), expected);
    p.angle1 = 750.5f;   // reduced modulo 360, then truncated
    EXPECT_EQ(EncodeVisufPars(p)[6], 30);

    VisufParams back;
    EXPECT_FALSE(DecodeVisufPars(std::vector<std::uint8_t>(expected.begin(), expected.end() - 1), back));
    EXPECT_EQ(back.lines, 2);
    std::vector<std::uint8_t> wild = expected;
    wild[0] = 9;       // Lines beyond 4
    wild[8] = 0xFF;    // scale 0x07FF... beyond 8000
    wild[9] = 0x7F;
    ASSERT_TRUE(DecodeVisufPars(wild, back));
    EXPECT_EQ(back.lines, 4);
    EXPECT_EQ(back.scale, 8000);
    EXPECT_EQ(back.angle1, -90);

    EXPECT_EQ(FilledBeamsInterval(0, 10), 50);
    EXPECT_EQ(FilledBeamsInterval(1000, 0), 50);
    EXPECT_EQ(FilledBeamsInterval(5, 10), 50);          // under one count per ms
    EXPECT_EQ(FilledBeamsInterval(3000000, 1), 50);     // fast processor: the floor
    EXPECT_EQ(FilledBeamsInterval(400000, 1), 160);     // slow: stretched
}

TEST(RenderFrameTest, EmptyRoomShadedFromTheDefaultCamera)
{
    VisualScene scene;
    SetupScene(scene, 8, 6, 12);
    FrameBuffer picture = MakeFrameBuffer(400, 300);
    std::uint8_t frame[1024] = {};
    ASSERT_TRUE(RenderFrame(scene, RenderOptions{}, frame, picture));
    // The far wall (0x2F: t[23][0] = 20? no: z = L face is behind) and the near wall mix.
    const uchar *centre = picture.constScanLine(150) + 3 * 200;
    EXPECT_EQ(centre[0], 22);
    EXPECT_EQ(centre[1], 22);
    EXPECT_EQ(centre[2], 22);
    RenderOptions wires;
    wires.roomWires = true;
    ASSERT_TRUE(RenderFrame(scene, wires, frame, picture));
    EXPECT_EQ(picture.constScanLine(150)[3 * 200], 0) << "wires leave the middle dark";
    // A stop asked for after the bodies ends the frame.
    EXPECT_FALSE(RenderFrame(scene, RenderOptions{}, frame, picture, [](bool) { return true; }));
}

TEST_F(VisualiserTest, ProfileHintAndElementsMakeTheModel)
{
    ProfileBuilder b;
    b.header.count = 4;
    b.Channel(0, FnColor);
    b.Channel(1, FnColor);
    b.Channel(2, FnDimmer, false, 0, 0);
    b.params.beam = 12;
    b.params.pan = 540;
    b.params.tilt = 270;
    b.params.type = KindMovingHead;
    b.params.flags = IconFlagTiltInvert;
    b.Add<TCBTC>(ElColorButton, 0, 0, MakeTag(0, 10))->SetColor(0x0000FF);
    b.Add<TCBTC>(ElColorButton, 30, 0, MakeTag(1, 20))->SetColor(0x00FF00);
    b.Add<TCBTC>(ElColorButton, 60, 0, MakeTag(0, 30))->SetColor(0xFF0000);
    b.Add<TSlider>(ElSlider, 0, 40, MakeTag(2))->SetInverted(true);
    PatchHeads(1, b.Bytes());
    EnsureFixForm();
    BeamModel m;
    InitBeamModel(m);
    LoadFixtureProfile(m, Fixtures[0]);
    std::vector<PanelElement> none;
    FreeFixForm(none);
    EXPECT_DOUBLE_EQ(m.beamAngle, 12);
    EXPECT_EQ(m.panRange, 540);
    EXPECT_EQ(m.tiltRange, 270);
    EXPECT_EQ(m.kind, BeamMovingHead);
    EXPECT_EQ(m.tiltInverted, 1);
    EXPECT_EQ(m.panInverted, 0);
    EXPECT_EQ(m.dimmerChannel, 2);
    EXPECT_EQ(m.dimmerInverted, 1);
    ASSERT_EQ(m.wheel1Present, 1);
    EXPECT_EQ(m.wheel1Channel, 0);
    ASSERT_EQ(m.wheel1.size(), 2u);
    EXPECT_EQ(m.wheel1[1].dmx, 30);
    EXPECT_EQ(m.wheel1[1].blue, 255);
    EXPECT_EQ(m.wheel2Channel, 1);
    EXPECT_EQ(m.wheel2Count, 1);

    // A damaged profile: the box in the reader's words and the defaults kept.
    QByteArray bad = b.Bytes();
    bad[0] = 'X';
    {
        QFile f(QString::fromStdString(Bin() + "Devices/HEAD.dsp"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bad);
    }
    EnsureFixForm();
    BeamModel d;
    InitBeamModel(d);
    LoadFixtureProfile(d, Fixtures[0]);
    FreeFixForm(none);
    EXPECT_NE(BoxLog().find("DSP|Not DSP Format !!!"), std::string::npos);
    EXPECT_DOUBLE_EQ(d.beamAngle, 5.0);
    EXPECT_EQ(d.panRange, 360);
}

TEST_F(VisualiserTest, UnreadableStreamsSkippedAndMissingProfileQuiet)
{
    ProfileBuilder b;
    b.header.count = 3;
    b.Channel(2, FnDimmer, false, 0, 0);
    QByteArray file = b.Bytes();
    // A "TPF0" the reader rejects, then the dimmer fader's stream: the scan goes on.
    file += QByteArray("TPF0\x05TJunk\x00\xFF", 12);
    TSliderh fader;
    fader.SetTag(MakeTag(2));
    file += componentStream(fader);
    PatchHeads(1, file);
    EnsureFixForm();
    BeamModel m;
    InitBeamModel(m);
    LoadFixtureProfile(m, Fixtures[0]);
    EXPECT_EQ(m.dimmerChannel, 2);
    EXPECT_EQ(m.dimmerPresent, 1);
    EXPECT_DOUBLE_EQ(m.beamAngle, 10.0) << "empty Hint: the profile defaults";
    EXPECT_EQ(m.panRange, 180);
    EXPECT_EQ(m.tiltRange, 90);

    std::filesystem::remove(root / "bin" / "Devices" / "HEAD.dsp");
    const std::string boxesBefore = BoxLog();   // the panel builder has its own say on the junk
    BeamModel gone;
    InitBeamModel(gone);
    LoadFixtureProfile(gone, Fixtures[0]);
    std::vector<PanelElement> none;
    FreeFixForm(none);
    EXPECT_DOUBLE_EQ(gone.beamAngle, 5.0);
    EXPECT_EQ(BoxLog(), boxesBefore) << "no message for a missing profile";
}

TEST_F(VisualiserTest, DrawsOnlyWhenSomethingChanged)
{
    ASSERT_NE(Open(), nullptr);
    Visuf->resize(600, 400);
    QApplication::processEvents();
    Paint();
    QApplication::processEvents();   // the blit
    EXPECT_EQ(FrameChanged.load(), 0) << "an asked-for blit is no repaint";
    ASSERT_FALSE(Visuf->Picture.isNull());
    Visuf->Picture.bits()[0] = 77;
    Visuf->PaintBoxPaint();
    EXPECT_EQ(Visuf->Picture.constBits()[0], 77) << "nothing drawn";
    Visuf->ui->PaintBox->repaint();   // an expose nobody asked for
    EXPECT_EQ(FrameChanged.load(), 1);
    Visuf->PaintBoxPaint();
    EXPECT_NE(Visuf->Picture.constBits()[0], 77);

    // The mouse turns and zooms; the scale stays within 200..8000.
    Visuf->PaintBoxMouseMove(QPoint(0, 0), Qt::NoButton);
    Visuf->PaintBoxMouseMove(QPoint(0, 5000), Qt::RightButton);
    EXPECT_EQ(Visuf->Scene.camera.scale, 8000);
    Visuf->PaintBoxMouseMove(QPoint(0, -5000), Qt::RightButton);
    EXPECT_EQ(Visuf->Scene.camera.scale, 200);
    Visuf->PaintBoxMouseMove(QPoint(10, -5000), Qt::LeftButton);
    EXPECT_FLOAT_EQ(Visuf->Scene.camera.angle1, float(10 * 0.3141592653589793));
    Visuf->Top1Click();
    EXPECT_EQ(Visuf->Scene.camera.angle1, -90);
    EXPECT_EQ(Visuf->Scene.camera.angle2, 270);
}

TEST_F(VisualiserTest, ViewSettingsKeptInTheStore)
{
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Visuf->ui->SpotOnly->value(), 2);
    EXPECT_TRUE(Visuf->ui->Fill->isChecked());
    EXPECT_FALSE(Visuf->ui->RoomWires->isChecked());
    EXPECT_EQ(Visuf->Scene.camera.scale, 2000);
    Visuf->ui->SpotOnly->setValue(3);
    Visuf->ui->RoomWires->setChecked(true);
    Visuf->Top1Click();
    ui->Emulator->trigger();   // off: closed and freed
    EXPECT_EQ(Visuf, nullptr);
    platform::Settings s;
    const std::vector<std::uint8_t> expected = {0x03, 0x00, 0x01, 0x00, 0x0E, 0x01, 0xA6, 0xFF,
                                                0xD0, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(s.ReadBinary(MainWindowKey, "VisufPars"), expected);

    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Visuf->ui->SpotOnly->value(), 3);
    EXPECT_TRUE(Visuf->ui->RoomWires->isChecked());
    Visuf->Front1Click();
    Visuf->ui->AutoRotate->setChecked(true);
    for (int i = 0; i < 300; ++i)
        Visuf->PaintBoxPaint();
    Visuf->close();
    QApplication::processEvents();
    EXPECT_EQ(Visuf, nullptr);
    EXPECT_FALSE(ui->Emulator->isChecked());
    EXPECT_FALSE(ui->EmulatorButton->isChecked());
    EXPECT_EQ(platform::Settings().ReadBinary(MainWindowKey, "VisufPars")[6], 30);

    platform::Settings().WriteBinary(MainWindowKey, "VisufPars", std::vector<std::uint8_t>(15, 1));
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Visuf->ui->SpotOnly->value(), 2) << "15 bytes are ignored";
}

TEST_F(VisualiserTest, FirstPlacementFromThePlanAndPicking)
{
    PatchHeads(2);
    Fixtures[0].placement[2] = 0.05f;
    Fixtures[0].planX = 240;
    Fixtures[0].planY = 250;
    ASSERT_EQ(form->PlanBitmap().size(), QSize(480, 500));
    Fixtures[1].placement[0] = 4.1f;   // placed: kept
    Fixtures[1].placement[1] = 3;
    Fixtures[1].placement[2] = 1;
    RoomSize[0] = 20;                  // the first placement reads the edits' 8 and 6
    ASSERT_NE(Open(), nullptr);
    EXPECT_FLOAT_EQ(Fixtures[0].placement[0], 4);
    EXPECT_FLOAT_EQ(Fixtures[0].placement[1], 3);
    EXPECT_FLOAT_EQ(Fixtures[0].placement[2], 1);
    EXPECT_EQ(Visuf->ui->WUpDown->GetValue(), 20);
    EXPECT_EQ(FixForm, nullptr);

    // Both project within 10 pixels of the click: the earlier one is selected.
    Visuf->resize(640, 400);
    QApplication::processEvents();
    int sx = 0, sy = 0;
    ProjectModel(Visuf->Scene, *Visuf->Scene.models[1], Visuf->ui->PaintBox->size(), sx, sy);
    SelectedFixture = 1;
    Visuf->PaintBoxMouseDown(QPoint(sx, sy), Qt::LeftButton);
    EXPECT_EQ(SelectedFixture, 0);
}

TEST_F(VisualiserTest, ObjectsOutliveTheWindow)
{
    ASSERT_NE(Open(), nullptr);
    Visuf->resize(600, 400);
    QApplication::processEvents();
    Paint();
    const QImage before = Visuf->Picture.copy();
    ui->Emulator->trigger();
    auto mesh = std::make_unique<Mesh>();
    AddVertex(*mesh, 2, 1, 4);
    AddVertex(*mesh, 6, 1, 4);
    AddVertex(*mesh, 4, 5, 4);
    AddTriangle(*mesh, MeshTriangle{0, 1, 2, 0, 0xFFFFFF});
    Objects3D().objects.push_back(Object3DRecord{std::move(mesh), 0xFFFFFF, 0, 0, 0, 0, 0, 0});
    ASSERT_NE(Open(), nullptr);
    Visuf->resize(600, 400);
    QApplication::processEvents();
    Paint();
    EXPECT_NE(Visuf->Picture, before) << "the object is drawn";
    ui->Emulator->trigger();
    ASSERT_EQ(Objects3D().objects.size(), 1u);
}

TEST_F(VisualiserTest, PicturesSavedAsJpeg)
{
    ASSERT_NE(Open(), nullptr);
    Visuf->ui->PaintBox->setFixedSize(402, 300);
    Visuf->adjustSize();
    QApplication::processEvents();
    ASSERT_EQ(Visuf->Picture.size(), QSize(400, 300));
    Paint();
    Visuf->PaintBoxDblClick();   // "Use Mouse" off: nothing
    EXPECT_FALSE(platform::FileExists(Bin() + "1.jpg"));
    Visuf->ui->UseMouse->setChecked(true);
    Visuf->ui->Automatically->setChecked(true);
    Visuf->PaintBoxDblClick();
    QImageReader r(QString::fromStdString(Bin() + "1.jpg"), "jpeg");
    EXPECT_EQ(r.size(), QSize(400, 300));
    Visuf->PaintBoxDblClick();
    EXPECT_TRUE(platform::FileExists(Bin() + "2.jpg"));
    EXPECT_TRUE(Visuf->Timer->isActive());

    // A new window counts from 1 again but passes the pictures already there.
    ui->Emulator->trigger();
    ASSERT_NE(Open(), nullptr);
    Visuf->ui->UseMouse->setChecked(true);
    Visuf->ui->Automatically->setChecked(true);
    Visuf->PaintBoxDblClick();
    EXPECT_TRUE(platform::FileExists(Bin() + "3.jpg"));
    EXPECT_EQ(Visuf->PictureCounter, 4);

    // The dialog's name takes ".jpg".
    Visuf->ui->Automatically->setChecked(false);
    platform::QueueAnswers({Bin() + "pic.png"});
    Visuf->PaintBoxDblClick();
    EXPECT_TRUE(platform::FileExists(Bin() + "pic.jpg"));
    EXPECT_FALSE(platform::FileExists(Bin() + "pic.png"));
    platform::QueueAnswers({"Cancel"});
    Visuf->PaintBoxDblClick();
    EXPECT_TRUE(Visuf->Timer->isActive());

    // A folder that is a file: a box naming the file, no file, the timer runs on.
    {
        QFile plain(QString::fromStdString(Bin() + "plain"));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    }
    platform::QueueAnswers({Bin() + "plain/x.jpg", "OK"});
    Visuf->PaintBoxDblClick();
    EXPECT_NE(BoxLog().find("Brantoval-1024|Error writing " + Bin() + "plain/x.jpg"), std::string::npos);
    EXPECT_TRUE(Visuf->Timer->isActive());
}

} // namespace
