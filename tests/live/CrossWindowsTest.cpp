// The windows built side by side, used together through the real main window: a cue made
// in the sequence list's cue face, a play list naming it and a sequence, the sequences
// reordered and renamed in the list with the cue and the lines following, the list played
// onto the wire; the main window's function keys from the floating windows; a lock that
// ends the editors already open; the hardware window's media choices in the play list.
#include "transport/ProgramWindowTest.h"

#include "app/PatchLoader.h"
#include "app/SequenceEditing.h"
#include "editors/TGraphEdit.h"
#include "editors/TSeqName.h"
#include "editors/TSequencesList.h"
#include "live/AccessLock.h"
#include "live/CueList.h"
#include "live/HardwareSettings.h"
#include "live/PlayList.h"
#include "live/TAccessF.h"
#include "live/TCueListF.h"
#include "live/TMasterGroups.h"
#include "live/TAudSynch.h"
#include "live/TMusicPlayer.h"
#include "live/TProgramForm.h"
#include "live/TTVScreenf.h"
#include "ui_AccessF.h"
#include "ui_AudSynch.h"
#include "ui_CueListF.h"
#include "ui_MainForm.h"
#include "ui_ProgramForm.h"
#include "ui_SeqName.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <iterator>

using namespace transport_test;

namespace {

std::uint32_t fakeNow = 0;
std::uint32_t FakeClock()
{
    return fakeNow;
}

class CrossWindowsTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        PlayListEntries.clear();
        PlayListCount = 0;
        PlayListModified = PlayListFromFile = 0;
        for (PlayerSlot &s : PlayerSlots)
            s = PlayerSlot{};
        Cues.clear();
        CueCount = 0;
        MediaPlayerOption = SynchMediaPlayList = 0;
        ConfirmOptions = 0;
        AccessLevel = 0;
    }
    void TearDown() override
    {
        if (ProgramForm && PlayListRunning.load())
            ProgramForm->StopClick();
        platform::SetMonotonicMsHook(nullptr);
        AccessLevel = 0;
        std::fill(std::begin(AccessRecord), std::end(AccessRecord), std::uint8_t{0});
        PlayListModified = PlayListFromFile = 0;
        MediaPlayerOption = SynchMediaPlayList = 0;
        ProgramWindowTest::TearDown();
    }
    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    static QPoint CellCentre(QTableWidget *grid, int row, int column)
    {
        return grid->visualRect(grid->model()->index(row, column)).center();
    }
    static void Click(QTableWidget *grid, int row, int column)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, row, column));
    }
    // Three one-scene sequences "A", "B", "C" giving 10, 20 and 30 on channel 0.
    void ThreeSequences()
    {
        const char *names[] = {"A", "B", "C"};
        for (int s = 0; s < 3; ++s) {
            AddSequence(1);
            Sequences[static_cast<std::size_t>(s)]->name = names[s];
            Sequences[static_cast<std::size_t>(s)]->scenes[0]->levels[0] = static_cast<std::uint8_t>(10 * (s + 1));
        }
        AddFixtureWith(0, {0});
        form->SelectFirstFixture();
        form->FillSequenceBox();
    }
    // The key goes to `w` as the active window, so its window shortcuts apply.
    static void KeyTo(QWidget *w, Qt::Key key)
    {
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w)) << w->objectName().toStdString();
        QTest::keyClick(w, key);
    }
};

TEST_F(CrossWindowsTest, SequencesReorderedInTheListTakeTheirCueAndPlayListLinesOntoTheWire)
{
    ThreeSequences();

    // A cue made from the list's cue face: slot 1 on "C", then "Add Cue".
    ui->SeqList1->trigger();
    ASSERT_TRUE(SequencesList->isVisible());
    Action("CueListM")->trigger();
    ASSERT_TRUE(CueListF->isVisible());
    ASSERT_EQ(SequencesList->windowTitle(), QStringLiteral("Cues"));
    Click(SequencesList->GridMultiSeq, 3, 2);
    ASSERT_EQ(PlayerSlots[0].active, 1);
    ASSERT_EQ(PlayerSlots[0].sequence, 2);
    QTest::mouseClick(CueListF->CuePlus, Qt::LeftButton);
    ASSERT_EQ(CueCount, 1);
    EXPECT_EQ(Cues[0].sequence[0], 2);
    EXPECT_EQ(Cues[0].on[0], 1);
    CueListF->close();
    Action("MultiSeqPlayer")->trigger();
    ASSERT_EQ(MultiSeqRunning.load(), 0);
    ASSERT_EQ(SequencesList->windowTitle(), QStringLiteral("Sequences"));

    // The play list: line 1 the cue, line 2 sequence "B", both chosen in the grid.
    Action("PlayList1")->trigger();
    TProgramForm *pl = ProgramForm;
    ASSERT_TRUE(pl->isVisible());
    QTableWidget *grid = pl->ui->ProgrammList;
    for (int i = 0; i < 2; ++i) {
        grid->setCurrentCell(std::max(0, PlayListCount - 1), 0);
        QTest::keyClick(grid, Qt::Key_Return);
    }
    ASSERT_EQ(PlayListCount, 2);
    Click(grid, 0, 2);   // the cue mark
    Click(grid, 0, 3);
    ASSERT_TRUE(pl->Cues->isVisible());
    ASSERT_EQ(pl->Cues->itemText(1), QStringLiteral("Cue 1"));
    emit pl->Cues->activated(1);
    Click(grid, 1, 3);
    ASSERT_TRUE(pl->SequenceP->isVisible());
    ASSERT_EQ(pl->SequenceP->itemText(2), QStringLiteral("B"));
    emit pl->SequenceP->activated(2);
    ASSERT_EQ(PlayListEntries[0].cueFlag, 1);
    ASSERT_EQ(PlayListEntries[0].index, 0);
    ASSERT_EQ(PlayListEntries[1].cueFlag, 0);
    ASSERT_EQ(PlayListEntries[1].index, 1);
    PlayListEntries[1].startTime = 1000;

    // "C" dragged in the list onto the first place: the cue's slot and the line follow,
    // and the open play list shows the new order at once. The choice left open over line
    // 2 closes with the rebuild.
    Click(grid, 1, 3);
    ASSERT_TRUE(pl->SequenceP->isVisible());
    SequencesList->DragSource = 2;
    ASSERT_TRUE(SequencesList->GridSeqDragOver(SequencesList->GridSeq, 1, 0));
    SequencesList->GridSeqDragDrop(SequencesList->GridSeq, 1, 0);
    EXPECT_FALSE(pl->SequenceP->isVisible());
    ASSERT_EQ(Sequences[0]->name, "C");
    // Each record keeps its own levels: the main window's change of sequence after the
    // drop stores the fixtures into the sequence that was current, wherever it went.
    EXPECT_EQ(Sequences[0]->scenes[0]->levels[0], 30);
    EXPECT_EQ(Sequences[1]->scenes[0]->levels[0], 10);
    EXPECT_EQ(Sequences[2]->scenes[0]->levels[0], 20);
    EXPECT_EQ(CurSequence, 0);
    EXPECT_EQ(ui->Sequence->itemText(0), QStringLiteral("C"));
    EXPECT_EQ(Cues[0].sequence[0], 0);
    EXPECT_EQ(PlayListEntries[0].index, 0);   // a cue line keeps its cue
    EXPECT_EQ(PlayListEntries[1].index, 2);
    EXPECT_EQ(grid->item(1, 3)->text(), QStringLiteral("B"));
    EXPECT_EQ(pl->SequenceP->itemText(1), QStringLiteral("C"));

    // "B" renamed in place in the list: the play list's choices take the name.
    QTableWidget *seqGrid = SequencesList->GridSeq;
    Click(seqGrid, 3, 1);
    seqGrid->edit(seqGrid->model()->index(3, 1));
    auto *edit = seqGrid->findChild<QLineEdit *>(QStringLiteral("InplaceEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(QStringLiteral("Bridge"));
    SequencesList->CheckEditing();
    ASSERT_EQ(Sequences[2]->name, "Bridge");
    EXPECT_EQ(grid->item(1, 3)->text(), QStringLiteral("Bridge"));
    EXPECT_EQ(pl->SequenceP->itemText(3), QStringLiteral("Bridge"));
    // Renamed in the main window's box while the list was not open: its next activation
    // takes the name into its choices.
    pl->close();
    ASSERT_EQ(CurSequence, 2);
    platform::ActOnNextDialog("SeqName", [](QDialog &d) {
        auto &n = static_cast<TSeqName &>(d);
        n.ui->Edit1->setText(QStringLiteral("Coda"));
        QTest::keyClick(n.ui->Edit1, Qt::Key_Return);
    });
    ui->RenameSeq->trigger();
    ASSERT_EQ(Sequences[2]->name, "Coda");
    Action("PlayList1")->trigger();
    ASSERT_TRUE(pl->isVisible());
    EXPECT_EQ(pl->SequenceP->itemText(3), QStringLiteral("Coda"));
    EXPECT_EQ(grid->item(1, 3)->text(), QStringLiteral("Coda"));

    // Played with F12: the cue's fade lands on "C" (30), the next line on "Coda" (20).
    fakeNow = 500000;
    platform::SetMonotonicMsHook(&FakeClock);
    grid->setCurrentCell(0, 0);
    ui->Play1->trigger();
    ASSERT_EQ(PlayListRunning.load(), 1);
    EXPECT_TRUE(Action("CueListM")->isChecked());
    EXPECT_EQ(CueListF->GridCueList->currentRow(), 0);
    EXPECT_EQ(PlayerSlots[0].sequence, 0);
    Tick(100);
    EXPECT_EQ(DmxOutFrame[0], 30);
    fakeNow += 1000;
    pl->Timer1Timer();
    EXPECT_EQ(MultiSeqRunning.load(), 0);
    EXPECT_EQ(PlaySequence, 2);
    Tick(100);
    EXPECT_EQ(DmxOutFrame[0], 20);
    pl->StopClick();
    platform::SetMonotonicMsHook(nullptr);

    // The first sequence deleted with the list's Delete key: the cue's slot goes off and
    // the line moves down with its sequence.
    Click(seqGrid, 1, 0);
    ASSERT_EQ(CurSequence, 0);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(seqGrid, &up);
    ASSERT_EQ(SequenceCount, 2);
    EXPECT_EQ(Cues[0].on[0], 0);
    EXPECT_EQ(PlayListEntries[1].index, 1);
    EXPECT_EQ(grid->item(1, 3)->text(), QStringLiteral("Coda"));
    EXPECT_EQ(ShowModified, 1);

    // A new show fills the cue list and the Monitor anew: the cue name being typed and
    // the Monitor's value editor close, and the cue list takes the next cue at once.
    CueListF->show();
    QTableWidget *cues = CueListF->GridCueList;
    Click(cues, 0, 1);
    cues->edit(cues->model()->index(0, 1));
    ASSERT_TRUE(CueListF->InPlaceEditing());
    BuildChannelMaps();
    form->PaintPanelLeftMouseDown(TMainForm::MonitorCellWidth / 2, TMainForm::MonitorCellHeight - 4, Qt::LeftButton, {});
    ASSERT_FALSE(form->Mean1->isHidden());
    ShowModified = 0;
    ui->NewShow->trigger();
    EXPECT_FALSE(CueListF->InPlaceEditing());
    EXPECT_TRUE(form->Mean1->isHidden());
    QTest::mouseClick(CueListF->CuePlus, Qt::LeftButton);
    ASSERT_EQ(CueCount, 1);
    EXPECT_TRUE(CueListF->UpdateL->isVisibleTo(CueListF));
}

TEST_F(CrossWindowsTest, FunctionKeysWorkFromTheFloatingWindowsAndALockEndsTheOpenEditors)
{
    ThreeSequences();
    form->show();

    // F9 opens the cue list from the main window and closes it again from the list.
    KeyTo(form, Qt::Key_F9);
    ASSERT_TRUE(CueListF->isVisible());
    KeyTo(CueListF, Qt::Key_F9);
    EXPECT_FALSE(CueListF->isVisible());
    EXPECT_FALSE(Action("CueListM")->isChecked());
    Action("MultiSeqPlayer")->trigger();
    ASSERT_EQ(MultiSeqRunning.load(), 0);

    // From the groups window F6 opens the play list; from there F7 the sequence list, and
    // from that F5 the music player, whose F6 closes the play list.
    Action("Groups")->trigger();
    ASSERT_TRUE(MasterGroups->isVisible());
    KeyTo(MasterGroups, Qt::Key_F6);
    ASSERT_TRUE(ProgramForm->isVisible());
    KeyTo(ProgramForm, Qt::Key_F7);
    ASSERT_TRUE(SequencesList->isVisible());
    KeyTo(SequencesList, Qt::Key_F5);
    ASSERT_TRUE(MusicPlayer->isVisible());
    KeyTo(MusicPlayer, Qt::Key_F6);
    EXPECT_FALSE(ProgramForm->isVisible());
    EXPECT_FALSE(Action("PlayList1")->isChecked());
    MusicPlayer->close();
    SequencesList->close();
    MasterGroups->close();

    // The values editor is open when a lock at "Edit (M)" is applied for the session: it
    // closes and cannot be opened again.
    Action("GraphEd")->trigger();
    ASSERT_TRUE(ui->WorkArea->isHidden());
    platform::QueueAnswers({"Yes"});   // no device: the hardware question of OK
    bool ran = false;
    platform::ActOnNextDialog("AccessF", [&ran](QDialog &d) {
        ran = true;
        auto &f = static_cast<TAccessF &>(d);
        QTest::keyClicks(f.ui->Edit2, QStringLiteral("stage"));
        f.ui->Level2->setChecked(true);
        f.ui->Session->setChecked(true);
        QTest::mouseClick(f.ui->Button1, Qt::LeftButton);
    });
    Action("Access")->trigger();
    ASSERT_TRUE(ran);
    ASSERT_EQ(AccessLevel, 2);
    EXPECT_FALSE(ui->WorkArea->isHidden());
    Action("GraphEd")->trigger();
    EXPECT_FALSE(ui->WorkArea->isHidden());
}

TEST_F(CrossWindowsTest, TheHardwareWindowsMediaChoicesReachThePlayListAndOutliveARestart)
{
    // The "Other" page: the plugin player and the media synchronisation, chosen by clicks.
    Action("SynchSetup")->trigger();
    ASSERT_TRUE(AudSynch->isVisible());
    AudSynch->ui->PageControl->setCurrentWidget(AudSynch->ui->Other);
    QTest::mouseClick(AudSynch->ui->PluginPlayer, Qt::LeftButton);
    QTest::mouseClick(AudSynch->ui->SyncMediaPlayList, Qt::LeftButton);
    EXPECT_EQ(MediaPlayerOption, 1);
    EXPECT_EQ(SynchMediaPlayList, 1);
    QTest::mouseClick(AudSynch->ui->Close, Qt::LeftButton);
    EXPECT_FALSE(AudSynch->isVisible());

    // The play list (in the screen's corner) brings its video screen and takes it away again.
    ProgramForm->move(0, 0);
    Action("PlayList1")->trigger();
    ASSERT_TRUE(ProgramForm->isVisible());
    ASSERT_NE(TVScreenf, nullptr);
    EXPECT_TRUE(TVScreenf->isVisible());
    // It opens inside the screen and off the list's buttons and first lines.
    QApplication::processEvents();
    QWidget *lines = ProgramForm->ui->ProgrammList->viewport();
    const QRect top(ProgramForm->ui->New->mapToGlobal(QPoint(0, 0)),
                    lines->mapToGlobal(QPoint(lines->width(), 60)));
    EXPECT_FALSE(TVScreenf->frameGeometry().intersects(top));
    EXPECT_TRUE(ProgramForm->screen()->availableGeometry().contains(TVScreenf->frameGeometry()));
    ProgramForm->close();
    EXPECT_EQ(TVScreenf, nullptr);

    // A second start keeps both choices; the internal player takes the screen away.
    platform::QueueAnswers({"Yes", "1"});   // demo mode, then "New Show"
    ASSERT_TRUE(Restart({}));
    EXPECT_EQ(MediaPlayerOption, 1);
    EXPECT_EQ(SynchMediaPlayList, 1);
    EXPECT_TRUE(AudSynch->ui->PluginPlayer->isChecked());
    Action("SynchSetup")->trigger();
    AudSynch->ui->PageControl->setCurrentWidget(AudSynch->ui->Other);
    AudSynch->ui->InternalPlayer->click();
    EXPECT_EQ(MediaPlayerOption, 0);
    AudSynch->close();
    Action("PlayList1")->trigger();
    ASSERT_TRUE(ProgramForm->isVisible());
    EXPECT_EQ(TVScreenf, nullptr);
}

} // namespace
