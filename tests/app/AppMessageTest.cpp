// The main window's side of engine and application messages, in this process with the
// engine timer stopped unless a test starts it.
#include "transport/TransportShow.h"

#include "app/Application.h"
#include "app/AutoBackup.h"
#include "app/EngineMessages.h"
#include "app/MainForm.h"
#include "app/RecentFiles.h"
#include "app/ShowFile.h"
#include "app/ToolWindows.h"
#include "app/WindowSeams.h"
#include "ui_MainForm.h"

#include "controls/SpeedButton.h"
#include "live/TMultiSeq.h"
#include "live/TPhisMast.h"

#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/ProgramFolder.h"
#include "common/TestFiles.h"

namespace fs = std::filesystem;
using namespace transport_test;

namespace {

class AppMessageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-appmsg");
        testfiles::UseProgramFolder(root);
        ShowModified = 0;
        EngineBusy = 0;
        ErrorCountZ = 0;
        for (PhysicalMasterRecord &m : PhysicalMasters)
            m = PhysicalMasterRecord{};
        WindowSeams() = WindowSeamTable{};
        // No interface library in the program folder: demo mode, then "New Show".
        platform::QueueAnswers({"Yes", "1"});
        char arg0[] = "brantoval";
        char *argv[] = {arg0, nullptr};
        ASSERT_TRUE(CreateProgramWindows(1, argv));
        StopOutputTimer();
        form = MainForm;
        ui = form->ui;
    }
    void TearDown() override
    {
        StopOutputTimer();
        ResetPlayState();
        WindowSeams() = WindowSeamTable{};
        if (MainForm)
            DestroyProgramWindows();
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        fs::remove_all(root);
    }
    // Three sequences of four scenes, sequence 0 scene 0 current.
    void ThreeSequences()
    {
        ResetPlayState();
        for (int i = 0; i < 3; ++i)
            AddSequence(4);
        form->FillSequenceBox();
    }
    // Handles posted messages until `done` or 5 s have passed.
    template <class F> bool PumpUntil(F done)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < until) {
            QCoreApplication::processEvents();
            platform::DeliverPostedMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }
    QAction *Action(const char *name) { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    TSpeedButton *Button(const char *name) { return form->findChild<TSpeedButton *>(QString::fromLatin1(name)); }
    std::intptr_t Message(std::uintptr_t code, std::intptr_t lParam = 0)
    {
        return form->AppMessage(EngineMessage, code, lParam);
    }

    fs::path root;
    TMainForm *form = nullptr;
    Ui::TMainForm *ui = nullptr;
};

} // namespace

TEST_F(AppMessageTest, FirstStartCreatesAnEmptyHistoryAndShowsNoRecentItemsOrLock)
{
    platform::Settings reg;
    for (int i = 1; i <= 5; ++i) {
        EXPECT_TRUE(reg.ValueExists(HistoryKey, "File" + std::to_string(i)));
        EXPECT_EQ(reg.ReadString(HistoryKey, "File" + std::to_string(i)), "");
    }
    for (QAction *a : {ui->File1, ui->File2, ui->File3, ui->File4, ui->File5})
        EXPECT_FALSE(a->isVisible());
    EXPECT_EQ(reg.ReadBinary(MainWindowKey, "PWD").size(), 10u);
    EXPECT_EQ(ui->Protlevel->text(), "");
    EXPECT_NE(MessageWindow, 0u);
    // The hardware window applies the stored auto-backup minutes: none stored means off.
    EXPECT_FALSE(form->BackupTimer->isActive());
    EXPECT_EQ(reg.ReadIntegerValue(MainWindowKey, "ABackTime"), 0);
}

TEST_F(AppMessageTest, PostedGoFromAnotherThreadStartsThePlayAndEngineHaltAfterTheLastStops)
{
    ThreeSequences();
    std::thread([] { platform::PostMessageTo(MessageWindow, EngineMessage, 'G', 0); }).join();
    ASSERT_TRUE(PumpUntil([] { return Playing.load() == 1; }));
    EXPECT_TRUE(ui->Play->Down());

    // The player runs past the last sequence: its tick sends 'H' and waits for it.
    PlaySequence = SequenceCount;
    std::atomic<bool> ticked{false};
    std::thread engine([&ticked] {
        OutputTick();
        ticked = true;
    });
    EXPECT_TRUE(PumpUntil([&ticked] { return ticked.load(); }));
    engine.join();
    EXPECT_EQ(Playing.load(), 0);
    EXPECT_TRUE(ui->Stop->Down());
}

TEST_F(AppMessageTest, GoWhilePlayingAndHaltWhileStoppedDoNothing)
{
    ThreeSequences();
    Message('H');
    EXPECT_EQ(Playing.load(), 0);
    EXPECT_TRUE(ui->Stop->Down());
    form->PlayClick();
    ASSERT_EQ(Playing.load(), 1);
    Message('G');
    EXPECT_EQ(Playing.load(), 1);
    Message('H');
    EXPECT_EQ(Playing.load(), 0);
}

TEST_F(AppMessageTest, MessageSentFromInsideAHandlerIsDropped)
{
    ThreeSequences();
    int slotSum = 0;
    WindowSeams().setMultiSeqSlotOn = [&slotSum](int slot, bool on) {
        slotSum += on ? slot : -slot;
        // The GUI thread's own send while 'D' is handled.
        platform::SendMessageTo(MessageWindow, EngineMessage, 'G', 0);
    };
    platform::PostMessageTo(MessageWindow, EngineMessage, 'D', 5);
    PumpUntil([] { return platform::PendingMessages() == 0; });
    EXPECT_EQ(slotSum, 5);
    EXPECT_EQ(Playing.load(), 0);
    EXPECT_EQ(HandlingEngineMessage, 0);
    // Slots beyond the 32 are not passed on.
    Message('d', 32);
    Message('d', -1);
    EXPECT_EQ(slotSum, 5);
    Message('d', 5);
    EXPECT_EQ(slotSum, 0);
}

TEST_F(AppMessageTest, SlowTickCountsAsAByteAndSwitchesTheVisualiserOffFirst)
{
    ui->Emulator->setChecked(true);
    ui->EmulatorButton->setChecked(true);
    Message('Z');
    EXPECT_EQ(ui->TabHeader->text(), "Z 1");
    EXPECT_FALSE(ui->Emulator->isChecked());
    EXPECT_FALSE(ui->EmulatorButton->isChecked());
    EXPECT_EQ(UsbCorrecting, 0);
    for (int i = 0; i < 255; ++i)
        Message('Z');
    EXPECT_EQ(ui->TabHeader->text(), "Z 0");
}

TEST_F(AppMessageTest, BlackOutFavouriteAndTempoMessagesReachTheTransport)
{
    ThreeSequences();
    Message(',');
    EXPECT_EQ(BlackOutOn.load(), 1);
    Message(',');
    EXPECT_EQ(BlackOutOn.load(), 0);
    Message(';');
    EXPECT_EQ(FavouriteOn.load(), 1);
    Message(';');
    EXPECT_EQ(FavouriteOn.load(), 0);
    Sequences[0]->tempo = 97;
    Message('.');
    EXPECT_EQ(ui->UpDownTempo->value(), 97);
    EXPECT_EQ(Sequences[0]->tempo, 97u);
}

TEST_F(AppMessageTest, SceneAndSequenceMessagesTakeThePlayersPosition)
{
    ThreeSequences();
    QLineEdit *sceneNum = ui->SceneNum;
    QComboBox *box = ui->Sequence;
    PlayScene = 2;
    Message('C');
    EXPECT_EQ(sceneNum->text(), "3");

    PlaySequence = 2;
    Message('S');
    EXPECT_EQ(box->currentIndex(), 2);
    // A sequence beyond the table changes nothing.
    PlaySequence = 7;
    Message('S');
    EXPECT_EQ(box->currentIndex(), 2);
    // With the multi-sequence player the number is a cue.
    int cue = -1;
    WindowSeams().selectCue = [&cue](int c) { cue = c; };
    Cues.resize(3);
    CueCount = 3;
    MultiSeqRunning.store(1);
    PlaySequence = 1;
    Message('S');
    EXPECT_EQ(cue, 1);
    EXPECT_EQ(box->currentIndex(), 2);
}

TEST_F(AppMessageTest, SequenceAndSceneMessagesMakeThePlayersPositionCurrent)
{
    ThreeSequences();
    PlaySequence = 2;
    Message('S');
    EXPECT_EQ(CurSequence, 2);
    PlayScene = 3;
    Message('C');
    EXPECT_EQ(CurScene, 3);
    PlayScene = 40;
    Message('C');
    EXPECT_EQ(CurScene, 3);
}

TEST_F(AppMessageTest, RecentShowsMoveUpWhenOpenedAndKeepTheirPathsInTheItems)
{
    std::vector<std::string> shows;
    for (const char *name : {"a.d1k", "b&c.d1k", "d.d1k"}) {
        shows.push_back((root / name).string());
        ASSERT_TRUE(SaveShowTo(shows.back()));
        form->AddRecentFile(shows.back());
    }
    EXPECT_EQ(ReadRecentFiles(), (RecentFileList{shows[2], shows[1], shows[0], "", ""}));
    EXPECT_EQ(ui->File2->text().toStdString(), EscapedMenuCaption(shows[1]));
    EXPECT_TRUE(ui->File3->isVisible());
    EXPECT_FALSE(ui->File4->isVisible());

    form->File1Click(2);
    EXPECT_EQ(ShowFileName, shows[0]);
    EXPECT_EQ(ReadRecentFiles(), (RecentFileList{shows[0], shows[2], shows[1], "", ""}));
    // The item with "&" in its name opens that file.
    form->File1Click(2);
    EXPECT_EQ(ShowFileName, shows[1]);

    // A missing file does nothing.
    fs::remove(shows[2]);
    form->File1Click(2);
    EXPECT_EQ(ShowFileName, shows[1]);

    // A relative name becomes absolute.
    const fs::path cwd = fs::current_path();
    fs::current_path(root);
    form->AddRecentFile("rel.d1k");
    fs::current_path(cwd);
    EXPECT_EQ(ShowFileName, (root / "rel.d1k").string());
    EXPECT_EQ(ReadRecentFiles()[0], (root / "rel.d1k").string());
}

TEST_F(AppMessageTest, BackupTimerWritesTheShowWithoutTouchingItsState)
{
    ShowModified = 1;
    const std::string name = ShowFileName;
    form->BackupTimerTimer();
    EXPECT_TRUE(platform::FileExists(AutoBackupPath()));
    EXPECT_EQ(ShowModified, 1);
    EXPECT_EQ(ShowFileName, name);
    fs::remove(AutoBackupPath());
    Playing.store(1);
    form->BackupTimerTimer();
    Playing.store(0);
    EXPECT_FALSE(platform::FileExists(AutoBackupPath()));
    ShowModified = 0;
}

TEST_F(AppMessageTest, HeldBumpKeyBumpsOnceAndItsReleaseReleasesOnce)
{
    int downs = 0, ups = 0, master = -1;
    WindowSeams().bumpDown = [&](int m) {
        ++downs;
        master = m;
    };
    WindowSeams().bumpUp = [&](int m) {
        ++ups;
        master = m;
    };
    PhysicalMasters[3].hotKey = 'B';
    form->UpdateBumpShortcuts();
    EXPECT_EQ(form->PhysicalMasterBump[3]->shortcut(), QKeySequence(Qt::Key_B));
    EXPECT_FALSE(form->PhysicalMasterControl->menuAction()->isVisible());
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));

    QTest::keyPress(form, Qt::Key_B);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(master, 3);
    EXPECT_EQ(PhysicalMasters[3].keyHeld, 1);
    // Auto-repeat: a release and a press per repeat, while the key stays down.
    for (int i = 0; i < 3; ++i) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"), true);
        QApplication::sendEvent(form, &release);
        form->PhysicalMasterBump[3]->trigger();
    }
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 0);
    QTest::keyRelease(form, Qt::Key_B);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(PhysicalMasters[3].keyHeld, 0);
    // A second release, and a key of no master, do nothing.
    QTest::keyRelease(form, Qt::Key_B);
    QTest::keyClick(form, Qt::Key_K);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(downs, 1);
    form->PMst1Click(17);
    form->PMst1Click(-1);
    EXPECT_EQ(downs, 1);
}

TEST_F(AppMessageTest, LockButtonShowsTheAccessLevel)
{
    struct Case {
        int level;
        const char *caption;
        const char *colour;
    } cases[] = {{1, "L", "#00ff00"}, {2, "M", "#ffff00"}, {3, "H", "#ff0000"}};
    for (const Case &c : cases) {
        AccessLevel = static_cast<std::uint8_t>(c.level);
        form->ShowAccessLevel();
        EXPECT_EQ(ui->Protlevel->text(), c.caption);
        EXPECT_TRUE(ui->Protlevel->styleSheet().contains(QLatin1String(c.colour))) << c.level;
    }
    // The access dialog changes the level; the button follows.
    ToolWindows().Register("Access", ToolWindowEntry{nullptr, {}, {}, {}, [] { AccessLevel = 0; }});
    EXPECT_TRUE(Action("Access")->isEnabled());
    Action("Access")->trigger();
    EXPECT_EQ(ui->Protlevel->text(), "");
    EXPECT_TRUE(ui->Protlevel->styleSheet().isEmpty());
}

TEST_F(AppMessageTest, ToolWindowItemsFollowTheirWindowsAndMissingOnesStayDisabled)
{
    QAction *masters = Action("PhisicalMaster");
    ASSERT_TRUE(masters);
    EXPECT_TRUE(masters->isEnabled());
    masters->trigger();
    EXPECT_TRUE(PhisMast->isVisible());
    EXPECT_TRUE(masters->isChecked());
    EXPECT_TRUE(Button("PhisMastButton")->Down());
    Button("PhisMastButton")->Click();
    EXPECT_FALSE(PhisMast->isVisible());
    EXPECT_FALSE(masters->isChecked());
    EXPECT_FALSE(Button("PhisMastButton")->Down());

    Action("MusPlay1")->trigger();
    EXPECT_TRUE(Button("MusPlay")->Down());
    Action("MusPlay1")->trigger();
    EXPECT_FALSE(Button("MusPlay")->Down());

    EXPECT_TRUE(Action("HotKeys1")->isEnabled());
    EXPECT_TRUE(Action("Record1")->isEnabled());   // the recorder is made on each use
    EXPECT_TRUE(Action("Access")->isEnabled()) << "the access dialog is always there";
    // The sequence editors are registered by the program itself.
    EXPECT_TRUE(Action("GraphEd")->isEnabled());
    EXPECT_TRUE(Button("GrEd")->isEnabled());
    EXPECT_EQ(Action("MultiSeqPlayer")->shortcut(), QKeySequence(Qt::Key_F8));
    EXPECT_EQ(Action("MusPlay1")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(Action("PlayList1")->shortcut(), QKeySequence(Qt::Key_F6));
    EXPECT_EQ(Action("CueListM")->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_TRUE(Action("Cue32"));

    // A window that registers later enables its item.
    QWidget editor;
    ToolWindows().Register("GraphEdit", ToolWindowEntry{&editor, {}, {}, {}, {}});
    EXPECT_TRUE(Action("GraphEd")->isEnabled());
}

TEST_F(AppMessageTest, MultiSequencePlayerSwitchesOnAndOffAndRestoresTheSequence)
{
    ResetPlayState();
    form->MultiSeqPlayerClick();
    EXPECT_EQ(MultiSeqRunning.load(), 0);   // no sequence

    ThreeSequences();
    CurSequence = 1;
    int docks = 0;
    WindowSeams().multiSeqDock = [&docks](bool docked) { docks += docked ? 1 : -1; };
    form->PlayClick();
    ASSERT_EQ(Playing.load(), 1);
    Action("MultiSeqPlayer")->trigger();
    EXPECT_EQ(MultiSeqRunning.load(), 1);
    // The single play stopped and the multi-sequence player took the play over.
    EXPECT_EQ(Playing.load(), 1);
    EXPECT_TRUE(MultiSeq->Play->Down());
    EXPECT_TRUE(Action("MultiSeqPlayer")->isChecked());
    EXPECT_TRUE(Button("MSPlay")->Down());
    EXPECT_FALSE(ui->SceneGroupBox->isVisibleTo(form));
    EXPECT_EQ(docks, 1);

    CurSequence = 2;
    Button("MSPlay")->Click();
    EXPECT_EQ(MultiSeqRunning.load(), 0);
    EXPECT_EQ(CurSequence, 1);
    EXPECT_FALSE(Action("MultiSeqPlayer")->isChecked());
    EXPECT_FALSE(Button("MSPlay")->Down());
    EXPECT_TRUE(ui->SceneGroupBox->isVisibleTo(form));
    EXPECT_EQ(docks, 0);
}

TEST_F(AppMessageTest, PopupCopiesTheShowMenu)
{
    form->WhatCanShow->popup(QPoint(0, 0));
    const QList<QAction *> copies = form->WhatCanShow->actions();
    const QList<QAction *> items = ui->ShowMenu->actions();
    ASSERT_EQ(copies.size(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        EXPECT_EQ(copies[i]->text(), items[i]->text());
        EXPECT_EQ(copies[i]->isVisible(), items[i]->isVisible());
        EXPECT_EQ(copies[i]->isSeparator(), items[i]->isSeparator());
    }
    form->WhatCanShow->hide();
    ShowModified = 0;
    platform::QueueAnswers({"Yes", "1"});
    copies[0]->trigger();   // "New SHOW" runs the original's handler
    EXPECT_EQ(ShowFileName, NewShowFileName);
}

TEST_F(AppMessageTest, DeviceNoticesReachTheDeviceChangeHandler)
{
    DeviceArrived = DeviceReady = 0;
    form->Dispatch(0x219, 7);
    EXPECT_EQ(DeviceReady, 0);
    form->Dispatch(0x219, 0x8000);
    form->Dispatch(0x100, 7);
    EXPECT_EQ(DeviceReady, 0);
    form->Dispatch(0x219, 7);
    EXPECT_EQ(DeviceArrived, 1);
    EXPECT_EQ(DeviceReady, 1);
}

TEST_F(AppMessageTest, DestroyDeletesTheClipboardFilesAndReleasesTheWindow)
{
    const std::string folder = platform::ProgramFolder();
    for (const char *name : {"copyel$$.tmp", "copysq$$.tmp"})
        std::ofstream(folder + name) << "x";
    int released = 0;
    WindowSeams().visualiserRelease = [&released] { ++released; };
    DestroyProgramWindows();
    EXPECT_FALSE(platform::FileExists(folder + "copyel$$.tmp"));
    EXPECT_FALSE(platform::FileExists(folder + "copysq$$.tmp"));
    EXPECT_EQ(MessageWindow, 0u);
    EXPECT_EQ(released, 1);
    EXPECT_EQ(SequenceCount, 0);
}

// Closing while the engine's tick waits in its 'H' send must not hang.
TEST_F(AppMessageTest, ClosingWhileAPlayRunsPastItsLastSequenceDoesNotHang)
{
    ThreeSequences();
    std::atomic<bool> finished{false};
    std::thread watchdog([&finished] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!finished.load() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!finished.load()) {
            std::fprintf(stderr, "closing hung\n");
            std::_Exit(1);
        }
    });
    ASSERT_TRUE(StartOutputTimer());
    form->PlayClick();
    ASSERT_EQ(Playing.load(), 1);
    PlaySequence = SequenceCount;
    // The GUI thread is busy while the timer's tick sends its 'H'.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    form->close();
    DestroyProgramWindows();
    finished = true;
    watchdog.join();
    EXPECT_FALSE(OutputTimerRunning());
    EXPECT_EQ(Playing.load(), 0);
}
