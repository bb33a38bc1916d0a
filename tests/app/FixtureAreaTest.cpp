// The fixture area of the main window, with fixtures patched from real profiles so that
// their panels exist: the Monitor and Sliders pages, clicks with Ctrl and Shift, the
// channel editor and tracks, the clipboards through the menu, solo, removal and the
// joystick.
#include "FixtureAreaShow.h"
#include "profiles/ProfileBuilder.h"

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/SceneFixtures.h"
#include "app/ShowFile.h"
#include "app/WindowSeams.h"
#include "ui_MainForm.h"

#include "controls/Faders.h"
#include "controls/PanTiltPad.h"
#include "controls/Tracker.h"
#include "fixtures/TDesign.h"

#include "platform/Files.h"
#include "platform/Joystick.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"

#include "common/ProgramFolder.h"
#include "common/TestFiles.h"

#include <QAction>
#include <QMenu>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <linux/joystick.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace fixturearea_test;
using namespace transport_test;

namespace {

class FixtureAreaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-fixturearea");
        log = testfiles::UseProgramFolder(root);
        fs::create_directories(root / "bin" / "Devices");
        WindowSeams() = WindowSeamTable{};
        // Demo mode, then "New Show"; no profiles yet.
        platform::QueueAnswers({"Yes", "1"});
        char arg0[] = "brantoval";
        char *argv[] = {arg0, nullptr};
        ASSERT_TRUE(CreateProgramWindows(1, argv));
        StopOutputTimer();
        ResetFixtureArea();
        form = MainForm;
        ui = form->ui;
        platform::ResetAnswers();
        platform::QueueAnswers({});
    }
    void TearDown() override
    {
        ReleaseFixtureWindows();
        ResetFixtureArea();
        FixtureWindows() = FixtureWindowHooks{};
        platform::SetJoystickFolder("");
        if (MainForm)
            DestroyProgramWindows();
        WindowSeams() = WindowSeamTable{};
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        fs::remove_all(root);
    }

    // "spot.dsp": 16 channels (pan, tilt, colour, dimmer, ...) with a pan/tilt pad and a
    // fader on channel 3; "par.dsp": 8 channels with a fader on channel 0.
    void WriteProfiles()
    {
        ProfileBuilder spot;
        spot.header.count = 16;
        spot.header.name = "Spot";
        spot.Channel(0, FnPan);
        spot.Channel(1, FnTilt);
        spot.Channel(2, FnColor);
        for (int j = 3; j < 16; ++j)
            spot.Channel(j, FnDimmer);
        spot.Add<TFieldXY>(ElFieldXY, 4, 4, MakeTag(0, 1));
        spot.Add<TSlider>(ElSlider, 150, 4, MakeTag(3));
        fs::copy_file(spot.Save("spot.dsp"), root / "bin" / "Devices" / "spot.dsp");
        ProfileBuilder par;
        par.header.count = 8;
        par.header.name = "Par";
        for (int j = 0; j < 8; ++j)
            par.Channel(j, j == 0 ? FnColor : FnDimmer);
        par.Add<TSlider>(ElSlider, 4, 4, MakeTag(0));
        fs::copy_file(par.Save("par.dsp"), root / "bin" / "Devices" / "par.dsp");
        LoadDeviceProfiles();
    }
    int TypeNamed(const std::string &name) const
    {
        for (int i = 0; i < DeviceTypeCount; ++i)
            if (DeviceTypes[static_cast<std::size_t>(i)].deviceName == name)
                return i;
        return -1;
    }
    // Patches the fixtures, builds their panels and selects the first.
    void Patched(std::initializer_list<std::tuple<const char *, int, const char *>> fixtures)
    {
        WriteProfiles();
        for (const auto &[type, start, header] : fixtures)
            PatchFixture(TypeNamed(type), start, header);
        BuildChannelMaps();
        BuildFixturePanels();
        form->SelectFirstFixture();
    }
    QImage Monitor() const { return form->PaintPanelLeft->grab().toImage(); }
    QPoint CellPoint(int channel, bool valueHalf) const
    {
        return QPoint((channel % 16) * TMainForm::MonitorCellWidth + 10,
                      (channel / 16) * TMainForm::MonitorCellHeight + (valueHalf ? 20 : 5));
    }
    void Click(int channel, Qt::KeyboardModifiers mods = {}, bool valueHalf = false)
    {
        QTest::mouseClick(form->PaintPanelLeft, Qt::LeftButton, mods, CellPoint(channel, valueHalf));
    }
    // Saves a picture of a page when BRTV_GRAB_DIR names a folder.
    static void Keep(QWidget *w, const char *name)
    {
        if (const char *dir = std::getenv("BRTV_GRAB_DIR"))
            w->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
    }
    std::string BoxLog() const { return testfiles::Read(log); }

    fs::path root;
    std::string log;
    TMainForm *form = nullptr;
    Ui::TMainForm *ui = nullptr;
};

QRgb Rgb(TColor c)
{
    return toQColor(c).rgb();
}

} // namespace

TEST_F(FixtureAreaTest, TwoPatchedFixturesShowTheirHeaderBarsAndListRows)
{
    Patched({{"Spot", 16, "Spot A"}, {"Spot", 48, "Spot B"}});
    ASSERT_EQ(FixtureCount, 2);
    EXPECT_EQ(SelectedFixture, 0);
    form->resize(1200, 800);
    form->show();
    EXPECT_EQ(FixtureHeaderText(0), "#17 \"Spot A\"");
    EXPECT_EQ(FixtureHeaderText(1), "#49 \"Spot B\"");
    const QImage img = Monitor();
    const int H = TMainForm::MonitorCellHeight;
    const int x = 16 * TMainForm::MonitorCellWidth - 8;   // in the last column
    // Row 1 holds the selected fixture's bar (lime), row 3 the other one's (green),
    // both 13 pixels high and 16 cells wide; row 2 has none.
    EXPECT_EQ(img.pixel(x, 1 * H + 1), Rgb(clLime));
    EXPECT_EQ(img.pixel(x, 1 * H + 12), Rgb(clLime));
    EXPECT_NE(img.pixel(x, 1 * H + 14), Rgb(clLime));
    EXPECT_EQ(img.pixel(x, 3 * H + 1), Rgb(clGreen));
    EXPECT_NE(img.pixel(x, 2 * H + 1), Rgb(clGreen));
    Keep(form->PaintPanelLeft, "monitor.png");

    ASSERT_EQ(form->DrawDevGrid->rowCount(), 2);
    EXPECT_EQ(form->DrawDevGrid->item(0, 1)->text(), QStringLiteral("Spot A"));
    EXPECT_EQ(form->DrawDevGrid->item(1, 0)->text(), QStringLiteral("49"));
    // The fixtures share one panel, shown in MasterPanel.
    ASSERT_NE(Fixtures[0].panel, nullptr);
    EXPECT_EQ(Fixtures[1].panel, Fixtures[0].panel);
    EXPECT_TRUE(ui->MasterPanel->isAncestorOf(Fixtures[0].panel->MainPanel));
    EXPECT_FALSE(Fixtures[0].panel->MainPanel->isHidden());
    EXPECT_TRUE(Fixtures[0].panel->PanelRL->isHidden()) << "a paging label that pages nothing";

    QTest::mouseClick(form->SpeedButton4, Qt::LeftButton);
    EXPECT_EQ(ui->LeftPages->currentWidget(), ui->Tracks64);
    EXPECT_EQ(FixtureAreaPage, 1);
    form->DrawDevSelectCell(1, Qt::LeftButton, {});
    EXPECT_EQ(SelectedFixture, 1);
    EXPECT_TRUE(form->Tracks[15]->isVisibleTo(form));
    EXPECT_FALSE(form->Tracks[16]->isVisibleTo(form));
    EXPECT_EQ(form->TrackLabels[0]->text().trimmed(), QStringLiteral("Pan"));
    Keep(ui->SliderPanel, "sliders.png");
    Keep(form, "window.png");

    // The "View" menu's page items press the page buttons.
    form->findChild<QAction *>(QStringLiteral("Monitor1"))->trigger();
    EXPECT_EQ(ui->LeftPages->currentWidget(), ui->OnlyEdits);
    EXPECT_TRUE(form->SpeedButton3->Down());
    EXPECT_FALSE(form->SpeedButton4->Down());
    form->findChild<QAction *>(QStringLiteral("Plan1"))->trigger();
    EXPECT_EQ(ui->LeftPages->currentWidget(), ui->Plan);
    EXPECT_EQ(FixtureAreaPage, 2);
}

TEST_F(FixtureAreaTest, MonitorCellsShowStateColoursAndValues)
{
    Patched({{"Par", 0, "P1"}, {"Par", 8, "P2"}});
    Fixtures[1].states[1] = 1;
    Fixtures[1].states[2] = 2;
    Fixtures[1].states[3] = 3;
    Fixtures[1].states[4] = 9;
    const QImage img = Monitor();
    const int W = TMainForm::MonitorCellWidth, H = TMainForm::MonitorCellHeight;
    // The left edge of channel c's value box: column c mod 16, row c / 16.
    auto frame = [&](int c) {
        return img.pixel((c % 16) * W + 3, (c / 16) * H + TMainForm::MonitorHeaderHeight + 7);
    };
    EXPECT_EQ(frame(8), Rgb(clGreen));
    EXPECT_EQ(frame(9), Rgb(clBlue));
    EXPECT_EQ(frame(10), Rgb(clMaroon));
    EXPECT_EQ(frame(11), Rgb(clYellow));
    EXPECT_EQ(frame(12), Rgb(clSilver));
    EXPECT_EQ(img.pixel(W + 6, TMainForm::MonitorHeaderHeight + 6), qRgb(255, 255, 255));   // inside a value box
    // The linked fixture's bar is maroon.
    EXPECT_EQ(img.pixel(8 * W + 28, 2), Rgb(clMaroon));
}

TEST_F(FixtureAreaTest, CtrlAndShiftClicksLinkAndMakeManualWithTheMenus)
{
    Patched({{"Spot", 0, "S1"}, {"Spot", 16, "S2"}});
    Click(17, Qt::ControlModifier);
    EXPECT_EQ(SelectedFixture, 1);
    for (int j = 0; j < 16; ++j)
        EXPECT_EQ(Fixtures[1].states[j], 2);
    EXPECT_TRUE(ui->MasterOff->isVisible());
    EXPECT_EQ(form->FixtureTitle->text(), QStringLiteral("Master Mode"));
    EXPECT_EQ(Monitor().pixel(40, 28 + 2), Rgb(clRed));   // selected and linked
    Click(17, Qt::ControlModifier);
    EXPECT_EQ(FirstState(Fixtures[1]), 0);
    EXPECT_FALSE(ui->MasterOff->isVisible());
    EXPECT_EQ(form->FixtureTitle->text(), QStringLiteral("S2"));

    Click(3, Qt::ShiftModifier);
    EXPECT_EQ(SelectedFixture, 0);
    EXPECT_EQ(Fixtures[0].states[3], 1);
    EXPECT_TRUE(ui->ManualOff->isVisible());
    EXPECT_EQ(Monitor().pixel(40, 2), Rgb(clAqua));
    ui->ManualOff->trigger();
    EXPECT_FALSE(ui->ManualOff->isVisible());
    EXPECT_EQ(FirstState(Fixtures[0]), 0);

    // Linked, master off clears every link.
    Click(1, Qt::ControlModifier);
    Click(17, Qt::ControlModifier);
    ui->MasterOff->trigger();
    EXPECT_FALSE(AnyChannelInState(2));
}

TEST_F(FixtureAreaTest, UserRedMasterFrameTogglesAndAppliesStates)
{
    Patched({{"Par", 0, "P1"}, {"Par", 8, "P2"}});
    Fixtures[1].states[1] = 1;
    ui->UserRedMaster1->trigger();
    EXPECT_EQ(LinkMode, LinkUserRed);
    Click(9, Qt::ControlModifier);
    EXPECT_EQ(SelectedFixture, 1);
    EXPECT_EQ(FirstState(Fixtures[1]), 1);   // Ctrl-click in this mode links nothing itself
    ASSERT_FALSE(form->UserRedMaster->isHidden());
    EXPECT_EQ(form->DrawGridMasterGrid->columnCount(), 8);
    form->DrawGridMasterSelectCell(0);   // 0 -> 2
    form->DrawGridMasterSelectCell(1);   // 1 -> 2
    form->DrawGridMasterSelectCell(0);   // 2 -> 0
    form->DrawGridMasterSelectCell(3);
    QTest::keyClick(form->RedMasterApply, Qt::Key_Escape);
    EXPECT_TRUE(form->UserRedMaster->isHidden());
    EXPECT_EQ(Fixtures[1].states[3], 0);   // Esc keeps the fixture as it was

    Click(9, Qt::ControlModifier);
    form->DrawGridMasterSelectCell(1);
    form->DrawGridMasterSelectCell(3);
    form->RedMasterApply->click();
    EXPECT_TRUE(form->UserRedMaster->isHidden());
    EXPECT_EQ(Fixtures[1].states[0], 0);
    EXPECT_EQ(Fixtures[1].states[1], 2);
    EXPECT_EQ(Fixtures[1].states[3], 2);
    EXPECT_TRUE(ui->MasterOff->isVisible());
}

// In User Red Master mode a Ctrl+click on a linked fixture unlinks it like in the other
// modes instead of opening the frame again.
TEST_F(FixtureAreaTest, UserRedMasterCtrlClickOnALinkedFixtureUnlinksIt)
{
    Patched({{"Par", 0, "P1"}, {"Par", 8, "P2"}});
    ui->UserRedMaster1->trigger();
    for (int j = 0; j < 8; ++j)
        Fixtures[1].states[j] = 2;
    form->UpdateFixtureMenus();
    Click(9, Qt::ControlModifier);
    EXPECT_TRUE(form->UserRedMaster->isHidden());
    EXPECT_EQ(SelectedFixture, 1);
    for (int j = 0; j < 8; ++j)
        EXPECT_EQ(Fixtures[1].states[j], 0) << j;
    EXPECT_FALSE(ui->MasterOff->isVisible());
    // An unlinked fixture opens the frame.
    Click(9, Qt::ControlModifier);
    EXPECT_FALSE(form->UserRedMaster->isHidden());
}

// A click on the selected fixture reselects it for real: its panel shows the values the
// fixture holds now.
TEST_F(FixtureAreaTest, ClickOnTheSelectedFixtureRefreshesItsPanel)
{
    Patched({{"Par", 0, "P1"}});
    TDesign *panel = Fixtures[0].panel;
    ASSERT_NE(panel, nullptr);
    auto *fader = static_cast<TSlider *>(panel->Elements[0].control.data());
    Fixtures[0].values[0] = 140;   // changed behind the panel's back (a scene step)
    EXPECT_NE(fader->Position(), 140);
    Click(1);
    EXPECT_EQ(SelectedFixture, 0);
    EXPECT_EQ(fader->Position(), 140);
}

TEST_F(FixtureAreaTest, EditorAndTracksFollowThePlaySituation)
{
    Patched({{"Par", 0, "P1"}});
    Click(3, {}, true);
    ASSERT_TRUE(!form->Mean1->isHidden());
    EXPECT_EQ(SelectedChannel, 3);
    form->Mean1->setValue(77);
    EXPECT_EQ(Fixtures[0].values[3], 77);
    EXPECT_EQ(DmxOutLevels[3], 77);
    EXPECT_EQ(ShowModified, 1);

    // The panel's fader drives channel 0 through the same entry.
    TDesign *panel = Fixtures[0].panel;
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->Elements.size(), 1u);
    auto *fader = static_cast<TSlider *>(panel->Elements[0].control.data());
    form->Tracks[0]->SetPosition(120);
    emit form->Tracks[0]->OnChange(form->Tracks[0]);
    EXPECT_EQ(Fixtures[0].values[0], 120);
    EXPECT_EQ(fader->Position(), 120);

    Fixtures[0].states[1] = 1;
    Playing = 1;
    form->Tracks[0]->SetPosition(200);
    emit form->Tracks[0]->OnChange(form->Tracks[0]);
    EXPECT_EQ(Fixtures[0].values[0], 120);
    EXPECT_EQ(form->Tracks[0]->Position(), 120);   // the track goes back
    form->Tracks[1]->SetPosition(90);
    emit form->Tracks[1]->OnChange(form->Tracks[1]);
    EXPECT_EQ(Fixtures[0].values[1], 90);
    EXPECT_EQ(DmxOutLevels[1], 90);
    // While playing the editor opens only on channels the player does not own.
    form->Mean1->hide();
    Click(0, {}, true);
    EXPECT_FALSE(!form->Mean1->isHidden());
    Click(1, {}, true);
    EXPECT_TRUE(!form->Mean1->isHidden());
}

TEST_F(FixtureAreaTest, FixtureClipboardsThroughTheMenu)
{
    Patched({{"Spot", 0, "S"}, {"Par", 32, "P"}, {"Par", 48, "Q"}});
    AddSequence(5);
    CurSequence = 0;
    CurScene = 0;
    for (int j = 0; j < 16; ++j)
        Fixtures[0].values[j] = static_cast<std::uint8_t>(200 + j % 50);
    form->Select(0);
    ui->CopyStSc->trigger();
    form->Select(1);
    platform::QueueAnswers({"Yes"});
    ui->PasteStSc->trigger();
    for (int j = 0; j < 8; ++j)
        EXPECT_EQ(Fixtures[1].values[j], 200 + j);
    EXPECT_EQ(DmxOutLevels[33], 201);
    EXPECT_NE(BoxLog().find("Inserting SCENE from another device,\r\nAre You sure ?|Yes"), std::string::npos);

    // The range dialog chooses scenes 2..4 (indices 1..3).
    int askedMode = -1;
    WindowSeams().seqStCopChoose = [&](int mode, int, int, int &first, int &last) {
        askedMode = mode;
        first = 1;
        last = 3;
        return true;
    };
    ui->CopyStSeq->trigger();
    EXPECT_EQ(askedMode, 0);
    ASSERT_EQ(DeviceSequenceSceneCount, 3);
    EXPECT_EQ(DeviceSequenceValues[1], LevelOf(0, 2, 32));   // channel 0, second scene
    EXPECT_EQ(DeviceSequenceValues[3], LevelOf(0, 1, 33));   // channel 1, first scene
    form->Select(2);
    ui->PasteStSeq->trigger();
    EXPECT_EQ(askedMode, 1);
    for (int s = 1; s <= 3; ++s)
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(Sequences[0]->scenes[s]->levels[48 + i], LevelOf(0, s, 32 + i));
    EXPECT_EQ(ShowModified, 1);
}

TEST_F(FixtureAreaTest, SoloDuringPlayHidesTheOthersAndKeepsTheEngineFlag)
{
    Patched({{"Spot", 0, "S"}, {"Par", 32, "P"}});
    QWidget icons[2];
    Fixtures[0].planIcon = &icons[0];
    Fixtures[1].planIcon = &icons[1];
    icons[0].show();
    icons[1].show();
    Playing = 1;
    EngineBusy = 0;
    form->TimerFonPlay->start(50);
    ui->Solo->trigger();
    EXPECT_EQ(SoloOn, 1);
    EXPECT_TRUE(ui->Solo->isChecked());
    EXPECT_EQ(Fixtures[1].channelCount, 0);
    EXPECT_EQ(Fixtures[0].channelCount, 16);
    EXPECT_TRUE(icons[1].isHidden());
    EXPECT_FALSE(icons[0].isHidden());
    EXPECT_EQ(EngineBusy.load(), 0);
    EXPECT_TRUE(form->TimerFonPlay->isActive());
    // Only the soloed fixture's row can be chosen.
    form->DrawDevSelectCell(1, Qt::LeftButton, {});
    EXPECT_EQ(SelectedFixture, 0);

    ui->Solo->trigger();
    EXPECT_EQ(SoloOn, 0);
    EXPECT_EQ(Fixtures[1].channelCount, 8);
    EXPECT_FALSE(icons[1].isHidden());
    Fixtures[0].planIcon = Fixtures[1].planIcon = nullptr;
}

TEST_F(FixtureAreaTest, RemovingAFixtureRenumbersItsIconsAndSelectsFixtureZero)
{
    Patched({{"Par", 0, "A"}, {"Spot", 8, "B"}, {"Par", 24, "C"}});
    TImage *icons[3];
    for (int i = 0; i < 3; ++i) {
        icons[i] = new TImage(ui->Plan);
        icons[i]->SetTag(i);
        Fixtures[static_cast<std::size_t>(i)].planIcon = icons[i];
    }
    FixtureWindows().freePlanWidgets = [](int f) { delete Fixtures[static_cast<std::size_t>(f)].planIcon; };
    form->Select(1);
    platform::QueueAnswers({"Yes"});
    ui->DeviceOff->trigger();
    ASSERT_EQ(FixtureCount, 2);
    EXPECT_EQ(SelectedFixture, 0);
    EXPECT_EQ(ChannelUsed[8], 0);
    EXPECT_EQ(ChannelOwner[24].fixture, 1);
    EXPECT_EQ(form->DrawDevGrid->rowCount(), 2);
    // Clicking each remaining icon (its Tag names the fixture) selects that fixture.
    for (TImage *icon : {icons[2], icons[0]}) {
        form->DevT1Click(icon->Tag(), 0);
        EXPECT_EQ(Fixtures[static_cast<std::size_t>(SelectedFixture)].planIcon, icon);
    }
    EXPECT_EQ(icons[2]->Tag(), 1);
    // The Par panel is shown for fixture 1; the Spot panel went with its only fixture.
    EXPECT_EQ(Fixtures[1].panel, Fixtures[0].panel);
    for (auto &f : Fixtures)
        f.planIcon = nullptr;
    delete icons[0];
    delete icons[2];
}

TEST_F(FixtureAreaTest, JoystickSteersPanAndStepsScenesWithButtonTwo)
{
    Patched({{"Spot", 0, "S"}});
    AddSequence(3);
    CurSequence = 0;
    CurScene = 0;
    fs::create_directories(root / "js");
    auto writeDevice = [&](int x, int y, bool b1, bool b2) {
        std::ofstream out(root / "js" / "js0", std::ios::binary | std::ios::trunc);
        js_event events[] = {{0, static_cast<__s16>(x), JS_EVENT_AXIS | JS_EVENT_INIT, 0},
                             {0, static_cast<__s16>(y), JS_EVENT_AXIS | JS_EVENT_INIT, 1},
                             {0, static_cast<__s16>(b1), JS_EVENT_BUTTON | JS_EVENT_INIT, 0},
                             {0, static_cast<__s16>(b2), JS_EVENT_BUTTON | JS_EVENT_INIT, 1}};
        out.write(reinterpret_cast<const char *>(events), sizeof events);
    };
    platform::SetJoystickFolder((root / "js").string());
    JoystickId = 0;
    ui->Joystick->setVisible(true);
    ui->Joystick->trigger();
    EXPECT_TRUE(form->JoyTimer->isActive());
    EXPECT_EQ(form->JoyTimer->interval(), 100);

    writeDevice(32767, -32767, false, false);
    form->JoyTimerTimer();
    EXPECT_EQ(Fixtures[0].values[0], 0);   // no button: only the ball moves
    writeDevice(32767, -32767, true, false);
    form->JoyTimerTimer();
    EXPECT_EQ(Fixtures[0].values[0], 255);
    EXPECT_EQ(Fixtures[0].values[1], 0);
    EXPECT_EQ(DmxOutLevels[0], 255);

    writeDevice(0, 0, false, true);
    form->JoyTimerTimer();
    EXPECT_EQ(form->JoyTimer->interval(), 250);
    writeDevice(0, 0, false, false);
    form->JoyTimerTimer();
    EXPECT_EQ(form->JoyTimer->interval(), 100);
    ui->Joystick->trigger();
    EXPECT_FALSE(form->JoyTimer->isActive());
}

TEST_F(FixtureAreaTest, PopupCopiesTheFixturesMenuAndPositionMemoryChecksForPanTilt)
{
    Patched({{"Par", 0, "A"}});
    form->DeviceMenuPopup();
    QStringList titles;
    QMenu *posMem = nullptr;
    for (QAction *a : form->DeviceMenu->actions()) {
        titles << a->text();
        if (a->menu())
            posMem = a->menu();
    }
    EXPECT_TRUE(titles.contains(QStringLiteral("Fixture OFF")));
    EXPECT_TRUE(titles.contains(QStringLiteral("Paste (Load) Fixture Sequence")));
    ASSERT_NE(posMem, nullptr);
    EXPECT_EQ(posMem->title(), QStringLiteral("Position Memory"));
    EXPECT_EQ(posMem->actions().size(), ui->MenuPosMem->actions().size());
    // A fixture without pan and tilt has no track to edit; the position memory editor
    // exists, so "Create" is offered (and then refused for want of pan and tilt).
    EXPECT_FALSE(ui->TrackEdit->isEnabled());
    EXPECT_TRUE(ui->CreatePosMem->isEnabled());

    form->CreatePosMemClick();
    EXPECT_NE(BoxLog().find("You have no one Device with Pan/Tilt control"), std::string::npos);
    EXPECT_EQ(PositionMemoryPresent, 0);
}
