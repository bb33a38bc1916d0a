#include "DialogStacking.h"

#include <QApplication>
#include <QKeyEvent>
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

// The window the keyboard was last given back to as a box or dialog closed. Until the
// window manager has acted on that, no window is active; a box or dialog that opens in
// that moment (the error about the file just chosen) belongs to this window.
QPointer<QWidget> &GivenBack()
{
    static QPointer<QWidget> window;
    return window;
}

// The window that asks for `dialog`, which gets the keyboard back when it closes.
QWidget *AskingWindow(QWidget &dialog)
{
    QWidget *asking = QApplication::activeWindow();
    if (!asking || asking == &dialog)
        asking = DialogParent();
    return asking == &dialog ? nullptr : asking;
}

// The window manager keeps windows that stay on top above all others, so a dialog that
// opens while one of them is shown is lent the same hint. Flags change only while it is
// hidden. True when lent.
bool LendOnTop(QWidget &dialog)
{
    if (dialog.isVisible() || StaysOnTop(&dialog) || !AnyShownOnTop(&dialog))
        return false;
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return true;
}

// Once shown, the dialog comes to the front and asks for the keyboard.
void BringForwardOnceShown(QWidget &dialog)
{
    QTimer::singleShot(0, &dialog, [d = QPointer<QWidget>(&dialog)] {
        if (d && d->isVisible()) {
            d->raise();
            d->activateWindow();
        }
    });
}

void GiveBack(QWidget *back)
{
    if (!back || !back->isVisible())
        return;
    GivenBack() = back;
    back->raise();
    back->activateWindow();
}

const char *const ModalWatchName = "brtvModalWindowWatch";

// Watches a window shown by ShowModalWindow: Escape that no control inside took closes
// it, and its hiding gives the keyboard back to the window that asked for it.
class ModalWindowWatch : public QObject {
public:
    explicit ModalWindowWatch(QWidget &window) : QObject(&window)
    {
        setObjectName(QLatin1String(ModalWatchName));
        window.installEventFilter(this);
    }

    QPointer<QWidget> back;
    bool lent = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel)) {
            window->close();
            return true;
        }
        if (event->type() == QEvent::Hide && !window->isVisible() && back) {
            GiveBack(back);
            back = nullptr;
        }
        return false;
    }
};

} // namespace

QWidget *DialogParent()
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    if (QWidget *back = GivenBack(); back && UsableWindow(back, nullptr))
        return back;
    if (QWidget *onTop = ShownOnTopWindow(nullptr))
        return onTop;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (UsableWindow(w, nullptr) && !(w->windowFlags() & Qt::FramelessWindowHint))
            return w;
    return nullptr;
}

DialogStacking::DialogStacking(QWidget &dialog)
    : dialog_(&dialog), back_(AskingWindow(dialog)), lent_(LendOnTop(dialog))
{
    BringForwardOnceShown(dialog);
}

DialogStacking::~DialogStacking()
{
    if (dialog_ && lent_ && !dialog_->isVisible())
        dialog_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
    GiveBack(back_);
}

void ShowModalWindow(QWidget &window)
{
    if (window.isVisible()) {
        window.raise();
        window.activateWindow();
        return;
    }
    QObject *found = window.findChild<QObject *>(QLatin1String(ModalWatchName), Qt::FindDirectChildrenOnly);
    auto *watch = found ? static_cast<ModalWindowWatch *>(found) : new ModalWindowWatch(window);
    watch->back = AskingWindow(window);
    // A stay-on-top lent for an earlier showing goes; it is lent again when still needed.
    if (watch->lent)
        window.setWindowFlag(Qt::WindowStaysOnTopHint, false);
    watch->lent = LendOnTop(window);
    window.setWindowModality(Qt::ApplicationModal);
    window.show();
    window.raise();
    BringForwardOnceShown(window);
}

} // namespace platform
