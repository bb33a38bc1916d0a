// The play list, its dialogs, the video screen and the music player through the real main
// window: the runner driven from the main window's keys with the engine ticked by hand,
// the grid's editing, drops and files, the video screen's views, the player's entries.
#include "FakeMediaPlayer.h"
#include "transport/ProgramWindowTest.h"

#include "app/PlayControl.h"
#include "app/PlayListFile.h"
#include "app/SequenceEditing.h"
#include "app/ShowFile.h"
#include "live/HardwareSettings.h"
#include "live/MediaNames.h"
#include "live/PlayList.h"
#include "live/TLabelF.h"
#include "live/TMusicPlayer.h"
#include "live/TProgramForm.h"
#include "live/TTVScreenf.h"
#include "live/TTimeMaskEdit.h"
#include "live/TTimePlus.h"
#include "ui_LabelF.h"
#include "ui_MainForm.h"
#include "ui_MusicPlayer.h"
#include "ui_ProgramForm.h"
#include "ui_TVScreenf.h"

#include "controls/Faders.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QToolButton>

using namespace transport_test;

namespace {

std::uint32_t fakeNow = 0;
std::uint32_t FakeClock()
{
    return fakeNow;
}

class PlayListWindowTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        pl = ProgramForm;
        ASSERT_NE(pl, nullptr);
        grid = pl->ui->ProgrammList;
        PlayListModified = PlayListFromFile = 0;
        MediaPlayerOption = 0;
        ConfirmOptions = 0;
    }
    void TearDown() override
    {
        if (ProgramForm && PlayListRunning.load())
            ProgramForm->StopClick();
        PlayListModified = PlayListFromFile = 0;
        MediaPlayerOption = 0;
        ProgramWindowTest::TearDown();
    }
    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    // Three one-scene sequences whose scenes give 10, 20 and 30 on channel 0, one fixture
    // there, one cue running sequence 2 in slot 0.
    void ThreeSequenceShow()
    {
        for (int s = 0; s < 3; ++s) {
            AddSequence(1);
            Sequences[static_cast<std::size_t>(s)]->scenes[0]->levels[0] = static_cast<std::uint8_t>(10 * (s + 1));
        }
        AddFixtureWith(0, {0});
        form->SelectFirstFixture();
        form->FillSequenceBox();
        Cues.assign(1, CueRecord{});
        Cues[0].name = "CUE 1";
        Cues[0].sequence[0] = 1;
        Cues[0].on[0] = 1;
        CueCount = 1;
    }
    void Key(int key, int col)
    {
        grid->setCurrentCell(std::max(0, grid->currentRow()), col);
        QTest::keyClick(grid, static_cast<Qt::Key>(key));
    }
    void Grab(QWidget *w, const char *name)
    {
        const char *bin = std::getenv("BRTV_BIN_DIR");
        const std::filesystem::path dir = std::filesystem::path(bin ? bin : ".") / "grabs";
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(w->grab().save(QString::fromStdString((dir / name).string()), "PNG"));
    }
    TProgramForm *pl = nullptr;
    QTableWidget *grid = nullptr;
    FakeMediaWorld world;
    FakeMediaScope fakeMedia{world};
};

// F6 opens the list, F12 runs it: a sequence, a cue, a sequence waiting for GO, the end;
// the show file keeps the lines.
TEST_F(PlayListWindowTest, RunsTheListFromTheMainWindowAndKeepsItInTheShow)
{
    ThreeSequenceShow();
    int selected = -1;
    WindowSeams().selectCue = [&selected](int cue) {
        selected = cue;
        PlayerSlots[0].sequence = Cues[static_cast<std::size_t>(cue)].sequence[0];
    };
    Action("PlayList1")->trigger();
    ASSERT_TRUE(pl->isVisible());
    EXPECT_TRUE(Action("PlayList1")->isChecked());
    // F12 and GO reach the list from its own window too.
    EXPECT_TRUE(pl->actions().contains(ui->Play1));
    EXPECT_TRUE(pl->actions().contains(ui->GO));
    // Four lines through the grid's own keys, then their fields.
    for (int i = 0; i < 4; ++i)
        Key(Qt::Key_Return, 0);
    ASSERT_EQ(PlayListCount, 4);
    EXPECT_EQ(PlayListEntries[3].startTime, 30000);
    const std::int32_t times[] = {0, 500, 1000, 1500};
    const int index[] = {0, 0, 2, -1};
    const std::uint8_t cue[] = {0, 1, 0, 0};
    const std::uint8_t action[] = {ActPlay, ActPlay, ActWaitGo, ActEnd};
    for (int i = 0; i < 4; ++i) {
        PlayListEntry &e = PlayListEntries[static_cast<std::size_t>(i)];
        e.startTime = times[i];
        e.index = static_cast<std::int16_t>(index[i]);
        e.cueFlag = cue[i];
        e.action = action[i];
    }
    pl->FullBuild();
    EXPECT_EQ(grid->item(1, 3)->text(), QStringLiteral("CUE 1"));
    EXPECT_EQ(grid->item(2, 3)->text(), QStringLiteral("SEQUENCE 3"));
    EXPECT_EQ(grid->item(2, 5)->text(), QStringLiteral("Wait GO"));
    grid->setCurrentCell(0, 0);

    fakeNow = 1000000;
    platform::SetMonotonicMsHook(&FakeClock);
    Action("Play1")->trigger();   // F12 while the list is shown
    EXPECT_EQ(PlayListRunning.load(), 1);
    EXPECT_EQ(Playing.load(), 1);
    EXPECT_EQ(PlaySequence, 0);
    EXPECT_FALSE(ui->Play->isEnabled());
    EXPECT_FALSE(ui->Stop->isEnabled());
    EXPECT_FALSE(pl->ui->Play->isVisible());
    EXPECT_TRUE(pl->Timer1->isActive());
    Tick(3);
    EXPECT_EQ(DmxOutFrame[0], 10);

    fakeNow += 500;
    pl->Timer1Timer();
    EXPECT_TRUE(Action("CueListM")->isChecked());
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(PlayerSlots[0].sequence, 1);

    fakeNow += 500;
    pl->Timer1Timer();
    EXPECT_EQ(PlayPaused.load(), 1);
    EXPECT_TRUE(pl->ui->GOs->isVisible());
    EXPECT_FALSE(pl->ui->FForward->isVisible());
    EXPECT_EQ(grid->currentRow(), 2);
    fakeNow += 400;
    pl->Timer1Timer();   // waiting: nothing moves
    EXPECT_EQ(PlayPaused.load(), 1);
    Action("GO")->trigger();
    EXPECT_EQ(PlayPaused.load(), 0);
    EXPECT_FALSE(pl->ui->GOs->isVisible());
    EXPECT_EQ(PlaySequence, 2);
    EXPECT_EQ(Playing.load(), 1);
    Tick(3);
    EXPECT_EQ(DmxOutFrame[0], 30);

    // The end line comes 500 ms after the GO, not after its own time.
    fakeNow += 400;
    pl->Timer1Timer();
    EXPECT_EQ(PlayListRunning.load(), 1);
    fakeNow += 100;
    pl->Timer1Timer();
    EXPECT_EQ(PlayListRunning.load(), 0);
    EXPECT_FALSE(Playing.load());
    EXPECT_TRUE(ui->Play->isEnabled());
    EXPECT_TRUE(ui->Stop->isEnabled());
    EXPECT_TRUE(pl->ui->Play->isVisible());
    EXPECT_FALSE(pl->Timer1->isActive());
    platform::SetMonotonicMsHook(nullptr);

    // Save As, New, Open: the four lines come back from the show's chunk.
    const std::string path = (root / "list.d1k").string();
    platform::QueueAnswers({path});
    ui->SaveShowAs->trigger();
    ASSERT_EQ(ShowFileName, path);
    EXPECT_NE(testfiles::Read(path).find("PLS2"), std::string::npos);
    ui->NewShow->trigger();
    EXPECT_EQ(PlayListCount, 0);
    EXPECT_FALSE(pl->isVisible());
    platform::QueueAnswers({"No", path});
    ui->LoadShow->trigger();
    ASSERT_EQ(PlayListCount, 4) << BoxLog();
    EXPECT_EQ(PlayListEntries[2].action, ActWaitGo);
    EXPECT_EQ(PlayListEntries[1].cueFlag, 1);
    EXPECT_EQ(PlayListEntries[3].startTime, 1500);
}

TEST_F(PlayListWindowTest, GridEditsDropsAndLocksWhileRunning)
{
    ThreeSequenceShow();
    // Start mode 2 opens the list on the main window's first activation.
    StartMode = 2;
    AutoPlay = 0;
    StartupActionsPending = 1;
    form->FormActivate();
    ASSERT_TRUE(pl->isVisible());
    EXPECT_TRUE(Action("PlayList1")->isChecked());
    // Enter and a double click in column 0 add lines; the cue flag toggles by click and Space.
    Key(Qt::Key_Return, 0);
    ASSERT_EQ(PlayListCount, 1);
    const QRect cell0 = grid->visualItemRect(grid->item(0, 0));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell0.center());
    ASSERT_EQ(PlayListCount, 2);
    EXPECT_EQ(PlayListEntries[1].startTime, 10000);
    EXPECT_EQ(grid->currentRow(), 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(1, 2)).center());
    EXPECT_EQ(PlayListEntries[1].cueFlag, 1);
    EXPECT_FALSE(grid->item(1, 2)->text().isEmpty());
    Key(Qt::Key_Space, 2);
    EXPECT_EQ(PlayListEntries[1].cueFlag, 0);
    EXPECT_EQ(PlayListModified, 1);

    // The time editor: typed over the cell, Enter stores it and sorts the line first.
    grid->setCurrentCell(1, 1);
    Key(Qt::Key_Return, 1);
    ASSERT_TRUE(pl->TimeEdit->isVisible());
    pl->TimeEdit->selectAll();
    QTest::keyClicks(pl->TimeEdit, QStringLiteral("00000000"));
    QTest::keyClick(pl->TimeEdit, Qt::Key_Return);
    EXPECT_FALSE(pl->TimeEdit->isVisible());
    EXPECT_EQ(PlayListEntries[1].startTime, 0);
    pl->TimeEdit->SetTimeText(QStringLiteral("01:02:03:4"));
    grid->setCurrentCell(0, 1);
    Key(Qt::Key_Return, 1);
    pl->TimeEdit->SetTimeText(QStringLiteral(" 1:02:03:4"));
    QTest::keyClick(pl->TimeEdit, Qt::Key_Return);
    EXPECT_EQ(PlayListEntries[1].startTime, 3723400);
    EXPECT_EQ(grid->currentRow(), 1);   // the edited line, sorted behind the other
    EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("01:02:03:4"));

    // The sequence choice over the cell; a fade edited in place.
    grid->setCurrentCell(0, 3);
    Key(Qt::Key_Return, 3);
    ASSERT_TRUE(pl->SequenceP->isVisible());
    EXPECT_EQ(pl->SequenceP->count(), 4);
    pl->SequenceP->setCurrentIndex(2);
    emit pl->SequenceP->activated(2);
    EXPECT_EQ(PlayListEntries[0].index, 1);
    EXPECT_EQ(grid->item(0, 3)->text(), QStringLiteral("SEQUENCE 2"));

    // Media times only with a file; comments in place.
    pl->EditCell(0, 7);
    EXPECT_FALSE(pl->MediaTimeEdit->isVisible());
    PlayListEntries[0].mediaFile = "/show/a.wav";
    pl->EditCell(0, 7);
    ASSERT_TRUE(pl->MediaTimeEdit->isVisible());
    pl->MediaTimeEdit->SetTimeText(QStringLiteral("  1:30:5"));
    QTest::keyClick(pl->MediaTimeEdit, Qt::Key_Return);
    EXPECT_EQ(PlayListEntries[0].mediaStart, 90500);
    pl->EditCell(0, 9);
    pl->TextEdit->setText(QStringLiteral("cue the band"));
    QTest::keyClick(pl->TextEdit, Qt::Key_Return);
    EXPECT_EQ(PlayListEntries[0].comments, "cue the band");
    EXPECT_FALSE(pl->TextEdit->isVisible());

    // Deleting asks when the confirmation bit is set.
    ConfirmOptions = ConfirmPlayListLineDelete;
    platform::QueueAnswers({"No"});
    Key(Qt::Key_Delete, 0);
    EXPECT_EQ(PlayListCount, 2);
    EXPECT_NE(BoxLog().find("Brantoval-1024|Delete Line, are you sure?|No"), std::string::npos);
    platform::QueueAnswers({"Yes"});
    Key(Qt::Key_Delete, 0);
    EXPECT_EQ(PlayListCount, 1);

    // Drops: each kind on an empty list appends a line; plain text is refused.
    pl->NewClick();
    ASSERT_EQ(PlayListCount, 0);
    QMimeData seq;
    seq.setData(QStringLiteral("application/x-brtv-sequence"), "2");
    QMimeData cueData;
    cueData.setData(QStringLiteral("application/x-brtv-cue"), "0");
    QMimeData text;
    text.setText(QStringLiteral("1"));
    EXPECT_TRUE(pl->DropOn(0, seq));
    EXPECT_TRUE(pl->DropOn(-1, cueData));
    EXPECT_FALSE(pl->DropOn(-1, text));
    ASSERT_EQ(PlayListCount, 2);
    EXPECT_EQ(PlayListEntries[0].index, 2);
    EXPECT_EQ(PlayListEntries[0].cueFlag, 0);
    EXPECT_EQ(PlayListEntries[1].index, 0);
    EXPECT_EQ(PlayListEntries[1].cueFlag, 1);
    // A drop on a line changes that line.
    EXPECT_TRUE(pl->DropOn(1, seq));
    EXPECT_EQ(PlayListCount, 2);
    EXPECT_EQ(PlayListEntries[1].cueFlag, 0);

    // While running nothing is edited, opened, saved or cleared; showing the window
    // again stops the list.
    PlayListEntries[1].startTime = 60000;
    fakeNow = 5000;
    platform::SetMonotonicMsHook(&FakeClock);
    grid->setCurrentCell(0, 0);
    pl->PlayClick();
    ASSERT_EQ(PlayListRunning.load(), 1);
    const std::string boxes = BoxLog();
    Key(Qt::Key_Return, 0);
    EXPECT_FALSE(pl->DropOn(-1, seq));
    pl->NewClick();
    pl->OpenClick();
    pl->SaveClick();
    EXPECT_EQ(PlayListCount, 2);
    EXPECT_EQ(BoxLog(), boxes);
    pl->hide();
    pl->show();
    EXPECT_EQ(PlayListRunning.load(), 0);
    platform::SetMonotonicMsHook(nullptr);
}

TEST_F(PlayListWindowTest, FilesAskBeforeTheyGoAndTheShowFollows)
{
    Action("PlayList1")->trigger();
    pl->InsertLine();
    pl->InsertLine();
    PlayListEntries[1].comments = "second";
    const std::string pgl = (root / "bin" / "two.pgl").string();
    platform::QueueAnswers({pgl});
    pl->SaveClick();
    EXPECT_EQ(PlayListModified, 0);
    EXPECT_EQ(testfiles::Read(pgl).substr(0, 4), "PRG2");

    // Modified but never opened from a file: New asks nothing.
    pl->InsertLine();
    std::string before = BoxLog();
    pl->NewClick();
    EXPECT_EQ(BoxLog(), before);
    EXPECT_EQ(PlayListCount, 0);

    platform::QueueAnswers({pgl});
    pl->OpenClick();
    ASSERT_EQ(PlayListCount, 2);
    EXPECT_EQ(PlayListFromFile, 1);
    EXPECT_EQ(PlayListEntries[1].comments, "second");
    // Opened and modified: Cancel keeps everything, No goes on.
    pl->InsertLine();
    platform::QueueAnswers({"Cancel"});
    pl->NewClick();
    EXPECT_EQ(PlayListCount, 3);
    EXPECT_NE(BoxLog().find("Brantoval-1024|Play List modified, save?|Cancel"), std::string::npos);

    // A cut file: the message once, the list as it was.
    const std::string cut = (root / "bin" / "cut.pgl").string();
    {
        const std::string bytes = testfiles::Read(pgl);
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 3);
    }
    platform::QueueAnswers({"No", cut});
    pl->OpenClick();
    EXPECT_EQ(PlayListCount, 3);
    const std::string log = BoxLog();
    EXPECT_EQ(log.find("HLVR|Program List Data Error"), log.rfind("HLVR|Program List Data Error"));
    EXPECT_NE(log.find("HLVR|Program List Data Error"), std::string::npos);

    // Leaving the window with a modified list marks the show.
    ShowModified = 0;
    pl->FormDeactivate();
    EXPECT_EQ(ShowModified, 1);
    ShowModified = 0;
    pl->close();
    EXPECT_EQ(ShowModified, 1);
    EXPECT_FALSE(Action("PlayList1")->isChecked());
    ShowModified = 0;
}

TEST_F(PlayListWindowTest, VideoScreenShowsPicturesOnlyAndFollowsTheWindow)
{
    ThreeSequenceShow();
    const std::string audio = (root / "song.wav").string();
    const std::string video = (root / "clip.avi").string();
    std::ofstream(audio) << "a";
    std::ofstream(video) << "v";
    world.media[audio] = {4000, false};
    world.media[video] = {1000, true};
    MediaPlayerOption = 1;
    Action("PlayList1")->trigger();
    ASSERT_NE(TVScreenf, nullptr);
    EXPECT_TRUE(TVScreenf->isVisible());
    EXPECT_TRUE(TVScreenf->windowFlags() & Qt::FramelessWindowHint);
    Grab(TVScreenf, "TVScreenf.png");

    pl->InsertLine();
    pl->InsertLine();
    // The media dialog: a file the player opens gives the line its length; one it refuses,
    // or a name too long for the file, gives a box.
    grid->setCurrentCell(0, 6);
    platform::QueueAnswers({(root / "gone.wav").string(), "/" + std::string(300, 'a') + ".wav", audio});
    pl->MediaButtonClick();
    EXPECT_NE(BoxLog().find("Brantoval-1024|Error 1: Resource not found.|"), std::string::npos);
    pl->MediaButtonClick();
    EXPECT_NE(BoxLog().find("Brantoval-1024|The media file name is longer than 255 characters|"), std::string::npos);
    pl->MediaButtonClick();
    EXPECT_EQ(PlayListEntries[0].mediaFile, audio);
    EXPECT_EQ(PlayListEntries[0].mediaStart, 0);
    EXPECT_EQ(PlayListEntries[0].mediaStop, 4000);
    PlayListEntries[1].mediaFile = video;   // typed in place: no start or stop
    PlayListEntries[1].startTime = 1000;
    fakeNow = 0;
    platform::SetMonotonicMsHook(&FakeClock);
    grid->setCurrentCell(0, 0);
    pl->PlayClick();
    EXPECT_EQ(pl->ui->StaticText2->text(), QStringLiteral("MCI Play: song.wav"));
    EXPECT_FALSE(TVScreenf->PlayerShown());
    fakeNow = 1000;
    pl->Timer1Timer();
    EXPECT_TRUE(TVScreenf->PlayerShown());
    EXPECT_EQ(pl->Runner.MediaEnd, 2000);   // the whole clip
    fakeNow = 2000;
    pl->Timer1Timer();
    EXPECT_EQ(PlayListRunning.load(), 0);
    EXPECT_EQ(pl->ui->StaticText2->text(), QStringLiteral("That's All"));
    EXPECT_FALSE(TVScreenf->PlayerShown());
    platform::SetMonotonicMsHook(nullptr);

    // Dragged in the normal view; in full screen a drag does nothing and a double click
    // goes back.
    const QPoint start = TVScreenf->pos();
    QWidget *panel = TVScreenf->ui->PanelControl;
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(100, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(130, 25), panel->mapToGlobal(QPointF(130, 25)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(panel, &move);
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(130, 25));
    EXPECT_EQ(TVScreenf->pos(), start + QPoint(30, 20));
    EXPECT_EQ(TVScreenf->NormalBounds().topLeft(), start + QPoint(30, 20));
    TVScreenf->FullScreen(1);
    EXPECT_EQ(TVScreenf->FullScreenMode(), 1);
    EXPECT_EQ(TVScreenf->geometry(), QGuiApplication::screens()[0]->geometry());
    const QPoint full = TVScreenf->pos();
    QTest::mousePress(TVScreenf, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent move2(QEvent::MouseMove, QPointF(60, 60), TVScreenf->mapToGlobal(QPointF(60, 60)), Qt::NoButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(TVScreenf, &move2);
    EXPECT_EQ(TVScreenf->pos(), full);
    QTest::mouseDClick(TVScreenf, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(TVScreenf->FullScreenMode(), 0);
    EXPECT_EQ(TVScreenf->geometry().topLeft(), start + QPoint(30, 20));

    // A stop that never reaches the stopped state keeps the media's name.
    TVScreenf->Player().Open(video);
    TVScreenf->Player().Play();
    world.stopNeverEnds = true;
    TVScreenf->StopClick();
    EXPECT_EQ(TVScreenf->Player().Source(), video);
    world.stopNeverEnds = false;
    TVScreenf->Player().Play();
    TVScreenf->StopClick();
    EXPECT_TRUE(TVScreenf->Player().Source().empty());

    pl->close();
    EXPECT_EQ(TVScreenf, nullptr);
}

TEST_F(PlayListWindowTest, MusicPlayerOpensPlaysAndRefusesBadMedia)
{
    TMusicPlayer *mp = MusicPlayer;
    ASSERT_NE(mp, nullptr);
    Action("MusPlay1")->trigger();
    ASSERT_TRUE(mp->isVisible());
    EXPECT_EQ(mp->windowTitle(), QStringLiteral("Player"));
    EXPECT_EQ(FormatPlayerTime(3723456), "02:03:4");
    EXPECT_EQ(CdTrackNumber("/media/cd/Track05.cda"), 5);
    EXPECT_EQ(CdTrackNumber("/media/cd/TRACK 12.CDA"), 12);
    const std::string &filter = MediaFileFilter();
    EXPECT_EQ(filter.rfind("Media files (all types)|*.cda;*.wav;*.mp3;", 0), 0u);
    EXPECT_EQ(filter.substr(filter.size() - 15), "|CD Audio|*.cda");
    EXPECT_EQ(filter.find("*.cda;", 30), std::string::npos);

    platform::QueueAnswers({"/media/cd/Song.cda"});
    mp->OpenClick();
    EXPECT_NE(BoxLog().find("HLVR|Bad CD Audio|"), std::string::npos);
    const std::string gone = (root / "gone.wav").string();
    platform::QueueAnswers({gone});
    mp->OpenClick();
    EXPECT_NE(BoxLog().find("Player|Error 1: Resource not found.|"), std::string::npos);

    const std::string wav = (root / "two.wav").string();
    std::ofstream(wav) << "w";   // the player looks at the file before it opens it
    world.media[wav] = {2000, false};
    platform::QueueAnswers({wav});
    mp->OpenClick();
    EXPECT_EQ(mp->Sliderh1->Max(), 2000);
    EXPECT_EQ(mp->ui->Max->text(), QStringLiteral("00:02:0"));
    EXPECT_EQ(mp->windowTitle(), QStringLiteral("two.wav"));
    mp->TimeEdit->SetTimeText(QStringLiteral(" 1:30:5"));
    EXPECT_TRUE(mp->TimeEdit->hasAcceptableInput());
    QTest::keyClick(mp->TimeEdit, Qt::Key_Return);
    EXPECT_EQ(mp->Sliderh1->Position(), 2000);   // kept within the media
    world.media[wav] = {600000, false};
    platform::QueueAnswers({wav});
    mp->OpenClick();
    mp->TimeEdit->SetTimeText(QStringLiteral(" 1:30:5"));
    QTest::keyClick(mp->TimeEdit, Qt::Key_Return);
    EXPECT_EQ(mp->Sliderh1->Position(), 90500);
    world.log.clear();
    mp->PlayClick();
    EXPECT_FALSE(mp->TimeEdit->isEnabled());
    EXPECT_TRUE(mp->Timer1->isActive());
    EXPECT_NE(std::find(world.log.begin(), world.log.end(), "seek 90500"), world.log.end());
    mp->close();
    EXPECT_FALSE(mp->Timer1->isActive());
    EXPECT_TRUE(mp->TimeEdit->isEnabled());
    EXPECT_FALSE(Action("MusPlay1")->isChecked());
}

TEST_F(PlayListWindowTest, WindowsAndDialogsFitTheSmallScreen)
{
    ThreeSequenceShow();
    Action("PlayList1")->trigger();
    for (int i = 0; i < 3; ++i)
        pl->InsertLine();
    PlayListEntries[1].mediaFile = "/home/show/media/a long folder name/opening music.wav";
    PlayListEntries[1].mediaStart = 0;
    PlayListEntries[1].mediaStop = 95000;
    PlayListEntries[1].comments = "house lights down";
    PlayListEntries[2].action = ActGoto;
    PlayListEntries[0].index = 1;
    pl->FullBuild();
    Action("MusPlay1")->trigger();
    TLabelF label(pl);
    TTimePlus shift(pl);
    label.show();
    shift.show();
    for (QWidget *w : {static_cast<QWidget *>(pl), static_cast<QWidget *>(MusicPlayer), static_cast<QWidget *>(&label),
                       static_cast<QWidget *>(&shift)}) {
        EXPECT_LE(w->frameGeometry().width(), 1024) << w->objectName().toStdString();
        EXPECT_LE(w->frameGeometry().height(), 768) << w->objectName().toStdString();
        EXPECT_LE(w->minimumSizeHint().width(), 800) << w->objectName().toStdString();
    }
    Grab(pl, "ProgramForm.png");
    Grab(MusicPlayer, "MusicPlayer.png");
    Grab(&label, "LabelF.png");
    Grab(&shift, "TimePlus.png");

    // The "Go to" dialog keeps its number within the list.
    label.ui->Edit1->setText(QStringLiteral("0"));
    label.OKClick();
    EXPECT_EQ(label.ui->Edit1->text(), QStringLiteral("1"));
    label.ui->Edit1->setText(QStringLiteral("9"));
    label.OKClick();
    EXPECT_EQ(label.ui->Edit1->text(), QStringLiteral("3"));
    label.OKClick();
    EXPECT_EQ(GotoTarget, 2);
}

} // namespace
