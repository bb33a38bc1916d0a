// Where boxes and dialogs open among the program's windows. Several windows stay on top
// of the others (play list, cue list, groups, the floating player): a box or dialog
// opened while one of them is shown must open above it, active and with the keyboard,
// or it would open hidden behind it where nothing can reach it. When it closes, the
// keyboard goes back to the window that had it.
#pragma once

#include <QPointer>
#include <QWidget>

namespace platform {

// The window a box or dialog opened now belongs to: the active window; while none is
// active (the window manager has not yet given the keyboard back after another dialog),
// the shown window that stays on top, else the program's first shown window.
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

} // namespace platform
