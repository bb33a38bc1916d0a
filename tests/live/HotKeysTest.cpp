// Hot keys through the real program: the keys a press gives, the "Hot Keys Assignment"
// window reached from the View menu, the key file it writes, the masters' bump keys it
// sets, and a second start in the same program folder that takes all of it back.
#include "transport/ProgramWindowTest.h"

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/RecentFiles.h"
#include "app/ShowModel.h"
#include "live/HotKeys.h"
#include "live/THotKeyForm.h"
#include "live/TPhisMast.h"
#include "controls/Buttons.h"
#include "controls/Tracker.h"
#include "platform/VirtualKeys.h"
#include "ui_HotKeyForm.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

namespace {

// The codes the shortcut texts name, each through Qt and back.
TEST(HotKeyCapture, EveryNamedKeyRoundTripsAndShiftedSymbolsMeanTheirKey)
{
    std::vector<int> codes = {8, 13, 32, 33, 34, 35, 36, 37, 38, 39, 40, 45, 46, 106, 107, 109, 110, 111};
    for (int c = 48; c <= 57; ++c)
        codes.push_back(c);
    for (int c = 65; c <= 90; ++c)
        codes.push_back(c);
    for (int c = 96; c <= 105; ++c)
        codes.push_back(c);
    for (int c = 112; c <= 123; ++c)
        codes.push_back(c);
    for (int c : {186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222})
        codes.push_back(c);
    for (int code : codes) {
        const QKeyCombination k = platform::QtKeyFromVirtualKey(std::uint8_t(code));
        EXPECT_EQ(platform::VirtualKeyFromQt(k.key(), k.keyboardModifiers()), code) << code;
        EXPECT_NE(HotKeyText(std::uint16_t(code)), "None") << code;
        const QKeySequence seq = platform::KeySequenceFromShortcut(std::uint16_t(0x4000 | code));
        ASSERT_FALSE(seq.isEmpty()) << code;
        EXPECT_EQ(platform::ShortcutFromKeyEvent(seq[0].key(), seq[0].keyboardModifiers()), 0x4000 | code) << code;
    }
    const std::uint16_t exclam = platform::ShortcutFromKeyEvent(Qt::Key_Exclam, Qt::ShiftModifier);
    EXPECT_EQ(exclam, 0x2031);
    EXPECT_EQ(HotKeyText(exclam), "Shift+1");
    const std::uint16_t colon = platform::ShortcutFromKeyEvent(Qt::Key_Colon, Qt::ShiftModifier);
    EXPECT_EQ(colon, 0x20BA);
    EXPECT_EQ(HotKeyText(colon), "Shift+;");
    EXPECT_EQ(platform::ShortcutFromKeyEvent(Qt::Key_7, Qt::KeypadModifier), 0x67);
    EXPECT_EQ(platform::ShortcutFromKeyEvent(Qt::Key_Asterisk, Qt::KeypadModifier), 0x6A);
    EXPECT_EQ(platform::ShortcutFromKeyEvent(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier), 0xC04B);
    EXPECT_TRUE(platform::KeySequenceFromShortcut(0).isEmpty());
    EXPECT_TRUE(platform::KeySequenceFromShortcut(0x40C8).isEmpty());
}

class HotKeysTest : public ProgramWindowTest {
protected:
    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    static int Row(const THotKeyForm &f, const char *name)
    {
        for (std::size_t i = 0; i < f.Items().size(); ++i)
            if (f.Items()[i].action && HotKeyCommandName(f.Items()[i].action) == QLatin1String(name))
                return int(i);
        return -1;
    }
    // Presses keys over a command's "Hot Key" cell, as the operator does.
    static void GiveKey(THotKeyForm &f, const char *name, Qt::Key key, Qt::KeyboardModifiers m)
    {
        const int row = Row(f, name);
        ASSERT_GE(row, 0) << name;
        f.ui->HotKeyGrid->setCurrentCell(row, 1);
        ASSERT_NE(f.KeyEdit(), nullptr) << name;
        QTest::keyClick(f.KeyEdit(), key, m);
        f.ui->HotKeyGrid->setCurrentCell(row, 0);   // leaving the cell stores the key
    }
    std::uint16_t Edited(const THotKeyForm &f, const char *name) const
    {
        return f.Items()[std::size_t(Row(f, name))].shortcut;
    }
    std::string KeyFile() const { return (root / "bin" / HotKeyFileName).string(); }
    bool SaveAgain() const { return form->SaveHotKeys(); }
    // The program started again in the same program folder (demo mode, "New Show").
    bool StartAgain()
    {
        platform::QueueAnswers({"Yes", "1"});
        char arg0[] = "brantoval";
        char *argv[] = {arg0, nullptr};
        if (!CreateProgramWindows(1, argv))
            return false;
        StopOutputTimer();
        form = MainForm;
        ui = form->ui;
        return true;
    }
};

TEST_F(HotKeysTest, TheListFollowsTheMenusAndTheGridEditsKeysAndCaptions)
{
    std::vector<HotKeyItem> items = form->HotKeyItems();
    THotKeyForm f(items, {}, form);
    ASSERT_GT(f.Items().size(), 100u);
    // The "Show" menu first, its items under it; separators are not listed.
    EXPECT_EQ(HotKeyCommandName(f.Items()[0].action), "ShowMenu");
    EXPECT_TRUE(f.Items()[0].parent);
    EXPECT_EQ(f.Items()[1].depth, 1);
    EXPECT_EQ(HotKeyCommandName(f.Items()[1].action), "NewShow");
    EXPECT_EQ(f.ui->HotKeyGrid->item(1, 0)->text(), "    " + Action("NewShow")->text());
    EXPECT_EQ(f.ui->HotKeyGrid->item(0, 0)->background().color(), toQColor(clYellow));
    for (const HotKeyItem &item : f.Items())
        EXPECT_FALSE(item.action->isSeparator());
    // The hidden bump items, the submenus' items and window actions in no menu are there.
    for (const char *name : {"PMst1", "PMst17", "Cue1", "GO", "SynchChange", "File1", "HotSequences"})
        EXPECT_GE(Row(f, name), 0) << name;
    EXPECT_GT(f.Items()[std::size_t(Row(f, "Cue1"))].depth, 1);
    // A parent takes no key.
    f.ui->HotKeyGrid->setCurrentCell(Row(f, "HotSequences"), 1);
    EXPECT_EQ(f.KeyEdit(), nullptr);

    // F6 belongs to the play list; given to the music player it leaves the play list.
    ASSERT_EQ(Edited(f, "PlayList1"), 0x75);
    GiveKey(f, "MusPlay1", Qt::Key_F6, Qt::NoModifier);
    EXPECT_EQ(Edited(f, "MusPlay1"), 0x75);
    EXPECT_EQ(Edited(f, "PlayList1"), 0);
    EXPECT_EQ(f.ui->HotKeyGrid->item(Row(f, "PlayList1"), 1)->text(), "None");
    // A modifier alone shows "Ctrl+None" and clears the key.
    f.ui->HotKeyGrid->setCurrentCell(Row(f, "MusPlay1"), 1);
    // (Qt reports a Ctrl press with the Ctrl modifier that the key itself sets.)
    QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(f.KeyEdit(), &ctrl);
    EXPECT_EQ(static_cast<QLabel *>(f.KeyEdit())->text(), "Ctrl+None");
    f.ui->HotKeyGrid->setCurrentCell(0, 0);
    EXPECT_EQ(Edited(f, "MusPlay1"), 0);

    // Captions: typing renames the command at once; an emptied caption gives its name back.
    f.ui->EditCaptions->click();
    const int exit = Row(f, "Exit1");
    f.ui->HotKeyGrid->setCurrentCell(exit, 0);
    ASSERT_NE(f.CaptionEdit(), nullptr);
    f.CaptionEdit()->clear();
    QTest::keyClicks(f.CaptionEdit(), "Quit");
    EXPECT_EQ(Action("Exit1")->text(), "Quit");
    QTest::keyClick(f.CaptionEdit(), Qt::Key_Return);
    EXPECT_EQ(f.CaptionEdit(), nullptr);
    EXPECT_EQ(f.ui->HotKeyGrid->item(exit, 0)->text(), "    Quit");
    f.HotKeyGridSelectCell(exit, 0);   // a click on the same cell opens the edit again
    ASSERT_NE(f.CaptionEdit(), nullptr);
    f.CaptionEdit()->selectAll();
    QTest::keyClick(f.CaptionEdit(), Qt::Key_Delete);
    QTest::keyClick(f.CaptionEdit(), Qt::Key_Down);
    EXPECT_EQ(Action("Exit1")->text(), "Exit1");

    // Cancel: the captions stay, no shortcut is applied, no file is written.
    f.HotKeyGridSelectCell(exit, 0);
    ASSERT_NE(f.CaptionEdit(), nullptr);
    QTest::keyClick(f.CaptionEdit(), Qt::Key_End);
    QTest::keyClicks(f.CaptionEdit(), "!");
    f.ui->Cancel->click();
    EXPECT_EQ(Action("Exit1")->text(), "Exit1!");
    EXPECT_EQ(Action("PlayList1")->shortcut(), QKeySequence(Qt::Key_F6));
    EXPECT_FALSE(std::filesystem::exists(KeyFile()));

    // The window fits a 1024 x 768 screen.
    f.show();
    EXPECT_LE(f.frameGeometry().width(), 1024);
    EXPECT_LE(f.frameGeometry().height(), 768);
    if (const char *dir = std::getenv("BRTV_GRAB_DIR"))
        f.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/hotkeys.png"));
}

TEST_F(HotKeysTest, KeysAssignedInTheWindowBumpMastersAndComeBackOnTheNextStart)
{
    // At level 1 the window does not open (a scripted run would be logged).
    AccessLevel = 1;
    Action("HotKeys1")->trigger();
    EXPECT_EQ(BoxLog().find("Hot Keys Assignment"), std::string::npos);
    AccessLevel = 0;
    platform::ActOnNextDialog("HotKeyForm", [this](QDialog &d) {
        auto &f = static_cast<THotKeyForm &>(d);
        GiveKey(f, "PMst2", Qt::Key_K, Qt::ControlModifier);
        GiveKey(f, "PlayList1", Qt::Key_F7, Qt::ShiftModifier);
        f.ui->EditCaptions->click();
        f.ui->HotKeyGrid->setCurrentCell(Row(f, "GO"), 0);
        f.CaptionEdit()->setText("Go On");
        emit f.CaptionEdit()->textEdited("Go On");
        f.ui->OK->click();
    });
    Action("HotKeys1")->trigger();
    ASSERT_TRUE(std::filesystem::exists(KeyFile()));
    const std::string bytes = testfiles::Read(KeyFile());
    EXPECT_EQ(bytes.substr(0, 8), std::string("KEYS\0\0\0\0", 8));
    EXPECT_NE(bytes.find(std::string("\x4B\x40\x05PMst2", 8)), std::string::npos);
    EXPECT_NE(bytes.find(std::string("\x76\x20\x09PlayList1", 12)), std::string::npos);
    EXPECT_EQ(PhysicalMasters[1].hotKey, 0x4B);
    EXPECT_EQ(Action("PlayList1")->shortcut(), QKeySequence(Qt::ShiftModifier | Qt::Key_F7));

    // Ctrl+K on the main window bumps master 2; its release lets it go.
    PhisMast->Faders[1]->SetPosition(40);
    PhisMast->ScrollBar1Change(1);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::keyPress(form, Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(PhisMast->Bumps[1]->Down());
    EXPECT_EQ(PhysicalMasters[1].level, 255);
    QTest::keyRelease(form, Qt::Key_K, Qt::ControlModifier);
    EXPECT_FALSE(PhisMast->Bumps[1]->Down());
    EXPECT_EQ(PhysicalMasters[1].level, 40);

    // A Shift+1 bump key: Qt reports its release as "!", which still lets master 3 go.
    PhysicalMasters[2].hotKey = 0x31;
    PhisMast->Faders[2]->SetPosition(10);
    PhisMast->ScrollBar1Change(2);
    Action("PMst3")->trigger();
    EXPECT_TRUE(PhisMast->Bumps[2]->Down());
    QKeyEvent exclam(QEvent::KeyRelease, Qt::Key_Exclam, Qt::ShiftModifier);
    EXPECT_TRUE(form->ApplicationEvents1Message(&exclam));
    EXPECT_FALSE(PhisMast->Bumps[2]->Down());
    EXPECT_EQ(PhysicalMasters[2].level, 10);

    // A key file that cannot be written: the operator is told, the keys stay applied.
    std::filesystem::remove(KeyFile());
    std::filesystem::create_directories(std::filesystem::path(KeyFile()) / "blocked");
    platform::ActOnNextDialog("HotKeyForm", [](QDialog &d) {
        auto &f = static_cast<THotKeyForm &>(d);
        GiveKey(f, "PMst4", Qt::Key_F11, Qt::AltModifier);
        f.ui->OK->click();
    });
    Action("HotKeys1")->trigger();
    EXPECT_NE(BoxLog().find("Brantoval-1024|Error writing file"), std::string::npos);
    EXPECT_EQ(Action("PMst4")->shortcut(), QKeySequence(Qt::AltModifier | Qt::Key_F11));
    EXPECT_EQ(PhysicalMasters[3].hotKey, 0x7A);
    std::filesystem::remove_all(KeyFile());
    // The key file is written while the menu's first recent show is Old.d1k.
    ASSERT_TRUE(StoreRecentFile("/shows/Old.d1k"));
    form->ShowRecentFiles();
    ASSERT_TRUE(SaveAgain());

    // A new start in the same program folder takes the file back; the recent shows are
    // those stored since, not the captions the file holds.
    ASSERT_TRUE(StoreRecentFile("/shows/New.d1k"));
    DestroyProgramWindows();
    PhysicalMasters[1].hotKey = 0;
    ASSERT_TRUE(StartAgain());
    EXPECT_EQ(Action("PMst2")->shortcut(), QKeySequence(Qt::ControlModifier | Qt::Key_K));
    EXPECT_EQ(Action("PlayList1")->shortcut(), QKeySequence(Qt::ShiftModifier | Qt::Key_F7));
    EXPECT_EQ(Action("GO")->text(), "Go On");
    EXPECT_EQ(PhysicalMasters[1].hotKey, 0x4B);
    EXPECT_EQ(Action("File1")->text().toStdString(), "/shows/New.d1k");
    EXPECT_EQ(Action("File2")->text().toStdString(), "/shows/Old.d1k");
    EXPECT_FALSE(Action("File3")->isVisible());
}

TEST_F(HotKeysTest, AnOlderKeyFileSetsShortcutsOnly)
{
    DestroyProgramWindows();
    const std::string data = std::string(std::getenv("BRTV_SOURCE_DIR")) + "/tests/live/data/older.key";
    std::filesystem::copy_file(data, KeyFile());
    PhysicalMasters[2].hotKey = 0;
    ASSERT_TRUE(StartAgain());
    // Ctrl+N for "New SHOW", F8 for master 3's bump item (its master keeps no key).
    EXPECT_EQ(Action("NewShow")->shortcut(), QKeySequence(Qt::ControlModifier | Qt::Key_N));
    EXPECT_EQ(Action("PMst3")->shortcut(), QKeySequence(Qt::Key_F8));
    EXPECT_EQ(PhysicalMasters[2].hotKey, 0);
    EXPECT_EQ(Action("NewShow")->text(), "New SHOW");
}

} // namespace
