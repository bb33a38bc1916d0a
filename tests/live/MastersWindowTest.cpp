// The physical-master window and the multi-sequence player through the real main window:
// items and buttons, the grid, faders and bumps, DMX input, the show file, the docked
// slot panel and the merged output.
#include "transport/ProgramWindowTest.h"
#include "DimmerFixture.h"
#include "profiles/ProfileBuilder.h"
#include "tests/app/FixtureAreaShow.h"

#include "app/FixtureArea.h"
#include "app/PatchLoader.h"
#include "app/ShowFile.h"
#include "live/MultiSeqSlots.h"
#include "live/PhysicalMasters.h"
#include "live/TMultiSeq.h"
#include "live/TPhisMast.h"
#include "ui_MainForm.h"
#include "ui_PhisMast.h"

#include "controls/Buttons.h"
#include "controls/Faders.h"
#include "controls/Tracker.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cstdlib>

namespace {

class MastersWindowTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        PhysicalMasters.fill(PhysicalMasterRecord{});
        ResetMasterTables();
        DmxInMode = 0;
        InputFunctionCount = 0;
        std::memset(DmxInLevels, 0, sizeof DmxInLevels);
        std::memset(DmxInPrev, 0, sizeof DmxInPrev);
        for (PlayerSlot &s : PlayerSlots)
            s = PlayerSlot{};
    }
    void TearDown() override
    {
        DmxInEnabled = 0;
        DmxInMode = 0;
        ProgramWindowTest::TearDown();
    }

    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    TSpeedButton *Button(const char *name) const
    {
        return form->findChild<TSpeedButton *>(QString::fromLatin1(name));
    }
    void PatchDimmers() { ::PatchDimmers(root, form); }
    // The fader of master m moved by the program as an operator's drag would.
    static void MoveFader(int m, int v)
    {
        PhisMast->Faders[m]->SetPosition(v);
        emit PhisMast->Faders[m]->OnChange(PhisMast->Faders[m]);
    }
    // Master 1 as a dimmer of channel 0 at 128, through the window.
    void DimChannelZero()
    {
        Action("PhisicalMaster")->trigger();
        PhisMast->PopupFor(0);
        QAction *asDimmer = PhisMast->Popup->findChild<QAction *>(QStringLiteral("AsDimmer"));
        ASSERT_TRUE(asDimmer && asDimmer->isVisible());
        asDimmer->trigger();
        QTest::mouseClick(PhisMast->ui->ViewTable, Qt::LeftButton);
        QTest::mouseClick(PhisMast->Grid, Qt::LeftButton, {}, QPoint(5, 5));
        MoveFader(0, 128);
    }
};

TEST_F(MastersWindowTest, BothWindowsExistWithTheirControlsAndHooks)
{
    ASSERT_TRUE(PhisMast);
    ASSERT_TRUE(MultiSeq);
    EXPECT_EQ(PhisMast->findChildren<TTracker *>().size(), 17);
    int bumps = 0;
    for (TCBT *b : PhisMast->findChildren<TCBT *>())
        bumps += b->Caption() == "BUMP";
    EXPECT_EQ(bumps, 17);
    EXPECT_EQ(PhisMast->findChildren<QCheckBox *>().size(), 16);
    EXPECT_TRUE(PhisMast->Grid);
    EXPECT_NE(MasterWindow, 0u);
    EXPECT_EQ(MultiSeq->findChildren<TCBTC *>().size(), 16);

    const WindowSeamTable &s = WindowSeams();
    EXPECT_TRUE(ShowFileEvents().rebuildMasterChannelLists);
    for (bool installed : {bool(s.applyInputToMasters), bool(s.bumpDown), bool(s.bumpUp), bool(s.phisMastActivate),
                           bool(s.refreshPhysicalMasters), bool(s.setMultiSeqSlotOn),
                           bool(s.setMultiSeqSlotSequence), bool(s.multiSeqPlay), bool(s.multiSeqStop),
                           bool(s.multiSeqDock)})
        EXPECT_TRUE(installed);

    // Gone with their windows: the engine posts to no window, no hook calls into them.
    DestroyProgramWindows();
    EXPECT_EQ(MasterWindow, 0u);
    EXPECT_FALSE(WindowSeams().bumpDown);
    EXPECT_FALSE(WindowSeams().multiSeqDock);
    EXPECT_FALSE(ShowFileEvents().rebuildMasterChannelLists);
}

TEST_F(MastersWindowTest, DimmerLimitsTheOutputAndTravelsWithTheShow)
{
    PatchDimmers();
    DimChannelZero();
    EXPECT_TRUE(PhisMast->isVisible());
    EXPECT_TRUE(Button("PhisMastButton")->Down());
    EXPECT_TRUE(Action("PhisicalMaster")->isChecked());
    EXPECT_EQ(PhysMasterMap[0], 0);
    EXPECT_EQ(DmxScale[0], 128);
    EXPECT_EQ(PhisMast->Values[0]->text(), QStringLiteral("128"));
    SetFixtureChannel(0, 200);
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 200);
    EXPECT_EQ(DmxOutFrame[0], 100);

    // Saved with the show: 1024 map bytes, 17 flag bytes, 17 levels.
    const std::string path = (root / "masters.d1k").string();
    platform::QueueAnswers({path});
    form->FileSaveAs();
    const Bytes bytes = ReadFileBytes(path);
    std::size_t at = 0;
    for (std::size_t i = 0; i + 8 <= bytes.size(); ++i)
        if (std::memcmp(&bytes[i], "PHM3", 4) == 0)
            at = i;
    ASSERT_GT(at, 0u);
    EXPECT_EQ(U32At(bytes, at + 4) - (at + 8), 1058u);
    EXPECT_EQ(bytes[at + 8], 0);                    // channel 0 on master 1
    EXPECT_EQ(bytes[at + 8 + 1024], MasterIsDimmer);
    EXPECT_EQ(bytes[at + 8 + 1024 + 17], 128);

    // A new show starts unscaled; opening the saved one brings scale and fader back.
    ShowModified = 0;
    form->FileNew();
    EXPECT_EQ(DmxScale[0], 255);
    EXPECT_EQ(PhisMast->Faders[0]->Position(), 0);
    ShowModified = 0;
    platform::QueueAnswers({path});
    form->FileOpen();
    EXPECT_EQ(DmxScale[0], 128);
    EXPECT_EQ(PhisMast->Faders[0]->Position(), 128);
    EXPECT_EQ(PhisMast->Faders[0]->Color(), clFuchsia);
    form->Select(0);
    SetFixtureChannel(0, 200);
    Tick();
    EXPECT_EQ(DmxOutFrame[0], 100);
}

TEST_F(MastersWindowTest, ClosingUnchecksTheItemAndClearAllAsksFirst)
{
    PatchDimmers();
    DimChannelZero();
    EXPECT_TRUE(PhisMast->TableShown());
    EXPECT_EQ(PhisMast->ui->ViewTable->text(), QStringLiteral("Hide Table <<"));
    EXPECT_TRUE(PhisMast->ui->ClearAll->isVisibleTo(PhisMast));
    // With the table it still fits a 1024 x 768 screen, title bar included.
    EXPECT_LE(PhisMast->width(), 1024);
    EXPECT_LE(PhisMast->height(), 768 - 40);

    platform::QueueAnswers({"No"});
    QTest::mouseClick(PhisMast->ui->ClearAll, Qt::LeftButton);
    EXPECT_EQ(PhysMasterMap[0], 0);
    EXPECT_EQ(DmxScale[0], 128);
    platform::QueueAnswers({"Yes"});
    QTest::mouseClick(PhisMast->ui->ClearAll, Qt::LeftButton);
    EXPECT_EQ(PhysMasterMap[0], NoMaster);
    EXPECT_EQ(DmxScale[0], 255);
    EXPECT_NE(BoxLog().find("Brantoval-1024|Clear all masters assignment ?|"), std::string::npos);

    // The hover texts of the grid.
    QTest::mouseMove(PhisMast->Grid, QPoint(5 * 22 + 3, 20 * 12 + 3));
    PhisMast->GridMouseMove(5 * 22 + 3, 20 * 12 + 3);
    EXPECT_EQ(PhisMast->ui->CellChannel->text(), QStringLiteral("133 OUT2"));
    EXPECT_EQ(PhisMast->ui->CellFixture->text(), QStringLiteral("Empty"));
    PhisMast->GridMouseMove(25, 3);
    EXPECT_EQ(PhisMast->ui->CellFixture->text(), QStringLiteral("Dim - Ch2(Dimmer)"));

    // A label click selects its master: its label turns white, the others button face.
    QTest::mouseClick(PhisMast->Names[2], Qt::LeftButton);
    EXPECT_EQ(SelectedMaster, 2);
    EXPECT_EQ(PhisMast->Names[2]->palette().color(QPalette::Window), toQColor(clWhite));
    EXPECT_EQ(PhisMast->Names[0]->palette().color(QPalette::Window), toQColor(clBtnFace));
    EXPECT_EQ(PhisMast->Names[MainMaster]->text(), QStringLiteral("MASTER"));
    // The popup of the main master offers no kinds; the grid's popup offers the search.
    PhisMast->PopupFor(MainMaster);
    for (QAction *a : PhisMast->Popup->actions())
        EXPECT_FALSE(a->isVisible()) << a->objectName().toStdString();
    PhisMast->PopupFor(0);
    EXPECT_TRUE(PhisMast->Popup->findChild<QAction *>(QStringLiteral("SearchFreeDimmer"))->isVisible());
    EXPECT_TRUE(PhisMast->Popup->findChild<QAction *>(QStringLiteral("AsPhysicalMaster"))->isVisible());

    // "Ignore" stays down until clicked again.
    QTest::mouseClick(PhisMast->Ignore, Qt::LeftButton);
    EXPECT_EQ(IgnoreBlackOut, 1);
    EXPECT_TRUE(PhisMast->Ignore->Down());
    QTest::mouseClick(PhisMast->Ignore, Qt::LeftButton);
    EXPECT_EQ(IgnoreBlackOut, 0);
    EXPECT_FALSE(PhisMast->Ignore->Down());

    PhisMast->close();
    EXPECT_FALSE(PhisMast->TableShown());
    EXPECT_FALSE(Action("PhisicalMaster")->isChecked());
    EXPECT_FALSE(Button("PhisMastButton")->Down());
}

TEST_F(MastersWindowTest, HotKeyBumpsAndItsReleaseReturnsTheFader)
{
    PatchDimmers();
    DimChannelZero();
    PhysicalMasters[0].hotKey = 'B';
    form->UpdateBumpShortcuts();
    Action("PMst1")->trigger();
    EXPECT_EQ(PhisMast->Faders[0]->Position(), 255);
    EXPECT_EQ(DmxScale[0], 255);
    EXPECT_TRUE(PhisMast->Bumps[0]->Down());
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier);
    EXPECT_TRUE(form->ApplicationEvents1Message(&release));
    EXPECT_EQ(PhisMast->Faders[0]->Position(), 128);
    EXPECT_EQ(DmxScale[0], 128);
    EXPECT_FALSE(PhisMast->Bumps[0]->Down());
    // A modal window opened meanwhile keeps the key; the held bump is released all the same.
    Action("PMst1")->trigger();
    {
        QDialog box(form);
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        EXPECT_FALSE(form->ApplicationEvents1Message(&release));
    }
    EXPECT_EQ(PhisMast->Faders[0]->Position(), 128);
    EXPECT_EQ(PhysicalMasters[0].keyHeld, 0);

    // A release without a bump leaves the fader; a disabled bump does not move it.
    PhisMast->Bump1MouseUp(0);
    EXPECT_EQ(PhisMast->Faders[0]->Position(), 128);
    DmxInMode = 3;
    PhisMast->ApplyControlStates();
    EXPECT_FALSE(PhisMast->Bumps[0]->isEnabled());
    EXPECT_FALSE(PhisMast->Faders[MainMaster]->isEnabled());
    EXPECT_FALSE(PhisMast->Follows[0]->isEnabled());
    EXPECT_TRUE(PhisMast->TimerMast->isActive());
    PhisMast->Bump1MouseDown(0);
    EXPECT_EQ(PhisMast->Faders[0]->Position(), 128);
    DmxInMode = 0;
    PhisMast->FormActivate();
    EXPECT_TRUE(PhisMast->Bumps[0]->isEnabled());
    EXPECT_FALSE(PhisMast->TimerMast->isActive());
}

TEST_F(MastersWindowTest, InputModeThreeReachesTheMastersThroughTheEngine)
{
    PatchDimmers();
    DimChannelZero();
    SetFixtureChannel(0, 200);
    DmxInEnabled = 1;
    DmxInMode = 3;
    DmxInLevels[0] = 200;
    Tick();
    platform::DeliverPostedMessages();
    Tick();
    EXPECT_EQ(PhysicalMasters[0].level, 200);
    EXPECT_EQ(DmxScale[0], 200);
    EXPECT_EQ(PhisMast->Faders[0]->Position(), 200);
    EXPECT_EQ(DmxOutFrame[0], 156);

    // Mode 4: the main master's function moves a following dimmer's scale.
    DmxInMode = 4;
    PhysicalMasters[0].flags |= MasterFollowsMain;
    InputFunctions[5] = InputFunctionEntry{MainMaster, 1};
    InputFunctionCount = 6;
    DmxInLevels[5] = 51;
    MasterInputTime[MainMaster] = -1000;
    Tick(3);
    platform::DeliverPostedMessages();
    EXPECT_EQ(PhisMast->Faders[MainMaster]->Position(), 51);
    EXPECT_EQ(DmxScale[0], 200 * 51 / 255);
}

TEST_F(MastersWindowTest, MultiSequencePlayerDocksPlaysAndMergesSlots)
{
    transport_test::AddSequence(1);
    transport_test::AddSequence(1);
    form->FillSequenceBox();
    PatchDimmers();

    Action("MultiSeqPlayer")->trigger();
    // Switching the player on stored the fixtures into the current scene; now the levels.
    Sequences[0]->scenes[0]->levels[0] = 180;
    Sequences[1]->scenes[0]->levels[0] = 60;
    EXPECT_EQ(MultiSeq->MSPanel->parentWidget(), ui->TransportControl);
    EXPECT_FALSE(form->findChild<QWidget *>(QStringLiteral("SPlayer"))->isVisibleTo(form));
    EXPECT_TRUE(MultiSeq->MSPanel->isVisibleTo(form));
    EXPECT_FALSE(form->DUpDownTempo->isVisibleTo(form));
    EXPECT_EQ(form->DUpDownTempo->parentWidget(), ui->TransportControl);

    MultiSeq->SName1Click(0);
    EXPECT_TRUE(MultiSeq->ComboSeq->isVisibleTo(MultiSeq->MSPanel));
    MultiSeq->ComboSeq->setCurrentIndex(1);
    EXPECT_FALSE(MultiSeq->ComboSeq->isVisibleTo(MultiSeq->MSPanel));
    EXPECT_EQ(PlayerSlots[0].sequence, 1);
    EXPECT_EQ(MultiSeq->SName[0]->text(), ui->Sequence->itemText(1));
    QTest::mouseClick(MultiSeq->OnOff[0], Qt::LeftButton);
    EXPECT_EQ(MultiSeq->OnOff[0]->Color(), clWhite);
    EXPECT_EQ(PlayerSlots[0].active, 1);

    ui->Play1->trigger();
    EXPECT_EQ(Playing.load(), 1);
    EXPECT_TRUE(MultiSeq->Play->Down());
    EXPECT_FALSE(ui->ShowMenu->menuAction()->isEnabled());
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 60);
    EXPECT_EQ(DmxOutFrame[0], 60);

    // 'D' from the input functions lights slot 2 (sequence 1 of the box, index 0).
    platform::PostMessageTo(MessageWindow, EngineMessage, EngineCodeSlotOn, 1);
    platform::DeliverPostedMessages();
    EXPECT_EQ(MultiSeq->OnOff[1]->Color(), clWhite);
    EXPECT_EQ(EngineBusy.load(), 0);
    Tick();
    EXPECT_EQ(DmxOutLevels[0], 180);
    // Slot 1 off: slot 2's level stays.
    MultiSeq->OnOff1Click(0);
    EXPECT_EQ(MultiSeq->OnOff[0]->Color(), clBlack);
    Tick(2);
    EXPECT_EQ(DmxOutFrame[0], 180);

    // The display timer shows the clock and the tick's time and mirrors the output.
    TickDuration.store(7);
    PlayClock = 3723456;
    OutputChanged.store(1);
    MultiSeq->MultiTimerTimer();
    EXPECT_EQ(ui->Time->text(), QStringLiteral("01:02:03:4"));
    EXPECT_EQ(ui->Label1->text(), QStringLiteral("14"));
    EXPECT_EQ(Fixtures[0].values[0], 180);
    EXPECT_EQ(OutputChanged.load(), 0);
    PlayClock = -50;
    MultiSeq->MultiTimerTimer();
    EXPECT_EQ(ui->Time->text(), QStringLiteral("00:00:00:0"));

    ui->Play1->trigger();
    EXPECT_EQ(Playing.load(), 0);
    EXPECT_TRUE(MultiSeq->Stop->Down());
    EXPECT_TRUE(ui->Time->text().isEmpty());
    EXPECT_TRUE(ui->ShowMenu->menuAction()->isEnabled());
    EXPECT_FALSE(MultiSeq->MultiTimer->isActive());
}

TEST_F(MastersWindowTest, DockUndockAndDockAgainThroughF8)
{
    transport_test::AddSequence(2);
    form->FillSequenceBox();
    // A slot on a sequence that no longer exists is dropped on docking.
    PlayerSlots[3].sequence = 7;
    PlayerSlots[3].active = 1;
    const QSize undocked = form->minimumSizeHint();
    Action("MultiSeqPlayer")->trigger();
    EXPECT_TRUE(MultiSeq->Docked());
    EXPECT_EQ(PlayerSlots[3].active, 0);
    EXPECT_EQ(PlayerSlots[3].sequence, 0);
    EXPECT_FALSE(MultiSeq->isVisible());
    // The panel takes the single player's place: the window grows neither beyond that
    // nor beyond 1024 x 768.
    EXPECT_LE(form->minimumSizeHint().width(), std::max(undocked.width(), 1024));
    EXPECT_LE(form->minimumSizeHint().height(), std::max(undocked.height(), 768));

    Action("MultiSeqPlayer")->trigger();
    EXPECT_FALSE(MultiSeq->Docked());
    EXPECT_EQ(MultiSeq->MSPanel->parentWidget(), MultiSeq);
    EXPECT_TRUE(form->findChild<QWidget *>(QStringLiteral("SPlayer"))->isVisibleTo(form));
    Action("MultiSeqPlayer")->trigger();
    EXPECT_TRUE(MultiSeq->Docked());
    EXPECT_EQ(MultiSeq->MSPanel->parentWidget(), ui->TransportControl);

    // The refill runs only while the item is checked and sets every slot's scene to 0.
    PlayerSlots[9].scene = 4;
    MultiSeq->MSPanelResize();
    EXPECT_EQ(PlayerSlots[9].scene, 0);
    EXPECT_EQ(MultiSeq->ComboSeq->count(), ui->Sequence->count());
    Action("MultiSeqPlayer")->trigger();
    PlayerSlots[9].scene = 4;
    MultiSeq->MSPanelResize();
    MultiSeq->MSPanel->resize(300, 50);
    EXPECT_EQ(PlayerSlots[9].scene, 4);

    // Optional pictures for a look at the windows.
    if (const char *dir = std::getenv("BRTV_GRAB_DIR")) {
        Action("MultiSeqPlayer")->trigger();
        PatchDimmers();
        SetMultiSeqSlotOn(0, 1);
        SetMultiSeqSlotOn(2, 1);
        MultiSeq->MSPanelResize();
        form->resize(form->minimumSizeHint());
        form->show();
        QCoreApplication::processEvents();
        form->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/docked.png"));
        Action("PhisicalMaster")->trigger();
        PhisMast->ViewTableClick();
        ToggleMasterChannel(0, 1);
        SetMasterKind(1, true);
        ToggleMasterChannel(1, 2);
        QCoreApplication::processEvents();
        PhisMast->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/phismast.png"));
    }
}

} // namespace
