// Calls from the main window into tool windows that other parts of the program provide
// (sequence list, play list, multi-sequence player, hardware window, graph editor,
// physical masters, fixture area). Each is a hook that the window installs when it
// exists; an empty hook does nothing and a query hook answers "no".
#pragma once

#include <functional>
#include <string>
#include <type_traits>

struct WindowSeamTable {
    // Sequence list: end in-place editing of a cell.
    std::function<void()> sequencesListCheckEditing;
    // Play list window.
    std::function<bool()> playListVisible;
    std::function<void()> playListPlay;
    std::function<void()> playListStop;
    std::function<void()> playListGo;
    // The menu item "Multi Sequence Player" and its player window.
    std::function<bool()> multiSeqMenuChecked;
    std::function<void()> multiSeqPlay;
    std::function<void()> multiSeqStop;
    // Hardware and synchronisation window, shown with the given caption.
    std::function<void(const std::string &caption)> showAudSynch;
    // Graph editor: open, repaint one scene column, move the play marker.
    std::function<bool()> graphEditOpen;
    std::function<void(int scene)> graphEditRepaintColumn;
    std::function<void()> graphEditMarker;
    // Physical masters: re-apply the input to the masters.
    std::function<void()> applyInputToMasters;
    // Physical masters: faders and follow boxes from the show's records, each fader's
    // change run once; false when the window does not exist.
    std::function<bool()> refreshPhysicalMasters;
    // Physical masters: press and release the bump button of master 0..16.
    std::function<void(int master)> bumpDown;
    std::function<void(int master)> bumpUp;
    // Multi-sequence player: switch slot 0..31 on or off, select a cue of the cue list,
    // dock the slot panel into the transport area or give it back to its window.
    std::function<void(int slot, bool on)> setMultiSeqSlotOn;
    std::function<void(int cue)> selectCue;
    std::function<void(bool docked)> multiSeqDock;
    // Hardware window: offer its "Full Control" choice or not ("Sequences" taken then).
    std::function<void(bool offered)> audSynchFullControl;
    // Hardware window: show the DMX output and input states ("Through" offered or not).
    std::function<void()> audSynchDmxState;
    // Graph and track editors closed; sequence list refreshed; visualiser released.
    std::function<void()> closeSequenceEditors;
    std::function<void()> sequencesListRefresh;
    std::function<void()> visualiserRelease;
    // Fixture area: repaint one channel of a fixture on the page shown.
    std::function<void(int fixture, int channel)> repaintFixtureChannel;
    // Sequence box: make `index` the current sequence (the sequence change command).
    std::function<void(int index)> sequenceChange;

    // Sequence and scene editing.
    // The name dialog: `label` is its caption line ("Sequence Name" or "Scene Name"),
    // `text` comes in as the default and goes out as the name; with `firstSceneChoice`
    // the "First Scene" choice is offered and `choice` gets 1 "Default", 2 "Zero " or
    // 3 "Inherited". False when cancelled. Empty: the default text and choice 1.
    std::function<bool(const std::string &label, std::string &text, bool firstSceneChoice, int &choice)> seqNameDialog;
    // The scene-count dialog: true with the number of scenes to make. Empty: not offered.
    std::function<bool(int &count)> makeScenesDialog;
    // Sequence list window: show/hide (sequencesListRefresh above rebuilds it).
    std::function<void()> sequencesListToggle;
    // Graph and track editors: follow a new current sequence, follow a new current scene,
    // stop following (while several scenes are made), restore the undo block; closing
    // them is closeSequenceEditors above.
    std::function<void()> editorsSequenceChanged;
    std::function<void()> editorsSceneChanged;
    std::function<void(bool hooked)> editorsHooked;
    std::function<void()> graphEditRestoreUndo;
    // Cue lists renumber their sequence references.
    std::function<void(int index)> cueListSequenceInserted;
    std::function<void(int index)> cueListSequenceDeleted;
    std::function<void(int from, int to)> cueListSequenceMoved;
    // Cue list: the show's cues were replaced (a show opened or made new).
    std::function<void()> cueListRefill;
    // Multi-sequence player: give a slot its sequence again (restarting it), and redraw
    // the slot's cell in the sequence list (switching is setMultiSeqSlotOn above).
    std::function<void(int slot, int sequence)> setMultiSeqSlotSequence;
    std::function<void(int slot, int row, int previousRow)> refreshMultiSeqCell;
    // Multi-sequence player started while the favourite was on: cross-fade to the cue
    // list's current cue when that list is shown.
    std::function<void()> crossFadeToCurrentCue;
    // Play-list window: rebuild every line.
    std::function<void()> programFormFullBuild;
    // Fixture area: the position menu follows the current scene.
    std::function<void()> positionMenuUpdate;

    // Windows the fixture area opens or refreshes.
    // Visualiser: mark the selected fixture.
    std::function<void(int fixture)> visufSelectScan;
    // Track editor: refresh it (it is shown through the tool-window registry).
    std::function<void()> trackEditRefresh;
    // Graph editor and physical-master window refresh.
    std::function<void()> graphEditRefresh;
    std::function<void()> phisMastActivate;
    // Position memory editor (modal); position scene chooser: the chosen number, -1 cancel.
    std::function<void()> posMemShow;
    std::function<int(int initial)> pmSceneChoose;
    // Device-sequence range dialog (mode 0 copy, 1 paste) at a screen point: false on
    // cancel, else the chosen first and last scene.
    std::function<bool(int mode, int x, int y, int &first, int &last)> seqStCopChoose;

    // Profile editor: open it modally; an empty name opens it in its starting state,
    // otherwise with that profile of "Devices" loaded.
    std::function<void(const std::string &profileFileName)> runProfileEditor;
};

WindowSeamTable &WindowSeams();

// Convenience calls that tolerate empty hooks.
inline void CallSeam(const std::function<void()> &f)
{
    if (f)
        f();
}
template <typename... A>
inline void CallSeam(const std::function<void(A...)> &f, std::type_identity_t<A>... args)
{
    if (f)
        f(args...);
}
inline bool AskSeam(const std::function<bool()> &f)
{
    return f && f();
}
