// The fixture area of the main window: the Monitor page (every channel as a cell with the
// fixtures' header bars), the Sliders page (fixture list and channel tracks), selection
// with the fixture's control panel, the "Fixtures" menu and its popup copy, the User Red
// Master frame and the joystick. The rules behind them live in FixtureArea.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "OwnedHooks.h"

#include "FixtureArea.h"
#include "LevelPipeline.h"
#include "OutputEngine.h"
#include "PatchLoader.h"
#include "TDSPform.h"
#include "TWrapBoxLayout.h"
#include "PlayState.h"
#include "SceneFixtures.h"
#include "ShowFile.h"
#include "ShowModel.h"
#include "StartupState.h"
#include "ToolWindows.h"
#include "WindowSeams.h"

#include "controls/CellEditors.h"
#include "controls/SpeedButton.h"
#include "controls/TColor.h"
#include "controls/Tracker.h"
#include "fixtures/TDesign.h"

#include "platform/Joystick.h"
#include "platform/MsgBox.h"

#include <QActionGroup>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace {

// The panel shown over MasterPanel.
QPointer<TDesign> shownPanel;
int lastPositionScene = 1;

constexpr int TrackCount = 32;
constexpr int TrackWidth = 26;
constexpr int TitleHeight = 16;

const char *const FunctionLabels[] = {"", "Pan", "Tilt", "Color", "Gobo", "PanFine", "TiltFine", "Dimmer", "Focus"};

bool PlayerRuns()
{
    return Playing.load() || MultiSeqRunning.load();
}

FixtureRecord *FixturePtr(int i)
{
    return FixtureIndexValid(i) ? &Fixtures[static_cast<std::size_t>(i)] : nullptr;
}

int KindOf(Qt::KeyboardModifiers mods)
{
    if (mods & Qt::ControlModifier)
        return 1;
    if (mods & Qt::ShiftModifier)
        return 2;
    return 0;
}

// The lower part of channel c's cell on the Monitor, under the header strip: where its value
// box is drawn and its editor opens.
QRect MonitorValueHalf(int c)
{
    const int W = TMainForm::MonitorCellWidth, H = TMainForm::MonitorCellHeight, HH = TMainForm::MonitorHeaderHeight;
    return QRect((c % 16) * W, (c / 16) * H + HH, W, H - HH);
}

// The Monitor grid: paints through the form and hands mouse presses to it.
class MonitorGrid : public QWidget {
public:
    MonitorGrid(TMainForm *form, QWidget *parent) : QWidget(parent), form_(form)
    {
        setObjectName(QStringLiteral("PaintPanelLeft"));
        setFixedSize(16 * TMainForm::MonitorCellWidth, 64 * TMainForm::MonitorCellHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        form_->PaintPanelLeftPaint(p);
    }
    // A fixture's cell tells its whole title, which a short bar may cut.
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::ToolTip)
            return QWidget::event(e);
        const QPoint at = static_cast<QHelpEvent *>(e)->pos();
        const int c = (at.y() / TMainForm::MonitorCellHeight) * 16 + at.x() / TMainForm::MonitorCellWidth;
        if (c >= 0 && c < MaxChannels && ChannelUsed[c] && FixtureIndexValid(ChannelOwner[c].fixture))
            QToolTip::showText(static_cast<QHelpEvent *>(e)->globalPos(),
                               platform::FromBytes(FixtureHeaderText(ChannelOwner[c].fixture)), this);
        else
            QToolTip::hideText();
        return true;
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        form_->PaintPanelLeftMouseDown(e->position().toPoint().x(), e->position().toPoint().y(), e->button(),
                                       e->modifiers());
    }

private:
    TMainForm *form_;
};

// Hands presses on the fixture list to the form with their button and modifiers.
class ListPressFilter : public QObject {
public:
    ListPressFilter(TMainForm *form, QTableWidget *table) : QObject(table), form_(form), table_(table) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::MouseButtonPress)
            return false;
        auto *m = static_cast<QMouseEvent *>(e);
        const int row = table_->rowAt(m->position().toPoint().y());
        if (row >= 0)
            form_->DrawDevSelectCell(row, m->button(), m->modifiers());
        return true;
    }

private:
    TMainForm *form_;
    QTableWidget *table_;
};

// Esc on the User Red Master frame's button hides the frame.
class EscFilter : public QObject {
public:
    EscFilter(TMainForm *form, QObject *parent) : QObject(parent), form_(form) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress) {
            form_->RedMasterApplyKeyDown(static_cast<QKeyEvent *>(e)->key());
            return static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape;
        }
        return false;
    }

private:
    TMainForm *form_;
};

TSpeedButton *PageButton(QWidget *parent, const char *name, const char *caption, int tag)
{
    auto *b = new TSpeedButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->SetCaption(caption);
    b->SetTag(tag);
    b->setFixedSize(64, 22);
    if (tag >= 0) {
        b->SetGroupIndex(7);
        b->SetDown(tag == 0);
    }
    return b;
}

} // namespace

// ---- creation ------------------------------------------------------------------------------

void TMainForm::FixtureAreaCreate()
{
    if (fixtureAreaCreated_)
        return;
    fixtureAreaCreated_ = true;

    // Page buttons above the pages.
    auto *buttons = new QWidget(ui->Panel2);
    buttons->setObjectName(QStringLiteral("PageButtons"));
    auto *bl = new QHBoxLayout(buttons);
    bl->setContentsMargins(0, 0, 0, 0);
    SpeedButton3 = PageButton(buttons, "SpeedButton3", "Monitor", 0);
    SpeedButton4 = PageButton(buttons, "SpeedButton4", "Sliders", 1);
    SpeedButton6 = PageButton(buttons, "SpeedButton6", "Plan", 2);
    SpeedButton10 = PageButton(buttons, "SpeedButton10", "DMX", -1);
    SpeedButton10->setToolTip(QStringLiteral("DMX channels"));
    for (TSpeedButton *b : {SpeedButton3, SpeedButton4, SpeedButton6, SpeedButton10})
        bl->addWidget(b);
    bl->addStretch();
    // A narrow fixture column (the Sliders page beside its tracks) puts them on two rows.
    TWrapBoxLayout::Replace(bl);
    static_cast<QVBoxLayout *>(ui->LeftLayout)->insertWidget(0, buttons);
    // Narrow margins: the Monitor grid's sixteen columns fit a 1024 pixel screen.
    ui->LeftLayout->setContentsMargins(2, 2, 2, 2);
    for (TSpeedButton *b : {SpeedButton3, SpeedButton4, SpeedButton6})
        connect(b, &TSpeedButton::OnClick, this, [this, b] { LeftPageControlChange(b->Tag()); });
    connect(SpeedButton10, &TSpeedButton::OnClick, this, [this] { SpeedButton10Click(); });

    // Monitor page.
    auto *ml = new QVBoxLayout(ui->OnlyEdits);
    ml->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(ui->OnlyEdits);
    scroll->setObjectName(QStringLiteral("MonitorScroll"));
    PaintPanelLeft = new MonitorGrid(this, scroll);
    scroll->setWidget(PaintPanelLeft);
    ml->addWidget(scroll);
    // The channel editor lies within its cell's value box and covers no other cell: it has
    // no arrows (keys and the wheel step it), and any press outside it closes it.
    Mean1 = new QSpinBox(PaintPanelLeft);
    Mean1->setObjectName(QStringLiteral("Mean1"));
    Mean1->setRange(0, 255);
    Mean1->setButtonSymbols(QAbstractSpinBox::NoButtons);
    Mean1->setFrame(false);
    Mean1->setAlignment(Qt::AlignCenter);
    QFont editorFont = Mean1->font();
    editorFont.setPixelSize(10);
    Mean1->setFont(editorFont);
    Mean1->hide();
    CloseOnPressElsewhere(Mean1);
    connect(Mean1, &QSpinBox::valueChanged, this, [this] { Mean1Change(); });
    PaintPanelLeft->setContextMenuPolicy(Qt::PreventContextMenu);

    // User Red Master frame, over the pages.
    UserRedMaster = new QFrame(ui->Panel2);
    UserRedMaster->setObjectName(QStringLiteral("UserRedMaster"));
    UserRedMaster->setFrameShape(QFrame::Box);
    UserRedMaster->setAutoFillBackground(true);
    auto *ul = new QVBoxLayout(UserRedMaster);
    auto *ut = new QLabel(QStringLiteral("User Red Master"), UserRedMaster);
    ul->addWidget(ut);
    DrawGridMasterGrid = new QTableWidget(1, 0, UserRedMaster);
    DrawGridMasterGrid->setObjectName(QStringLiteral("DrawGridMaster"));
    DrawGridMasterGrid->horizontalHeader()->hide();
    DrawGridMasterGrid->verticalHeader()->hide();
    DrawGridMasterGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DrawGridMasterGrid->setFixedHeight(28);
    ul->addWidget(DrawGridMasterGrid);
    RedMasterApply = new QPushButton(QStringLiteral("Apply"), UserRedMaster);
    RedMasterApply->setObjectName(QStringLiteral("RedMasterApply"));
    RedMasterApply->installEventFilter(new EscFilter(this, RedMasterApply));
    ul->addWidget(RedMasterApply);
    UserRedMaster->resize(260, 100);
    UserRedMaster->hide();
    connect(DrawGridMasterGrid, &QTableWidget::cellClicked, this,
            [this](int, int column) { DrawGridMasterSelectCell(column); });
    connect(RedMasterApply, &QPushButton::clicked, this, [this] { RedMasterApplyClick(); });

    // Sliders page: the fixture list on the page, the selected fixture's channel tracks in
    // the slider panel beside it (shown with this page only).
    auto *tl = new QHBoxLayout(ui->Tracks64);
    tl->setContentsMargins(0, 0, 0, 0);
    DrawDevGrid = new QTableWidget(0, 2, ui->Tracks64);
    DrawDevGrid->setObjectName(QStringLiteral("DrawDev"));
    tl->addWidget(DrawDevGrid);
    DrawDevGrid->horizontalHeader()->hide();
    DrawDevGrid->verticalHeader()->hide();
    DrawDevGrid->horizontalHeader()->setStretchLastSection(true);
    DrawDevGrid->setColumnWidth(0, 40);
    DrawDevGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DrawDevGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    DrawDevGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    DrawDevGrid->viewport()->installEventFilter(new ListPressFilter(this, DrawDevGrid));
    auto *sl = new QVBoxLayout(ui->SliderPanel);
    sl->setContentsMargins(0, 0, 0, 0);
    auto *trackScroll = new QScrollArea(ui->SliderPanel);
    trackScroll->setObjectName(QStringLiteral("TrackScroll"));
    trackScroll->setFrameShape(QFrame::NoFrame);
    trackScroll->setWidgetResizable(true);
    sl->addWidget(trackScroll);
    TrackArea = new QWidget(trackScroll);
    TrackArea->setObjectName(QStringLiteral("TrackArea"));
    auto *grid = new QGridLayout(TrackArea);
    grid->setSpacing(1);
    grid->setContentsMargins(4, 4, 4, 4);
    for (int j = 0; j < TrackCount; ++j) {
        auto *label = new QLabel(TrackArea);
        label->setObjectName(QStringLiteral("TrackLabel%1").arg(j));
        label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        QFont f = label->font();
        f.setPointSize(6);
        label->setFont(f);
        label->setFixedWidth(TrackWidth);
        auto *t = new TTracker(TrackArea);
        t->setObjectName(QStringLiteral("Track%1").arg(j));
        t->setProperty("Tag", j);
        t->SetMin(0);
        t->SetMax(255);
        t->setFixedWidth(TrackWidth);
        t->setMinimumHeight(120);
        grid->addWidget(label, 0, j);
        grid->addWidget(t, 1, j);
        connect(t, &TTracker::OnChange, this, [this, j, t] {
            SetFixtureChannel(j, t->Position());
            ShowModified = 1;
            TrackPaint(j);
        });
        Tracks.push_back(t);
        TrackLabels.push_back(label);
    }
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(TrackCount, 1);
    trackScroll->setWidget(TrackArea);
    // The splitter handle beside the slider panel relays the page out when it moves.
    if (WorkSplitter && WorkSplitter->indexOf(ui->SliderPanel) > 0) {
        Splitter1 = WorkSplitter->handle(WorkSplitter->indexOf(ui->SliderPanel));
        Splitter1->setObjectName(QStringLiteral("Splitter1"));
        connect(WorkSplitter, &QSplitter::splitterMoved, this, [this] { Splitter1Moved(); });
    }

    // The selected fixture's title over its panel.
    // Under it the panel's header strip (each panel brings its own) and the panel in a
    // scroll area: a panel larger than its area is scrolled, not cut.
    auto *masterLayout = new QVBoxLayout(ui->MasterPanel);
    masterLayout->setContentsMargins(0, 0, 0, 0);
    masterLayout->setSpacing(0);
    FixtureTitle = new QLabel(ui->MasterPanel);
    FixtureTitle->setObjectName(QStringLiteral("FixtureTitle"));
    FixtureTitle->setFixedHeight(TitleHeight);
    FixtureTitle->setContentsMargins(2, 0, 0, 0);
    FixtureTitle->setMinimumWidth(1);
    masterLayout->addWidget(FixtureTitle);
    MasterScroll = new QScrollArea(ui->MasterPanel);
    MasterScroll->setObjectName(QStringLiteral("MasterScroll"));
    MasterScroll->setFrameShape(QFrame::NoFrame);
    MasterScroll->setWidgetResizable(false);
    MasterScroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *host = new QWidget(MasterScroll);
    host->setObjectName(QStringLiteral("MasterHost"));
    host->resize(1, 1);
    MasterScroll->setWidget(host);
    masterLayout->addWidget(MasterScroll, 1);

    // Menus.
    DeviceMenu = new QMenu(this);
    DeviceMenu->setObjectName(QStringLiteral("DeviceMenu"));
    connect(DeviceMenu, &QMenu::aboutToShow, this, [this] { DeviceMenuPopup(); });
    PaintPanelLeft->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PaintPanelLeft, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { DeviceMenu->popup(PaintPanelLeft->mapToGlobal(pos)); });

    auto *linkModes = new QActionGroup(this);
    for (QAction *a : {ui->FullMaster1, ui->ColorOnly1, ui->ExPanTilt1, ui->PanTiltOnly1, ui->UserRedMaster1})
        linkModes->addAction(a);
    ui->FullMaster1->setChecked(true);
    struct Item {
        QAction *action;
        void (TMainForm::*handler)();
    } items[] = {{ui->MasterOff, &TMainForm::MasterOffClick},
                 {ui->ManualOff, &TMainForm::ManualOffClick},
                 {ui->FullMaster1, &TMainForm::FullMaster1Click},
                 {ui->ColorOnly1, &TMainForm::ColorOnly1Click},
                 {ui->ExPanTilt1, &TMainForm::ExPanTilt1Click},
                 {ui->PanTiltOnly1, &TMainForm::PanTiltOnly1Click},
                 {ui->UserRedMaster1, &TMainForm::UserRedMaster1Click},
                 {ui->MasterGroupOff1, &TMainForm::MasterGroupOff1Click},
                 {ui->Solo, &TMainForm::SoloClick},
                 {ui->UnlockIcons, &TMainForm::UnlockIconsClick},
                 {ui->DeviceOff, &TMainForm::DeviceOffClick},
                 {ui->CopyStSc, &TMainForm::CopyStScClick},
                 {ui->PasteStSc, &TMainForm::PasteStScClick},
                 {ui->CopyStSeq, &TMainForm::CopyStSeqClick},
                 {ui->PasteStSeq, &TMainForm::PasteStSeqClick},
                 {ui->Joystick, &TMainForm::JoystickClick},
                 {ui->DMXChannels, &TMainForm::SpeedButton10Click},
                 {ui->CreatePosMem, &TMainForm::CreatePosMemClick},
                 {ui->EditPosMem, &TMainForm::EditPosMemClick},
                 {ui->RemPosMem, &TMainForm::RemPosMemClick},
                 {ui->AssPosRef, &TMainForm::AssPosRefClick},
                 {ui->ChangePosRef, &TMainForm::ChangePosRefClick},
                 {ui->RemPosRef, &TMainForm::RemPosRefClick}};
    for (const Item &it : items)
        connect(it.action, &QAction::triggered, this, [this, h = it.handler] { (this->*h)(); });
    connect(ui->MenuPosMem, &QMenu::aboutToShow, this, [this] { MenuPosMemUpdate(); });
    connect(ui->FixturesMenu, &QMenu::aboutToShow, this, [this] { UpdateFixtureMenus(); });
    connect(ui->ButtonNonSmooth, &TSpeedButton::OnClick, this, [this] { ButtonNonSmoothClick(); });

    JoyTimer = new QTimer(this);
    JoyTimer->setObjectName(QStringLiteral("JoyTimer"));
    JoyTimer->setInterval(100);
    connect(JoyTimer, &QTimer::timeout, this, [this] { JoyTimerTimer(); });

    InstallFixtureWindowHooks();
    LeftPageControlChange(0);
    UpdateFixtureMenus();
    MenuPosMemUpdate();
}

void TMainForm::InstallFixtureWindowHooks()
{
    TDesign::ChannelSink() = [](int channel, int value) { SetFixtureChannel(channel, value); };
    InstallHook(this, WindowSeams().repaintFixtureChannel, [this](int fixture, int channel) { PaintEd(fixture, channel); });
    InstallHook(this, WindowSeams().positionMenuUpdate, [this] { MenuPosMemUpdate(); });
    InstallProfileEditorSeam();
    FixtureAreaHooks &events = FixtureAreaEvents();
    events.panelFollows = [](int channel, int value) {
        if (FixtureRecord *f = FixturePtr(SelectedFixture); f && f->panel)
            f->panel->SetParam(channel, value);
    };
    InstallHook(this, events.soloEnded, [this] {
        SoloIconsVisible(true);
        ui->Solo->setChecked(false);
        DrawDev();
        PaintPanelLeft->update();
    });
    events.setPlanTag = [](QWidget *w, int tag) {
        if (auto *props = dynamic_cast<TControlProps *>(w))
            props->SetTag(tag);
        else
            w->setProperty("Tag", tag);
    };

    FixtureWindowHooks &hooks = FixtureWindows();
    InstallHook(this, hooks.createPanel, [this](const std::string &path, int start) -> TDesign * {
        auto *d = new TDesign(this);
        d->PanelHead->setParent(ui->MasterPanel);
        d->PanelHead->setFixedHeight(d->PanelHead->height());
        static_cast<QVBoxLayout *>(ui->MasterPanel->layout())->insertWidget(1, d->PanelHead);
        d->MainPanel->setParent(MasterScroll->widget());
        // The scroll area shows the whole panel and pages it: the head's paging label
        // would move nothing here.
        d->PanelRL->hide();
        d->PanelHead->hide();
        d->MainPanel->hide();
        d->LoadForm(path, start, false);
        return d;
    });
    hooks.reloadPanel = [](TDesign *d, const std::string &path, int start, int mode) {
        d->LoadForm(path, start, mode == 1);
    };
    hooks.panelOffValue = [](TDesign *d, int channel) { return d->BlackOutState(channel); };
    hooks.freePanel = [](TDesign *d) {
        if (shownPanel == d)
            shownPanel = nullptr;
        delete d;
    };
    PlanCreate();
    InstallHook(this, hooks.createPlanWidgets, [this](int fixture, int sharesWith) { CreatePlanWidgets(fixture, sharesWith); });
    InstallHook(this, hooks.freePlanWidgets, [this](int fixture) { FreePlanWidgets(fixture); });
    InstallHook(this, hooks.relayoutSliders, [this] {
        labelledType_ = -2;
        DrawDev();
        PaintPanelLeft->update();
    });
}

// ---- selection -----------------------------------------------------------------------------

void TMainForm::Select(int fixture)
{
    if (SelectingFixture || !FixtureIndexValid(fixture))
        return;
    FixtureAreaCreate();
    const int old = SelectedFixture;
    if (old == fixture && shownPanel == Fixtures[static_cast<std::size_t>(fixture)].panel) {
        SetFixtureTitle();
        return;
    }
    // A new selection, or the fixtures' values taken afresh: the Monitor is filled anew and
    // its editor, which edits the selected fixture's channel, closes.
    CloseCellEditors({Mean1});
    SelectedFixture = fixture;
    PaintDev(old);
    PaintDev(fixture);
    if (WindowSeams().visufSelectScan)
        WindowSeams().visufSelectScan(fixture);
    for (int j = 0; j < TrackCount; ++j)
        TrackPaint(j);
    SelectPanel(old, fixture);
    if (ui->Joystick->isChecked()) {
        if (RolesOf(Fixtures[static_cast<std::size_t>(fixture)]).HasPanTilt())
            JoyTimer->start();
        else
            JoyTimer->stop();
    }
    SetFixtureTitle();
}

// Selects `fixture` again as a new selection: its panel is shown and set from its values.
void TMainForm::Reselect(int fixture)
{
    if (!FixtureIndexValid(fixture))
        return;
    SelectedFixture = -1;
    Select(fixture);
}

void TMainForm::SelectFirstFixture()
{
    FixtureAreaCreate();
    CloseCellEditors({Mean1});
    SelectedFixture = -1;
    if (shownPanel)
        shownPanel->HideMainPanel();
    shownPanel = nullptr;
    DrawDev();
    if (FixtureCount > 0)
        Select(0);
    SetFixtureTitle();
    UpdateFixtureMenus();
    PaintPanelLeft->update();
}

// Shows the selected fixture's panel over MasterPanel; a panel of another type is hidden
// first (with several types it frees its elements and the new one is rebuilt).
void TMainForm::SelectPanel(int, int fixture)
{
    FixtureRecord &f = Fixtures[static_cast<std::size_t>(fixture)];
    if (shownPanel && shownPanel != f.panel)
        shownPanel->HideMainPanel();
    shownPanel = f.panel;
    if (!f.panel)
        return;
    TDesign *d = f.panel;
    d->ShowMainPanel();
    if (d->MainPanel) {
        const QSize size(std::max(d->PanelWidth, 1), std::max(d->PanelHeight, 1));
        d->MainPanel->setGeometry(QRect(QPoint(0, 0), size));
        MasterScroll->widget()->resize(size);
        MasterScroll->horizontalScrollBar()->setValue(0);
        MasterScroll->verticalScrollBar()->setValue(0);
    }
    for (int j = 0; j < f.channelCount && j < MaxFixtureChannels; ++j)
        if (f.used[j])
            d->SetParam(j, f.values[j]);
}

void TMainForm::SetFixtureTitle()
{
    if (!FixtureTitle)
        return;
    const FixtureRecord *f = FixturePtr(SelectedFixture);
    QString title;
    if (f) {
        bool linked = false;
        for (int j = 0; j < f->channelCount && j < MaxFixtureChannels; ++j)
            linked = linked || f->states[j] == 2;
        title = linked ? QStringLiteral("Master Mode") : platform::FromBytes(FixtureName(*f));
    }
    FixtureTitle->setText(title);
    if (shownPanel && shownPanel->UserHeader && f)
        shownPanel->UserHeader->setText(platform::FromBytes(FixtureName(*f)));
}

void TMainForm::DevT1Click(int fixture, int kind)
{
    if (!FixtureIndexValid(fixture))
        return;
    Select(fixture);
    ClickFixtureStates(fixture, kind);
    UpdateFixtureMenus();
    // A true reselect: the panel's controls follow the states and values just changed.
    Reselect(fixture);
    PaintDev(fixture);
    CallSeam(WindowSeams().phisMastActivate);
    CallSeam(WindowSeams().trackEditRefresh);
}

void TMainForm::LeftPageControlChange(int page)
{
    if (page < 0 || page > 2)
        return;
    FixtureAreaPage = page;
    QWidget *pages[] = {ui->OnlyEdits, ui->Tracks64, ui->Plan};
    ui->LeftPages->setCurrentWidget(pages[page]);
    // The slider panel holds the Sliders page's tracks: folded away on the other pages.
    ShowSliderPanel(page == 1);
    TSpeedButton *buttons[] = {SpeedButton3, SpeedButton4, SpeedButton6};
    if (buttons[page] && !buttons[page]->Down())
        buttons[page]->SetDown(true);
    if (Mean1)
        Mean1->hide();
    Reselect(SelectedFixture);
    if (page == 1)
        LabelTracks(SelectedFixture);
}

// ---- the channel editor and the tracks ---------------------------------------------------

void TMainForm::Mean1Change()
{
    if (Mean1 && !Mean1->isHidden())
        SetFixtureChannel(SelectedChannel, Mean1->value());
}

void TMainForm::TrackPaint(int channel)
{
    if (channel < 0 || channel >= static_cast<int>(Tracks.size()))
        return;
    const FixtureRecord *f = FixturePtr(SelectedFixture);
    if (f && channel < f->channelCount)
        Tracks[static_cast<std::size_t>(channel)]->SetPosition(f->values[channel]);
}

void TMainForm::LabelTracks(int fixture)
{
    const FixtureRecord *f = FixturePtr(fixture);
    const int count = f ? f->channelCount : 0;
    for (int j = 0; j < TrackCount; ++j) {
        const bool shown = j < count;
        Tracks[static_cast<std::size_t>(j)]->setVisible(shown);
        TrackLabels[static_cast<std::size_t>(j)]->setVisible(shown);
    }
    FitSliderPanel();
    if (!f || f->deviceType == labelledType_)
        return;
    labelledType_ = f->deviceType;
    for (int j = 0; j < count; ++j) {
        const int fn = FunctionOf(*f, j);
        const char *name = fn >= 1 && fn <= 8 ? FunctionLabels[fn] : "";
        char text[16];
        std::snprintf(text, sizeof text, "%-8s", name);
        TrackLabels[static_cast<std::size_t>(j)]->setText(QString::fromLatin1(text));
        TrackLabels[static_cast<std::size_t>(j)]->setToolTip(QString::fromLatin1(name));
    }
}

void TMainForm::Splitter1Moved()
{
    KeepSplitWidths();
    if (TrackArea && TrackArea->layout())
        TrackArea->layout()->activate();
    FitSliderPanel();
}

// The width the selected fixture's tracks take side by side, and what the fixture list
// beside them needs.
int TMainForm::TracksWidth() const
{
    if (!TrackArea || !TrackArea->layout())
        return 0;
    TrackArea->layout()->activate();
    const auto *scroll = qobject_cast<const QScrollArea *>(TrackArea->parentWidget()->parentWidget());
    return TrackArea->layout()->sizeHint().width() + (scroll ? 2 * scroll->frameWidth() : 0) +
           2 * ui->SliderPanel->frameWidth();
}

int TMainForm::FixtureListWidth() const
{
    if (!DrawDevGrid)
        return 0;
    int names = 0;
    for (int r = 0; r < DrawDevGrid->rowCount(); ++r)
        if (const QTableWidgetItem *it = DrawDevGrid->item(r, 1))
            names = std::max(names, DrawDevGrid->fontMetrics().horizontalAdvance(it->text()));
    const int list = DrawDevGrid->columnWidth(0) + names + 16 + 2 * DrawDevGrid->frameWidth() +
                     DrawDevGrid->verticalScrollBar()->sizeHint().width();
    const QMargins m = ui->LeftLayout->contentsMargins();
    return std::max(ui->Panel2->minimumSizeHint().width(), list + m.left() + m.right() + 2 * ui->Panel2->frameWidth());
}

// ---- painting ------------------------------------------------------------------------------

void TMainForm::PaintDev(int fixture)
{
    if (PaintPanelLeft)
        PaintPanelLeft->update();
    if (DrawDevGrid && FixtureIndexValid(fixture) && fixture < DrawDevGrid->rowCount())
        for (int c = 0; c < 2; ++c)
            if (QTableWidgetItem *it = DrawDevGrid->item(fixture, c))
                it->setBackground(fixture == SelectedFixture ? QBrush(toQColor(clAqua)) : QBrush());
    PaintPlanLabel(fixture);
}

void TMainForm::PaintEd(int fixture, int channel)
{
    const FixtureRecord *f = FixturePtr(fixture);
    if (!f || !PaintPanelLeft)
        return;
    const int c = f->start + channel;
    PaintPanelLeft->update((c % 16) * MonitorCellWidth, (c / 16) * MonitorCellHeight, MonitorCellWidth,
                           MonitorCellHeight);
    if (fixture == SelectedFixture)
        TrackPaint(channel);
}

void TMainForm::PaintPanelLeftPaint(QPainter &p)
{
    const int W = MonitorCellWidth, H = MonitorCellHeight, HH = MonitorHeaderHeight;
    p.fillRect(0, 0, 16 * W, 64 * H, toQColor(clBtnFace));
    QFont small = p.font();
    small.setPixelSize(9);
    p.setFont(small);
    for (int c = 0; c < MaxChannels; ++c) {
        const QRect cell((c % 16) * W, (c / 16) * H, W, H);
        const ChannelOwnerEntry owner = ChannelOwner[c];
        const FixtureRecord *f = ChannelUsed[c] ? FixturePtr(owner.fixture) : nullptr;
        if (!f || owner.channel < 0 || owner.channel >= f->channelCount) {
            p.setPen(toQColor(clGray));
            p.drawText(cell.adjusted(0, HH, 0, 0), Qt::AlignCenter, QString::number(c + 1));
            continue;
        }
        const int j = owner.channel;
        p.setPen(toQColor(clGray));
        p.drawText(QRect(cell.x(), cell.y(), W, HH), Qt::AlignCenter, QString::number(c + 1));
        if (!f->used[j])
            continue;
        const QRect box(cell.x() + 2, cell.y() + HH + 1, W - 4, H - HH - 3);
        p.fillRect(box, Qt::white);
        p.setPen(QPen(toQColor(StateColour(f->states[j])), 2));
        p.drawRect(box.adjusted(1, 1, -1, -1));
        char text[8];
        std::snprintf(text, sizeof text, "%3d", f->values[j]);
        p.setPen(Qt::black);
        p.drawText(box, Qt::AlignCenter, QString::fromLatin1(text));
    }
    // Header bars over the first cell row of each fixture.
    for (int i = 0; i < FixtureCount; ++i) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        if (f.start < 0 || f.start >= MaxChannels)
            continue;
        const int first = f.start % 16;
        const int last = std::min(16, first + std::max<int>(f.channelCount, 1));
        // A title longer than the bar runs on over the free cells after it, up to the next
        // fixture's bar on the row.
        int free = 16;
        for (int k = 0; k < FixtureCount; ++k) {
            const FixtureRecord &g = Fixtures[static_cast<std::size_t>(k)];
            if (k != i && g.start / 16 == f.start / 16 && g.start % 16 >= last)
                free = std::min(free, g.start % 16);
        }
        QFont font = small;
        const bool selected = i == SelectedFixture;
        font.setBold(selected);
        p.setFont(font);
        const QString title = platform::FromBytes(FixtureHeaderText(i));
        const int width = std::clamp(p.fontMetrics().horizontalAdvance(title) + 4, (last - first) * W, (free - first) * W);
        const QRect bar(first * W, (f.start / 16) * H, width, HH);
        p.fillRect(bar, toQColor(FixtureColour(i)));
        p.setPen(selected ? Qt::black : Qt::white);
        p.drawText(bar.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, title);
        p.setFont(small);
    }
}

void TMainForm::PaintPanelLeftMouseDown(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    const int col = x / MonitorCellWidth, row = y / MonitorCellHeight;
    if (x < 0 || y < 0 || col >= 16 || row >= 64)
        return;
    const int c = row * 16 + col;
    // Every press closes an open editor; only one on a used cell's value opens one again.
    Mean1->hide();
    if (!ChannelUsed[c] || !FixtureIndexValid(ChannelOwner[c].fixture))
        return;
    const int fixture = ChannelOwner[c].fixture;
    const int j = ChannelOwner[c].channel;
    if (button == Qt::RightButton) {
        Select(fixture);
        return;   // the context menu follows
    }
    const int kind = KindOf(mods);
    // Ctrl+click on a fixture whose channels are linked unlinks them, whatever the mode.
    if (kind == 1 && LinkMode == LinkUserRed && FirstState(Fixtures[static_cast<std::size_t>(fixture)]) != 2) {
        Select(fixture);
        ShowUserRedMaster(fixture, PaintPanelLeft->mapTo(ui->Panel2, QPoint(x, y)));
        return;
    }
    DevT1Click(fixture, kind);
    const FixtureRecord &f = Fixtures[static_cast<std::size_t>(fixture)];
    const bool valueHalf = MonitorValueHalf(c).contains(x, y);
    if (kind != 0 || !valueHalf || j < 0 || j >= f.channelCount || !f.used[j])
        return;
    if (PlayerRuns() && f.states[j] == 0)
        return;
    SelectedChannel = j;
    {
        const QSignalBlocker block(Mean1);
        Mean1->setValue(f.values[j]);
    }
    Mean1->setGeometry(MonitorValueHalf(c));
    Mean1->show();
    Mean1->raise();
    Mean1->setFocus();
}

// ---- the Sliders page list -----------------------------------------------------------------

void TMainForm::DrawDev()
{
    if (!DrawDevGrid)
        return;
    const int rows = std::max(0, FixtureCount);
    DrawDevGrid->setRowCount(rows);
    for (int i = 0; i < rows; ++i) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        auto *num = new QTableWidgetItem(QString::number(f.start + 1));
        auto *name = new QTableWidgetItem(platform::FromBytes(FixtureName(f)));
        const bool enabled = !SoloOn || i == SelectedFixture;
        for (QTableWidgetItem *it : {static_cast<QTableWidgetItem *>(num), static_cast<QTableWidgetItem *>(name)}) {
            if (!enabled)
                it->setForeground(toQColor(clGray));
            if (i == SelectedFixture)
                it->setBackground(toQColor(clAqua));
        }
        DrawDevGrid->setItem(i, 0, num);
        DrawDevGrid->setItem(i, 1, name);
        DrawDevGrid->setRowHeight(i, 18);
    }
}

void TMainForm::DrawDevSelectCell(int row, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    if (!FixtureIndexValid(row) || (SoloOn && row != SelectedFixture))
        return;
    if (button == Qt::LeftButton && (mods & Qt::ControlModifier)) {
        Select(row);
        ShowUserRedMaster(row, DrawDevGrid->mapTo(ui->Panel2, QPoint(8, 8)));
        return;
    }
    DevT1Click(row, 0);
    LabelTracks(row);
    DrawDev();
    if (button == Qt::RightButton)
        DeviceMenu->popup(QCursor::pos());
}

// ---- states and link modes -----------------------------------------------------------------

void TMainForm::UpdateFixtureMenus()
{
    RefreshMasterLinkActive();
    ui->MasterOff->setVisible(MasterLinkActive != 0);
    ui->ManualOff->setVisible(AnyChannelInState(1));
    QAction *modes[] = {ui->FullMaster1, ui->ColorOnly1, ui->ExPanTilt1, ui->PanTiltOnly1, ui->UserRedMaster1};
    if (LinkMode >= 0 && LinkMode <= 4)
        modes[LinkMode]->setChecked(true);
    ui->Solo->setChecked(SoloOn != 0);
    ui->TrackEdit->setEnabled(ToolWindows().Has("TrackEdit") && FixtureIndexValid(SelectedFixture) &&
                         RolesOf(Fixtures[static_cast<std::size_t>(SelectedFixture)]).HasPanTilt() &&
                         CurrentSequenceRecord() != nullptr);
    ui->DMXChannels->setEnabled(static_cast<bool>(ShowFileEvents().showPatchWindow));
    SpeedButton10->setEnabled(ui->DMXChannels->isEnabled());
}

void TMainForm::MasterOffClick()
{
    AllStatesOff(2);
    if (Mean1)
        Mean1->setEnabled(true);
    UpdateFixtureMenus();
    PaintPanelLeft->update();
    DrawDev();
    Reselect(SelectedFixture);
    CallSeam(WindowSeams().trackEditRefresh);
    CallSeam(WindowSeams().graphEditRefresh);
    CallSeam(WindowSeams().phisMastActivate);
}

void TMainForm::ManualOffClick()
{
    AllStatesOff(1);
    UpdateFixtureMenus();
    PaintPanelLeft->update();
}

void TMainForm::FullMaster1Click() { MasterClick(LinkFull); }
void TMainForm::ColorOnly1Click() { MasterClick(LinkColorOnly); }
void TMainForm::ExPanTilt1Click() { MasterClick(LinkExPanTilt); }
void TMainForm::PanTiltOnly1Click() { MasterClick(LinkPanTiltOnly); }
void TMainForm::UserRedMaster1Click() { MasterClick(LinkUserRed); }
void TMainForm::MasterGroupOff1Click() { MasterClick(5); }

void TMainForm::MasterClick(int mode)
{
    if (mode == 5) {
        MasterGroupOff(SelectedFixture);
        UpdateFixtureMenus();
        PaintPanelLeft->update();
        SetFixtureTitle();
        CallSeam(WindowSeams().phisMastActivate);
        return;
    }
    if (mode < 0 || mode > 4)
        return;
    LinkMode = mode;
    UpdateFixtureMenus();
}

// ---- User Red Master -----------------------------------------------------------------------

void TMainForm::ShowUserRedMaster(int fixture, const QPoint &at)
{
    if (!FixtureIndexValid(fixture))
        return;
    userRedFixture_ = fixture;
    LoadUserMasterStates(fixture);
    DrawGridMaster();
    const QWidget *host = ui->Panel2;
    const int x = std::clamp(at.x(), 0, std::max(0, host->width() - UserRedMaster->width()));
    const int y = std::clamp(at.y(), 0, std::max(0, host->height() - UserRedMaster->height()));
    UserRedMaster->move(x, y);
    UserRedMaster->show();
    UserRedMaster->raise();
    RedMasterApply->setFocus();
}

void TMainForm::DrawGridMaster()
{
    const FixtureRecord *f = FixturePtr(userRedFixture_);
    const int n = f ? f->channelCount : 0;
    DrawGridMasterGrid->setColumnCount(n);
    for (int j = 0; j < n; ++j) {
        auto *it = new QTableWidgetItem(QString::number(j + 1));
        it->setTextAlignment(Qt::AlignCenter);
        it->setBackground(toQColor(StateColour(UserMasterStates[j])));
        it->setForeground(Qt::white);
        DrawGridMasterGrid->setItem(0, j, it);
        DrawGridMasterGrid->setColumnWidth(j, 22);
    }
}

void TMainForm::DrawGridMasterSelectCell(int column)
{
    ToggleUserMasterState(column);
    DrawGridMaster();
}

void TMainForm::RedMasterApplyClick()
{
    ApplyUserMasterStates(userRedFixture_);
    UserRedMaster->hide();
    Reselect(userRedFixture_);
    UpdateFixtureMenus();
    PaintPanelLeft->update();
}

void TMainForm::RedMasterApplyKeyDown(int key)
{
    if (key == Qt::Key_Escape)
        UserRedMaster->hide();
}

// ---- solo and removal ----------------------------------------------------------------------

void TMainForm::SoloIconsVisible(bool visible)
{
    for (int i = 0; i < FixtureCount; ++i) {
        FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        const bool shown = visible || i == SelectedFixture;
        if (f.planIcon)
            f.planIcon->setVisible(shown);
        if (f.planLabel)
            f.planLabel->setVisible(shown);
    }
    // With plan pages only the page shown keeps its icons.
    if (visible && MultiPagePlan && MultiPagePlan->isChecked())
        ShowPlanPage(PlanPageShown());
}

void TMainForm::SoloClick()
{
    const int selected = SelectedFixture;
    Select(selected);
    if (!FixtureIndexValid(selected)) {
        ui->Solo->setChecked(SoloOn != 0);
        return;
    }
    const bool playing = PlayerRuns();
    const bool timerRan = TimerFonPlay && TimerFonPlay->isActive();
    if (playing && timerRan)
        TimerFonPlay->stop();
    if (!SoloOn) {
        SoloSwitchOn(selected);
        SoloIconsVisible(false);
    } else {
        SoloSwitchOff();
        SoloIconsVisible(true);
    }
    if (playing && timerRan)
        TimerFonPlay->start();
    ui->Solo->setChecked(SoloOn != 0);
    PaintPanelLeft->update();
    DrawDev();
    if (!playing)
        SetDevices();
}

void TMainForm::UnlockIconsClick()
{
    // The action toggles its own check; the plan reads it before a drag.
}

void TMainForm::DeviceOffClick()
{
    if (AccessLevel != 0 || !FixtureIndexValid(SelectedFixture))
        return;
    Mean1->hide();
    UserRedMaster->hide();
    if (!RemoveFixture(SelectedFixture))
        return;
    SelectFirstFixture();
    UpdateFixtureMenus();
}

// ---- clipboards ----------------------------------------------------------------------------

namespace {
// The range the device-sequence dialog chooses; without the dialog the whole sequence.
bool ChooseRange(int mode, const QPoint &at, SceneRange &range)
{
    const SequenceRecord *seq = CurrentSequenceRecord();
    if (!seq)
        return false;
    range = SceneRange{0, seq->sceneCount - 1};
    if (auto &choose = WindowSeams().seqStCopChoose)
        return choose(mode, at.x(), at.y(), range.first, range.last);
    return true;
}
} // namespace

void TMainForm::CopyStScClick()
{
    CopyFixtureScene(SelectedFixture);
}

void TMainForm::PasteStScClick()
{
    if (PasteFixtureScene(SelectedFixture))
        SetDevices();
}

void TMainForm::CopyStSeqClick()
{
    SceneRange range;
    if (!FixtureClipboardAllowed() || !FixtureIndexValid(SelectedFixture) ||
        !ChooseRange(0, PaintPanelLeft->mapToGlobal(QPoint(0, 0)), range))
        return;
    CopyFixtureSequence(SelectedFixture, range);
}

void TMainForm::PasteStSeqClick()
{
    SceneRange range;
    if (!FixtureClipboardAllowed() || !FixtureIndexValid(SelectedFixture) ||
        !ChooseRange(1, PaintPanelLeft->mapToGlobal(QPoint(0, 0)), range))
        return;
    if (PasteFixtureSequence(SelectedFixture, range))
        SetDevices();
}

// ---- joystick ------------------------------------------------------------------------------

void TMainForm::JoystickClick()
{
    const FixtureRecord *f = FixturePtr(SelectedFixture);
    if (ui->Joystick->isChecked() && f && RolesOf(*f).HasPanTilt())
        JoyTimer->start(100);
    else
        JoyTimer->stop();
}

void TMainForm::JoyTimerTimer()
{
    FixtureRecord *f = FixturePtr(SelectedFixture);
    if (!f || !f->panel)
        return;
    platform::JoystickPosition pos;
    if (!platform::ReadJoystickPosition(JoystickId, pos))
        return;
    int x = 0, y = 0;
    const bool moved =
        JoystickAxisValue(pos.x, platform::JoystickPosition::AxisMin, platform::JoystickPosition::AxisMax, x) &&
        JoystickAxisValue(pos.y, platform::JoystickPosition::AxisMin, platform::JoystickPosition::AxisMax, y);
    if (moved)
        f->panel->SetBall(x, y);
    if (pos.buttons & 2u) {
        JoyTimer->setInterval(250);
        if (CurrentSequenceRecord() && CurrentSceneRecord())
            NextClick();
        return;
    }
    JoyTimer->setInterval(100);
    if (!(pos.buttons & 1u) || !moved)
        return;
    const ChannelRoles roles = RolesOf(*f);
    if (roles.pan >= 0)
        SetFixtureChannel(roles.pan, x);
    if (roles.tilt >= 0)
        SetFixtureChannel(roles.tilt, y);
}

// ---- other commands ------------------------------------------------------------------------

void TMainForm::ButtonNonSmoothClick()
{
    if (SequenceRecord *seq = CurrentSequenceRecord())
        seq->jumpTiming = ui->ButtonNonSmooth->Down() ? 1 : 0;
}

void TMainForm::OnTrackEditClick()
{
    if (AccessLevel > 1 || !FixtureIndexValid(SelectedFixture) || !CurrentSequenceRecord() ||
        MultiSeqRunning.load())
        return;
    FixturesToScene();
    EndSolo();
    const int selected = SelectedFixture;
    Select(selected);
    if (!RolesOf(Fixtures[static_cast<std::size_t>(selected)]).HasPanTilt() || !ToolWindows().Has("TrackEdit"))
        return;
    ShowToolWindow("TrackEdit", true);
    if (Playing.load())
        return;
    if (const SceneRecord *scene = CurrentSceneRecord())
        for (int i = 0; i < FixtureCount; ++i) {
            FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
            for (int j = 0; j < f.channelCount && j < MaxFixtureChannels && f.start + j < MaxChannels; ++j)
                f.values[j] = scene->levels[f.start + j];
        }
    ShowModified = 1;
}

void TMainForm::SpeedButton10Click()
{
    if (!ShowFileEvents().showPatchWindow || AccessLevel >= 1)
        return;
    EndSolo();
    if (Playing.load() || PlayInBackground.load())
        StopClick();
    CallSeam(WindowSeams().closeSequenceEditors);
    ShowFileEvents().showPatchWindow();
    SelectFirstFixture();
}

void TMainForm::DeviceMenuPopup()
{
    Reselect(SelectedFixture);
    UpdateFixtureMenus();
    MenuPosMemUpdate();
    DeviceMenu->clear();
    for (QAction *a : ui->FixturesMenu->actions()) {
        if (QMenu *sub = a->menu()) {
            QMenu *copy = DeviceMenu->addMenu(sub->title());
            for (QAction *s : sub->actions())
                if (!s->menu())
                    copy->addAction(s);
        } else {
            DeviceMenu->addAction(a);
        }
    }
}

void TMainForm::OnTopClick()
{
    SetTransportOnBottom(false);
}

void TMainForm::OnBottomClick()
{
    SetTransportOnBottom(true);
}

// ---- position memory -----------------------------------------------------------------------

void TMainForm::CreatePosMemClick()
{
    if (AccessLevel > 1 || !CreatePositionMemory())
        return;
    CallSeam(WindowSeams().posMemShow);
    SliderSceneChange();
    Reselect(SelectedFixture);
    MenuPosMemUpdate();
}

void TMainForm::EditPosMemClick()
{
    if (!PositionMemoryPresent)
        return;
    CallSeam(WindowSeams().posMemShow);
    SliderSceneChange();
    Reselect(SelectedFixture);
    MenuPosMemUpdate();
}

void TMainForm::RemPosMemClick()
{
    if (AccessLevel > 1 || !PositionMemoryPresent)
        return;
    RemovePositionMemory();
    ShowPositionLabel();
    MenuPosMemUpdate();
}

void TMainForm::AssPosRefClick()
{
    if (!PositionMemoryPresent || !WindowSeams().pmSceneChoose)
        return;
    const int chosen = WindowSeams().pmSceneChoose(lastPositionScene);
    if (chosen > 0 && SetPositionReference(chosen))
        lastPositionScene = chosen;
    ShowPositionLabel();
    MenuPosMemUpdate();
}

void TMainForm::ChangePosRefClick()
{
    const SceneRecord *scene = CurrentSceneRecord();
    if (!PositionMemoryPresent || !scene || !WindowSeams().pmSceneChoose)
        return;
    const int chosen = WindowSeams().pmSceneChoose(scene->positionRef ? scene->positionRef : lastPositionScene);
    if (chosen > 0 && SetPositionReference(chosen))
        lastPositionScene = chosen;
    ShowPositionLabel();
    MenuPosMemUpdate();
}

void TMainForm::RemPosRefClick()
{
    SetPositionReference(0);
    ShowPositionLabel();
    MenuPosMemUpdate();
}

void TMainForm::ShowPositionLabel()
{
    const SceneRecord *scene = CurrentSceneRecord();
    ui->PMLabel->setText(PositionMemoryPresent && scene && scene->positionRef != 0
                             ? QStringLiteral("PM %1").arg(scene->positionRef)
                             : QString());
}

void TMainForm::MenuPosMemUpdate()
{
    const SceneRecord *scene = CurrentSceneRecord();
    const bool present = PositionMemoryPresent != 0;
    const bool editor = static_cast<bool>(WindowSeams().posMemShow);
    const bool chooser = static_cast<bool>(WindowSeams().pmSceneChoose);
    const bool referenced = scene && scene->positionRef != 0;
    ui->CreatePosMem->setEnabled(!present && editor);
    ui->EditPosMem->setEnabled(present && editor);
    ui->RemPosMem->setEnabled(present);
    ui->AssPosRef->setEnabled(present && chooser && scene && !referenced);
    ui->ChangePosRef->setEnabled(present && chooser && referenced);
    ui->RemPosRef->setEnabled(present && referenced);
}

void TMainForm::WhatCanScenePopup()
{
    MenuPosMemUpdate();
}
