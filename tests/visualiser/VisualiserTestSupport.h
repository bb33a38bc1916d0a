// The visualiser's window tests run inside the real program (the main window made as the
// program makes it, the engine ticked by hand) with a show of moving heads whose profile
// is built from real controls.
#pragma once

#include "profiles/ProfileBuilder.h"
#include "transport/ProgramWindowTest.h"

#include "app/LevelPipeline.h"
#include "app/PatchLoader.h"
#include "fixtures/SetupFile.h"
#include "app/ShowModel.h"
#include "controls/ColourMixer.h"
#include "controls/Faders.h"
#include "visualiser/TFixForm.h"
#include "visualiser/TVisuf.h"
#include "ui_Visuf.h"

#include <QApplication>
#include <QFile>
#include <cstdlib>
#include <filesystem>

// Moving head: pan 0, tilt 1, dimmer 2 (black-out 0), cyan, magenta, yellow 3..5 on a
// colour mixer; beam 20 degrees, pan 540, tilt 270.
inline QByteArray MovingHeadProfile()
{
    ProfileBuilder b;
    b.header.count = 6;
    b.header.name = "Head";
    b.Channel(0, FnPan, true);
    b.Channel(1, FnTilt, true);
    b.Channel(2, FnDimmer, false, 0, 0);
    b.Channel(3, FnColor);
    b.Channel(4, FnColor);
    b.Channel(5, FnColor);
    b.params.beam = 20;
    b.params.pan = 540;
    b.params.tilt = 270;
    b.params.type = KindMovingHead;
    b.Add<TCMY>(ElCMY, 10, 10, MakeTag(3, 4, 5));
    b.Add<TSliderh>(ElSliderh, 10, 200, MakeTag(2));
    return b.Bytes();
}

class VisualiserTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        DeleteAll3DObjects();
        RoomSize[0] = 8;
        RoomSize[1] = 6;
        RoomSize[2] = 12;
    }
    void TearDown() override
    {
        CloseVisualiser();
        DeleteAll3DObjects();
        ProgramWindowTest::TearDown();
    }
    std::string Bin() const { return (root / "bin").string() + "/"; }
    // Writes the profile into "Devices", catalogues it and patches `count` heads 16 apart.
    void PatchHeads(int count, const QByteArray &profile = MovingHeadProfile())
    {
        std::filesystem::create_directories(root / "bin" / "Devices");
        QFile f(QString::fromStdString(Bin() + "Devices/HEAD.dsp"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(profile);
        f.close();
        ClearFixtures();
        LoadDeviceProfiles();
        ASSERT_GE(DeviceTypeCount, 1);
        for (int i = 0; i < count; ++i) {
            const int k = AddFixture();
            FixtureRecord &r = Fixtures[std::size_t(k)];
            const DeviceTypeEntry &e = DeviceTypes[0];
            r.start = std::int16_t(16 * i);
            r.channelCount = e.channelCount;
            for (int j = 0; j < e.channelCount; ++j)
                r.used[j] = (e.usedMask >> j) & 1;
            r.profileFileName = &e.fileName;
            r.deviceName = &e.deviceName;
            r.userHeader = "Head " + std::to_string(i + 1);
        }
        BuildFixturePanels();
    }
    TVisuf *Open()
    {
        ui->Emulator->trigger();
        QApplication::processEvents();
        return Visuf;
    }
    // One window tick after the engine's frame changed.
    void Paint()
    {
        FrameChanged.store(1);
        Visuf->PaintBoxPaint();
    }
    const uchar *Pixel(int x, int y) const { return Visuf->Picture.constScanLine(y) + 3 * x; }
};
