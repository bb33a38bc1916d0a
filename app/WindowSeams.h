// Calls from the main window into tool windows that other parts of the program provide
// (sequence list, play list, multi-sequence player, hardware window, graph editor,
// physical masters, fixture area). Each is a hook that the window installs when it
// exists; an empty hook does nothing and a query hook answers "no".
#pragma once

#include <functional>
#include <string>

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
    // Graph and track editors closed; sequence list refreshed; visualiser released.
    std::function<void()> closeSequenceEditors;
    std::function<void()> sequencesListRefresh;
    std::function<void()> visualiserRelease;
    // Fixture area: repaint one channel of a fixture on the page shown.
    std::function<void(int fixture, int channel)> repaintFixtureChannel;
    // Sequence box: make `index` the current sequence (the sequence change command).
    std::function<void(int index)> sequenceChange;
};

WindowSeamTable &WindowSeams();

// Convenience calls that tolerate empty hooks.
inline void CallSeam(const std::function<void()> &f)
{
    if (f)
        f();
}
inline bool AskSeam(const std::function<bool()> &f)
{
    return f && f();
}
