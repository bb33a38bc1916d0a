// The profile editor and its design surface: captions, change detection, the channel
// table and property edits, TEST output, placing, moving, sizing, snapping, copying and
// deleting elements, loading and saving, the file preview, and the sample profiles.
#include "EditorDriver.h"
#include "ProfileBuilder.h"
#include "SampleProfiles.h"

#include "LevelPipeline.h"
#include "OutputEngine.h"
#include "PatchLoader.h"
#include "common/ProgramFolder.h"
#include "common/TestFiles.h"
#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/CursorSeam.h"
#include "controls/Faders.h"
#include "controls/Knob.h"
#include "controls/OpenPreviewDialog.h"
#include "controls/PanTiltPad.h"
#include "controls/SpinEdits.h"
#include "fixtures/TDesign.h"
#include "fixtures/TPanelWidgets.h"
#include "visualiser/TFixForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class DspEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-dsp");
        log = testfiles::UseProgramFolder(root);
        fs::create_directories(root / "bin" / "Devices");
        std::fill(std::begin(DmxOutLevels), std::end(DmxOutLevels), std::uint8_t(0));
    }
    void TearDown() override
    {
        setCursorHooks(nullptr, nullptr);
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        fs::remove_all(root);
    }
    std::string Bin(const std::string &name) const { return (root / "bin" / name).string(); }
    std::string Boxes() const { return testfiles::Read(log); }
    static std::string SourceDevices() { return std::string(std::getenv("BRTV_SOURCE_DIR")) + "/fixtures/Devices/"; }
    static std::string PngFolder()
    {
        const std::string dir = std::string(std::getenv("BRTV_BIN_DIR")) + "/../png";
        QDir().mkpath(QString::fromStdString(dir));
        return dir + "/";
    }

    fs::path root;
    std::string log;
};

} // namespace

TEST_F(DspEditorTest, SamplesAreMadeByTheEditorAndMatchTheCommittedFiles)
{
    const std::string folder = (root / "samples").string();
    fs::create_directories(folder);
    for (const auto &s : SampleProfiles()) {
        SCOPED_TRACE(s.file);
        const QByteArray made = MakeSample(s.file, folder);
        ASSERT_FALSE(made.isEmpty());
        if (std::getenv("BRTV_WRITE_SAMPLES")) {
            ASSERT_TRUE(WriteWholeFile(SourceDevices() + s.file, made));
        }
        QByteArray committed;
        ASSERT_TRUE(ReadWholeFile(SourceDevices() + s.file, committed));
        EXPECT_EQ(made, committed);
    }
    // The only question: the load's New about the elements just made.
    const std::string boxes = Boxes();
    int asked = 0, shown = 0;
    for (std::size_t at = boxes.find("DSP|"); at != std::string::npos; at = boxes.find("DSP|", at + 1)) {
        ++shown;
        asked += boxes.compare(at, 23, "DSP|Panel was modified\r") == 0 || boxes.compare(at, 22, "DSP|Panel was modified") == 0;
    }
    EXPECT_EQ(shown, 3) << boxes;
    EXPECT_EQ(asked, 3) << boxes;
}

TEST_F(DspEditorTest, MovingHeadSampleGivesTheRunTimePanelItsChannelsAndFades)
{
    std::fill(std::begin(FadeKind), std::end(FadeKind), FadeJump);
    DesignCount = 1;
    TDesign panel;
    panel.LoadForm(SourceDevices() + "MovingHead.dsp", 0, true);
    int pan = -1, tilt = -1, panFine = -1, tiltFine = -1;
    panel.GetPanTilt(pan, tilt);
    ASSERT_TRUE(panel.GetFinePanTilt(panFine, tiltFine));
    EXPECT_EQ(pan, 0);
    EXPECT_EQ(panFine, 1);
    EXPECT_EQ(tilt, 2);
    EXPECT_EQ(tiltFine, 3);
    EXPECT_EQ(panel.ColorChannel, 4);
    EXPECT_EQ(panel.GoboChannel, 5);
    EXPECT_EQ(panel.ColorValues[1], 0);    // white
    EXPECT_EQ(panel.ColorValues[2], 32);   // red
    EXPECT_EQ(panel.ColorValues[3], 64);   // green
    EXPECT_EQ(panel.ColorValues[4], 96);   // blue
    EXPECT_EQ(panel.DeviceName, "Moving Head");
    EXPECT_DOUBLE_EQ(panel.IconParams.beam, 15.0);
    EXPECT_DOUBLE_EQ(panel.IconParams.pan, 540.0);
    EXPECT_DOUBLE_EQ(panel.IconParams.tilt, 270.0);
    EXPECT_EQ(panel.IconParams.type, KindMovingHead);
    EXPECT_EQ(panel.Elements.size(), 14u);

    TDesign first;
    first.LoadForm(SourceDevices() + "MovingHead.dsp", 0, false);
    EXPECT_EQ(FadeKind[0], Fade16Coarse);
    EXPECT_EQ(FadeKind[1], Fade16Fine);
    EXPECT_EQ(FadeKind[2], Fade16Coarse);
    EXPECT_EQ(FadeKind[3], Fade16Fine);
    EXPECT_EQ(FadeKind[4], FadeJump);
    EXPECT_EQ(FadeKind[6], Fade8Bit);
    EXPECT_EQ(Boxes().find("DSP|"), std::string::npos) << Boxes();
}

TEST_F(DspEditorTest, EachSampleLoadedInTheEditorClosesWithoutAQuestion)
{
    for (const auto &s : SampleProfiles()) {
        SCOPED_TRACE(s.file);
        {
            EditorDriver d;
            d.Load(SourceDevices() + s.file);
            EXPECT_EQ(d.ed.DeviceName, s.name);
            EXPECT_EQ(d.ed.windowTitle().toStdString(), std::string(DspEditorCaption) + "- " + s.file);
            EXPECT_TRUE(d.ed.LockElements->isChecked());
            d.ed.close();
        }
        EXPECT_EQ(Boxes().find("DSP|"), std::string::npos) << Boxes();
        EXPECT_FALSE(fs::exists(Bin("temp$$$$.dsp")));
    }
}

TEST_F(DspEditorTest, Pictures)
{
    EditorDriver d;
    d.Load(SourceDevices() + "MovingHead.dsp");
    d.ed.SnapToGrid->setChecked(true);
    d.Click(20, 40);   // the pad
    d.ed.grab().save(QString::fromStdString(PngFolder() + "dspeditor-design.png"));
    d.surface.grab().save(QString::fromStdString(PngFolder() + "dspeditor-surface.png"));
    d.ed.SpeedButton11->click();
    for (int c = 0; c < 8; ++c)
        d.ed.MonitorRePaint(c, 16 * c);
    d.ed.grab().save(QString::fromStdString(PngFolder() + "dspeditor-test.png"));
    d.surface.grab().save(QString::fromStdString(PngFolder() + "dspeditor-surface-test.png"));
    EXPECT_LE(d.ed.width(), 800);
    EXPECT_LE(d.ed.height(), 600);
    EXPECT_LE(d.surface.width(), 800);
    EXPECT_LE(d.surface.height(), 600);
}
