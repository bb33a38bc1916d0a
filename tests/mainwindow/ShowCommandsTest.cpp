// The File menu's show commands in the main window: a running play is stopped through the
// transport and picked up again after Open, solo ends, nothing happens while the play list
// runs, and a cancelled Open still refreshes the windows that follow the show.
#include "ui_MainForm.h"

#include "transport/ProgramWindowTest.h"

#include "app/FixtureArea.h"
#include "app/PlayControl.h"
#include "app/ShowFile.h"

#include <QAction>
#include <QTimer>

#include <fstream>

using namespace transport_test;

namespace {

class ShowCommands : public ProgramWindowTest {
protected:
    // A show of two sequences and one fixture, current and saved as `name`.
    std::string SavedShow(const char *name)
    {
        AddSequence(3);
        AddSequence(2);
        AddFixtureWith(0, {0, 0, 0, 0});
        form->SelectFirstFixture();
        form->FillSequenceBox();
        const std::string path = (root / name).string();
        platform::QueueAnswers({path});
        ui->SaveShowAs->trigger();
        EXPECT_EQ(ShowFileName, path);
        return path;
    }
};

TEST_F(ShowCommands, OpenStopsARunningPlayAndPlaysAgainAfter)
{
    const std::string path = SavedShow("play.d1k");
    form->PlayClick();
    ASSERT_TRUE(Playing.load());
    Tick(3);
    platform::QueueAnswers({path});
    ui->LoadShow->trigger();
    EXPECT_EQ(ShowFileName, path);
    // The show was read with the play stopped, then played again from its first sequence.
    EXPECT_TRUE(Playing.load());
    EXPECT_TRUE(form->TimerFonPlay->isActive());
    EXPECT_EQ(PlaySequence, 0);
    EXPECT_TRUE(ui->Play->Down());
    form->StopClick();
}

TEST_F(ShowCommands, NewStopsThePlayAndEndsSolo)
{
    SavedShow("solo.d1k");
    form->Select(0);
    ui->Solo->trigger();
    ASSERT_EQ(SoloOn, 1);
    form->PlayClick();
    ASSERT_TRUE(Playing.load());
    ui->NewShow->trigger();
    EXPECT_FALSE(Playing.load());
    EXPECT_FALSE(form->TimerFonPlay->isActive());
    EXPECT_EQ(SoloOn, 0);
    EXPECT_FALSE(ui->Solo->isChecked());
    EXPECT_EQ(ShowFileName, "Show1.d1k");
    EXPECT_EQ(SequenceCount, 1);
}

TEST_F(ShowCommands, NothingWhileThePlayListRuns)
{
    const std::string path = SavedShow("list.d1k");
    ShowModified = 1;
    PlayListRunning.store(1);
    const std::string before = BoxLog();
    ui->NewShow->trigger();
    ui->LoadShow->trigger();
    EXPECT_EQ(BoxLog(), before);   // neither the save question nor a dialog
    EXPECT_EQ(ShowFileName, path);
    EXPECT_EQ(SequenceCount, 2);
    PlayListRunning.store(0);
    ShowModified = 0;
}

TEST_F(ShowCommands, CancelledOpenStillRefreshesAndRestoresTheInput)
{
    SavedShow("cancel.d1k");
    int graph = 0, track = 0, masters = 0;
    WindowSeams().graphEditRefresh = [&] { ++graph; };
    WindowSeams().trackEditRefresh = [&] { ++track; };
    WindowSeams().phisMastActivate = [&] { ++masters; };
    DmxInEnabled = 1;
    platform::QueueAnswers({"Cancel"});
    ui->LoadShow->trigger();
    EXPECT_EQ(graph, 1);
    EXPECT_EQ(track, 1);
    EXPECT_EQ(masters, 1);
    EXPECT_EQ(DmxInEnabled, 1);
    EXPECT_EQ(SequenceCount, 2);
    DmxInEnabled = 0;
}

TEST_F(ShowCommands, SaveStoresTheFixtureValuesAndEndsSolo)
{
    const std::string path = SavedShow("save.d1k");
    form->Select(0);
    ui->Solo->trigger();
    SetFixtureChannel(1, 99);
    ui->SaveShow->trigger();
    EXPECT_EQ(SoloOn, 0);
    EXPECT_EQ(Sequences[0]->scenes[0]->levels[1], 99);
    ASSERT_TRUE(ReadShowFile(path));
    EXPECT_EQ(Sequences[0]->scenes[0]->levels[1], 99);
}

// A show named on the command line that cannot be read counts as no show: the start
// dialog comes, and neither the file nor the recent list changes.
TEST_F(ShowCommands, UnreadableShowAtStartUpBringsTheStartDialog)
{
    const std::string bad = (root / "broken.d1k").string();
    {
        std::ofstream out(bad, std::ios::binary);
        out << "not a show";
    }
    DestroyProgramWindows();
    form = nullptr;
    platform::QueueAnswers({"Yes", "1"});   // demo mode, then New Show from the dialog
    char arg0[] = "brantoval";
    std::string arg1 = bad;
    char *argv[] = {arg0, arg1.data(), nullptr};
    ASSERT_TRUE(CreateProgramWindows(2, argv));
    StopOutputTimer();
    EXPECT_NE(BoxLog().find("Error reading SHOW file"), std::string::npos);
    EXPECT_EQ(ShowFileName, "Show1.d1k");
    EXPECT_EQ(ShowFileState, 1);
    EXPECT_EQ(SequenceCount, 1);
    EXPECT_EQ(testfiles::Read(bad), "not a show");
    EXPECT_TRUE(MainForm->ui->File1->data().toByteArray().isEmpty());
}

} // namespace
