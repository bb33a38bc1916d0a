// The main window's layout on small screens: the transport bar wraps its controls into
// rows, the work area's panels share a splitter (their widths are the ones the settings
// keep), the window is never larger than the screen's available area, and every other
// top-level window opens inside the screen, cascaded, unless it was placed already.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "ApplicationFilters.h"
#include "TWrapBoxLayout.h"

#include "platform/ScreenArea.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QSplitter>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// The smallest widths the panels shrink to on a narrow screen.
constexpr int SliderPanelMinimum = 60;
constexpr int MasterPanelMinimum = 120;
// The scene group keeps room for its buttons' texts.
constexpr int SceneGroupMinimum = -1;

// Cascade of the windows placed on their first show.
constexpr int CascadeLeft = 32;
constexpr int CascadeTop = 48;
constexpr int CascadeStep = 28;
constexpr int CascadeSteps = 10;

// Places each plain top-level window (not the main window, not a dialog or a pop-up) when
// it is first shown: a window nobody moved joins the cascade, every one is kept inside the
// screen. Dialogs centre themselves on their parent. The main window's own showing and
// hiding are passed on.
class WindowPlacer : public QObject {
public:
    WindowPlacer(QWidget *mainWindow, std::function<void(bool shown)> mainShown, std::function<void()> fitMain)
        : QObject(mainWindow), main_(mainWindow), mainShown_(std::move(mainShown)), fitMain_(std::move(fitMain))
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && watched->isWidgetType()) {
            Recheck(static_cast<QWidget *>(watched));
            return false;
        }
        // A window manager's frame is known once the window is exposed.
        if (event->type() == QEvent::Expose && watched->isWindowType()) {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->windowHandle() == watched)
                    Recheck(w);
            return false;
        }
        const bool show = event->type() == QEvent::Show;
        if ((!show && event->type() != QEvent::Hide) || !watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (show && w->isWindow())
            w->setProperty(Refits, 0);
        if (w == main_) {
            mainShown_(show);
            return false;
        }
        if (!show || !w->isWindow() || qobject_cast<QDialog *>(w))
            return false;
        const Qt::WindowType type = w->windowType();
        if (type != Qt::Window && type != Qt::Tool)
            return false;
        if (w->property("brtvPlaced").toBool())
            return false;
        w->setProperty("brtvPlaced", true);
        const QRect area = platform::AvailableArea(main_);
        QPoint at = w->frameGeometry().topLeft();
        if (!w->testAttribute(Qt::WA_Moved)) {
            const int step = (placed_++ % CascadeSteps) * CascadeStep;
            at = area.topLeft() + QPoint(CascadeLeft + step, CascadeTop + step);
            // A window that stays on top would hide the transport bar until moved: it
            // starts below the bar when it has the room there. Until the window manager
            // frames it, a window is placed by its client area: its title bar is taken as
            // tall as the main window's.
            if (w->windowFlags() & Qt::WindowStaysOnTopHint) {
                const int title =
                    w->frameGeometry() == w->geometry() ? main_->geometry().top() - main_->frameGeometry().top() : 0;
                const int below = BelowTransport() + step + title;
                if (below > at.y() && below + w->frameGeometry().height() <= area.bottom() + 1)
                    at.setY(below);
            }
        }
        platform::KeepInside(w, area, at);
        return false;
    }

private:
    // The screen row just below the main window's transport bar when the bar is shown at
    // the window's top, else 0.
    int BelowTransport() const
    {
        auto *bar = main_->findChild<QWidget *>(QStringLiteral("TransportControl"));
        if (!main_->isVisible() || !bar || !bar->isVisible() || bar->mapTo(main_, QPoint(0, 0)).y() > main_->height() / 2)
            return 0;
        return bar->mapToGlobal(QPoint(0, bar->height())).y();
    }

    // A window manager frames a window only once it is on screen, and may shift a tool
    // window that grows: when the main window's frame changes (it arrives after the window
    // was placed), or a tool window moves or grows, and the frame then leaves the screen,
    // the window is brought back inside once the event is handled. A tool window that
    // cannot get inside is left after a few tries.
    void Recheck(QWidget *w)
    {
        if (!w->isWindow() || !w->isVisible() || (w != main_ && !w->property("brtvPlaced").toBool()))
            return;
        const QSize frame = w->frameGeometry().size() - w->geometry().size();
        const bool framed = w->property(FrameSeen).toSize() != frame;
        w->setProperty(FrameSeen, frame);
        if (w == main_ ? !framed : w->property(Refits).toInt() >= 3)
            return;
        if (w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
            return;
        if (platform::AvailableArea(main_).contains(w->frameGeometry())) {
            w->setProperty(Refits, 0);
            return;
        }
        w->setProperty(Refits, w->property(Refits).toInt() + 1);
        QTimer::singleShot(0, this, [this, guard = QPointer<QWidget>(w)] {
            if (!guard || !guard->isVisible())
                return;
            if (guard == main_)
                fitMain_();
            else
                platform::KeepInside(guard, platform::AvailableArea(main_), guard->frameGeometry().topLeft());
        });
    }

    static constexpr const char *FrameSeen = "brtvFrameSeen";
    static constexpr const char *Refits = "brtvRefits";
    QWidget *main_;
    std::function<void(bool)> mainShown_;
    std::function<void()> fitMain_;
    int placed_ = 0;
};

// Runs `resized` after each resize of the watched widget, once the layouts have settled.
class ResizeWatcher : public QObject {
public:
    ResizeWatcher(QObject *parent, std::function<void()> resized) : QObject(parent), resized_(std::move(resized)) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && !pending_) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                resized_();
            });
        }
        return false;
    }

private:
    std::function<void()> resized_;
    bool pending_ = false;
};

// The width a panel keeps while the splitter is not on screen.
const char *const KeptWidth = "brtvKeptWidth";

} // namespace

void TMainForm::LayoutCreate()
{
    // The transport bar: one row on a wide screen, more rows on a narrow one.
    if (auto *box = qobject_cast<QBoxLayout *>(ui->TransportControl->layout()))
        if (TWrapBoxLayout *wrap = TWrapBoxLayout::Replace(box))
            ui->TransportLayout = wrap;
    // The bar takes the height of its rows; the work area takes the rest.
    ui->CentralLayout->setStretchFactor(ui->WorkArea, 1);

    // The work area's panels in one splitter. The panels' widths in the form are their
    // first widths; they may shrink to their minimums.
    struct Panel {
        QWidget *widget;
        int minimum;
    } panels[] = {{ui->SliderPanel, SliderPanelMinimum},
                  {ui->MasterPanel, MasterPanelMinimum},
                  {ui->SceneGroupBox, SceneGroupMinimum}};
    WorkSplitter = new QSplitter(Qt::Horizontal, ui->WorkArea);
    WorkSplitter->setObjectName(QStringLiteral("WorkSplitter"));
    WorkSplitter->setChildrenCollapsible(false);
    std::vector<QWidget *> order;
    while (QLayoutItem *item = ui->WorkLayout->takeAt(0)) {
        if (QWidget *w = item->widget())
            order.push_back(w);
        delete item;
    }
    for (QWidget *w : order) {
        for (const Panel &p : panels)
            if (p.widget == w) {
                const int minimum = p.minimum >= 0 ? p.minimum : w->minimumSizeHint().width();
                const int first = w->maximumWidth() < QWIDGETSIZE_MAX ? w->maximumWidth() : minimum;
                w->setProperty(KeptWidth, std::max(first, minimum));
                w->setMinimumWidth(minimum);
                w->setMaximumWidth(QWIDGETSIZE_MAX);
            }
        WorkSplitter->addWidget(w);
    }
    for (int i = 0; i < WorkSplitter->count(); ++i)
        WorkSplitter->setStretchFactor(i, WorkSplitter->widget(i) == ui->Panel2 ? 1 : 0);
    ui->WorkLayout->addWidget(WorkSplitter);
    // When the window's width changes the slider panel takes what the list leaves.
    WorkSplitter->installEventFilter(new ResizeWatcher(WorkSplitter, [this] { FitSliderPanel(); }));

    // The splitter lays out only on screen: the kept widths go on when the window shows
    // and come back when it hides (full screen on and off hides it).
    InstallApplicationFilter(this, new WindowPlacer(this, [this](bool shown) {
        if (shown) {
            ApplySplitWidths();
            // The frame a window manager adds is known only once the window is on screen.
            QTimer::singleShot(0, this, [this] {
                ApplySplitWidths();
                FitToScreen();
            });
        } else {
            KeepSplitWidths();
        }
    }, [this] { FitToScreen(); }));
}

void TMainForm::ApplySplitWidths()
{
    QList<int> sizes = WorkSplitter->sizes();
    int total = 0, others = 0, rest = -1;
    for (int i = 0; i < sizes.size(); ++i) {
        total += sizes[i];
        QWidget *w = WorkSplitter->widget(i);
        if (w->isHidden())
            continue;   // a folded panel keeps its width for when it shows again
        const QVariant kept = w->property(KeptWidth);
        if (kept.isValid()) {
            sizes[i] = kept.toInt();
            others += sizes[i];
        } else if (rest < 0) {
            rest = i;
        }
    }
    // The fixture area gives or takes the difference, as a splitter drag does.
    if (rest >= 0)
        sizes[rest] = std::max(1, total - others);
    WorkSplitter->setSizes(sizes);
    FitSliderPanel();
}

void TMainForm::KeepSplitWidths()
{
    const QList<int> sizes = WorkSplitter->sizes();
    for (int i = 0; i < sizes.size(); ++i) {
        QWidget *w = WorkSplitter->widget(i);
        if (w->property(KeptWidth).isValid() && !w->isHidden() && sizes[i] > 0)
            w->setProperty(KeptWidth, sizes[i]);
    }
}

void TMainForm::ShowSliderPanel(bool shown)
{
    if (ui->SliderPanel->isHidden() != shown)
        return;
    // The widths kept are the settings' and the operator's drags (Splitter1Moved), not the
    // room the tracks took for a while.
    ui->SliderPanel->setVisible(shown);
    if (WorkSplitter->isVisible())
        ApplySplitWidths();
}

void TMainForm::FitSliderPanel()
{
    if (!WorkSplitter || !WorkSplitter->isVisible() || ui->SliderPanel->isHidden())
        return;
    QList<int> sizes = WorkSplitter->sizes();
    const int list = WorkSplitter->indexOf(ui->Panel2);
    const int tracks = WorkSplitter->indexOf(ui->SliderPanel);
    if (list < 0 || tracks < 0)
        return;
    // The tracks take from the list's column what they lack, down to the narrowest the
    // column can be (its names then scroll); they give back what they do not need when the
    // list lacks room, and what they took beyond the kept width.
    const int tracksShort = TracksWidth() - sizes[tracks];
    const int listShort = FixtureListWidth() - sizes[list];
    const int beyondKept = sizes[tracks] - ui->SliderPanel->property(KeptWidth).toInt();
    int move = 0;
    if (tracksShort > 0)
        move = std::max(0, std::min(tracksShort, sizes[list] - ui->Panel2->minimumSizeHint().width()));
    else if (listShort > 0)
        move = -std::min(listShort, -tracksShort);
    else if (beyondKept > 0)
        move = -std::min(beyondKept, -tracksShort);
    if (move == 0)
        return;
    sizes[tracks] += move;
    sizes[list] -= move;
    WorkSplitter->setSizes(sizes);
}

void TMainForm::FitToScreen()
{
    if (isMaximized() || isFullScreen() || IsFullScreenMode())
        return;
    platform::KeepInside(this, platform::AvailableArea(this), frameGeometry().topLeft());
}

int TMainForm::SplitWidth(const QWidget *panel) const
{
    const int i = WorkSplitter ? WorkSplitter->indexOf(const_cast<QWidget *>(panel)) : -1;
    if (i < 0)
        return panel->width();
    if (!WorkSplitter->isVisible() || panel->isHidden())
        return panel->property(KeptWidth).toInt();
    return WorkSplitter->sizes().value(i);
}

void TMainForm::SetSplitWidth(QWidget *panel, int width)
{
    if (!WorkSplitter || WorkSplitter->indexOf(panel) < 0 || width <= 0)
        return;
    panel->setProperty(KeptWidth, std::max(width, panel->minimumWidth()));
    if (WorkSplitter->isVisible())
        ApplySplitWidths();
}
