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
    // Fixture area: repaint one channel of a fixture on the page shown.
    std::function<void(int fixture, int channel)> repaintFixtureChannel;
    // Sequence box: make `index` the current sequence (the sequence change command).
    std::function<void(int index)> sequenceChange;
    // Windows the fixture area opens or refreshes.
    // Visualiser: mark the selected fixture.
    std::function<void(int fixture)> visufSelectScan;
    // Track editor: whether it exists, show it (created once), refresh it.
    std::function<bool()> trackEditAvailable;
    std::function<void()> trackEditShow;
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
