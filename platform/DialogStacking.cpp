#include "DialogStacking.h"

#include <QApplication>
#include <QTimer>

namespace platform {

namespace {

// A shown window of the program that a person can see and use, other than `except`.
bool UsableWindow(const QWidget *w, const QWidget *except)
{
    if (w == except || !w->isWindow() || !w->isVisible() || w->isMinimized())
        return false;
    const Qt::WindowType type = w->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen && type != Qt::Desktop;
}

bool StaysOnTop(const QWidget *w)
{
    return (w->windowFlags() & Qt::WindowStaysOnTopHint) != 0;
}

// The shown window staying on top that a box most likely belongs to: the last one the
// window manager stacked is not known here, so the first one found.
QWidget *ShownOnTopWindow(const QWidget *except)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (UsableWindow(w, except) && StaysOnTop(w) && !(w->windowFlags() & Qt::FramelessWindowHint))
            return w;
    return nullptr;
}

bool AnyShownOnTop(const QWidget *except)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (UsableWindow(w, except) && StaysOnTop(w))
            return true;
    return false;
}

} // namespace

QWidget *DialogParent()
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    if (QWidget *onTop = ShownOnTopWindow(nullptr))
        return onTop;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (UsableWindow(w, nullptr) && !(w->windowFlags() & Qt::FramelessWindowHint))
            return w;
    return nullptr;
}

DialogStacking::DialogStacking(QWidget &dialog) : dialog_(&dialog)
{
    back_ = QApplication::activeWindow();
    if (!back_ || back_ == &dialog)
        back_ = DialogParent();
    if (back_ == &dialog)
        back_ = nullptr;
    // The window manager keeps windows that stay on top above all others, so the dialog
    // is lent the same hint while it runs. Flags change only while it is hidden.
    if (!dialog.isVisible() && !StaysOnTop(&dialog) && AnyShownOnTop(&dialog)) {
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        lent_ = true;
    }
    // Once shown, it comes to the front and asks for the keyboard.
    QTimer::singleShot(0, &dialog, [d = dialog_] {
        if (d && d->isVisible()) {
            d->raise();
            d->activateWindow();
        }
    });
}

DialogStacking::~DialogStacking()
{
    if (dialog_ && lent_ && !dialog_->isVisible())
        dialog_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
    if (back_ && back_->isVisible())
        back_->activateWindow();
}

} // namespace platform
