// The cue list window through the real main window: its buttons, pop-up and keys, the
// delete question, the lock, renaming, dragging, the hooks, its fit on a small screen
// and the debug listing; then the operator's whole road from the slots to the wire, the
// show file and a second start.
#include "transport/ProgramWindowTest.h"
#include "DimmerFixture.h"

#include "app/SequenceEditing.h"
#include "app/ShowFile.h"
#include "app/TDebugForm.h"
#include "app/ToolWindows.h"
#include "live/CueList.h"
#include "live/TCueListF.h"
#include "live/TMultiSeq.h"
#include "ui_CueListF.h"
#include "ui_DebugForm.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include <cstdlib>

namespace {

class CueListWindowTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        ResetMasterTables();
        for (PlayerSlot &s : PlayerSlots)
            s = PlayerSlot{};
        PlayListEntries.clear();
        PlayListCount = 0;
        savedConfirm = ConfirmOptions;
        ConfirmOptions = 0;
        AccessLevel = 0;
        ASSERT_TRUE(CueListF);
    }
    void TearDown() override
    {
        ConfirmOptions = savedConfirm;
        AccessLevel = 0;
        ResetStartMode();
        ProgramWindowTest::TearDown();
    }

    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    QAction *PopupItem(const char *name) const
    {
        return CueListF->Popup->findChild<QAction *>(QString::fromLatin1(name));
    }
    // Two sequences of one scene, the cue list open with the player on.
    void OpenWithTwoSequences()
    {
        transport_test::AddSequence(1);
        transport_test::AddSequence(1);
        form->FillSequenceBox();
        Action("CueListM")->trigger();
        ASSERT_TRUE(CueListF->isVisible());
    }
    static void KeyUp(int key)
    {
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(CueListF->GridCueList, &up);
    }
    static QPoint CellCentre(int row, int column)
    {
        return CueListF->GridCueList->visualRect(CueListF->GridCueList->model()->index(row, column)).center();
    }
    static void ClickCell(int row, int column)
    {
        QTest::mouseClick(CueListF->GridCueList->viewport(), Qt::LeftButton, {}, CellCentre(row, column));
    }

    std::uint8_t savedConfirm = 0;
};

TEST_F(CueListWindowTest, ButtonsPopupAndKeysAddAndDeleteWithTheQuestionOnlyWhenAsked)
{
    OpenWithTwoSequences();
    EXPECT_EQ(CueListF->GridCueList->rowCount(), 1) << "one empty row";
    EXPECT_FALSE(CueListF->UpdateL->isVisibleTo(CueListF)) << "hidden with no selection";

    QTest::mouseClick(CueListF->CuePlus, Qt::LeftButton);
    EXPECT_EQ(CueCount, 1);
    EXPECT_EQ(Cues[0].name, "Cue 1");
    EXPECT_TRUE(CueListF->UpdateL->isVisibleTo(CueListF));
    PopupItem("Add1")->trigger();
    ASSERT_EQ(CueCount, 2);
    EXPECT_EQ(CueListF->GridCueList->currentRow(), 1);
    KeyUp(Qt::Key_Insert);
    ASSERT_EQ(CueCount, 3);
    EXPECT_EQ(Cues[2].name, "Cue 3");
    EXPECT_EQ(CueListF->GridCueList->rowCount(), 3);
    EXPECT_EQ(CueListF->ui->StatusBar1->text(), QStringLiteral("NN"));

    // With the name column current, Insert and Delete do nothing.
    CueListF->GridCueList->setCurrentCell(1, 1);
    KeyUp(Qt::Key_Insert);
    KeyUp(Qt::Key_Delete);
    EXPECT_EQ(CueCount, 3);

    // No question without the cue bit; with it, No keeps the cue.
    CueListF->GridCueList->setCurrentCell(2, 0);
    KeyUp(Qt::Key_Delete);
    EXPECT_EQ(CueCount, 2);
    EXPECT_EQ(BoxLog().find("Delete CUE"), std::string::npos);
    ConfirmOptions = ConfirmCueDelete;
    platform::QueueAnswers({"No"});
    QTest::mouseClick(CueListF->CueMinus, Qt::LeftButton);
    EXPECT_EQ(CueCount, 2);
    EXPECT_NE(BoxLog().find("Brantoval-1024|Delete CUE, are you sure?|No"), std::string::npos) << BoxLog();
    platform::QueueAnswers({"Yes", "Yes"});
    PopupItem("Delete1")->trigger();
    CueListF->CueMinusClick();
    EXPECT_EQ(CueCount, 0);
    EXPECT_EQ(CueListF->GridCueList->rowCount(), 1);
    EXPECT_FALSE(CueListF->UpdateL->isVisibleTo(CueListF)) << "hidden after the last delete";
    EXPECT_TRUE(ShowModified);

    // A new show hides the list with the player; opened again it has one empty row.
    QTest::mouseClick(CueListF->CuePlus, Qt::LeftButton);
    QTest::mouseClick(CueListF->CuePlus, Qt::LeftButton);
    ShowModified = 0;
    ui->NewShow->trigger();
    EXPECT_FALSE(CueListF->isVisible());
    EXPECT_EQ(CueCount, 0);
    Action("CueListM")->trigger();
    ASSERT_TRUE(CueListF->isVisible());
    EXPECT_EQ(CueListF->GridCueList->rowCount(), 1);
    CueListF->SelectCue(40);
    CueListF->SelectCue(0);
    EXPECT_FALSE(CueListF->UpdateL->isVisibleTo(CueListF)) << "no cue to select";
}

TEST_F(CueListWindowTest, LockedCuesRenameAndInPlaceEditing)
{
    OpenWithTwoSequences();
    CueListF->CuePlusClick();
    CueListF->CuePlusClick();
    ASSERT_EQ(CueCount, 2);

    // Renaming through the name dialog: its label, the old name offered, 254 bytes kept.
    std::string label, offered;
    bool answer = true;
    std::string typed(300, 'x');
    WindowSeams().seqNameDialog = [&](const std::string &l, std::string &text, bool choice, int &) {
        label = l;
        offered = text;
        EXPECT_FALSE(choice);
        text = typed;
        return answer;
    };
    CueListF->SelectCue(0);
    PopupItem("Rename1")->trigger();
    EXPECT_EQ(label, "Cue Name");
    EXPECT_EQ(offered, "Cue 1");
    EXPECT_EQ(Cues[0].name, std::string(254, 'x'));
    answer = false;
    typed = "gone";
    CueListF->Rename1Click();
    EXPECT_EQ(Cues[0].name, std::string(254, 'x')) << "cancelled: the name stays";

    // In place, in the name column; a character with no byte becomes '?'.
    CueListF->GridCueList->setCurrentCell(1, 1);
    EXPECT_EQ(CueListF->GridCueListGetEditText(1), QStringLiteral("Cue 2"));
    EXPECT_EQ(CueListF->EditingName, 1);
    CueListF->GridCueListSetEditText(1, QStringLiteral("Intro \u263A"));
    EXPECT_EQ(Cues[1].name, "Intro ?");
    EXPECT_EQ(CueListF->EditingName, 0);
    CueListF->GridCueList->edit(CueListF->GridCueList->model()->index(1, 0));
    EXPECT_FALSE(CueListF->InPlaceEditing()) << "numbers are not edited";

    // Locked at "Edit (M)": nothing changes the cues.
    AccessLevel = 2;
    const std::string before = Cues[1].name;
    CueListF->CuePlusClick();
    KeyUp(Qt::Key_Insert);
    PopupItem("Delete1")->trigger();
    answer = true;
    typed = "locked";
    CueListF->Rename1Click();
    CueListF->GridCueListSetEditText(1, QStringLiteral("locked"));
    CueListF->GridCueList->edit(CueListF->GridCueList->model()->index(1, 1));
    EXPECT_FALSE(CueListF->InPlaceEditing());
    PlayerSlots[4].active = 1;
    CueListF->UpdateLClick();
    EXPECT_EQ(CueCount, 2);
    EXPECT_EQ(Cues[1].name, before);
    EXPECT_EQ(Cues[1].on[4], 0);
    // Applying a cue is still allowed.
    CueListF->SelectCue(0);
    EXPECT_EQ(CueListF->GridCueList->currentRow(), 0);
}

TEST_F(CueListWindowTest, DragsOnlyFromItsOwnGridAndNotWhilePlayingAndTheFadeHookNeedsTheWindow)
{
    OpenWithTwoSequences();
    for (int i = 0; i < 3; ++i)
        CueListF->CuePlusClick();
    QMimeData cue;
    cue.setData(QString::fromLatin1(CueMimeType), "0");
    QMimeData other;
    other.setData(QStringLiteral("application/x-brtv-sequence"), "0");

    ASSERT_TRUE(CueListF->GridCueListMouseDown(Qt::LeftButton, CellCentre(0, 0)));
    EXPECT_EQ(CueListF->DragRow, 0);
    QWidget stranger;
    EXPECT_FALSE(CueListF->GridCueListDragOver(&stranger, &cue, 2));
    EXPECT_FALSE(CueListF->GridCueListDragOver(CueListF->GridCueList, &other, 2));
    EXPECT_FALSE(CueListF->GridCueListDragOver(CueListF->GridCueList, &cue, 0)) << "over itself";
    EXPECT_TRUE(CueListF->GridCueListDragOver(CueListF->GridCueList, &cue, 2));
    EXPECT_FALSE(CueListF->GridCueListDragDrop(&stranger, &cue, 2));
    EXPECT_EQ(Cues[0].name, "Cue 1");
    EXPECT_TRUE(CueListF->GridCueListDragDrop(CueListF->GridCueList, &cue, -1)) << "outside: the last place";
    EXPECT_EQ(Cues[2].name, "Cue 1");
    EXPECT_EQ(CueListF->GridCueList->currentRow(), 2);

    Playing.store(1);
    EXPECT_FALSE(CueListF->GridCueListMouseDown(Qt::LeftButton, CellCentre(1, 0)));
    EXPECT_FALSE(CueListF->DragArmed());
    Playing.store(0);

    // The player's start fades to the current cue only while the list is shown.
    Sequences[1]->scenes[0]->levels[0] = 77;
    Cues[2].on[0] = 1;
    Cues[2].sequence[0] = 1;
    PlayClock = 500;
    CueListF->hide();
    CallSeam(WindowSeams().crossFadeToCurrentCue);
    EXPECT_EQ(CrossFading.load(), 0);
    CueListF->show();
    CallSeam(WindowSeams().crossFadeToCurrentCue);
    EXPECT_EQ(CrossFading.load(), 1);
    EXPECT_EQ(CrossFadeTo[0], 77);
    EXPECT_EQ(PlayClock, 1500) << "the transport's 1000 ms";
}

TEST_F(CueListWindowTest, FitsSmallScreensAndTheDebugWindowListsTheCues)
{
    OpenWithTwoSequences();
    CueListF->CuePlusClick();
    Cues[0].name = "Opening";
    Cues[0].sequence[1] = -1;
    CueListF->CuePlusClick();

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = CueListF->frameGeometry();
    EXPECT_LE(frame.width(), std::min(screen.width(), 800));
    EXPECT_LE(frame.height(), std::min(screen.height(), 600));
    for (QWidget *child : CueListF->findChildren<QWidget *>()) {
        if (!child->isVisibleTo(CueListF) || child->parentWidget() != CueListF)
            continue;
        EXPECT_TRUE(CueListF->rect().contains(child->geometry())) << child->objectName().toStdString();
    }
    EXPECT_EQ(CueListF->GridCueList->horizontalHeader()->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("NN"));
    EXPECT_GE(CueListF->GridCueList->columnWidth(1), 100);
    EXPECT_TRUE(CueListF->windowFlags() & Qt::WindowStaysOnTopHint);

    form->DebugButtonClick();
    ASSERT_TRUE(DebugForm && DebugForm->isVisible());
    const QString memo = DebugForm->ui->Memo1->toPlainText();
    EXPECT_TRUE(memo.startsWith(QStringLiteral("Opening\n0 _ ,-1 _ ,0 _ ,"))) << memo.toStdString();
    EXPECT_TRUE(memo.contains(QStringLiteral("Cue 2\n")));
    EXPECT_TRUE(DebugForm->ui->Memo1->isReadOnly());

    if (const char *dir = std::getenv("BRTV_GRAB_DIR")) {
        Cues[1].name = "Chorus with lights";
        CueListF->SelectCue(1);
        QCoreApplication::processEvents();
        CueListF->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/cuelist.png"));
        DebugForm->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/debugform.png"));
    }
    DebugForm->close();
}

// ---- the operator's road ------------------------------------------------------------------

using CueListEndToEnd = CueListWindowTest;

TEST_F(CueListEndToEnd, CuesFromTheSlotsFadeOnTheWireFollowSequencesAndTravelWithTheShow)
{
    PatchDimmers(root, form);
    OpenWithTwoSequences();
    EXPECT_EQ(MultiSeqRunning.load(), 1);
    EXPECT_TRUE(form->findChild<TSpeedButton *>(QStringLiteral("CueListB"))->Down());
    EXPECT_TRUE(Action("CueListM")->isChecked());
    Sequences[0]->scenes[0]->levels[0] = 100;
    Sequences[1]->scenes[0]->levels[0] = 200;

    // Slot 1 on the first sequence, a cue; then on the second, another.
    QTest::mouseClick(MultiSeq->OnOff[0], Qt::LeftButton);
    ASSERT_EQ(PlayerSlots[0].active, 1);
    QTest::mouseClick(CueListF->CuePlus, Qt::LeftButton);
    MultiSeq->SName1Click(0);
    MultiSeq->ComboSeq->setCurrentIndex(1);
    ASSERT_EQ(PlayerSlots[0].sequence, 1);
    QTest::mouseClick(CueListF->CuePlus, Qt::LeftButton);
    ASSERT_EQ(CueCount, 2);
    EXPECT_EQ(Cues[0].name, "Cue 1");
    EXPECT_EQ(Cues[1].name, "Cue 2");
    EXPECT_EQ(Cues[0].sequence[0], 0);
    EXPECT_EQ(Cues[1].sequence[0], 1);
    EXPECT_EQ(CueListF->ui->StatusBar1->text(), QStringLiteral("NN=2"));

    // Playing, a click on cue 1 fades the wire to its level.
    ui->Play1->trigger();
    ASSERT_EQ(Playing.load(), 1);
    Tick();
    ClickCell(0, 0);
    EXPECT_EQ(CrossFading.load(), 1);
    EXPECT_EQ(PlayerSlots[0].sequence, 0);
    Tick(25);
    EXPECT_EQ(DmxOutFrame[0], 100);

    // 'S' from the engine in cue mode takes cue 2.
    PlaySequence = 1;
    platform::PostMessageTo(MessageWindow, EngineMessage, EngineCodeSelect, 0);
    platform::DeliverPostedMessages();
    EXPECT_EQ(CueListF->GridCueList->currentRow(), 1);
    Tick(25);
    EXPECT_EQ(DmxOutFrame[0], 200);

    // The hot cue selects cue 1; closing the window unchecks the item.
    Action("Cue1")->trigger();
    EXPECT_EQ(CueListF->GridCueList->currentRow(), 0);
    CueListF->close();
    EXPECT_FALSE(Action("CueListM")->isChecked());

    // Deleting the second sequence turns cue 2's slot off, its index kept.
    ui->Play1->trigger();
    Action("MultiSeqPlayer")->trigger();
    ASSERT_EQ(MultiSeqRunning.load(), 0);
    ASSERT_EQ(Playing.load(), 0);
    form->SelectSequence(1);
    ASSERT_EQ(CurSequence, 1);
    ConfirmOptions = ConfirmSequenceDelete;
    platform::QueueAnswers({"Yes"});
    form->DelSeqClick();
    EXPECT_NE(BoxLog().find("|Yes"), std::string::npos);
    ASSERT_EQ(SequenceCount, 1);
    EXPECT_EQ(Cues[1].on[0], 0);
    EXPECT_EQ(Cues[1].sequence[0], 1);
    EXPECT_EQ(Cues[0].on[0], 1);
    EXPECT_EQ(Cues[0].sequence[0], 0);

    // Saved, a new show without cues, opened again.
    Cues[0].name = "Warm";
    const std::string path = (root / "cues.d1k").string();
    platform::QueueAnswers({path});
    ui->SaveShowAs->trigger();
    ASSERT_EQ(ShowFileName, path);
    ui->NewShow->trigger();
    EXPECT_EQ(CueCount, 0);
    platform::QueueAnswers({path});
    ui->LoadShow->trigger();
    ASSERT_EQ(CueCount, 2);
    EXPECT_EQ(Cues[0].name, "Warm");
    EXPECT_EQ(Cues[1].name, "Cue 2");
    EXPECT_EQ(Cues[0].on[0], 1);
    EXPECT_EQ(Cues[1].sequence[0], 1);
    const Bytes bytes = ReadFileBytes(path);
    std::size_t patchEnd = 22;
    for (const auto &f : Fixtures)
        patchEnd += 50 + f.profileFileName->size() + f.userHeader.size();
    bool ecul = false;
    for (const auto &[tag, at] : ChunkList(bytes, patchEnd))
        ecul = ecul || tag == "ECUL";
    EXPECT_TRUE(ecul);

    // A second start with the show, a cue number and auto-play.
    platform::QueueAnswers({"Yes"});
    ASSERT_TRUE(Restart({path, "/CUENUMBER:2", "/PLAY"}));
    ASSERT_TRUE(CueListF);
    StartupActionsPending = 1;
    form->FormActivate();
    EXPECT_TRUE(CueListF->isVisible());
    EXPECT_EQ(CueListF->GridCueList->currentRow(), 1);
    EXPECT_EQ(MultiSeqRunning.load(), 1);
    EXPECT_EQ(Playing.load(), 1);
    ui->Play1->trigger();
}

} // namespace
