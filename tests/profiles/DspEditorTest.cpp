// The profile editor and its design surface: captions, change detection, the channel
// table and property edits, TEST output, placing, moving, sizing, snapping, copying and
// deleting elements, loading and saving, the file preview, and the sample profiles.
#include "EditorDriver.h"
#include "ProfileBuilder.h"
#include "SampleProfiles.h"

#include "LevelPipeline.h"
#include "app/Application.h"
#include "app/MainForm.h"
#include "app/WindowSeams.h"
#include "ShowModel.h"
#include "PlayState.h"
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
#include "fixtures/TSetup.h"
#include "ui_MainForm.h"
#include "ui_Setup.h"
#include "visualiser/TFixForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
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
    d.ed.SpeedButton11->click();
    d.Click(30, 350);   // a gobo button
    EXPECT_EQ(d.surface.Elements[std::size_t(d.surface.Selected)].kind, ElImageButton);
    d.ed.grab().save(QString::fromStdString(PngFolder() + "dspeditor-image-panel.png"));
    d.Click(330, 500);
    d.Insert(ElMultiButton, 220, 450);
    d.ed.grab().save(QString::fromStdString(PngFolder() + "dspeditor-multi-panel.png"));
    EXPECT_LE(d.ed.width(), 800);
    EXPECT_LE(d.ed.height(), 600);
    EXPECT_LE(d.surface.width(), 800);
    EXPECT_LE(d.surface.height(), 600);
}

// The program as `main` starts it: the start dialog's profile-editor choice opens the
// editor; a profile made there, tried in TEST mode and saved into "Devices" is in the
// catalogue when the start dialog comes back.
TEST_F(DspEditorTest, StartDialogChoiceOpensTheEditorAndASavedProfileJoinsTheCatalogue)
{
    ShowModified = 0;
    EngineBusy = 0;
    WindowSeams() = WindowSeamTable{};
    bool ran = false;
    TDSPform::ActOnNextShow([&](TDSPform &ed) {
        ran = true;
        EXPECT_TRUE(ed.isVisible());
        EXPECT_TRUE(ed.Designf->isVisible());
        EXPECT_EQ(ed.windowTitle().toStdString(), DspEditorCaption);
        EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Panels Designer"));
        // Four channels, "Aim of Channel" of row 3 opened by clicks, then a sample loaded:
        // the list closes and row 1 shows the loaded "Pan".
        ed.UpDownMask->setValue(4);
        const auto cell = [&ed](int row, int col) { return ed.GridChan->visualItemRect(ed.GridChan->item(row, col)).center(); };
        QTest::mouseClick(ed.GridChan->viewport(), Qt::LeftButton, {}, cell(3, 1));
        QTest::mouseClick(ed.GridChan->viewport(), Qt::LeftButton, {}, cell(3, 2));
        ASSERT_TRUE(ed.Function->isVisible());
        platform::QueueAnswers({SourceDevices() + "MovingHead.dsp"});
        ed.LoadClick();
        EXPECT_FALSE(ed.Function->isVisible());
        EXPECT_EQ(ed.GridChan->item(1, 2)->text(), QStringLiteral("Pan"));
        ed.New1Click();
        ed.GridChanSelectCell(2, 1);
        ed.FunctionChange(FnDimmer);
        ed.ToolButtons[ElSlider]->click();
        ed.Designf->FullMaskMouseDown(Qt::LeftButton, 16, 24);
        ed.Designf->FullMaskMouseUp(Qt::LeftButton, 16, 24);
        ed.DeviceNameEdit->setText(QStringLiteral("E2E Dimmer"));
        ed.DeviceNameChange(QStringLiteral("E2E Dimmer"));
        ed.SpeedButton11->click();
        EditorDriver::Type(ed.StartCh, QStringLiteral("1"));
        auto *fader = dynamic_cast<TSlider *>(ed.Designf->Elements.at(0).control.data());
        ASSERT_NE(fader, nullptr);
        fader->SetPosition(200);
        ed.Designf->SliderChange(fader);
        EXPECT_EQ(DmxOutLevels[0], 200);
        platform::QueueAnswers({Bin("Devices/E2E")});
        ed.SaveClick();
        EXPECT_EQ(ed.windowTitle().toStdString(), std::string(DspEditorCaption) + "- E2E.dsp");
        // Closing asks (a saved profile is not one loaded from a file); then New Show.
        platform::QueueAnswers({"No", "1"});
        ed.close();
    });
    platform::QueueAnswers({"Yes", "5"});
    char arg0[] = "brantoval";
    char *argv[] = {arg0, nullptr};
    ASSERT_TRUE(CreateProgramWindows(1, argv));
    StopOutputTimer();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(fs::exists(Bin("Devices/E2E.dsp")));
    bool listed = false;
    for (const auto &t : DeviceTypes)
        listed = listed || t.deviceName == "E2E Dimmer";
    EXPECT_TRUE(listed);
    EXPECT_NE(Boxes().find("DSP|Panel was modified"), std::string::npos) << Boxes();
    EXPECT_NE(QGuiApplication::applicationDisplayName(), QStringLiteral("Panels Designer"));
    EXPECT_FALSE(fs::exists(Bin("copyel$$.tmp")));
    DestroyProgramWindows();
    WindowSeams() = WindowSeamTable{};
}

// The patch window's "Call FTE" on a listed sample opens that profile in the editor; the
// catalogue is read again when the editor closes, so a profile saved meanwhile is listed.
TEST_F(DspEditorTest, PatchWindowCallsTheEditorOnTheSelectedSample)
{
    ShowModified = 0;
    EngineBusy = 0;
    AccessLevel = 0;
    WindowSeams() = WindowSeamTable{};
    for (const auto &s : SampleProfiles())
        fs::copy_file(SourceDevices() + s.file, Bin("Devices/" + s.file));
    platform::QueueAnswers({"Yes", "1"});
    char arg0[] = "brantoval";
    char *argv[] = {arg0, nullptr};
    ASSERT_TRUE(CreateProgramWindows(1, argv));
    StopOutputTimer();

    QStringList listed, after;
    std::string caption;
    int channels = 0;
    bool editorShown = false;
    platform::ActOnNextDialog("Setup", [&](QDialog &d) {
        auto &setup = static_cast<TSetup &>(d);
        for (int i = 0; i < setup.ui->ListView->count(); ++i)
            listed << setup.ui->ListView->item(i)->text();
        const auto found = setup.ui->ListView->findItems(QStringLiteral("Moving Head"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        setup.ListViewClick(found.front());
        TDSPform::ActOnNextShow([&](TDSPform &ed) {
            editorShown = ed.isVisible();
            caption = ed.windowTitle().toStdString();
            channels = ed.ChannelCount;
            // Saved beside the others while the editor is up.
            fs::copy_file(SourceDevices() + "Dimmer.dsp", Bin("Devices/Zoom.dsp"));
            ed.close();
        });
        setup.CallFTEClick();
        for (int i = 0; i < setup.ui->ListView->count(); ++i)
            after << setup.ui->ListView->item(i)->text();
        setup.ExitClick();
    });
    MainForm->ui->DMXChannels->trigger();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("Dimmer"), QStringLiteral("Moving Head"), QStringLiteral("RGB Colour")}));
    EXPECT_TRUE(editorShown);
    EXPECT_EQ(caption, std::string(DspEditorCaption) + "- MovingHead.dsp");
    EXPECT_EQ(channels, 8);
    EXPECT_EQ(Boxes().find("DSP|"), std::string::npos) << Boxes();
    EXPECT_EQ(DeviceTypes.size(), 4u);
    EXPECT_EQ(after.size(), 4);
    DestroyProgramWindows();
    WindowSeams() = WindowSeamTable{};
}

// A profile with a pan/tilt pad made in the designer, opened through the main window's
// patch window ("Call FTE"): closed untouched it asks nothing and the file stays as it
// was; with one element moved it asks. The ball is shown in silver all the same.
TEST_F(DspEditorTest, PadProfileCalledFromThePatchWindowAsksOnlyAfterAChange)
{
    {
        EditorDriver d;
        d.Count(3);
        d.Channel(0, FnPan);
        d.Channel(1, FnTilt);
        d.Channel(2, FnDimmer);
        d.Name(QStringLiteral("Pad Head"));
        d.Insert(ElFieldXY, 10, 10);
        d.Insert(ElSlider, 300, 10);
        d.Save(Bin("Devices/padhead.dsp"));
    }
    QByteArray original;
    ASSERT_TRUE(ReadWholeFile(Bin("Devices/padhead.dsp"), original));
    ASSERT_EQ(original.indexOf("clSilver"), -1);
    fs::remove(log);

    ShowModified = 0;
    EngineBusy = 0;
    AccessLevel = 0;
    WindowSeams() = WindowSeamTable{};
    platform::QueueAnswers({"Yes", "1"});
    char arg0[] = "brantoval";
    char *argv[] = {arg0, nullptr};
    ASSERT_TRUE(CreateProgramWindows(1, argv));
    StopOutputTimer();

    // Opens the profile from the patch window and runs `inEditor` on the shown editor.
    auto callFte = [&](const std::function<void(TDSPform &)> &inEditor) {
        bool shown = false;
        platform::ActOnNextDialog("Setup", [&](QDialog &dlg) {
            auto &setup = static_cast<TSetup &>(dlg);
            const auto found = setup.ui->ListView->findItems(QStringLiteral("Pad Head"), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            setup.ListViewClick(found.front());
            TDSPform::ActOnNextShow([&](TDSPform &ed) {
                shown = true;
                inEditor(ed);
            });
            setup.CallFTEClick();
            setup.ExitClick();
        });
        MainForm->ui->DMXChannels->trigger();
        EXPECT_TRUE(shown);
    };

    callFte([&](TDSPform &ed) {
        ASSERT_EQ(ed.Designf->Elements.size(), 2u);
        auto *pad = dynamic_cast<TFieldXY *>(ed.Designf->Elements[0].control.data());
        ASSERT_NE(pad, nullptr);
        EXPECT_EQ(pad->BallColor(), 0xC0C0C0u);
        EXPECT_EQ(pad->Color(), TColor(clBtnFace));
        const QString grabs = QString::fromLocal8Bit(std::getenv("BRTV_BIN_DIR")) + QStringLiteral("/grabs");
        QDir().mkpath(grabs);
        ed.grab().save(grabs + QStringLiteral("/profile-pad-loaded.png"));
        ed.close();
    });
    EXPECT_EQ(Boxes().find("DSP|"), std::string::npos) << Boxes();
    EXPECT_FALSE(fs::exists(Bin("temp$$$$.dsp")));

    callFte([&](TDSPform &ed) {
        ed.Designf->FullMaskMouseDown(Qt::LeftButton, 40, 40);
        ed.Designf->FullMaskMouseUp(Qt::LeftButton, 40, 40);
        EXPECT_TRUE(ed.Designf->FormKeyDown(Qt::Key_Right, Qt::ControlModifier));   // moved by one
        platform::QueueAnswers({"No"});
        ed.close();
    });
    EXPECT_NE(Boxes().find("DSP|Panel was modified\r\nSave ?|No"), std::string::npos) << Boxes();

    // Neither close wrote the file.
    QByteArray after;
    ASSERT_TRUE(ReadWholeFile(Bin("Devices/padhead.dsp"), after));
    EXPECT_EQ(after, original);
    DestroyProgramWindows();
    WindowSeams() = WindowSeamTable{};
}

TEST_F(DspEditorTest, CaptionsAndChangeQuestions)
{
    {
        EditorDriver d;
        EXPECT_EQ(d.ed.windowTitle().toStdString(), "Device Service Panels Designer ");
        EXPECT_EQ(d.surface.windowTitle().toStdString(), "Service Panel");
        d.ed.New1Click();
        EXPECT_EQ(d.ed.windowTitle().toStdString(), "Device Service Panels Designer - .\\Unnamed.dsp");
        d.ed.close();   // nothing made: nothing asked
    }
    EXPECT_EQ(Boxes().find("DSP|"), std::string::npos);
    {
        EditorDriver d;
        d.Insert(ElKnob, 20, 30);
        d.Save(Bin("Devices/knob.dsp"));
        // A saved profile still counts as made here, not as loaded.
        platform::QueueAnswers({"No"});
        d.ed.close();
    }
    EXPECT_NE(Boxes().find("DSP|Panel was modified\r\nSave ?|No"), std::string::npos) << Boxes();
    fs::remove(log);
    {
        EditorDriver d;
        d.Load(Bin("Devices/knob.dsp"));
        d.Click(25, 35);
        EXPECT_TRUE(d.surface.FormKeyDown(Qt::Key_Right, Qt::ControlModifier));   // moved by one
        platform::QueueAnswers({"No"});
        d.ed.close();
    }
    EXPECT_NE(Boxes().find("DSP|Panel was modified"), std::string::npos) << Boxes();
    EXPECT_FALSE(fs::exists(Bin("temp$$$$.dsp")));
}

TEST_F(DspEditorTest, TypedNumbersAreLimited)
{
    EditorDriver d;
    d.Count(4);
    auto *knob = dynamic_cast<TKnobL *>(d.Insert(ElKnob, 20, 30));
    ASSERT_NE(knob, nullptr);
    QLineEdit *channel = d.Panel(ElKnob).channel[0];
    EditorDriver::Type(channel, QStringLiteral("40"));
    EXPECT_EQ(channel->text(), QStringLiteral("32"));
    EXPECT_EQ(TagByte(knob->Tag(), 0), 31);
    EditorDriver::Type(channel, QStringLiteral("0"));
    EXPECT_EQ(channel->text(), QStringLiteral("1"));
    EXPECT_EQ(TagByte(knob->Tag(), 0), 0);
    EditorDriver::Type(d.Panel(ElKnob).max, QStringLiteral("300"));
    EXPECT_EQ(knob->Max(), 255);

    d.ed.GridChanSetEditText(3, 1, QStringLiteral("300"));
    EXPECT_EQ(d.ed.DefaultStates[0], 255);
    d.ed.GridChanSetEditText(4, 1, QStringLiteral("-5"));
    EXPECT_EQ(d.ed.BlackOutStates[0], -1);
    EXPECT_EQ(d.ed.GridChan->item(1, 4)->text(), QStringLiteral("-"));

    d.ed.GridChanClick(1, 2);   // channel 2 used
    d.ed.GridChanSelectCell(2, 2);
    EXPECT_TRUE(d.ed.Function->isVisible());
    d.ed.FunctionChange(FnDimmer);
    EXPECT_FALSE((d.ed.SmoothMask >> 1) & 1);
    d.ed.FunctionChange(FnTilt);
    EXPECT_TRUE((d.ed.SmoothMask >> 1) & 1);
    EXPECT_EQ(d.ed.Functions[1], FnTilt);
    // New starts without smooth channels: none of the last profile's hidden bits remain.
    platform::QueueAnswers({"No"});
    d.ed.New1Click();
    EXPECT_EQ(d.ed.SmoothMask, 0u);
    EXPECT_EQ(d.ed.ChannelCount, 1);
    EXPECT_EQ(d.ed.UsedMask, 1u);
    knob = dynamic_cast<TKnobL *>(d.Insert(ElKnob, 20, 30));
    channel = d.Panel(ElKnob).channel[0];

    // Geometry fields act only while they have the focus, and clamp to the surface.
    d.ed.activateWindow();
    QLineEdit *left = d.Panel(ElKnob).left;
    EditorDriver::Type(left, QStringLiteral("999"));
    if (left->hasFocus()) {
        EXPECT_EQ(left->text().toInt(), d.surface.MainPanel->width());
        EXPECT_EQ(knob->x(), d.surface.MainPanel->width());
    }
    left->clearFocus();
    d.ed.SnapToGrid->setFocus();
    left->setText(QStringLiteral("5"));
    emit left->textEdited(QStringLiteral("5"));
    EXPECT_NE(knob->x(), 5);
}

TEST_F(DspEditorTest, TestModeSendsToTheOutputAndMarksUnusedChannels)
{
    EditorDriver d;
    d.Count(3);
    d.ed.GridChanClick(1, 3);   // channel 3 used
    auto *knob = dynamic_cast<TKnobL *>(d.Insert(ElKnob, 20, 30));
    EditorDriver::Type(d.Panel(ElKnob).channel[0], QStringLiteral("3"));
    d.ed.SpeedButton11->click();
    EXPECT_TRUE(d.ed.TestMode());
    EXPECT_EQ(d.ed.SpeedButton11->text(), QStringLiteral("DESIGN"));
    EXPECT_TRUE(d.surface.FullMask->isHidden());
    EXPECT_EQ(d.surface.Selected, -1);
    EditorDriver::Type(d.ed.StartCh, QStringLiteral("101"));
    knob->SetPosition(128);
    d.surface.KnobChange(knob);
    EXPECT_EQ(DmxOutLevels[102], 128);
    EXPECT_EQ(d.ed.TestValues[2], 128);
    const QImage monitor = d.ed.Monitor->grab().toImage();
    EXPECT_EQ(monitor.pixelColor(21, 51), QColor(Qt::white));
    EXPECT_EQ(monitor.pixelColor(44, 65), QColor(Qt::white));

    // An element on a channel that is not used: reported, counted and marked, not sent.
    EditorDriver::Type(d.ed.StartCh, QStringLiteral("101"));
    knob->SetTag(4);
    d.surface.KnobChange(knob);
    EXPECT_NE(Boxes().find("DSP|Incorrect Number or Mask of DMX channels - 5"), std::string::npos);
    EXPECT_EQ(d.ed.ChannelCount, 5);
    EXPECT_EQ(d.ed.UpDownMask->value(), 5);
    EXPECT_TRUE(d.ed.Used(4));
    EXPECT_EQ(DmxOutLevels[104], 0);
    // A Tag byte past the table: only the message, no bit and no shift past 31.
    knob->SetTag(200);
    d.surface.KnobChange(knob);
    EXPECT_NE(Boxes().find("channels - 201"), std::string::npos);
    EXPECT_EQ(d.ed.ChannelCount, 5);

    d.Count(8);
    EditorDriver::Type(d.ed.StartCh, QStringLiteral("600"));
    EXPECT_EQ(d.ed.StartCh->text(), QStringLiteral("505"));
    EXPECT_EQ(d.ed.TestStart, 504);
    EditorDriver::Type(d.ed.StartCh, QStringLiteral("0"));
    EXPECT_EQ(d.ed.StartCh->text(), QStringLiteral("1"));
    EXPECT_EQ(d.ed.TestStart, 0);

    // "B" sends the black-out states of used channels only, and only those >= 0.
    std::fill(std::begin(DmxOutLevels), std::end(DmxOutLevels), std::uint8_t(7));
    d.ed.BlackOutStates[0] = 0;
    d.ed.BlackOutStates[2] = -1;
    d.ed.BlackOutStates[4] = 9;
    d.ed.BlackOutStates[5] = 3;   // not used
    d.surface.BlackOutClick(nullptr);
    EXPECT_EQ(DmxOutLevels[0], 0);
    EXPECT_EQ(DmxOutLevels[2], 7);
    EXPECT_EQ(DmxOutLevels[4], 9);
    EXPECT_EQ(DmxOutLevels[5], 7);

    d.ed.SpeedButton11->click();
    EXPECT_FALSE(d.surface.FullMask->isHidden());
    EXPECT_EQ(d.ed.SpeedButton11->text(), QStringLiteral("TEST"));
}

TEST_F(DspEditorTest, PlacingSelectingAndDeletingElements)
{
    EditorDriver d;
    auto *box = d.Insert(ElGroupBox, 16, 24);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isEnabled());
    auto *knob = d.Insert(ElKnob, 40, 60);
    EXPECT_EQ(knob->parentWidget(), box);
    EXPECT_EQ(knob->pos(), QPoint(24, 36));
    d.Click(300, 300);   // empty space
    EXPECT_EQ(d.surface.Selected, -1);
    auto *label = d.Insert(ElLabel, 250, 250);
    EXPECT_EQ(label->parentWidget(), d.surface.MainPanel);
    // Sized to its caption, also after the caption is typed.
    const QFontMetrics fm(label->font());
    EXPECT_EQ(label->width(), fm.horizontalAdvance(QStringLiteral("Untitled")));
    EXPECT_EQ(d.Panel(ElLabel).width->text(), QString::number(label->width()));
    EditorDriver::Type(d.Panel(ElLabel).caption, QStringLiteral("Shutter and Strobe"));
    EXPECT_EQ(label->width(), fm.horizontalAdvance(QStringLiteral("Shutter and Strobe")));
    EXPECT_EQ(d.Panel(ElLabel).width->text(), QString::number(label->width()));
    const QString grabs = QString::fromLocal8Bit(std::getenv("BRTV_BIN_DIR")) + QStringLiteral("/grabs");
    QDir().mkpath(grabs);
    d.surface.grab().save(grabs + QStringLiteral("/designer-label-placed.png"));
    EXPECT_EQ(d.ed.CompList->count(), 3);
    EXPECT_EQ(d.ed.CompList->item(1)->text(), QStringLiteral("2 Knob"));

    d.Click(20, 28);   // the box's edge, outside the knob
    EXPECT_EQ(d.surface.SelectedControl(), box);
    QPointer<QWidget> knobGuard(knob);
    d.surface.DeleteClick();
    EXPECT_TRUE(knobGuard.isNull());
    ASSERT_EQ(d.surface.Elements.size(), 1u);
    EXPECT_EQ(d.surface.Elements[0].control, label);
    EXPECT_EQ(d.ed.CompList->count(), 1);

    // A box deletes also an element listed before it that it holds.
    auto *box2 = d.Insert(ElGroupBox, 16, 200);
    auto *inner = d.Insert(ElColorButton, 30, 230);
    d.surface.Elements.insert(d.surface.Elements.begin(), d.surface.Elements.back());
    d.surface.Elements.pop_back();
    QPointer<QWidget> innerGuard(inner);
    d.Click(18, 202);
    EXPECT_EQ(d.surface.SelectedControl(), box2);
    d.surface.DeleteClick();
    EXPECT_TRUE(innerGuard.isNull());
    EXPECT_EQ(d.surface.Elements.size(), 1u);
}

TEST_F(DspEditorTest, MovingSizingSnappingAndLocking)
{
    EXPECT_EQ(SnapToGrid(13), 16);
    EXPECT_EQ(SnapToGrid(11), 8);
    EXPECT_EQ(SnapToGrid(12), 16);
    EXPECT_EQ(SnapToGrid(-3), 0);
    EXPECT_EQ(SnapToGrid(-5), -8);

    EditorDriver d;
    QWidget *knob = d.Insert(ElKnob, 40, 40);
    ASSERT_EQ(knob->geometry(), QRect(40, 40, 40, 40));
    // Sizer 4 (the right edge) dragged past the left edge.
    d.surface.SizerMouseDown(4, Qt::LeftButton, 80, 60);
    d.surface.SizerMouseMove(4, 50, 60);
    d.surface.SizerMouseUp(4, Qt::LeftButton, 20, 60);
    EXPECT_EQ(knob->geometry(), QRect(20, 40, 20, 40));
    EXPECT_EQ(d.surface.Sizers[7]->pos(), QPoint(20 + 20 - 3, 40 + 40 - 3));

    // Dragging with snapping: x 13 stores 16.
    d.ed.SnapToGrid->setChecked(true);
    d.surface.FullMaskMouseDown(Qt::LeftButton, 25, 45);
    d.surface.FullMaskMouseMove(18, 45);
    d.surface.FullMaskMouseUp(Qt::LeftButton, 18, 45);
    EXPECT_EQ(knob->x(), 16);
    d.surface.FullMaskMouseDown(Qt::LeftButton, 20, 45);
    d.surface.FullMaskMouseUp(Qt::LeftButton, 15, 45);   // 11
    EXPECT_EQ(knob->x(), 8);

    // Keys: Shift sizes, Ctrl moves, by 8 with snapping.
    knob->resize(40, 40);
    d.surface.Select(0);
    d.surface.FormKeyDown(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(knob->width(), 32);
    d.ed.SnapToGrid->setChecked(false);
    d.surface.FormKeyDown(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(knob->width(), 31);

    // Locked: drags and sizers change nothing; Ctrl and Shift arrows still do.
    d.ed.LockElements->setChecked(true);
    const QRect before = knob->geometry();
    d.surface.FullMaskMouseDown(Qt::LeftButton, before.x() + 5, before.y() + 5);
    d.surface.FullMaskMouseMove(before.x() + 50, before.y() + 50);
    d.surface.FullMaskMouseUp(Qt::LeftButton, before.x() + 50, before.y() + 50);
    d.surface.SizerMouseDown(7, Qt::LeftButton, before.right(), before.bottom());
    d.surface.SizerMouseUp(7, Qt::LeftButton, before.right() + 30, before.bottom() + 30);
    EXPECT_EQ(knob->geometry(), before);
    d.surface.FormKeyDown(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(knob->y(), before.y() + 1);
    d.surface.FormKeyDown(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(knob->width(), before.width() + 1);

    // Plain arrows walk the list and stop at its ends.
    d.ed.LockElements->setChecked(false);
    d.Insert(ElLabel, 200, 200);
    d.surface.FormKeyDown(Qt::Key_Right, Qt::NoModifier);
    EXPECT_EQ(d.surface.Selected, 1);
    d.surface.FormKeyDown(Qt::Key_Up, Qt::NoModifier);
    d.surface.FormKeyDown(Qt::Key_Up, Qt::NoModifier);
    EXPECT_EQ(d.surface.Selected, 0);
    EXPECT_EQ(d.ed.CompList->currentRow(), 0);
}

TEST_F(DspEditorTest, CopyPasteAndDuplicate)
{
    EditorDriver d;
    auto *box = d.Insert(ElGroupBox, 16, 24);
    ASSERT_EQ(box->size(), QSize(185, 105));
    d.Click(300, 300);
    auto *multi = dynamic_cast<TMultiButton *>(d.Insert(ElMultiButton, 250, 200));
    ASSERT_NE(multi, nullptr);
    for (int i = 0; i < 32; ++i)
        multi->SetChannels(i, short(i * 7 - 1));
    d.surface.CopyClick();
    EXPECT_TRUE(fs::exists(Bin("copyel$$.tmp")));

    d.Click(20, 28);   // the box is current
    const QPoint at = d.surface.FullMask->mapToGlobal(QPoint(300, 50));
    setCursorHooks([at] { return at; }, nullptr);
    d.surface.PasteClick();
    auto *pasted = dynamic_cast<TMultiButton *>(d.surface.SelectedControl());
    ASSERT_NE(pasted, nullptr);
    EXPECT_NE(pasted, multi);
    EXPECT_EQ(d.surface.Elements.back().kind, ElMultiButton);
    EXPECT_EQ(pasted->parentWidget(), box);
    EXPECT_EQ(pasted->pos(), QPoint(0, 26));
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(pasted->GetChannels(i), i * 7 - 1);

    // A short stream (a label with no property of its own) is pasted as well.
    d.Click(300, 300);
    auto *label = d.Insert(ElLabel, 200, 300);
    ASSERT_TRUE(WriteWholeFile(Bin("copyel$$.tmp"), QByteArray("TPF0\x06TLabel\x00\x00\x00", 14)));
    const std::size_t n = d.surface.Elements.size();
    d.surface.PasteClick();
    EXPECT_EQ(d.surface.Elements.size(), n + 1);
    EXPECT_NE(d.surface.SelectedControl(), label);

    // Clipboards that are no element paste nothing.
    for (const QByteArray &bad : {QByteArray("TPF0\x09TNotAThi"), QByteArray("TPF0\x05TKnob"), QByteArray("XXXX\x06TKnobL"),
                                  QByteArray("TPF0\x30TKnobL")}) {
        ASSERT_TRUE(WriteWholeFile(Bin("copyel$$.tmp"), bad));
        d.surface.PasteClick();
        EXPECT_EQ(d.surface.Elements.size(), n + 1);
    }
    // A stream cut after its class name keeps the element and reports the reader's error.
    ASSERT_TRUE(WriteWholeFile(Bin("copyel$$.tmp"), QByteArray("TPF0\x06TKnobL\x00", 12)));
    d.surface.PasteClick();
    EXPECT_EQ(d.surface.Elements.size(), n + 2);
    EXPECT_NE(Boxes().find("Brantoval-1024|"), std::string::npos) << Boxes();

    // Duplicate keeps a knob's binding, range and brush, at the original's right edge.
    auto *knob = dynamic_cast<TKnobL *>(d.Insert(ElKnob, 100, 400));
    knob->SetTag(0x0305);
    knob->SetParams(knob->Position(), 10, 200);
    knob->Brush().SetColor(0x123456);
    d.surface.DuplicateClick();
    auto *copy = dynamic_cast<TKnobL *>(d.surface.SelectedControl());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, knob);
    EXPECT_EQ(copy->Tag(), 0x0305);
    EXPECT_EQ(copy->Min(), 10);
    EXPECT_EQ(copy->Max(), 200);
    EXPECT_EQ(copy->Brush().Color, 0x123456u);
    EXPECT_EQ(copy->pos(), QPoint(knob->x() + knob->width(), knob->y()));

    d.ed.close();
    d.form.reset();
    EXPECT_FALSE(fs::exists(Bin("copyel$$.tmp")));
}

TEST_F(DspEditorTest, LoadingAndSavingKeepTheProfile)
{
    ProfileBuilder b;
    b.Channel(0, FnPan, true, 128, 0);
    b.Channel(1, FnTilt, true);
    b.header.count = 2;
    b.header.name = "Builder";
    b.params.flags = 0;
    auto *pad = b.Add<TFieldXY>(ElFieldXY, 10, 30, 0x0100);
    pad->SetColor(0x00FF00);
    auto *box = new TGroupBox(&b.surface);
    box->move(10, 200);
    box->setEnabled(false);
    b.list.push_back(PanelElement{ElGroupBox, box});
    b.Add<TKnobL>(ElKnob, 8, 20, 1, box);
    b.Add<TLabel>(ElLabel, 200, 20, 0);
    const std::string path = b.Save(b.Bytes(), "builder.dsp");

    EditorDriver d;
    d.ed.PanInvert->setChecked(true);
    d.Load(path);
    EXPECT_TRUE(d.ed.LockElements->isChecked());
    EXPECT_EQ(d.ed.ChannelCount, 2);
    EXPECT_EQ(d.ed.DeviceName, "Builder");
    EXPECT_EQ(d.ed.DefaultStates[0], 128);
    ASSERT_EQ(d.surface.Elements.size(), 4u);
    auto *loadedPad = dynamic_cast<TFieldXY *>(d.surface.Elements[0].control.data());
    ASSERT_NE(loadedPad, nullptr);
    // Shown in silver; the colour of the file is what is written back.
    EXPECT_EQ(loadedPad->BallColor(), 0xC0C0C0u);
    EXPECT_EQ(loadedPad->Color(), 0x00FF00u);
    EXPECT_FALSE(d.surface.Elements[2].control->isEnabled());   // the box, while designing
    // The hint carried no flags: Pan Invert as the file says.
    EXPECT_FALSE(d.ed.PanInvert->isChecked());

    d.Save(Bin("Devices/one.dsp"));
    d.ed.SpeedButton11->click();   // TEST mode alone is no change
    d.Save(Bin("Devices/two.dsp"));
    QByteArray one, two;
    ASSERT_TRUE(ReadWholeFile(Bin("Devices/one.dsp"), one));
    ASSERT_TRUE(ReadWholeFile(Bin("Devices/two.dsp"), two));
    EXPECT_EQ(one, two);
    // Surface elements first, then the box with its knob.
    DspProfile header;
    TImage icon;
    DspIconParams params;
    QWidget surface;
    std::vector<PanelElement> list;
    ASSERT_EQ(ReadDspProfile(one, header, icon, params, &surface, list, {}), ProfileReadResult::Ok);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].kind, ElFieldXY);
    EXPECT_EQ(list[1].kind, ElLabel);
    EXPECT_EQ(list[2].kind, ElGroupBox);
    EXPECT_EQ(list[3].kind, ElKnob);
    EXPECT_EQ(one.mid(105, 4), QByteArray("BLCO"));
    EXPECT_EQ(one.mid(173, 4), QByteArray("SMTH"));
}

TEST_F(DspEditorTest, BadFilesAndFailedSaves)
{
    EditorDriver d;
    ASSERT_TRUE(WriteWholeFile(Bin("Devices/bad.dsp"), QByteArray("XXXX and more bytes than a header")));
    d.Load(Bin("Devices/bad.dsp"));
    EXPECT_NE(Boxes().find("DSP|Not DSP Format !!!"), std::string::npos);
    EXPECT_EQ(d.ed.DeviceName, "Undefined");
    EXPECT_FALSE(d.ed.LoadedFromFile);

    d.Load(Bin("Devices/missing.dsp"));
    EXPECT_NE(Boxes().find("DSP|Cannot open file \"" + Bin("Devices/missing.dsp") + "\""), std::string::npos);

    // A cut element stream keeps the elements read before it.
    const std::string sample = SourceDevices() + "MovingHead.dsp";
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(sample, bytes));
    ASSERT_TRUE(WriteWholeFile(Bin("Devices/cut.dsp"), bytes.left(bytes.size() - 20)));
    d.Load(Bin("Devices/cut.dsp"));
    EXPECT_NE(Boxes().find("DSP|Format ERROR!!!"), std::string::npos);
    EXPECT_EQ(d.ed.ChannelCount, 8);
    EXPECT_GT(d.surface.Elements.size(), 5u);
    EXPECT_FALSE(d.ed.LoadedFromFile);
    EXPECT_EQ(d.ed.windowTitle().toStdString(), std::string(DspEditorCaption) + "- cut.dsp");

    // A save that cannot be written leaves file name, path and caption alone.
    platform::QueueAnswers({"No"});
    d.ed.New1Click();
    const QString caption = d.ed.windowTitle();
    d.Save(Bin("no/such/folder/x.dsp"));
    EXPECT_NE(Boxes().find("DSP|Cannot create file \"" + Bin("no/such/folder/x.dsp") + "\""), std::string::npos);
    EXPECT_EQ(d.ed.windowTitle(), caption);
    EXPECT_EQ(d.ed.ProfilePath, "");

    // An icon that is not 32x32 is refused.
    QImage(16, 16, QImage::Format_RGB32).save(QString::fromStdString(Bin("small.bmp")), "BMP");
    QImage red(32, 32, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.save(QString::fromStdString(Bin("red.bmp")), "BMP");
    platform::QueueAnswers({Bin("red.bmp")});
    d.ed.DevIconLoadClick();
    EXPECT_EQ(d.ed.DevIcon->Picture().pixelColor(5, 5), QColor(Qt::red));
    platform::QueueAnswers({Bin("small.bmp")});
    d.ed.DevIconLoadClick();
    EXPECT_NE(Boxes().find("DSP|Size of Device Icon must be 32*32 pixels"), std::string::npos);
    EXPECT_EQ(d.ed.DevIcon->Picture(), d.ed.IconLast->Picture());
}

TEST_F(DspEditorTest, FilePreviewShowsTheProfilesPanel)
{
    EditorDriver d;
    TKpOpenPreviewDialog dialog;
    dialog.SetCustomPreviewExt({QStringLiteral("dsp")});
    dialog.OnPreview = [&d](TKpOpenPreviewDialog *sender, const std::string &ext) { d.ed.FilePreview(sender, ext); };
    const QString sample = QString::fromStdString(SourceDevices() + "MovingHead.dsp");
    dialog.setDirectory(QFileInfo(sample).absolutePath());
    dialog.selectFile(sample);
    emit dialog.currentChanged(sample);
    EXPECT_EQ(dialog.GetCaption(), "Moving Head");
    ASSERT_NE(dialog.FPreviewImage, nullptr);
    EXPECT_FALSE(dialog.FPreviewImage->pixmap().isNull());
    EXPECT_NE(FixForm, nullptr);
    d.ed.PreviewClosed();
    EXPECT_EQ(FixForm, nullptr);
    EXPECT_TRUE(d.ed.PreviewElements.empty());

    ASSERT_TRUE(WriteWholeFile(Bin("Devices/other.dsp"), QByteArray("ABCD not a profile")));
    const QString other = QString::fromStdString(Bin("Devices/other.dsp"));
    dialog.SetCaption("Preview");
    emit dialog.currentChanged(other);
    EXPECT_EQ(dialog.GetCaption(), "Preview");
    EXPECT_TRUE(dialog.FPreviewImage->pixmap().isNull());
    EXPECT_EQ(FixForm, nullptr);

    // A profile that cannot be read fails the preview.
    ASSERT_TRUE(WriteWholeFile(Bin("Devices/cut.dsp"), QByteArray("DSL0\x02", 5)));
    emit dialog.currentChanged(QString::fromStdString(Bin("Devices/cut.dsp")));
    EXPECT_NE(Boxes().find("|Error Preview|"), std::string::npos) << Boxes();
}

TEST_F(DspEditorTest, SamplesReachTheProgramFolderOnceAndFillTheCatalogue)
{
    // The build's copy step: missing samples are copied, an edited one is kept.
    const std::string devices = Bin("Devices");
    ASSERT_TRUE(WriteWholeFile(devices + "/Dimmer.dsp", QByteArray("edited")));
    const std::string command = std::string("cmake -DSRC=") + SourceDevices() + " -DDST=" + devices + " -P " +
                                std::getenv("BRTV_SOURCE_DIR") + "/fixtures/CopyMissingProfiles.cmake";
    ASSERT_EQ(std::system(command.c_str()), 0);
    QByteArray kept;
    ASSERT_TRUE(ReadWholeFile(devices + "/Dimmer.dsp", kept));
    EXPECT_EQ(kept, QByteArray("edited"));
    EXPECT_TRUE(fs::exists(devices + "/MovingHead.dsp"));
    EXPECT_TRUE(fs::exists(devices + "/RGBColour.dsp"));

    fs::copy_file(SourceDevices() + "Dimmer.dsp", devices + "/Dimmer.dsp", fs::copy_options::overwrite_existing);
    LoadDeviceProfiles();
    ASSERT_EQ(DeviceTypes.size(), 3u);
    EXPECT_EQ(DeviceTypes[0].deviceName, "Dimmer");
    EXPECT_EQ(DeviceTypes[1].deviceName, "Moving Head");
    EXPECT_EQ(DeviceTypes[2].deviceName, "RGB Colour");
    EXPECT_EQ(DeviceTypes[1].channelCount, 8);
    EXPECT_EQ(DeviceTypes[2].channelCount, 4);
    EXPECT_EQ(Boxes().find("no one dsp"), std::string::npos) << Boxes();
}
