// The visualiser through the program's own commands: a two-head show opened by File >
// Open, the window switched on from View, beams lighting up from the output, a click
// selecting a fixture whose placement is edited and saved with the show, 'Z', File > New
// and the main window's close switching it off.
#include "VisualiserTestSupport.h"

#include "app/OutputEngine.h"
#include "app/ShowFile.h"
#include "app/FixtureArea.h"
#include "app/ToolWindows.h"
#include "fixtures/ShowFileTestSupport.h"
#include "platform/Settings.h"
#include "ui_MainForm.h"
#include "ui_Visuf.h"

#include <QApplication>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class VisualiserProgramTest : public VisualiserTest {
protected:
    // Two heads 3 m apart, opened from a show file.
    void OpenTwoHeadShow()
    {
        PatchHeads(2);
        for (int i = 0; i < 2; ++i) {
            float *p = Fixtures[std::size_t(i)].placement;
            p[0] = 2.5f + 3.0f * float(i);
            p[1] = 1.0f;
            p[2] = 4.0f;
        }
        const std::string path = Bin() + "two.d1k";
        ASSERT_TRUE(WriteShowFile(path));
        ShowModified = 0;
        platform::QueueAnswers({path});
        ui->LoadShow->trigger();
        ASSERT_EQ(FixtureCount, 2);
        ASSERT_EQ(ShowFileName, path);
    }
    int Brightness(int x, int y) const
    {
        const uchar *p = Pixel(x, y);
        return p[0] + p[1] + p[2];
    }
    // A point inside a fixture's cone: between the apex and the middle of the rim.
    QPoint InsideCone(int fixture) const
    {
        const Mesh &beam = Visuf->Scene.models[std::size_t(fixture)]->beam;
        double x = 0, y = 0;
        for (int i = 1; i <= 16; ++i) {
            x += beam.vertices[std::size_t(i)].sx;
            y += beam.vertices[std::size_t(i)].sy;
        }
        return QPoint(int((beam.vertices[0].sx + x / 16) / 2), int((beam.vertices[0].sy + y / 16) / 2));
    }
    static std::vector<std::uint8_t> FileBytes(const std::string &path)
    {
        QFile f(QString::fromStdString(path));
        f.open(QIODevice::ReadOnly);
        const QByteArray b = f.readAll();
        return std::vector<std::uint8_t>(b.begin(), b.end());
    }
    void Shot(QWidget *w, const char *name)
    {
        if (const char *dir = std::getenv("BRTV_SHOT_DIR"))
            w->grab().save(QString::fromUtf8(dir) + "/" + name);
    }
};

TEST_F(VisualiserProgramTest, ShowOpenedBeamsLitFixturePickedPlacementSaved)
{
    OpenTwoHeadShow();
    EXPECT_EQ(ui->Emulator->shortcut(), QKeySequence(Qt::Key_F4));
    form->show();
    form->activateWindow();
    (void)QTest::qWaitForWindowActive(form);   // offscreen windows may never report active
    QTest::keyClick(form, Qt::Key_F4);
    ASSERT_NE(Visuf, nullptr) << "F4 opens the window";
    EXPECT_EQ(Visuf->windowTitle(), "Brantoval Visual Emulator");
    EXPECT_TRUE(ui->EmulatorButton->isChecked());
    EXPECT_EQ(FixForm, nullptr);
    ASSERT_EQ(Visuf->Scene.models.size(), 2u);
    EXPECT_EQ(Visuf->Scene.models[0]->kind, BeamMovingHead);
    EXPECT_EQ(Visuf->Scene.models[0]->panChannel, 0);
    EXPECT_EQ(Visuf->Scene.models[1]->dimmerChannel, 18);
    Visuf->resize(800, 560);
    QApplication::processEvents();

    // Dimmer at 0: no beam. Up through the fixture's channel and one engine tick: lit.
    Tick();
    Paint();
    const QPoint in = InsideCone(0);
    const int dark = Brightness(in.x(), in.y());
    form->DevT1Click(0, 0);
    SetFixtureChannel(2, 255);
    Tick();
    ASSERT_EQ(DmxOutFrame[2], 255);
    ASSERT_EQ(FrameChanged.load(), 1) << "the engine marks the changed frame";
    Visuf->PaintBoxPaint();
    EXPECT_GT(Brightness(in.x(), in.y()), dark + 100);
    EXPECT_EQ(Visuf->Scene.models[0]->beamColour, 0xFFFFFFu);

    // A click on fixture 2 selects it; its placement fills the panel.
    Visuf->FixturesClick();
    QApplication::processEvents();
    Paint();
    int sx = 0, sy = 0;
    ProjectModel(Visuf->Scene, *Visuf->Scene.models[1], Visuf->ui->PaintBox->size(), sx, sy);
    Visuf->PaintBoxMouseDown(QPoint(sx + 3, sy - 3), Qt::LeftButton);
    EXPECT_EQ(SelectedFixture, 1);
    EXPECT_FLOAT_EQ(Visuf->ui->XEdit->GetValue(), 5.5f);
    EXPECT_EQ(Visuf->ui->KindText->text(), "Moving Head");
    EXPECT_EQ(Visuf->ui->PanAngText->text(), "540");
    EXPECT_EQ(Visuf->ui->HeaderLabel->text(), "Head 2");
    // A typed position shows as typed.
    Visuf->ui->XEdit->setFocus();
    Visuf->ui->XEdit->selectAll();
    QTest::keyClicks(Visuf->ui->XEdit, QStringLiteral("4"));
    EXPECT_EQ(Visuf->ui->XEdit->displayText(), QStringLiteral("4"));
    EXPECT_FLOAT_EQ(Fixtures[1].placement[0], 4.0f);
    Shot(Visuf->ui->FixPanel, "visualiser-position-typed.png");
    Visuf->ui->XEdit->SetValue(5.0f);
    EXPECT_FLOAT_EQ(Fixtures[1].placement[0], 5.0f);
    EXPECT_DOUBLE_EQ(Visuf->Scene.models[1]->posX, 5.0);

    // File > Save As keeps the edited placement in "SPP1".
    const std::string saved = Bin() + "moved.d1k";
    platform::QueueAnswers({saved});
    ui->SaveShowAs->trigger();
    const auto bytes = FileBytes(saved);
    const char tag[] = "SPP1";
    const auto at = std::search(bytes.begin(), bytes.end(), tag, tag + 4);
    ASSERT_NE(at, bytes.end());
    const std::size_t body = std::size_t(at - bytes.begin()) + 8;
    float x = 0;
    ASSERT_LE(body + 28 + 8, bytes.size());
    std::memcpy(&x, bytes.data() + body + 28 + 4, 4);
    EXPECT_EQ(x, 5.0f);
}

// F4 twice: the window's place and size are written to the settings store and the next
// opening puts it back there.
TEST_F(VisualiserProgramTest, PlaceKeptBetweenOpenings)
{
    const std::string key = "\\Software\\Brantoval\\Positions\\Visuf";
    auto pressF4 = [this] {
        form->activateWindow();
        QTest::qWaitForWindowActive(form);
        QTest::keyClick(form, Qt::Key_F4);
    };
    form->show();
    pressF4();
    ASSERT_NE(Visuf, nullptr);
    Visuf->move(60, 70);
    Visuf->resize(700, 500);
    QApplication::processEvents();
    pressF4();
    QApplication::processEvents();
    ASSERT_EQ(Visuf, nullptr) << "F4 again closes it";
    platform::Settings store;
    EXPECT_EQ(store.ReadIntegerValue(key, "Left"), 60);
    EXPECT_EQ(store.ReadIntegerValue(key, "Top"), 70);
    EXPECT_EQ(store.ReadIntegerValue(key, "Width"), 700);
    EXPECT_EQ(store.ReadIntegerValue(key, "Height"), 500);

    pressF4();
    ASSERT_NE(Visuf, nullptr);
    EXPECT_EQ(Visuf->size(), QSize(700, 500));
    EXPECT_EQ(Visuf->pos(), QPoint(60, 70));
}

TEST_F(VisualiserProgramTest, SidePanelsOneAtATime)
{
    OpenTwoHeadShow();
    ASSERT_NE(Open(), nullptr);
    Visuf->resize(800, 560);
    // Both heads lit and turned; a view from the side and above.
    for (int f = 0; f < 2; ++f) {
        form->DevT1Click(f, 0);
        SetFixtureChannel(0, 100 + 60 * f);
        SetFixtureChannel(1, 60);
        SetFixtureChannel(2, 255);
        SetFixtureChannel(4, 120 * f);
    }
    Tick();
    Visuf->Scene.camera.angle1 = -25;
    Visuf->Scene.camera.angle2 = 200;
    Visuf->Scene.camera.scale = 5000;
    QApplication::processEvents();
    Paint();
    Shot(Visuf, "Visualiser.png");
    const std::pair<void (TVisuf::*)(), QWidget *> panels[] = {{&TVisuf::FixturesClick, Visuf->ui->FixPanel},
                                                               {&TVisuf::RoomSizeClick, Visuf->ui->RoomPanel},
                                                               {&TVisuf::Objects3DClick, Visuf->ui->ObjPanel}};
    const char *names[] = {"VisualiserFixturePanel.png", "VisualiserRoomPanel.png", "VisualiserObjectPanel.png"};
    for (int i = 0; i < 3; ++i) {
        const int widthBefore = Visuf->ui->PaintBox->width();
        // Called through a copy: GCC 12's bounds check of a call through a member pointer
        // taken straight from an indexed array reads an index it has not yet stored.
        const auto click = panels[i].first;
        (Visuf->*click)();
        QApplication::processEvents();
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(panels[j].second->isHidden(), i != j);
        EXPECT_LE(Visuf->ui->PaintBox->width(), widthBefore);
        EXPECT_EQ(Visuf->Picture.width(), Visuf->ui->PaintBox->width() & ~3);
        Paint();
        Shot(Visuf, names[i]);
    }
    Visuf->Clo3DClick();
    EXPECT_TRUE(Visuf->ui->ObjPanel->isHidden());
    EXPECT_TRUE(Visuf->ui->Objects3D->isEnabled());
}

TEST_F(VisualiserProgramTest, RoomEditsResizeTheRoomAndMoveTheModels)
{
    OpenTwoHeadShow();
    ASSERT_NE(Open(), nullptr);
    Visuf->ui->ResizeRoom->setChecked(true);
    Visuf->ui->WUpDown->SetValue(16);
    EXPECT_EQ(RoomSize[0], 16);
    EXPECT_EQ(Visuf->Scene.camera.lookX, 8);
    EXPECT_EQ(Visuf->Scene.room.vertices[1].x, 16);
    EXPECT_DOUBLE_EQ(Visuf->Scene.models[1]->posX, 11.0);
    EXPECT_FLOAT_EQ(Fixtures[1].placement[0], 11.0f);
    Visuf->ui->HUpDown->SetValue(200);   // held within the edit's bounds
    EXPECT_EQ(RoomSize[1], 100);
    // Rotations as the edits show them.
    SelectedFixture = 0;
    Visuf->ui->YRot->SetValue(-90);
    EXPECT_FLOAT_EQ(Fixtures[0].placement[4], -90.0f);
}

TEST_F(VisualiserProgramTest, SwitchedOffByZNewAndClose)
{
    OpenTwoHeadShow();
    ASSERT_NE(Open(), nullptr);
    platform::Settings().WriteBinary(MainWindowKey, "VisufPars", {});
    form->AppMessage(EngineMessage, 'Z', 0);
    EXPECT_EQ(Visuf, nullptr);
    EXPECT_FALSE(ui->Emulator->isChecked());
    EXPECT_FALSE(ui->EmulatorButton->isChecked());
    EXPECT_EQ(platform::Settings().ReadBinary(MainWindowKey, "VisufPars").size(), 16u);
    EXPECT_FALSE(ToolWindows().Has("Visualiser"));

    // Reopened with an object; File > New switches it off and empties the scene.
    auto mesh = std::make_unique<Mesh>();
    AddVertex(*mesh, 1, 1, 1);
    Objects3D().objects.push_back(Object3DRecord{std::move(mesh), 0xFF, 0, 0, 0, 0, 0, 0});
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(ToolWindows().Has("Visualiser"));
    ShowModified = 0;
    ui->NewShow->trigger();
    EXPECT_EQ(Visuf, nullptr);
    EXPECT_FALSE(ui->Emulator->isChecked());
    EXPECT_TRUE(Objects3D().objects.empty());

    // Opening a show deletes the objects too.
    Objects3D().objects.push_back(Object3DRecord{std::make_unique<Mesh>(), 0xFF, 0, 0, 0, 0, 0, 0});
    OpenTwoHeadShow();
    EXPECT_TRUE(Objects3D().objects.empty());

    // The main window closed with the window open: settings and placement written.
    ASSERT_NE(Open(), nullptr);
    Fixtures[0].placement[0] = 7.25f;
    platform::Settings().WriteBinary(MainWindowKey, "VisufPars", {});
    ShowModified = 0;
    form->close();
    EXPECT_EQ(Visuf, nullptr);
    EXPECT_EQ(platform::Settings().ReadBinary(MainWindowKey, "VisufPars").size(), 16u);
    const auto cfg = FileBytes(Bin() + "Brantoval.cfg");
    const float value = 7.25f;
    const auto *v = reinterpret_cast<const std::uint8_t *>(&value);
    EXPECT_NE(std::search(cfg.begin(), cfg.end(), v, v + 4), cfg.end());
}

TEST_F(VisualiserProgramTest, ReleasedAtShutDownEvenWhilePainting)
{
    OpenTwoHeadShow();
    ASSERT_NE(Open(), nullptr);
    Objects3D().objects.push_back(Object3DRecord{std::make_unique<Mesh>(), 0xFF, 0, 0, 0, 0, 0, 0});
    // Closing the window from inside a filled paint (messages are let through between
    // beams): the paint gives up and nothing of the window is touched afterwards.
    Visuf->resize(600, 400);
    QApplication::processEvents();
    QTimer::singleShot(0, [this] { ui->Emulator->trigger(); });
    Paint();
    EXPECT_EQ(Visuf, nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_NE(Open(), nullptr);
    CallSeam(WindowSeams().visualiserRelease);
    EXPECT_EQ(Visuf, nullptr);
    EXPECT_TRUE(Objects3D().objects.empty());
}

} // namespace

// The sample Dimmer and RGB Colour as an operator patches them: fixed spots; the dimmer,
// which has no colour channel, shines white by its level, the RGB fixture keeps the
// colour its mixer gives.
TEST_F(VisualiserProgramTest, SampleDimmerShinesWhiteAndRgbKeepsItsColour)
{
    const std::filesystem::path devices = root / "bin" / "Devices";
    std::filesystem::create_directories(devices);
    const std::filesystem::path samples = std::filesystem::path(std::getenv("BRTV_SOURCE_DIR")) / "fixtures" / "Devices";
    for (const char *file : {"Dimmer.dsp", "RGBColour.dsp"})
        std::filesystem::copy_file(samples / file, devices / file, std::filesystem::copy_options::overwrite_existing);
    ClearFixtures();
    LoadDeviceProfiles();
    ASSERT_EQ(DeviceTypeCount, 2);
    for (int t = 0; t < 2; ++t) {
        const DeviceTypeEntry &e = DeviceTypes[std::size_t(t)];
        FixtureRecord &r = Fixtures[std::size_t(AddFixture())];
        r.start = std::int16_t(16 * t);
        r.channelCount = e.channelCount;
        for (int j = 0; j < e.channelCount; ++j)
            r.used[j] = (e.usedMask >> j) & 1;
        r.profileFileName = &e.fileName;
        r.deviceName = &e.deviceName;
        r.placement[0] = 2.5f + 3.0f * float(t);
        r.placement[1] = 1.0f;
        r.placement[2] = 4.0f;
    }
    BuildFixturePanels();
    ASSERT_EQ(*Fixtures[0].deviceName, "Dimmer");
    ASSERT_NE(Open(), nullptr);
    ASSERT_EQ(Visuf->Scene.models.size(), 2u);
    const BeamModel &dimmer = *Visuf->Scene.models[0];
    const BeamModel &rgb = *Visuf->Scene.models[1];
    EXPECT_EQ(dimmer.kind, BeamFixedSpot);
    EXPECT_EQ(rgb.kind, BeamFixedSpot);

    auto show = [&](int channel, int level) {
        SetChannelLevel(channel, std::uint8_t(level));
        Tick();
        Paint();
    };
    show(0, 255);
    EXPECT_EQ(dimmer.beamColour, 0xFFFFFFu) << "full dimmer: white";
    Visuf->resize(800, 560);
    show(17, 255);
    show(16, 255);
    Shot(Visuf, "visualiser-dimmer-rgb.png");
    show(16, 0);
    show(17, 0);
    show(0, 51);
    EXPECT_EQ(dimmer.beamColour, 0x333333u) << "scaled by the level";
    show(0, 0);
    EXPECT_EQ(dimmer.beamColour, 0u) << "closed: no beam";

    // RGB: dimmer 16, red 17, green 18, blue 19.
    show(16, 255);
    show(17, 255);
    show(19, 64);
    EXPECT_EQ(rgb.beamColour, 0x4000FFu);
    show(16, 0);
    EXPECT_EQ(rgb.beamColour, 0u);
}
