// The operator's road through the real program, bound to the interface simulator through
// lptbrtv.so: a program folder with a fixture profile, the ten windows as the program
// makes them, the File menu's New / Open / Save / Save As with scripted answers, a level
// set on the fixture area, play, and the frames the simulator received.
#include "SimulatorHarness.h"
#include "common/ProgramFolder.h"
#include "fixtures/ShowFileTestSupport.h"
#include "profiles/ProfileBuilder.h"

#include "app/Application.h"
#include "app/InterfaceBinding.h"
#include "app/LevelPipeline.h"
#include "app/MainForm.h"
#include "app/OutputEngine.h"
#include "app/PatchLoader.h"
#include "app/PlayState.h"
#include "app/RecentFiles.h"
#include "app/ShowFile.h"
#include "app/ShowModel.h"
#include "app/StartupState.h"
#include "app/WindowSeams.h"
#include "fixtures/TSetup.h"
#include "ui_MainForm.h"
#include "ui_Setup.h"

#include "controls/Faders.h"
#include "controls/SpeedButton.h"
#include "controls/SpinEdits.h"

#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"

#include <QAction>
#include <QDialog>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace simharness;

namespace {

class OperatorRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-road");
        ASSERT_TRUE(StartSimulatedInterface(root, sim));
        // A dimmer pack of four channels whose panel has a fader on channel 0.
        ProfileBuilder dim;
        dim.header.count = 4;
        dim.header.name = "Dimmer";
        for (int j = 0; j < 4; ++j)
            dim.Channel(j, FnDimmer);
        dim.Add<TSlider>(ElSlider, 4, 4, MakeTag(0));
        fs::copy_file(dim.Save("dim.dsp"), root / "bin" / "Devices" / "dim.dsp");

        ShowModified = 0;
        EngineBusy = 0;
        AccessLevel = 0;
        InterfaceKind = 0;
        WindowSeams() = WindowSeamTable{};
        // The patch window of the new show: the operator drops the dimmer pack from the
        // profile list onto channel 1 and closes the window.
        platform::ActOnNextDialog("Setup", [](QDialog &d) {
            auto &setup = static_cast<TSetup &>(d);
            ASSERT_EQ(setup.ui->ListView->count(), 1);
            setup.ListViewClick(setup.ui->ListView->item(0));
            setup.MapOfChannelsDragDrop(setup.ui->ListView, 0, 0);
            setup.ExitClick();
        });
        platform::QueueAnswers({"1"});   // the start dialog: New Show
        char arg0[] = "brantoval";
        char *argv[] = {arg0, nullptr};
        ASSERT_TRUE(CreateProgramWindows(1, argv));
        StopOutputTimer();   // the test ticks the engine itself
        form = MainForm;
        ui = form->ui;
        DmxOutEnabled = 1;
        ASSERT_EQ(DeviceState, 0);
        ASSERT_EQ(FixtureCount, 1);
    }
    void TearDown() override
    {
        if (MainForm)
            DestroyProgramWindows();
        CloseInterface();
        sim.Stop();
        unsetenv("BRTV_LPT_SIM");
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        ClearFixtures();
        fs::remove_all(root);
    }

    // The level typed into the Monitor page's editor of channel `channel`.
    void SetChannelOnMonitor(int channel, int level)
    {
        const QPoint cell((channel % 16) * TMainForm::MonitorCellWidth + 10,
                          (channel / 16) * TMainForm::MonitorCellHeight + 20);
        QTest::mouseClick(form->PaintPanelLeft, Qt::LeftButton, {}, cell);
        ASSERT_FALSE(form->Mean1->isHidden());
        form->Mean1->setValue(level);
    }
    void Trigger(QAction *a, std::vector<std::string> answers = {})
    {
        platform::QueueAnswers(answers);
        a->trigger();
    }
    std::string Boxes() const { return testfiles::Read(root / "box.log"); }
    // The last frame the simulator received, once it holds `level` at `channel`.
    bool WireShows(int channel, int level)
    {
        return WaitFor([&] {
            const std::vector<std::string> f = Frames(root / "frames");
            return !f.empty() && static_cast<int>(f.back().size()) > channel &&
                   static_cast<unsigned char>(f.back()[static_cast<std::size_t>(channel)]) == level;
        });
    }
    std::string Path(const char *name) const { return (root / name).string(); }

    fs::path root;
    Simulator sim;
    TMainForm *form = nullptr;
    Ui::TMainForm *ui = nullptr;
};

} // namespace

TEST_F(OperatorRoad, LevelSetOnTheFixtureAreaSurvivesSaveNewOpenAndPlays)
{
    SetChannelOnMonitor(0, 200);
    EXPECT_EQ(Fixtures[0].values[0], 200);
    OutputTick();
    ASSERT_TRUE(WireShows(0, 200));

    // Save As stores the panel's level into the scene before writing.
    Trigger(ui->SaveShowAs, {Path("road.d1k")});
    ASSERT_TRUE(fs::exists(root / "road.d1k"));
    EXPECT_EQ(ShowFileName, Path("road.d1k"));
    EXPECT_EQ(Sequences[0]->scenes[0]->levels[0], 200);
    EXPECT_EQ(ReadRecentFiles()[0], Path("road.d1k"));

    // The new show keeps the patch: its patch window is closed as it opens.
    platform::ActOnNextDialog("Setup", [](QDialog &d) { static_cast<TSetup &>(d).ExitClick(); });
    Trigger(ui->NewShow);
    EXPECT_EQ(ShowFileName, "Show1.d1k");
    ASSERT_EQ(SequenceCount, 1);
    EXPECT_EQ(Sequences[0]->scenes[0]->levels[0], 0);
    EXPECT_EQ(Fixtures[0].values[0], 0);

    Trigger(ui->LoadShow, {Path("road.d1k")});
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Brantoval-1024 - ") + QString::fromStdString(Path("road.d1k")));
    ASSERT_EQ(SequenceCount, 1);
    EXPECT_EQ(Sequences[0]->scenes[0]->levels[0], 200);
    EXPECT_EQ(Fixtures[0].values[0], 200);

    // Played: the scene's level reaches the wire; the zero of "New" went before it.
    SetChannelLevel(0, 0);
    OutputTick();
    ASSERT_TRUE(WireShows(0, 0));
    ui->Play->Click();
    ASSERT_TRUE(Playing.load());
    for (int i = 0; i < 3; ++i)
        OutputTick();
    EXPECT_TRUE(WireShows(0, 200));
    ui->Stop->Click();
}

TEST_F(OperatorRoad, CrossFadeSettingsGoIntoTheFileAndComeBackIntoTheControls)
{
    ui->CrossFadeFavorite->SetValue(5000);
    ui->DisaFavorite->SetDown(true);
    form->DisaFavoriteClick();
    ui->CrossFadeSeq->SetValue(1500);
    Trigger(ui->SaveShowAs, {Path("fade.d1k")});
    const std::string bytes = testfiles::Read(root / "fade.d1k");
    const std::size_t at = bytes.find("FADE");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(bytes.substr(at + 8, 8), std::string("\x88\x13\x00\x80\xDC\x05\x00\x00", 8));

    // Other settings, then the file again: the controls show what it holds.
    ui->CrossFadeFavorite->SetValue(300);
    ui->DisaFavorite->SetDown(false);
    form->DisaFavoriteClick();
    ui->CrossFadeSeq->SetValue(700);
    ui->DisaSequence->SetDown(true);
    form->DisaSequenceClick();
    Trigger(ui->LoadShow, {Path("fade.d1k")});
    EXPECT_EQ(ui->CrossFadeFavorite->GetValue(), 5000);
    EXPECT_TRUE(ui->DisaFavorite->Down());
    EXPECT_FALSE(ui->CrossFadeFavorite->isEnabled());
    EXPECT_EQ(ui->CrossFadeSeq->GetValue(), 1500);
    EXPECT_FALSE(ui->DisaSequence->Down());
    EXPECT_TRUE(ui->CrossFadeSeq->isEnabled());
    // A picture of the transport bar when BRTV_GRAB_DIR names a folder.
    if (const char *dir = std::getenv("BRTV_GRAB_DIR")) {
        form->show();
        ui->TransportControl->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/road-transport.png"));
    }
}

TEST_F(OperatorRoad, TruncatedShowLeavesTheGoodShowAndItsFileAlone)
{
    SetChannelOnMonitor(0, 120);
    platform::QueueAnswers({"OK"});
    form->FavouriteMouseDown();   // the current scene becomes the favourite
    ASSERT_EQ(ui->Favourite->Color(), clLime);
    Trigger(ui->SaveShowAs, {Path("good.d1k")});
    const std::string good = testfiles::Read(root / "good.d1k");
    // Cut inside the favourite's chunk: the show itself was read when the file ends.
    const std::size_t favourite = good.find("FAVR");
    ASSERT_NE(favourite, std::string::npos);
    const std::string truncated = good.substr(0, favourite + 20);
    {
        std::ofstream out(root / "bad.d1k", std::ios::binary);
        out << truncated;
    }
    const QString title = form->windowTitle();
    SetChannelOnMonitor(0, 125);   // on the panel only, not yet in the scene

    Trigger(ui->LoadShow, {"No", Path("bad.d1k")});
    EXPECT_NE(Boxes().find("Error reading SHOW file"), std::string::npos);
    EXPECT_EQ(ShowFileName, Path("good.d1k"));
    EXPECT_EQ(ShowFileState, 2);
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_EQ(ReadRecentFiles()[0], Path("good.d1k"));
    EXPECT_EQ(ReadRecentFiles()[1], "");
    ASSERT_EQ(SequenceCount, 1);
    EXPECT_EQ(Sequences[0]->scenes[0]->levels[0], 120);
    EXPECT_EQ(FavouriteAssigned, 1);
    EXPECT_EQ(ui->Favourite->Color(), clLime);
    EXPECT_EQ(Fixtures[0].values[0], 125);
    EXPECT_EQ(CurSequence, 0);
    EXPECT_EQ(CurScene, 0);

    // The next save writes the good show's file; the broken file keeps its bytes.
    SetChannelOnMonitor(0, 130);
    Trigger(ui->SaveShow);
    EXPECT_EQ(testfiles::Read(root / "bad.d1k"), truncated);
    ASSERT_TRUE(ReadShowFile(Path("good.d1k")));
    EXPECT_EQ(Sequences[0]->scenes[0]->levels[0], 130);

    // The same through a recent-show item: nothing of the good show changes.
    StoreRecentFile(Path("bad.d1k"));
    form->ShowRecentFiles();
    form->File1Click(0);
    EXPECT_EQ(ShowFileName, Path("good.d1k"));
}
