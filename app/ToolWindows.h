// The tool windows that the main window's menu items and buttons show and hide, by
// name ("PhisMast", "MultiSeq", "MusicPlayer", "ProgramForm", "SequencesList",
// "CueListF", "MasterGroups", "AudSynch", "DebugForm", "Visualiser", "HotKeys",
// "Recorder", "GraphEdit", "TrackEdit", "Access"). Each window registers itself when it
// exists; an item whose window is not registered stays disabled.
#pragma once

#include <functional>
#include <map>
#include <string>

class QWidget;

struct ToolWindowEntry {
    QWidget *window = nullptr;      // may be null for a window made on each use
    // Hooks in place of plain show/hide/isVisible on `window`; empty ones use the window.
    std::function<void()> show;
    std::function<void()> hide;
    std::function<bool()> visible;
    // A modal window made, run and freed on each use.
    std::function<void()> runModal;
};

class ToolWindowRegistry {
public:
    void Register(const std::string &name, ToolWindowEntry entry);
    void Unregister(const std::string &name);
    // Null when the window is not registered.
    const ToolWindowEntry *Find(const std::string &name) const;
    bool Has(const std::string &name) const { return Find(name) != nullptr; }
    void Clear();
    // Told after every change (the main window enables its items).
    std::function<void()> changed;

private:
    std::map<std::string, ToolWindowEntry> entries_;
};

ToolWindowRegistry &ToolWindows();

// A registered window shown (and raised) or hidden, or asked whether it is visible, by its
// entry's hooks or else the window itself; an unregistered name does nothing / is hidden.
// Defined with the main window, in the windows' library.
bool ToolWindowVisible(const std::string &name);
void ShowToolWindow(const std::string &name, bool on);
