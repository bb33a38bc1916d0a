#include "TPhisMast.h"
#include "ui_PhisMast.h"

#include "MainForm.h"
#include "OwnedHooks.h"
#include "PhysicalMasters.h"

#include "LevelPipeline.h"
#include "OutputEngine.h"
#include "PlayControl.h"
#include "ShowFile.h"
#include "ShowModel.h"
#include "WindowSeams.h"

#include "controls/Buttons.h"
#include "controls/RegForm.h"
#include "controls/TColor.h"
#include "controls/Tracker.h"

#include "platform/MsgBox.h"
#include "platform/ScreenArea.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

TPhisMast *PhisMast = nullptr;

namespace {

// Column geometry of the faders and the grid's cells.
constexpr int ColumnWidth = 42;
constexpr int ColumnLeft = 8;
constexpr int MainGap = 10;
constexpr int FaderTop = 40;
constexpr int FaderWidth = 39;
constexpr int FaderHeight = 192;
constexpr int CellWidth = 22;
constexpr int CellHeight = 12;
constexpr int TableTop = 318;
// The room the opened table leaves between the window's frame and the screen's edges.
constexpr int ScreenMargin = 8;
constexpr int TableHeight = MasterGridSide * CellHeight + 1;
constexpr int ClosedHeight = 318;

int ColumnX(int m)
{
    return ColumnLeft + m * ColumnWidth + (m == MainMaster ? MainGap : 0);
}

QString MasterCaption(int m)
{
    return m == MainMaster ? QStringLiteral("MASTER") : QString::number(m + 1);
}

// The assignment grid: paints the cells and hands mouse actions to the window.
class MasterGridView : public QWidget {
public:
    MasterGridView(TPhisMast *owner, QWidget *parent) : QWidget(parent), owner_(owner)
    {
        setObjectName(QStringLiteral("Grid"));
        setMouseTracking(true);
        setFixedSize(MasterGridSide * CellWidth + 1, TableHeight);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), toQColor(clBtnFace));
        QFont small = font();
        small.setPixelSize(9);
        p.setFont(small);
        for (int c = 0; c < MaxChannels; ++c) {
            const QRect cell((c % MasterGridSide) * CellWidth, (c / MasterGridSide) * CellHeight, CellWidth,
                             CellHeight);
            const MasterCellLook look = MasterCellLookOf(c);
            if (look.filled)
                p.fillRect(cell, toQColor(look.colour));
            if (look.number > 0) {
                p.setPen(look.colour == 0x00FFFF || look.colour == 0xFF00FF ? Qt::black : Qt::white);
                p.drawText(cell, Qt::AlignCenter, QString::number(look.number));
            }
            if (look.firstChannel) {
                p.setPen(Qt::white);
                p.drawRect(cell.adjusted(1, 1, -2, -2));
            }
        }
        p.setPen(toQColor(clGray));
        for (int k = 0; k <= MasterGridSide; ++k) {
            p.drawLine(k * CellWidth, 0, k * CellWidth, TableHeight - 1);
            p.drawLine(0, k * CellHeight, MasterGridSide * CellWidth, k * CellHeight);
        }
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        const QPoint pos = e->position().toPoint();
        owner_->GridMouseDown(pos.x(), pos.y(), e->button());
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        const QPoint pos = e->position().toPoint();
        owner_->GridMouseMove(pos.x(), pos.y());
    }

private:
    TPhisMast *owner_;
};

} // namespace

TPhisMast::TPhisMast(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TPhisMast)
{
    ui->setupUi(this);
    setFixedSize(ColumnX(MainMaster) + ColumnWidth + ColumnLeft, ClosedHeight);
    ui->FaderPanel->setFixedWidth(width());
    BuildMasterColumns();

    Ignore = new TCBT(this);
    Ignore->setObjectName(QStringLiteral("Ignore"));
    Ignore->SetCaption("Ignore");
    Ignore->setToolTip(QStringLiteral("Ignore Black Out and Favorite"));
    Ignore->setGeometry(ColumnLeft, 288, 70, 24);
    connect(Ignore, &TCBT::OnClick, this, [this] { IgnoreClick(); });

    // The grid scrolls when the screen has no room for all its rows.
    GridScroll = new QScrollArea(this);
    GridScroll->setObjectName(QStringLiteral("GridScroll"));
    GridScroll->setFrameShape(QFrame::NoFrame);
    GridScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid = new MasterGridView(this, GridScroll);
    GridScroll->setWidget(Grid);
    GridScroll->move(ColumnLeft, TableTop);
    GridScroll->hide();

    Popup = new QMenu(this);
    Popup->setObjectName(QStringLiteral("Popup"));
    const std::pair<const char *, const char *> items[] = {{"AsDimmer", "As Dimmer"},
                                                           {"AsPhysicalMaster", "As Physical Master"},
                                                           {"SearchFreeDimmer", "Search Free Dimmer channels"}};
    for (const auto &[name, caption] : items) {
        QAction *a = Popup->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
    }
    connect(Popup->actions()[0], &QAction::triggered, this, [this] { AsDimmerClick(); });
    connect(Popup->actions()[1], &QAction::triggered, this, [this] { AsPhysicalMasterClick(); });
    connect(Popup->actions()[2], &QAction::triggered, this, [this] { SearchFreeDimmerClick(); });
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { ShowPopup(SelectedMaster, Grid->mapToGlobal(pos)); });

    TimerMast = new QTimer(this);
    TimerMast->setObjectName(QStringLiteral("TimerMast"));
    TimerMast->setInterval(100);
    connect(TimerMast, &QTimer::timeout, this, [this] { TimerMastTimer(); });

    connect(ui->ViewTable, &QPushButton::clicked, this, [this] { ViewTableClick(); });
    connect(ui->ClearAll, &QPushButton::clicked, this, [this] { ClearAllClick(); });

    messageWindow_ = platform::AllocateMessageWindow(
        [this](std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) { return AppMessage(msg, wParam, lParam); });
    MasterWindow = messageWindow_;

    RegForm1 = new TRegForm(this);
    RegForm1->Loaded();
    // The window keeps its size; only the place is taken from the record.
    setFixedSize(ColumnX(MainMaster) + ColumnWidth + ColumnLeft, ClosedHeight);

    SelectMaster(SelectedMaster);
    ShowFollowBoxes();
    ShowFaders();
    InstallHooks();
}

TPhisMast::~TPhisMast()
{
    ReleaseOwnedHooks(this);
    // The engine stops posting before the window goes.
    if (MasterWindow == messageWindow_)
        MasterWindow = 0;
    platform::ReleaseMessageWindow(messageWindow_);
    if (PhisMast == this)
        PhisMast = nullptr;
    delete ui;
}

void TPhisMast::BuildMasterColumns()
{
    for (int m = 0; m < Masters; ++m) {
        const int x = ColumnX(m);
        auto *name = new QLabel(MasterCaption(m), ui->FaderPanel);
        name->setObjectName(QStringLiteral("MLabel%1").arg(m + 1));
        name->setAlignment(Qt::AlignCenter);
        name->setAutoFillBackground(true);
        name->setFocusPolicy(Qt::StrongFocus);
        // The main master's label is wider, centred over its fader: it reads "MASTER".
        const int wide = std::max(FaderWidth + 8, name->fontMetrics().horizontalAdvance(name->text()) + 6);
        name->setGeometry(m == MainMaster ? x + FaderWidth / 2 - wide / 2 : x, 4, m == MainMaster ? wide : FaderWidth, 16);
        name->installEventFilter(this);
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QWidget::customContextMenuRequested, this,
                [this, m, name](const QPoint &pos) { ShowPopup(m, name->mapToGlobal(pos)); });
        Names[m] = name;

        auto *value = new QLabel(QStringLiteral("0"), ui->FaderPanel);
        value->setObjectName(QStringLiteral("VLabel%1").arg(m + 1));
        value->setAlignment(Qt::AlignCenter);
        value->setGeometry(x, 22, FaderWidth, 16);
        Values[m] = value;

        auto *fader = new TTracker(ui->FaderPanel);
        fader->setObjectName(QStringLiteral("ScrollBar%1").arg(m + 1));
        fader->SetMin(0);
        fader->SetMax(255);
        fader->setGeometry(x, FaderTop, FaderWidth, FaderHeight);
        fader->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(fader, &QWidget::customContextMenuRequested, this,
                [this, m, fader](const QPoint &pos) { ShowPopup(m, fader->mapToGlobal(pos)); });
        connect(fader, &TTracker::OnChange, this, [this, m] { ScrollBar1Change(m); });
        Faders[m] = fader;

        auto *bump = new TCBT(ui->FaderPanel);
        bump->setObjectName(QStringLiteral("Bump%1").arg(m + 1));
        bump->SetCaption("BUMP");
        QFont small = bump->font();
        small.setPixelSize(10);
        bump->setFont(small);
        bump->setGeometry(x, FaderTop + FaderHeight + 4, FaderWidth, 22);
        connect(bump, &TCBT::OnMouseDown, this, [this, m](QObject *, Qt::MouseButton b) {
            if (b == Qt::LeftButton)
                Bump1MouseDown(m);
        });
        connect(bump, &TCBT::OnMouseUp, this, [this, m](QObject *, Qt::MouseButton b) {
            if (b == Qt::LeftButton)
                Bump1MouseUp(m);
        });
        Bumps[m] = bump;

        if (m < MasterCount) {
            auto *box = new QCheckBox(ui->FaderPanel);
            box->setObjectName(QStringLiteral("CheckBox%1").arg(m + 1));
            box->setToolTip(QStringLiteral("Follow the main master"));
            box->setGeometry(x + 12, FaderTop + FaderHeight + 28, 20, 18);
            connect(box, &QCheckBox::clicked, this, [this, m] { CheckBox1Click(m); });
            Follows[m] = box;
        }
    }
}

void TPhisMast::InstallHooks()
{
    WindowSeamTable &seams = WindowSeams();
    InstallHook(this, ShowFileEvents().rebuildMasterChannelLists, [this] {
        RebuildMasterChannelLists();
        Grid->update();
    });
    InstallHook(this, seams.applyInputToMasters, [this] {
        ApplyInputToMasters();
        ShowFaders();
    });
    InstallHook(this, seams.bumpDown, [this](int m) { Bump1MouseDown(m); });
    InstallHook(this, seams.bumpUp, [this](int m) { Bump1MouseUp(m); });
    InstallHook(this, seams.phisMastActivate, [this] { FormActivate(); });
    InstallHook(this, seams.refreshPhysicalMasters, [] { return RefreshPhysicalMasters(); });
}

// ---- showing the records ----------------------------------------------------------------

void TPhisMast::ShowValue(int m)
{
    Values[m]->setText(QString::number(m == MainMaster ? PhysicalMasters[MainMaster].level : EffectiveMasterLevel(m)));
}

void TPhisMast::ShowFaders()
{
    for (int m = 0; m < Masters; ++m) {
        Faders[m]->SetColor(IsDimmerMaster(m) ? clFuchsia : clYellow);
        Faders[m]->SetPosition(PhysicalMasters[static_cast<std::size_t>(m)].level);
        ShowValue(m);
    }
}

void TPhisMast::ShowFollowBoxes()
{
    for (int m = 0; m < MasterCount; ++m)
        Follows[m]->setChecked(FollowsMainMaster(m));
}

void TPhisMast::ApplyControlStates()
{
    const MasterControlStates s = ApplyMasterControlStates();
    for (int m = 0; m < Masters; ++m) {
        const MasterControlState &st = s.masters[static_cast<std::size_t>(m)];
        Faders[m]->setEnabled(st.faderEnabled);
        Bumps[m]->setEnabled(st.faderEnabled);
        if (m < MasterCount) {
            Follows[m]->setEnabled(st.followEnabled);
            if (!st.followEnabled)
                Follows[m]->setChecked(false);
        }
    }
    Names[MainMaster]->setEnabled(s.mainLabelEnabled);
    Values[MainMaster]->setEnabled(s.mainLabelEnabled);
    if (s.timerRuns && !TimerMast->isActive())
        TimerMast->start();
    else if (!s.timerRuns)
        TimerMast->stop();
}

void TPhisMast::FormActivate()
{
    ShowFollowBoxes();
    ShowFaders();
    ApplyControlStates();
    Grid->update();
}

bool TPhisMast::RefreshPhysicalMasters()
{
    if (!PhisMast)
        return false;
    PhisMast->ShowFollowBoxes();
    PhisMast->ShowFaders();
    for (int m = 0; m < Masters; ++m)
        PhisMast->ScrollBar1Change(m);
    return true;
}

bool TPhisMast::TableShown() const
{
    return Grid->isVisibleTo(this);
}

void TPhisMast::ShowTable(bool shown)
{
    GridScroll->setVisible(shown);
    ui->ClearAll->setVisible(shown);
    ui->ViewTable->setText(shown ? QStringLiteral("Hide Table <<") : QStringLiteral("View Table >>"));
    if (!shown) {
        setFixedSize(width(), ClosedHeight);
        return;
    }
    // The window grows by the grid's rows as far as the screen's available area allows
    // (its frame and a margin included) and is kept inside that room; the rows beyond
    // scroll. It may be made lower, down to four rows, when the screen has less room than
    // thought: a window manager's frame not yet known is fitted again once it is.
    const int full = TableTop + TableHeight + 8;
    setMinimumSize(width(), TableTop + 4 * CellHeight + 8);
    setMaximumSize(width(), full);
    const int frame = frameGeometry().height() - geometry().height();
    resize(width(), std::min(full, TableRoom().height() - frame));
    if (isVisible())
        platform::KeepInside(this, TableRoom(), frameGeometry().topLeft());
    // The frame of a window just shown comes from the window manager a little later and
    // may move the window: for a few seconds the window fits itself again while the frame
    // lies outside the room.
    if (frame == 0)
        for (int ms = 50; ms <= 4000; ms += 50)
            QTimer::singleShot(ms, this, [this] { FitFrameIntoRoom(); });
}

QRect TPhisMast::TableRoom() const
{
    return platform::AvailableArea(this).adjusted(ScreenMargin, ScreenMargin, -ScreenMargin, -ScreenMargin);
}

void TPhisMast::FitFrameIntoRoom()
{
    if (isVisible() && TableShown() && frameGeometry() != geometry() && !TableRoom().contains(frameGeometry()))
        platform::KeepInside(this, TableRoom(), frameGeometry().topLeft());
}

void TPhisMast::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    const int gridHeight = std::min(height() - TableTop - 8, TableHeight);
    const int bar = gridHeight < TableHeight ? GridScroll->verticalScrollBar()->sizeHint().width() : 0;
    GridScroll->resize(Grid->width() + bar, std::max(gridHeight, 0));
}

void TPhisMast::SelectMaster(int master)
{
    if (master < 0 || master > MainMaster)
        return;
    SelectedMaster = master;
    for (int m = 0; m < Masters; ++m) {
        QPalette pal = Names[m]->palette();
        pal.setColor(QPalette::Window, toQColor(m == master ? clWhite : clBtnFace));
        Names[m]->setPalette(pal);
    }
    if (TableShown())
        Grid->update();
}

// ---- handlers ---------------------------------------------------------------------------

void TPhisMast::ScrollBar1Change(int master)
{
    if (master < 0 || master >= Masters)
        return;
    MasterFaderChange(master, Faders[master]->Position());
    if (master == MainMaster) {
        for (int m = 0; m < Masters; ++m)
            ShowValue(m);
    } else {
        ShowValue(master);
    }
}

void TPhisMast::CheckBox1Click(int master)
{
    if (master < 0 || master >= MasterCount)
        return;
    PhysicalMasterRecord &r = PhysicalMasters[static_cast<std::size_t>(master)];
    r.flags = static_cast<std::uint8_t>(Follows[master]->isChecked() ? (r.flags | MasterFollowsMain)
                                                                      : (r.flags & ~MasterFollowsMain));
}

void TPhisMast::Label1Click(int master)
{
    SelectMaster(master);
}

void TPhisMast::Bump1MouseDown(int master)
{
    if (master < 0 || master >= Masters || !Bumps[master]->isEnabled())
        return;
    Bumps[master]->SetDown(true);
    bumped_[master] = true;
    BumpMasterDown(master);
    Faders[master]->SetPosition(255);
    ScrollBar1Change(master);
}

void TPhisMast::Bump1MouseUp(int master)
{
    if (master < 0 || master >= Masters || !bumped_[master])
        return;
    bumped_[master] = false;
    Bumps[master]->SetDown(false);
    BumpMasterUp(master);
    Faders[master]->SetPosition(PhysicalMasters[static_cast<std::size_t>(master)].level);
    ScrollBar1Change(master);
}

void TPhisMast::IgnoreClick()
{
    IgnoreBlackOut = IgnoreBlackOut ? 0 : 1;
    Ignore->SetDown(IgnoreBlackOut != 0);
}

void TPhisMast::ViewTableClick()
{
    ShowTable(!TableShown());
}

void TPhisMast::ClearAllClick()
{
    if (platform::MessageBox("Brantoval-1024", "Clear all masters assignment ?", platform::Buttons::YesNo) !=
        platform::Answer::Yes)
        return;
    ClearAllMasters();
    Grid->update();
    CallSeam(WindowSeams().phisMastActivate);
}

void TPhisMast::ShowPopup(int master, const QPoint &global)
{
    PopupFor(master);
    Popup->popup(global);
}

void TPhisMast::PopupFor(int master)
{
    SelectMaster(master);
    const bool kinds = SelectedMaster < MasterCount;
    Popup->actions()[0]->setVisible(kinds && !IsDimmerMaster(SelectedMaster));
    Popup->actions()[1]->setVisible(kinds && IsDimmerMaster(SelectedMaster));
    Popup->actions()[2]->setVisible(kinds && TableShown());
}

void TPhisMast::AsDimmerClick()
{
    SetMasterKind(SelectedMaster, true);
    Faders[SelectedMaster]->SetColor(clFuchsia);
    Grid->update();
}

void TPhisMast::AsPhysicalMasterClick()
{
    SetMasterKind(SelectedMaster, false);
    Faders[SelectedMaster]->SetColor(clYellow);
    Grid->update();
}

void TPhisMast::SearchFreeDimmerClick()
{
    SearchFreeDimmerChannels(SelectedMaster);
    Grid->update();
}

void TPhisMast::TimerMastTimer()
{
    if (!MasterInputStep()) {
        TimerMast->stop();
        return;
    }
    ShowFaders();
    ApplyControlStates();
}

void TPhisMast::GridMouseDown(int x, int y, Qt::MouseButton button)
{
    if (button != Qt::LeftButton || SelectedMaster >= MasterCount || x < 0 || y < 0)
        return;
    const int column = x / CellWidth, row = y / CellHeight;
    if (column >= MasterGridSide || row >= MasterGridSide)
        return;
    const int c = column + MasterGridSide * row;
    if (!ToggleMasterChannel(SelectedMaster, c))
        return;
    Grid->update();
    int f = -1, j = -1;
    if (MasterGridChannel(c, f, j))
        CallSeam(WindowSeams().repaintFixtureChannel, f, j);
}

void TPhisMast::GridMouseMove(int x, int y)
{
    const int column = x / CellWidth, row = y / CellHeight;
    if (x < 0 || y < 0 || column >= MasterGridSide || row >= MasterGridSide)
        return;
    const int c = column + MasterGridSide * row;
    ui->CellChannel->setText(QString::fromStdString(MasterCellChannelText(c)));
    ui->CellFixture->setText(platform::FromBytes(MasterCellFixtureText(c)));
}

std::intptr_t TPhisMast::AppMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    // A notice that arrives while one is handled is dropped.
    if (msg != MasterInputMessage || handlingMessage_)
        return 0;
    handlingMessage_ = true;
    if (HandleMasterInput(wParam, lParam))
        ShowFaders();
    handlingMessage_ = false;
    return 0;
}

// ---- window events ----------------------------------------------------------------------

void TPhisMast::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormActivate();
}

void TPhisMast::closeEvent(QCloseEvent *e)
{
    bool canClose = true;
    RegForm1->CloseQuery(this, canClose);
    TimerMast->stop();
    ShowTable(false);
    if (MainForm)
        MainForm->SetToolState("PhisicalMaster", "PhisMastButton", false);
    e->accept();
}

void TPhisMast::paintEvent(QPaintEvent *e)
{
    QWidget::paintEvent(e);
    // The states change widgets, which must not happen while painting: queue them.
    if (statesQueued_)
        return;
    statesQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        statesQueued_ = false;
        ApplyControlStates();
    });
}

bool TPhisMast::eventFilter(QObject *watched, QEvent *e)
{
    for (int m = 0; m < Masters; ++m) {
        if (watched != Names[m])
            continue;
        if (e->type() == QEvent::FocusIn ||
            (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton))
            Label1Click(m);
        break;
    }
    return QWidget::eventFilter(watched, e);
}
