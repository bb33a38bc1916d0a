// The main window's windows driven as a person drives them on a desktop: a real X server
// with a window manager (scripts/xfit.sh), pointer and key events sent through the X
// server. A straight drag in the sequence list reorders the sequences and the saved show
// keeps the new order; a box opens above the window that asked for it and above the
// windows that stay on top, active and with the keyboard, closes by Enter or a click, and
// gives that window the keyboard back; a modal window does the same and closes by Escape;
// the menus' keys act from the other windows. Offscreen these tests skip.
#include "ui_MainForm.h"
#include "transport/ProgramWindowTest.h"
#include "common/RealDisplay.h"

#include "app/FixtureArea.h"
#include "app/PatchLoader.h"
#include "app/TDebugForm.h"
#include "controls/Buttons.h"
#include "controls/Tracker.h"
#include "editors/TSequencesList.h"
#include "fixtures/PatchEditing.h"
#include "fixtures/TSetup.h"
#include "live/HotKeys.h"
#include "live/PhysicalMasters.h"
#include "live/TAudSynch.h"
#include "live/TMasterGroups.h"
#include "live/TMultiSeq.h"
#include "live/TPhisMast.h"
#include "live/TProgramForm.h"
#include "visualiser/Scene3D.h"
#include "visualiser/TVisuf.h"
#include "ui_AudSynch.h"
#include "ui_PhisMast.h"
#include "ui_ProgramForm.h"
#include "ui_Visuf.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QSpinBox>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

namespace {

namespace fs = std::filesystem;
using namespace realdisplay;

class PointerAndKeysTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        if (!Xcb() || !ToolsInstalled())
            GTEST_SKIP() << "needs a real X server with xdotool and xprop (scripts/xfit.sh)";
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        form->show();
    }

    // The sample profile `file` alone in "Devices", patched once at channel 1.
    void PatchSample(const char *file)
    {
        const fs::path devices = root / "bin" / "Devices";
        fs::create_directories(devices);
        const fs::path samples = fs::path(std::getenv("BRTV_SOURCE_DIR")) / "fixtures" / "Devices";
        fs::copy_file(samples / file, devices / file, fs::copy_options::overwrite_existing);
        LoadDeviceProfiles();
        ASSERT_EQ(DeviceTypeCount, 1);
        ASSERT_EQ(patch::AddFixture(0, 0), 0);
        BuildFixturePanels();
    }

    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }

    static void Grab(const std::string &name)
    {
        const char *bin = std::getenv("BRTV_BIN_DIR");
        const fs::path dir = fs::path(bin ? bin : ".") / "grabs";
        fs::create_directories(dir);
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            QString::fromStdString((dir / ("x11-" + name)).string()), "PNG");
    }

    // Waits at most 5 s for `done`, letting the program take its events.
    static bool WaitFor(const std::function<bool()> &done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 5000)
            QTest::qWait(20);
        return done();
    }

    // From here on every box and dialog shows for real.
    static void ShowEveryBox()
    {
        platform::ResetAnswers();
        unsetenv("BRTV_ANSWERS");
        ASSERT_FALSE(platform::ScriptedMode());
    }

    // True when the window manager stacks `upper` above `lower`.
    static bool Above(WId upper, WId lower)
    {
        const std::vector<WId> ids = RootWindows("_NET_CLIENT_LIST_STACKING");
        const auto u = std::find(ids.begin(), ids.end(), upper), l = std::find(ids.begin(), ids.end(), lower);
        return u != ids.end() && l != ids.end() && u > l;
    }

    static std::string Ids(const std::vector<std::pair<const char *, WId>> &named)
    {
        std::string out;
        for (const auto &[name, id] : named)
            out += std::string(name) + " " + std::to_string(id) + " ";
        return out;
    }

    // What a person saw of a box that a file dialog led to, and of the window after it.
    struct BoxSeen {
        bool done = false;           // every step was taken
        QString text;                // the box's text
        bool onTop = false;          // the box was the topmost window
        bool active = false;         // the window manager's active window
        bool keys = false;           // and Qt's, with the keyboard focus inside it
        bool closed = false;         // closed within 5 s
        bool back = false;           // the asking window active again, above the main window
        std::string where, left;     // window ids when looked at; what was left open
    };

    // Clicks `button` of `asking`, types `name` into the file dialog that opens and Enter;
    // looks at the box that follows once the window manager has placed it, closes it by
    // Enter or by a click on OK, and waits for `asking` to be active again and above the
    // main window.
    BoxSeen FileThenBox(QWidget *asking, QWidget *button, const QString &name, bool byClick, const std::string &grab)
    {
        BoxSeen seen;
        QPointer<QMessageBox> box;
        QRect lastAt;
        QElapsedTimer waited, closing, back;
        Steps steps;
        steps.Add([&] {
            Click(Centre(button));
            return true;
        });
        steps.Add([&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || QApplication::activeWindow() != dialog)
                return false;
            Type(name);
            Key(QStringLiteral("Return"));
            return true;
        });
        steps.Add([&] {
            box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || !box->windowHandle()->isExposed())
                return false;
            // Where the box stands, held still over two polls: the window manager is done
            // with it. (Qt may not learn the frame of a window framed late: the client
            // area stands for it.)
            const QRect at = box->geometry();
            const bool still = at == lastAt;
            lastAt = at;
            if (!waited.isValid())
                waited.start();
            seen.onTop = TopWindow() == box->winId();
            seen.active = ActiveWindow() == box->winId();
            seen.keys = QApplication::activeWindow() == box && QApplication::focusWidget() &&
                        box->isAncestorOf(QApplication::focusWidget());
            // Waits for the window manager at most 5 s.
            if (!(still && seen.onTop && seen.active && seen.keys) && waited.elapsed() < 5000)
                return false;
            seen.where = Ids({{"top", TopWindow()}, {"active", ActiveWindow()}, {"box", box->winId()},
                              {"asking", asking->winId()}, {"main", form->winId()}});
            seen.text = box->text();
            Grab(grab);
            if (byClick) {
                QAbstractButton *ok = box->button(QMessageBox::Ok);
                Click(Centre(ok ? static_cast<QWidget *>(ok) : box.data()));
            } else {
                Key(QStringLiteral("Return"));
            }
            return true;
        });
        steps.Add([&] {
            if (!closing.isValid())
                closing.start();
            seen.closed = !box && !QApplication::activeModalWidget();
            if (seen.closed || closing.elapsed() < 5000)
                return seen.closed;
            QWidget *modal = QApplication::activeModalWidget();
            seen.left = std::string("still shown: ") + (modal ? modal->metaObject()->className() : "nothing modal") +
                        (box ? ", the box" : "") + "; active window " + std::to_string(ActiveWindow());
            return true;
        });
        // Back in the asking window: the window manager's active window and Qt's, stacked
        // above the main window.
        steps.Add([&] {
            if (!back.isValid())
                back.start();
            seen.back = ActiveWindow() == asking->winId() && QApplication::activeWindow() == asking &&
                        Above(asking->winId(), form->winId());
            if (!seen.back && back.elapsed() > 5000)
                seen.left += " back: " + Ids({{"active", ActiveWindow()}, {"asking", asking->winId()},
                                              {"main", form->winId()}, {"top", TopWindow()}});
            return seen.back || back.elapsed() > 5000;
        });
        steps.Start(60000);
        seen.done = steps.Wait();
        if (!seen.done)
            seen.left += " stopped at step " + std::to_string(steps.Done());
        return seen;
    }

    static void ExpectBelongs(const BoxSeen &seen, const QString &text)
    {
        EXPECT_TRUE(seen.done) << seen.left;
        EXPECT_EQ(seen.text, text);
        EXPECT_TRUE(seen.onTop) << seen.where;
        EXPECT_TRUE(seen.active) << seen.where;
        EXPECT_TRUE(seen.keys);
        EXPECT_TRUE(seen.closed) << seen.left;
        EXPECT_TRUE(seen.back) << seen.left;
    }

    static std::vector<std::string> SequenceNames()
    {
        std::vector<std::string> out;
        for (int i = 0; i < SequenceCount; ++i)
            out.push_back(Sequences[std::size_t(i)]->name);
        return out;
    }
};

TEST_F(PointerAndKeysTest, StraightDragReordersTheSequenceListAndTheSavedShow)
{
    FreeShowTables();
    for (const char *name : {"One", "Two", "Three", "Four"})
        Sequences[std::size_t(transport_test::AddSequence(2))]->name = name;
    form->FillSequenceBox();
    ui->SeqList1->trigger();
    ASSERT_TRUE(SequencesList && SequencesList->isVisible());
    ASSERT_TRUE(WaitPlaced());
    QTableWidget *grid = SequencesList->GridSeq;
    const auto cell = [grid](int sequence) {
        return grid->viewport()->mapToGlobal(grid->visualRect(grid->model()->index(sequence + 1, 0)).center());
    };
    // Pressed on "One"'s number cell, moved within it past the drag distance (the drag
    // enters the list over the dragged sequence's own cell), then straight down to
    // "Three"'s cell and released there, never leaving the list.
    const QPoint from = cell(0), to = cell(2);
    ASSERT_TRUE(Drag(from, {from + QPoint(3, 2), from + QPoint(6, 4), cell(1), (cell(1) + to) / 2}, to));
    Grab("sequence-list-dragged.png");
    EXPECT_EQ(SequenceNames(), (std::vector<std::string>{"Two", "Three", "One", "Four"}));
    EXPECT_EQ(ui->Sequence->itemText(2), QStringLiteral("One"));
    EXPECT_EQ(ShowModified, 1);

    // A second straight drag back up: "One" (now third) onto "Two"'s cell.
    ASSERT_TRUE(Drag(cell(2), {cell(2) + QPoint(0, -5), cell(1)}, cell(0)));
    EXPECT_EQ(SequenceNames(), (std::vector<std::string>{"One", "Two", "Three", "Four"}));
    ASSERT_TRUE(Drag(cell(3), {cell(3) + QPoint(5, 0), cell(2)}, cell(1)));
    EXPECT_EQ(SequenceNames(), (std::vector<std::string>{"One", "Four", "Two", "Three"}));

    // The show file holds the new order.
    const std::string show = (root / "dragged.d1k").string();
    platform::QueueAnswers({show});
    ui->SaveShowAs->trigger();
    ASSERT_TRUE(fs::exists(show)) << BoxLog();
    ShowModified = 0;
    ui->NewShow->trigger();
    EXPECT_NE(SequenceNames(), (std::vector<std::string>{"One", "Four", "Two", "Three"}));
    platform::QueueAnswers({show});
    ui->LoadShow->trigger();
    EXPECT_EQ(SequenceNames(), (std::vector<std::string>{"One", "Four", "Two", "Three"})) << BoxLog();
}

// In the patch window a profile dragged from the list straight into the channel field,
// entering it over a channel a fixture uses, is patched where it is dropped.
TEST_F(PointerAndKeysTest, StraightDragPatchesAProfileAcrossAUsedChannel)
{
    PatchSample("Dimmer.dsp");
    if (HasFatalFailure())
        return;

    bool shown = false;
    platform::ActOnNextDialog("Setup", [&](QDialog &d) {
        shown = true;
        ASSERT_TRUE(WaitPlaced());
        auto *list = d.findChild<QListWidget *>(QStringLiteral("ListView"));
        auto *field = d.findChild<QTableWidget *>(QStringLiteral("MapOfChannels"));
        ASSERT_TRUE(list && field && list->count() == 1);
        // The field's first row holds channels 1 to 16; channel 1 is the patched dimmer's.
        const QPoint item = list->viewport()->mapToGlobal(list->visualItemRect(list->item(0)).center());
        const auto channel = [field](int c) {
            return field->viewport()->mapToGlobal(field->visualRect(field->model()->index(0, c)).center());
        };
        ASSERT_LT(std::abs(item.y() - channel(0).y()), 10) << "the profile's row is not the field's first";
        const QPoint from(item.x(), channel(0).y());
        ASSERT_TRUE(Drag(from, {from + QPoint(6, 0), channel(0), channel(2)}, channel(5)));
        Grab("patch-dragged.png");
        static_cast<TSetup &>(d).ExitClick();
    });
    ui->DMXChannels->trigger();
    EXPECT_TRUE(shown);
    ASSERT_EQ(FixtureCount, 2);
    EXPECT_EQ(Fixtures[1].start, 5);
}

// The Monitor's value editor lies within its cell's value box. A click on the next cell's
// value, where a wider editor would have stood, opens that cell's editor and changes no
// level; a click on a cell's header or on an unused cell only closes it; the keys step it.
TEST_F(PointerAndKeysTest, MonitorEditorStaysInItsCellAndAClickBesideItChangesNoLevel)
{
    PatchSample("MovingHead.dsp");
    if (HasFatalFailure())
        return;
    form->SelectFirstFixture();
    form->LeftPageControlChange(0);
    for (int j = 0; j < 8; ++j)
        Fixtures[0].values[j] = static_cast<std::uint8_t>(100 + j);
    form->SetDevices();
    Tick();
    ASSERT_TRUE(WaitPlaced());
    const std::vector<std::uint8_t> frame(DmxOutFrame, DmxOutFrame + 16);
    ASSERT_EQ(frame[1], 101);
    const auto unchanged = [&] {
        Tick();
        return std::vector<std::uint8_t>(DmxOutFrame, DmxOutFrame + 16) == frame;
    };

    constexpr int W = TMainForm::MonitorCellWidth, H = TMainForm::MonitorCellHeight, HH = TMainForm::MonitorHeaderHeight;
    QSpinBox *editor = form->Mean1;
    // Clicks channel c's cell at (x, y) within it; true when the editor then stands
    // within the value half of channel `open`'s cell (-1: closed).
    const auto click = [&](int c, int x, int y, int open) {
        Click(form->PaintPanelLeft->mapToGlobal(QPoint(c * W + x, y)));
        QTest::qWait(300);
        return open < 0 ? !editor->isVisible()
                        : editor->isVisible() && QRect(open * W, HH, W, H - HH).contains(editor->geometry());
    };
    ASSERT_TRUE(click(0, W / 2, HH + 7, 0));
    EXPECT_EQ(editor->value(), 100);
    Grab("monitor-editor.png");
    // The next cell's value, on its left and upper side: where a wider editor's upper
    // arrow lay.
    EXPECT_TRUE(click(1, 8, HH + 3, 1));
    EXPECT_EQ(SelectedChannel, 1);
    EXPECT_EQ(editor->value(), 101);
    EXPECT_TRUE(unchanged());
    // A header, an unused cell: closed, nothing changed.
    EXPECT_TRUE(click(2, W / 2, HH / 2, -1));
    EXPECT_TRUE(click(2, W / 2, HH + 6, 2));
    EXPECT_TRUE(click(12, W / 2, HH + 6, -1));
    EXPECT_TRUE(unchanged());
    // Opened again, the Up key steps the channel it edits, onto the wire.
    ASSERT_TRUE(click(2, W / 2, HH + 6, 2));
    Key(QStringLiteral("Up"));
    QTest::qWait(300);
    Tick();
    EXPECT_EQ(DmxOutFrame[2], 103);
}

// The play list stays on top of the other windows. A damaged play list opened by its
// "Open" button through the file dialog shows its error box above it, active, with the
// keyboard: Enter closes it the first time, a click on OK the second; each time the play
// list gets the keyboard back.
TEST_F(PointerAndKeysTest, BoxOfADamagedPlayListOpensAboveThePlayListAndTakesTheKeys)
{
    {
        std::ofstream damaged(root / "bin" / "damaged.pgl", std::ios::binary);
        damaged.write("PRG2\0\0\0\0\x10\x27\0", 11);
    }
    ShowEveryBox();

    Action("PlayList1")->trigger();
    ASSERT_TRUE(ProgramForm && ProgramForm->isVisible());
    ASSERT_TRUE(ProgramForm->windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_TRUE(WaitPlaced());

    for (const bool byClick : {false, true}) {
        SCOPED_TRACE(byClick ? "closed by a click" : "closed by Enter");
        const BoxSeen seen = FileThenBox(ProgramForm, ProgramForm->ui->Open, QStringLiteral("damaged.pgl"), byClick,
                                         byClick ? "playlist-box-click.png" : "playlist-box.png");
        ExpectBelongs(seen, QStringLiteral("Program List Data Error"));
        EXPECT_EQ(PlayListCount, 0);
    }
}

// The visualiser's "3D objects" panel loads a file of random bytes through the file
// dialog. The box that says nothing was read opens above the visualiser; once it is closed
// the visualiser is again above the main window, with the keyboard: first with no window
// staying on top (the box went to whichever window Qt listed first), then with the
// groups window shown (the box went to the groups window, which got the keyboard).
// The groups window's naming dialog opens on top without raising the main window. With
// the groups window shown, the "?" window opens above it, active; Escape closes it and the
// main window gets the keyboard back.
TEST_F(PointerAndKeysTest, BoxesAndModalWindowsOpenAboveTheAskingWindowAndTheWindowsOnTop)
{
    const fs::path objects = root / "bin" / "3dobj";
    fs::create_directories(objects);
    {
        std::ofstream noise(objects / "noise.cr3", std::ios::binary);
        for (int i = 0; i < 2000; ++i)
            noise.put(char((i * 7919 + 13) % 251));
    }
    ShowEveryBox();
    // The visualiser opens by its "3D" button, its "3D objects" panel from its Settings.
    ASSERT_TRUE(WaitPlaced());
    Click(Centre(ui->EmulatorButton));
    ASSERT_TRUE(QTest::qWaitFor([] { return Visuf && Visuf->isVisible(); }, 5000));
    Visuf->ui->Objects3D->trigger();
    // Dragged below the main window's buttons, as a person would to reach them.
    QWidget *groupsButton = form->findChild<QWidget *>(QStringLiteral("GroupsButton"));
    QWidget *debugButton = form->findChild<QWidget *>(QStringLiteral("DebugButton"));
    ASSERT_TRUE(groupsButton && debugButton && debugButton->isVisible());
    const int below = std::max(groupsButton->mapToGlobal(groupsButton->rect().bottomLeft()).y(),
                               debugButton->mapToGlobal(debugButton->rect().bottomLeft()).y()) + 40;
    Visuf->move(Visuf->x(), below);
    ASSERT_TRUE(WaitPlaced());
    const QRect panel(Visuf->ui->ObjPanel->mapToGlobal(QPoint(0, 0)), Visuf->ui->ObjPanel->size());
    const QString text = QStringLiteral("No 3D object read from ") + QString::fromStdString((objects / "noise.cr3").string());

    for (const bool groups : {false, true}) {
        SCOPED_TRACE(groups ? "groups window shown" : "no window on top");
        if (groups) {
            Click(Centre(groupsButton));
            ASSERT_TRUE(QTest::qWaitFor([] { return MasterGroups && MasterGroups->isVisible(); }, 5000));
            // Clear of the main window's buttons and of the visualiser's panel.
            MasterGroups->move(std::max(0, panel.left() - MasterGroups->frameGeometry().width() - 20), below);
            ASSERT_TRUE(WaitPlaced());
            // The click raised the main window over the visualiser: back to it, as a person
            // switches windows.
            XDoTool({QStringLiteral("windowactivate"), QString::number(Visuf->winId())});
            ASSERT_TRUE(QTest::qWaitFor([] { return ActiveWindow() == Visuf->winId(); }, 5000));
        }
        const BoxSeen seen =
            FileThenBox(Visuf, Visuf->ui->Load3Dobj, QStringLiteral("noise.cr3"), false,
                        groups ? "visualiser-box-groups.png" : "visualiser-box.png");
        ExpectBelongs(seen, text);
        EXPECT_EQ(Objects3D().objects.size(), 0u);
    }

    // The groups window renames a group through the dialog that names sequences: the
    // dialog belongs to the groups window, opens on top and leaves the main window below
    // the visualiser.
    Groups.push_back(GroupRecord{"Group 1"});
    GroupCount = 1;
    MasterGroups->Rebuild();
    auto *tree = MasterGroups->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
    ASSERT_TRUE(tree && tree->topLevelItem(0));
    tree->setCurrentItem(tree->topLevelItem(0));
    XDoTool({QStringLiteral("windowactivate"), QString::number(MasterGroups->winId())});
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return ActiveWindow() == MasterGroups->winId() && QApplication::activeWindow() == MasterGroups; }, 5000));
    bool nameOnTop = false, visualiserAboveMain = false;
    std::string nameWhere;
    QElapsedTimer nameWaited;
    Steps naming;
    naming.Add([&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible() || !dialog->windowHandle()->isExposed())
            return false;
        if (!nameWaited.isValid())
            nameWaited.start();
        nameOnTop = TopWindow() == dialog->winId() && ActiveWindow() == dialog->winId();
        if (!nameOnTop && nameWaited.elapsed() < 5000)
            return false;
        visualiserAboveMain = Above(Visuf->winId(), form->winId());
        nameWhere = std::string(dialog->parentWidget() ? dialog->parentWidget()->metaObject()->className() : "-") + " " + Ids({{"top", TopWindow()}, {"active", ActiveWindow()}, {"dialog", dialog->winId()},
                         {"visualiser", Visuf->winId()}, {"main", form->winId()}});
        Type(QStringLiteral("Trusses"));
        Key(QStringLiteral("Return"));
        return true;
    });
    naming.Start(20000);
    MasterGroups->Rename1Click();
    EXPECT_TRUE(naming.Wait());
    EXPECT_TRUE(nameOnTop) << nameWhere;
    EXPECT_TRUE(visualiserAboveMain) << nameWhere;
    EXPECT_NE(Groups[0].name.find("Trusses"), std::string::npos) << Groups[0].name;

    // The "?" button of the main window, with the groups window shown.
    Visuf->close();
    ASSERT_TRUE(WaitPlaced());
    Click(Centre(debugButton));
    bool opened = false, above = false, active = false, closed = false, back = false;
    std::string where;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000 && !(above && active)) {
        QTest::qWait(100);
        opened = DebugForm && DebugForm->isVisible() && DebugForm->windowHandle()->isExposed();
        if (!opened)
            continue;
        above = Above(DebugForm->winId(), MasterGroups->winId()) && TopWindow() == DebugForm->winId();
        active = ActiveWindow() == DebugForm->winId() && QApplication::activeWindow() == DebugForm;
    }
    where = Ids({{"top", TopWindow()}, {"active", ActiveWindow()}, {"?", opened ? DebugForm->winId() : 0},
                 {"groups", MasterGroups->winId()}, {"main", form->winId()}});
    Grab("debug-over-groups.png");
    EXPECT_TRUE(opened);
    EXPECT_TRUE(above) << where;
    EXPECT_TRUE(active) << where;
    Key(QStringLiteral("Escape"));
    closed = QTest::qWaitFor([] { return !DebugForm->isVisible(); }, 5000);
    EXPECT_TRUE(closed) << "Escape left the \"?\" window open";
    if (!closed)
        DebugForm->close();
    back = QTest::qWaitFor([&] { return ActiveWindow() == form->winId() && QApplication::activeWindow() == form; }, 5000);
    EXPECT_TRUE(back) << Ids({{"active", ActiveWindow()}, {"main", form->winId()}});
}

// The keys of the main window's menus act while another of the program's windows has the
// keyboard, pressed as a person presses them. With the physical masters window active (a
// master's label clicked): F11 blacks out the output and gives it back, the bump key of
// the key file bumps its master while held and releases it when let go. In "Synch and
// Hardware" the same key typed into a number field is the field's; F8 there switches the
// multi-sequence player on. With the player's sequence chooser open, the key file's
// Ctrl+Shift+P starts its play and stops it.
TEST_F(PointerAndKeysTest, MenuKeysActFromOtherWindowsAndTypedKeysStayInTheirField)
{
    const std::vector<HotKeyRecord> keys = {
        {std::uint16_t('5'), "PMst1", "Physical Master1 Bump"},
        {std::uint16_t(HotKeyCtrl | HotKeyShift | 'P'), "Play1", "Play/Stop"}};
    ASSERT_TRUE(WriteStreamFile((root / "bin" / HotKeyFileName).string(),
                                [&keys](BinaryStream &s) { WriteHotKeyFile(s, keys); }));
    platform::QueueAnswers({"Yes", "1"});
    ASSERT_TRUE(Restart({}));
    form->TransportCreate();
    form->show();

    // A dimmer at channel 1 whose profile blacks it out to 0, on master 1 (physical-master
    // kind) at 128; one sequence for the player.
    const fs::path devices = root / "bin" / "Devices";
    fs::create_directories(devices);
    fs::copy_file(fs::path(std::getenv("BRTV_SOURCE_DIR")) / "fixtures" / "Devices" / "Dimmer.dsp",
                  devices / "Dimmer.dsp", fs::copy_options::overwrite_existing);
    LoadDeviceProfiles();
    ASSERT_EQ(patch::AddFixture(0, 0), 0);
    BuildFixturePanels();
    ASSERT_EQ(ChannelOffValues[0], 0);
    transport_test::AddSequence(2);
    form->FillSequenceBox();
    Action("PhisicalMaster")->trigger();
    ASSERT_TRUE(PhisMast && PhisMast->isVisible());
    QTest::mouseClick(PhisMast->ui->ViewTable, Qt::LeftButton);
    QTest::mouseClick(PhisMast->Grid, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(PhysMasterMap[0], 0);
    PhisMast->Faders[0]->SetPosition(128);
    emit PhisMast->Faders[0]->OnChange(PhisMast->Faders[0]);
    const auto wire = [this] {
        Tick();
        return int(DmxOutFrame[0]);
    };
    ASSERT_EQ(wire(), 128);

    ASSERT_TRUE(WaitPlaced());
    Click(Centre(PhisMast->Names[0]));
    ASSERT_TRUE(WaitFor([] { return QApplication::activeWindow() == PhisMast; }));
    EXPECT_EQ(SelectedMaster, 0);

    Key(QStringLiteral("F11"));
    EXPECT_TRUE(WaitFor([] { return BlackOutOn.load() == 1; }));
    EXPECT_EQ(wire(), 0);
    Grab("keys-blackout-from-masters.png");
    Key(QStringLiteral("F11"));
    EXPECT_TRUE(WaitFor([] { return BlackOutOn.load() == 0; }));
    EXPECT_EQ(wire(), 128);

    // Held (shorter than the keyboard's repeat delay), then let go.
    XDoTool({QStringLiteral("keydown"), QStringLiteral("5")});
    EXPECT_TRUE(WaitFor([] { return PhisMast->Faders[0]->Position() == 255; }));
    EXPECT_TRUE(PhisMast->Bumps[0]->Down());
    EXPECT_EQ(wire(), 255);
    XDoTool({QStringLiteral("keyup"), QStringLiteral("5")});
    EXPECT_TRUE(WaitFor([] { return PhisMast->Faders[0]->Position() == 128; }));
    EXPECT_FALSE(PhisMast->Bumps[0]->Down());
    EXPECT_EQ(PhysicalMasters[0].keyHeld, 0);
    EXPECT_EQ(wire(), 128);
    EXPECT_EQ(QApplication::activeWindow(), PhisMast);

    Action("SynchSetup")->trigger();
    ASSERT_TRUE(AudSynch && AudSynch->isVisible());
    AudSynch->ui->PageControl->setCurrentWidget(AudSynch->ui->Other);
    ASSERT_TRUE(WaitPlaced());
    Click(Centre(AudSynch->ui->BackupMinutes));
    ASSERT_TRUE(WaitFor([] { return QApplication::focusWidget() &&
                                    AudSynch->ui->BackupMinutes->isAncestorOf(QApplication::focusWidget()); }));
    Key(QStringLiteral("ctrl+a"));
    Type(QStringLiteral("25"));
    EXPECT_TRUE(WaitFor([] { return AudSynch->ui->BackupMinutes->text() == QStringLiteral("25"); }));
    EXPECT_EQ(PhisMast->Faders[0]->Position(), 128);
    EXPECT_EQ(PhysicalMasters[0].keyHeld, 0);

    Key(QStringLiteral("F8"));
    ASSERT_TRUE(WaitFor([] { return MultiSeqRunning.load() == 1; }));
    ASSERT_TRUE(MultiSeq->Docked());
    // The two windows go, uncovering the player's slots in the main window.
    AudSynch->close();
    Action("PhisicalMaster")->trigger();
    ASSERT_FALSE(PhisMast->isVisible());
    ASSERT_TRUE(WaitPlaced());
    Click(Centre(MultiSeq->SName[0]));
    ASSERT_TRUE(WaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    Key(QStringLiteral("ctrl+shift+p"));
    EXPECT_TRUE(WaitFor([] { return Playing.load() == 1; }));
    EXPECT_TRUE(MultiSeq->Play->Down());
    Grab("keys-play-from-chooser.png");
    Key(QStringLiteral("ctrl+shift+p"));
    EXPECT_TRUE(WaitFor([] { return Playing.load() == 0; }));
    EXPECT_TRUE(MultiSeq->Stop->Down());
    Key(QStringLiteral("Escape"));
    EXPECT_TRUE(WaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
}

} // namespace
