// Every hook of the program's hook tables is either installed by the program itself once
// its windows exist, or waits on the list below for the window or subsystem that will
// fill it. When that part of the program arrives, its hooks leave the list; the test keeps
// the list honest both ways. Hooks that call into a window go when the window goes.
#include "ui_MainForm.h"

#include "transport/ProgramWindowTest.h"

#include "app/EngineMessages.h"
#include "app/FixtureArea.h"
#include "app/PatchLoader.h"
#include "app/ShowFile.h"
#include "app/ToolWindows.h"
#include "app/WindowSeams.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- the waiting list: one line per hook, with what will install it ---------------------
struct WaitingHook {
    const char *table;
    const char *hook;
    const char *waitsFor;
};
const std::vector<WaitingHook> &WaitingList()
{
    static const std::vector<WaitingHook> list = {
    };
    return list;
}

// ---- every hook of every table ----------------------------------------------------------
struct Hook {
    std::string table;
    std::string hook;
    std::function<bool()> installed;
};

EngineMessageActions &MessageActions()
{
    static EngineMessageActions actions;
    return actions;
}

#define HOOK(table, member) Hook{#table, #member, [] { return static_cast<bool>(table().member); }}

const std::vector<Hook> &ShowFileHookList()
{
    static const std::vector<Hook> l = {
        HOOK(ShowFileEvents, favouriteButtonColour), HOOK(ShowFileEvents, crossFadeSettings),
        HOOK(ShowFileEvents, crossFadeSettingsRead), HOOK(ShowFileEvents, loadPlanBitmap),
        HOOK(ShowFileEvents, deleteAll3DObjects),    HOOK(ShowFileEvents, addRecentFile),
        HOOK(ShowFileEvents, rebuildMasterChannelLists), HOOK(ShowFileEvents, showPatchWindow),
        HOOK(ShowFileEvents, createFirstSequence),   HOOK(ShowFileEvents, memoryAllocationError)};
    return l;
}
const std::vector<Hook> &FixtureWindowHookList()
{
    static const std::vector<Hook> l = {
        HOOK(FixtureWindows, createPanel),       HOOK(FixtureWindows, reloadPanel),
        HOOK(FixtureWindows, panelOffValue),     HOOK(FixtureWindows, freePanel),
        HOOK(FixtureWindows, createPlanWidgets), HOOK(FixtureWindows, freePlanWidgets),
        HOOK(FixtureWindows, relayoutSliders)};
    return l;
}
const std::vector<Hook> &FixtureAreaHookList()
{
    static const std::vector<Hook> l = {HOOK(FixtureAreaEvents, panelFollows), HOOK(FixtureAreaEvents, soloEnded),
                                        HOOK(FixtureAreaEvents, setPlanTag)};
    return l;
}
const std::vector<Hook> &MessageActionList()
{
    static const std::vector<Hook> l = {
        HOOK(MessageActions, blackOut),      HOOK(MessageActions, tempoChanged), HOOK(MessageActions, favourite),
        HOOK(MessageActions, goToPlayScene), HOOK(MessageActions, multiSeqSlot), HOOK(MessageActions, playStop),
        HOOK(MessageActions, slowTick),      HOOK(MessageActions, select)};
    return l;
}
const std::vector<Hook> &WindowSeamList()
{
    static const std::vector<Hook> l = {
        HOOK(WindowSeams, sequencesListCheckEditing), HOOK(WindowSeams, playListVisible),
        HOOK(WindowSeams, playListPlay),              HOOK(WindowSeams, playListStop),
        HOOK(WindowSeams, playListGo),                HOOK(WindowSeams, multiSeqMenuChecked),
        HOOK(WindowSeams, multiSeqPlay),              HOOK(WindowSeams, multiSeqStop),
        HOOK(WindowSeams, showAudSynch),              HOOK(WindowSeams, graphEditOpen),
        HOOK(WindowSeams, graphEditRepaintColumn),    HOOK(WindowSeams, graphEditMarker),
        HOOK(WindowSeams, applyInputToMasters),       HOOK(WindowSeams, bumpDown),
        HOOK(WindowSeams, bumpUp),                    HOOK(WindowSeams, setMultiSeqSlotOn),
        HOOK(WindowSeams, selectCue),                 HOOK(WindowSeams, multiSeqDock),
        HOOK(WindowSeams, audSynchFullControl),       HOOK(WindowSeams, closeSequenceEditors),
        HOOK(WindowSeams, sequencesListRefresh),      HOOK(WindowSeams, visualiserRelease),
        HOOK(WindowSeams, repaintFixtureChannel),     HOOK(WindowSeams, sequenceChange),
        HOOK(WindowSeams, seqNameDialog),             HOOK(WindowSeams, makeScenesDialog),
        HOOK(WindowSeams, sequencesListToggle),       HOOK(WindowSeams, editorsSequenceChanged),
        HOOK(WindowSeams, editorsSceneChanged),       HOOK(WindowSeams, editorsHooked),
        HOOK(WindowSeams, graphEditRestoreUndo),      HOOK(WindowSeams, cueListSequenceInserted),
        HOOK(WindowSeams, cueListSequenceDeleted),    HOOK(WindowSeams, setMultiSeqSlotSequence),
        HOOK(WindowSeams, refreshMultiSeqCell),       HOOK(WindowSeams, programFormFullBuild),
        HOOK(WindowSeams, positionMenuUpdate),        HOOK(WindowSeams, visufSelectScan),
        HOOK(WindowSeams, trackEditRefresh),          HOOK(WindowSeams, graphEditRefresh),
        HOOK(WindowSeams, phisMastActivate),          HOOK(WindowSeams, posMemShow),
        HOOK(WindowSeams, pmSceneChoose),             HOOK(WindowSeams, seqStCopChoose),
        HOOK(WindowSeams, runProfileEditor),          HOOK(WindowSeams, refreshPhysicalMasters),
        HOOK(WindowSeams, crossFadeToCurrentCue),     HOOK(WindowSeams, cueListSequenceMoved),
        HOOK(WindowSeams, audSynchDmxState),          HOOK(WindowSeams, cueListRefill)};
    return l;
}
#undef HOOK

std::vector<Hook> ToolWindowList()
{
    std::vector<Hook> l;
    for (const char *name : {"PhisMast", "MultiSeq", "MusicPlayer", "ProgramForm", "SequencesList", "CueListF",
                             "MasterGroups", "AudSynch", "DebugForm", "Visualiser", "HotKeys", "Recorder",
                             "GraphEdit", "TrackEdit", "Access"})
        l.push_back(Hook{"ToolWindows", name, [n = std::string(name)] { return ToolWindows().Has(n); }});
    l.push_back(Hook{"ToolWindows", "changed", [] { return static_cast<bool>(ToolWindows().changed); }});
    return l;
}

std::vector<Hook> AllHooks()
{
    std::vector<Hook> all;
    for (const auto *list : {&ShowFileHookList(), &FixtureWindowHookList(), &FixtureAreaHookList(),
                             &MessageActionList(), &WindowSeamList()})
        all.insert(all.end(), list->begin(), list->end());
    const std::vector<Hook> tools = ToolWindowList();
    all.insert(all.end(), tools.begin(), tools.end());
    return all;
}

bool Waiting(const Hook &h)
{
    for (const WaitingHook &w : WaitingList())
        if (h.table == w.table && h.hook == w.hook)
            return true;
    return false;
}

// A table whose every member is a hook has the size of its hooks together: a hook added
// to a table but not to the lists above makes its table's check fail.
template <typename Table>
void ExpectListed(const std::vector<Hook> &list)
{
    EXPECT_EQ(sizeof(Table), list.size() * sizeof(std::function<void()>)) << typeid(Table).name();
}

class HookTables : public ProgramWindowTest {};

TEST_F(HookTables, EveryHookIsInstalledOrWaitsOnTheList)
{
    ExpectListed<ShowFileHooks>(ShowFileHookList());
    ExpectListed<FixtureWindowHooks>(FixtureWindowHookList());
    ExpectListed<FixtureAreaHooks>(FixtureAreaHookList());
    ExpectListed<EngineMessageActions>(MessageActionList());
    ExpectListed<WindowSeamTable>(WindowSeamList());

    MessageActions() = form->EngineMessageHandlers();
    // The visualiser enters the tool-window registry while it is open.
    ui->Emulator->trigger();
    ASSERT_TRUE(ui->Emulator->isChecked());
    const std::vector<Hook> all = AllHooks();
    for (const Hook &h : all) {
        if (Waiting(h))
            EXPECT_FALSE(h.installed()) << h.table << "." << h.hook << " is installed: take it off the list";
        else
            EXPECT_TRUE(h.installed()) << h.table << "." << h.hook << " is not installed";
    }
    // Every entry of the list names a hook that exists.
    std::set<std::string> names;
    for (const Hook &h : all)
        names.insert(h.table + "." + h.hook);
    for (const WaitingHook &w : WaitingList())
        EXPECT_TRUE(names.count(std::string(w.table) + "." + w.hook)) << w.table << "." << w.hook;
    ui->Emulator->trigger();
    EXPECT_FALSE(ToolWindows().Has("Visualiser"));
}

// A hook that calls into the main window is emptied when the window goes; a window made
// afterwards installs its own and the calls reach it (running the start-up twice in one
// process used to call into the destroyed window).
TEST_F(HookTables, HooksOfADestroyedWindowAreEmptied)
{
    ASSERT_TRUE(WindowSeams().multiSeqMenuChecked);
    DestroyProgramWindows();
    form = nullptr;
    EXPECT_FALSE(WindowSeams().multiSeqMenuChecked);
    EXPECT_FALSE(WindowSeams().sequenceChange);
    EXPECT_FALSE(WindowSeams().repaintFixtureChannel);
    EXPECT_FALSE(ShowFileEvents().addRecentFile);
    EXPECT_FALSE(ShowFileEvents().crossFadeSettings);
    EXPECT_FALSE(FixtureWindows().createPanel);
    EXPECT_FALSE(FixtureAreaEvents().soloEnded);
    EXPECT_FALSE(ToolWindows().changed);
    // Hooks that call no window stay.
    EXPECT_TRUE(ShowFileEvents().createFirstSequence);
    EXPECT_TRUE(FixtureAreaEvents().panelFollows);

    platform::QueueAnswers({"Yes", "1"});
    char arg0[] = "brantoval";
    char *argv[] = {arg0, nullptr};
    ASSERT_TRUE(CreateProgramWindows(1, argv));
    StopOutputTimer();
    ASSERT_TRUE(WindowSeams().multiSeqMenuChecked);
    EXPECT_FALSE(WindowSeams().multiSeqMenuChecked());
    MainForm->findChild<QAction *>(QStringLiteral("MultiSeqPlayer"))->setChecked(true);
    EXPECT_TRUE(WindowSeams().multiSeqMenuChecked());
    MainForm->findChild<QAction *>(QStringLiteral("MultiSeqPlayer"))->setChecked(false);
    WindowSeams().sequenceChange(0);
    EXPECT_EQ(CurSequence, 0);
}

// A hook another window put over the main window's own stays when the main window goes.
TEST_F(HookTables, AHookReplacedByAnotherWindowStays)
{
    bool called = false;
    WindowSeams().multiSeqMenuChecked = [&called] {
        called = true;
        return true;
    };
    DestroyProgramWindows();
    form = nullptr;
    ASSERT_TRUE(WindowSeams().multiSeqMenuChecked);
    EXPECT_TRUE(WindowSeams().multiSeqMenuChecked());
    EXPECT_TRUE(called);
    WindowSeams().multiSeqMenuChecked = nullptr;
}

} // namespace
