// Where boxes and dialogs open among the program's windows. Several windows stay on top
// of the others (play list, cue list, groups, the floating player): a box or dialog
// opened while one of them is shown must open above it, active and with the keyboard,
// or it would open hidden behind it where nothing can reach it. Each box or dialog
// belongs to the window that asked for it; when it closes, that window comes to the
// front again and gets the keyboard back.
#pragma once

#include <QPointer>
#include <QWidget>

namespace platform {

// The window a box or dialog opened now belongs to: the active window. While none is
// active (a dialog has just closed and the window manager has not yet given the keyboard
// back), the window it is being given back to: a box that follows a file dialog belongs
// to the window that asked for the file. Failing both, the shown window that stays on
// top, else the program's first shown window.
QWidget *DialogParent();

// Held while `dialog` runs modal: it opens above every shown window that stays on top,
// raised and activated once shown; afterwards the window that had the keyboard gets it
// back, and the dialog loses the stay-on-top it was lent.
class DialogStacking {
public:
    explicit DialogStacking(QWidget &dialog);
    ~DialogStacking();
    DialogStacking(const DialogStacking &) = delete;
    DialogStacking &operator=(const DialogStacking &) = delete;

private:
    QPointer<QWidget> dialog_;
    QPointer<QWidget> back_;
    bool lent_ = false;
};

// Shows a window (not a dialog) modal to the whole program and returns at once: it opens
// above every shown window that stays on top, raised and active; Escape closes it, as it
// closes a dialog; when it hides, the window that asked for it gets the keyboard back.
// A window already shown is only brought to the front.
void ShowModalWindow(QWidget &window);

} // namespace platform
