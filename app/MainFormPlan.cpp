// The "Plan" page of the fixture area: the stage picture with one icon and one name label
// per fixture. Icons are dragged into place, turned and mirrored by double clicks, fixtures
// are taken by a Ctrl or Shift rectangle, and the fixtures can be spread over up to 16
// pages chosen in the page column at the left.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "FixtureArea.h"
#include "PatchLoader.h"
#include "PlayState.h"
#include "RecentFiles.h"
#include "ShowFile.h"
#include "ShowModel.h"
#include "StagePlan.h"
#include "StartupState.h"
#include "WindowSeams.h"

#include "controls/SpeedButton.h"
#include "controls/TColor.h"
#include "fixtures/TDesign.h"
#include "fixtures/TPanelWidgets.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <QAction>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int PageColumnWidth = 16;
constexpr int LabelMaxWidth = 80;

int KindOfPlanClick(Qt::KeyboardModifiers mods)
{
    if (mods & Qt::ControlModifier)
        return 1;
    if (mods & Qt::ShiftModifier)
        return 2;
    return 0;
}

int TagOf(QObject *o)
{
    if (auto *props = dynamic_cast<TControlProps *>(o))
        return props->Tag();
    return -1;
}

// Hands the picture's paint and mouse events to the main window.
class WallImageFilter : public QObject {
public:
    explicit WallImageFilter(TMainForm *form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Paint: {
            QPainter p(static_cast<QWidget *>(watched));
            form_->WallImagePaint(p);
            return true;
        }
        case QEvent::MouseButtonPress: {
            auto *e = static_cast<QMouseEvent *>(event);
            form_->WallImageMouseDown(e->position().toPoint(), e->button(), e->modifiers());
            return true;
        }
        case QEvent::MouseMove: {
            auto *e = static_cast<QMouseEvent *>(event);
            form_->WallImageMouseMove(e->position().toPoint(), e->buttons());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto *e = static_cast<QMouseEvent *>(event);
            form_->WallImageMouseUp(e->position().toPoint(), e->button());
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    TMainForm *form_;
};

// The mouse on a fixture's icon or label; the fixture is the widget's Tag.
class PlanWidgetFilter : public QObject {
public:
    explicit PlanWidgetFilter(TMainForm *form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool isLabel = dynamic_cast<TLabel *>(watched) != nullptr;
        const int fixture = TagOf(watched);
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *e = static_cast<QMouseEvent *>(event);
            if (isLabel)
                form_->LabsMouseDown(fixture, e->button(), e->modifiers());
            else
                form_->Image8MouseDown(fixture, e->position().toPoint(), e->button(), e->modifiers());
            if (e->button() == Qt::RightButton && form_->DeviceMenu)
                form_->DeviceMenu->popup(e->globalPosition().toPoint());
            return true;
        }
        case QEvent::MouseMove:
            if (!isLabel)
                form_->Image8MouseMove(fixture, static_cast<QMouseEvent *>(event)->position().toPoint());
            return true;
        case QEvent::MouseButtonRelease:
            if (!isLabel)
                form_->Image8MouseUp(fixture, static_cast<QMouseEvent *>(event)->button());
            return true;
        case QEvent::MouseButtonDblClick:
            if (!isLabel && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                form_->Image8MouseDblClick(fixture);
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    TMainForm *form_;
};

// Resizes of the page remember the plan's size.
class PlanResizeFilter : public QObject {
public:
    explicit PlanResizeFilter(TMainForm *form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            form_->PlanResize();
        return QObject::eventFilter(watched, event);
    }

private:
    TMainForm *form_;
};

FixtureRecord *PlanFixture(int fixture)
{
    return FixtureIndexValid(fixture) ? &Fixtures[static_cast<std::size_t>(fixture)] : nullptr;
}

// Sizes a plan label to its text in its font (word-wrapped beyond a width) and centres
// it under its icon.
void FitPlanLabel(const FixtureRecord &f)
{
    auto *label = dynamic_cast<TLabel *>(f.planLabel);
    if (!label)
        return;
    const QFontMetrics fm(toQFont(label->Font()));
    const QString text = platform::FromBytes(f.userHeader);
    const int width = std::clamp(fm.horizontalAdvance(text) + 6, 8, LabelMaxWidth);
    const int height = fm.boundingRect(QRect(0, 0, width, 1000), Qt::AlignHCenter | Qt::TextWordWrap, text).height() + 2;
    label->resize(width, std::max(height, fm.height() + 2));
    const QPoint icon = f.planIcon ? f.planIcon->pos() : QPoint(f.planX, f.planY);
    const PlanPoint at = PlanLabelPosition(icon.x(), icon.y(), label->width());
    label->move(at.x, at.y);
}

QFrame *SelectionFrame(QWidget *parent, const char *name)
{
    auto *f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setStyleSheet(QStringLiteral("QFrame { border: 2px dotted yellow; background: transparent; }"));
    f->setAttribute(Qt::WA_TransparentForMouseEvents);
    f->hide();
    return f;
}

} // namespace

// ---- creation ----------------------------------------------------------------------------

void TMainForm::PlanCreate()
{
    if (planCreated_)
        return;
    planCreated_ = true;
    QWidget *wall = ui->WallImage;
    wall->setAttribute(Qt::WA_OpaquePaintEvent);
    wall->setMouseTracking(false);
    wall->installEventFilter(new WallImageFilter(this));
    ui->Plan->installEventFilter(new PlanResizeFilter(this));

    // The page column left of the picture, hidden while the plan has one page.
    MultiPlans = new QTableWidget(0, 1, ui->Plan);
    MultiPlans->setObjectName(QStringLiteral("MultiPlans"));
    MultiPlans->horizontalHeader()->hide();
    MultiPlans->verticalHeader()->hide();
    MultiPlans->setColumnWidth(0, PageColumnWidth);
    MultiPlans->setFixedWidth(PageColumnWidth);
    MultiPlans->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MultiPlans->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MultiPlans->setFrameShape(QFrame::NoFrame);
    MultiPlans->setShowGrid(true);
    MultiPlans->setStyleSheet(QStringLiteral("QTableWidget { font-size: 10px; } QTableWidget::item { padding: 0px; }"));
    MultiPlans->setSelectionMode(QAbstractItemView::SingleSelection);
    MultiPlans->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MultiPlans->hide();
    connect(MultiPlans, &QTableWidget::cellPressed, this, [this](int row, int) { MultiPlansSelectCell(row); });
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    ui->PlanLayout->removeWidget(ui->ScrollPlan);
    row->addWidget(MultiPlans);
    row->addWidget(ui->ScrollPlan);
    ui->PlanLayout->addLayout(row);

    // The picture's pop-up.
    PlanPopup = new QMenu(this);
    PlanPopup->setObjectName(QStringLiteral("PlanPopup"));
    auto item = [this](const char *name, const char *text, void (TMainForm::*handler)()) {
        auto *a = new QAction(QString::fromLatin1(text), this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    EditPlan1 = item("EditPlan1", "Change Plan Image", &TMainForm::EditPlan1Click);
    MultiPagePlan = item("MultiPagePlan", "Multi-Page Plan", &TMainForm::MultiPagePlanClick);
    MultiPagePlan->setCheckable(true);
    AddPlanPage = item("AddPlanPage", "Add Plan Page", &TMainForm::AddPlanPageClick);
    RemovePlanPage = item("RemovePlanPage", "Remove Plan Page", &TMainForm::RemovePlanPageClick);
    PlaceOnPage = item("PlaceOnPage", "Place On Page", &TMainForm::PlaceOnPageClick);
    PlanPopup->addAction(EditPlan1);
    PlanPopup->addAction(ui->UnlockIcons);
    PlanPopup->addSeparator();
    PlanPopup->addAction(MultiPagePlan);
    PlanPopup->addAction(AddPlanPage);
    PlanPopup->addAction(RemovePlanPage);
    PlanPopup->addAction(PlaceOnPage);
    for (QAction *a : {AddPlanPage, RemovePlanPage, PlaceOnPage})
        a->setVisible(false);

    BackDeviceIcon = SelectionFrame(wall, "BackDeviceIcon");
    BackDeviceLab = SelectionFrame(wall, "BackDeviceLab");
}

// ---- the picture -------------------------------------------------------------------------

void TMainForm::WallImagePaint(QPainter &p)
{
    p.drawImage(ui->WallImage->rect(), planBitmap_);
    if (rectangleShown_) {
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(PlanRectangle());
    }
}

void TMainForm::PlanResize()
{
    if (destroyed_)
        return;
    planAreaWidth_ = ui->Plan->width();
    planAreaHeight_ = ui->Plan->height();
}

bool TMainForm::LoadPlanBitmap(const std::string &path)
{
    QImage img;
    if (!img.load(QString::fromStdString(path)) || img.isNull())
        return false;
    planBitmap_ = img;
    ui->WallImage->resize(planBitmap_.size());
    ui->WallImage->update();
    return true;
}

void TMainForm::EditPlan1Click()
{
    if (AccessLevel != 0)
        return;
    auto chosen = platform::OpenFileDialog("Change Plan Image", "Bitmaps (*.bmp)|*.bmp");
    if (!chosen)
        return;
    QImage img;
    if (!img.load(QString::fromStdString(*chosen)) || img.isNull())
        return;
    // The picture itself is kept beside the program, written from the loaded bitmap.
    const std::string kept = platform::ProgramFolder() + "PlanImg.bmp";
    const bool saved = FileWriter()(kept, [&img](const std::string &temp) {
        return img.save(QString::fromStdString(temp), "BMP");
    });
    if (!saved) {
        platform::ShowMessage("Brantoval-1024", "Error writing file");
        return;
    }
    planBitmap_ = img;
    PlanPath = AbsoluteShowPath(*chosen);
    ui->WallImage->resize(planBitmap_.size());
    ui->WallImage->update();
    ShowModified = 1;
    LeftPageControlChange(FixtureAreaPage);
}

QRect TMainForm::PlanRectangle() const
{
    return QRect(rectAnchor_, rectCorner_).normalized();
}

void TMainForm::WallImageMouseDown(const QPoint &at, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    if (button == Qt::RightButton) {
        PlanPopup->popup(ui->WallImage->mapToGlobal(at));
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (mods & Qt::ShiftModifier)
        PlanDragMode = PlanRectManual;
    else if (mods & Qt::ControlModifier)
        PlanDragMode = PlanRectLink;
    else
        PlanDragMode = PlanRectScroll;
    rectAnchor_ = rectCorner_ = at;
    scrollFrom_ = ui->WallImage->mapToGlobal(at);
    rectangleShown_ = PlanDragMode != PlanRectScroll;
    ui->WallImage->update();
}

void TMainForm::WallImageMouseMove(const QPoint &at, Qt::MouseButtons buttons)
{
    if (!(buttons & Qt::LeftButton))
        return;
    if (PlanDragMode != PlanRectScroll) {
        rectCorner_ = at;
        ui->WallImage->update();
        return;
    }
    // Scrolling: the picture follows the mouse when it is larger than the view.
    const QPoint global = ui->WallImage->mapToGlobal(at);
    const QPoint travel = global - scrollFrom_;
    scrollFrom_ = global;
    QScrollBar *h = ui->ScrollPlan->horizontalScrollBar();
    QScrollBar *v = ui->ScrollPlan->verticalScrollBar();
    h->setValue(std::clamp(h->value() - travel.x(), h->minimum(), h->maximum()));
    v->setValue(std::clamp(v->value() - travel.y(), v->minimum(), v->maximum()));
}

void TMainForm::WallImageMouseUp(const QPoint &at, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    const int mode = PlanDragMode;
    PlanDragMode = PlanRectScroll;
    if (mode == PlanRectScroll)
        return;
    rectCorner_ = at;
    rectangleShown_ = false;
    ui->WallImage->update();
    const QRect r = PlanRectangle();
    const bool multi = MultiPagePlan->isChecked();
    for (int fixture : FixturesInPlanRectangle(r.left(), r.top(), r.right(), r.bottom(), mode, multi, PlanPageShown(),
                                               MultiPlans->rowCount()))
        DevT1Click(fixture, mode);
}

// ---- icons and labels --------------------------------------------------------------------

void TMainForm::CreatePlanWidgets(int fixture, int sharesWith)
{
    PlanCreate();
    FixtureRecord *f = PlanFixture(fixture);
    if (!f)
        return;
    auto *icon = new TImage(ui->WallImage);
    icon->setGeometry(f->planX, f->planY, PlanIconSize, PlanIconSize);
    icon->SetTransparent(true);
    icon->SetTag(fixture);
    const FixtureRecord *shared = PlanFixture(sharesWith);
    if (auto *from = shared ? dynamic_cast<TImage *>(shared->planIcon) : nullptr)
        icon->SetPicture(from->Picture());
    else if (f->panel && f->panel->DevIcon)
        icon->SetPicture(f->panel->DevIcon->Picture());
    f->planIcon = icon;
    ApplyIconOrientation(fixture, f->iconOrientation);
    const std::string panelName = f->panel ? f->panel->DeviceName : (f->deviceName ? *f->deviceName : std::string());
    icon->setToolTip(platform::DisplayText(FixturePlanHint(fixture, panelName)));

    auto *label = new TLabel(ui->WallImage);
    label->SetColor(0x008000);
    TFontSettings font;
    font.Height = -11;   // 8 point
    font.Color = clWhite;
    label->SetFont(font);
    label->SetAlignment(taCenter);
    label->SetWordWrap(true);
    label->SetTransparent(false);
    label->SetCaption(QByteArray::fromStdString(f->userHeader));
    label->SetTag(fixture);
    f->planLabel = label;
    FitPlanLabel(*f);

    auto *filter = new PlanWidgetFilter(this);
    icon->installEventFilter(filter);
    label->installEventFilter(filter);
    // Icons and labels go with the picture when the window goes: the records then hold no
    // stale pointer for a later release.
    for (QWidget *w : {static_cast<QWidget *>(icon), static_cast<QWidget *>(label)})
        connect(w, &QObject::destroyed, filter, [](QObject *gone) {
            for (FixtureRecord &r : Fixtures) {
                if (r.planIcon == gone)
                    r.planIcon = nullptr;
                if (r.planLabel == gone)
                    r.planLabel = nullptr;
            }
        });
    PaintPlanLabel(fixture);
    const bool shown = !MultiPagePlan->isChecked() || PlanPageOf(fixture, MultiPlans->rowCount()) == PlanPageShown();
    icon->setVisible(shown);
    label->setVisible(shown);
}

void TMainForm::FreePlanWidgets(int fixture)
{
    FixtureRecord *f = PlanFixture(fixture);
    if (!f)
        return;
    if (DraggedIcon == fixture) {
        DraggingIcon = 0;
        DraggedIcon = -1;
    }
    delete f->planIcon;
    delete f->planLabel;
    f->planIcon = nullptr;
    f->planLabel = nullptr;
    if (BackDeviceIcon && fixture == SelectedFixture) {
        BackDeviceIcon->hide();
        BackDeviceLab->hide();
    }
}

void TMainForm::ApplyIconOrientation(int fixture, int orientation)
{
    FixtureRecord *f = PlanFixture(fixture);
    auto *icon = f ? dynamic_cast<TImage *>(f->planIcon) : nullptr;
    if (!icon || !f->panel || !f->panel->DevIcon || f->panel->DevIcon->IsIcon())
        return;
    const QImage src = f->panel->DevIcon->Picture().convertToFormat(QImage::Format_ARGB32);
    QImage dst(PlanIconSize, PlanIconSize, QImage::Format_ARGB32);
    dst.fill(Qt::transparent);
    const int w = std::min(src.width(), PlanIconSize), h = std::min(src.height(), PlanIconSize);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const PlanPoint to = OrientedPixel(x, y, orientation);
            dst.setPixel(to.x, to.y, src.pixel(x, y));
        }
    icon->SetPicture(dst);
}

void TMainForm::Image8MouseDown(int fixture, const QPoint &at, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    FixtureRecord *f = PlanFixture(fixture);
    if (!f || !f->planIcon)
        return;
    if (button == Qt::RightButton) {
        Select(fixture);
        return;   // the fixture menu follows
    }
    if (button != Qt::LeftButton)
        return;
    if (!ui->UnlockIcons->isChecked()) {
        DraggingIcon = 1;
        DraggedIcon = fixture;
        dragGrab_ = at;
        f->planIcon->raise();
        if (f->planLabel)
            f->planLabel->raise();
    }
    const int kind = KindOfPlanClick(mods);
    if (kind == 1 && ui->UserRedMaster1->isChecked()) {
        Select(fixture);
        ShowUserRedMaster(fixture, f->planIcon->mapTo(ui->Panel2, QPoint(PlanIconSize + 2, 0)));
    } else {
        DevT1Click(fixture, kind);
    }
    CallSeam(WindowSeams().trackEditRefresh);
}

void TMainForm::Image8MouseMove(int fixture, const QPoint &at)
{
    FixtureRecord *f = PlanFixture(fixture);
    if (!DraggingIcon || DraggedIcon != fixture || !f || !f->planIcon)
        return;
    const QPoint want = f->planIcon->pos() + at - dragGrab_;
    const PlanPoint to = ClampIconPosition(want.x(), want.y(), ui->WallImage->width(), ui->WallImage->height());
    f->planIcon->move(to.x, to.y);
    if (f->planLabel) {
        const PlanPoint l = PlanLabelPosition(to.x, to.y, f->planLabel->width());
        f->planLabel->move(l.x, l.y);
    }
}

void TMainForm::Image8MouseUp(int fixture, Qt::MouseButton button)
{
    FixtureRecord *f = PlanFixture(fixture);
    if (button != Qt::LeftButton || !DraggingIcon || DraggedIcon != fixture || !f || !f->planIcon)
        return;
    f->planX = static_cast<std::int16_t>(f->planIcon->x());
    f->planY = static_cast<std::int16_t>(f->planIcon->y());
    DraggingIcon = 0;
    DraggedIcon = -1;
    PlaceSelectionFrames();
    ShowModified = 1;
}

void TMainForm::Image8MouseDblClick(int fixture)
{
    FixtureRecord *f = PlanFixture(fixture);
    if (!f || ui->UnlockIcons->isChecked())
        return;
    DevT1Click(fixture, 0);
    f->iconOrientation = static_cast<std::uint8_t>((f->iconOrientation + 1) % 8);
    ApplyIconOrientation(fixture, f->iconOrientation);
    // The orientation is part of the show.
    ShowModified = 1;
}

void TMainForm::LabsMouseDown(int fixture, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    if (!FixtureIndexValid(fixture))
        return;
    if (button == Qt::RightButton) {
        Select(fixture);
        return;
    }
    if (button == Qt::LeftButton)
        DevT1Click(fixture, KindOfPlanClick(mods));
}

void TMainForm::PaintPlanLabel(int fixture)
{
    FixtureRecord *f = PlanFixture(fixture);
    auto *label = f ? dynamic_cast<TLabel *>(f->planLabel) : nullptr;
    if (!label)
        return;
    const bool selected = fixture == SelectedFixture;
    label->SetColor(FixtureColour(fixture));
    TFontSettings font = label->Font();
    font.Color = selected ? clBlack : clWhite;
    font.Style = selected ? fsBold : 0;
    label->SetFont(font);
    FitPlanLabel(*f);
    if (selected)
        PlaceSelectionFrames();
}

void TMainForm::PlaceSelectionFrames()
{
    if (!BackDeviceIcon)
        return;
    const FixtureRecord *f = PlanFixture(SelectedFixture);
    const bool shown = f && f->planIcon && !f->planIcon->isHidden();
    BackDeviceIcon->setVisible(shown);
    BackDeviceLab->setVisible(shown && f->planLabel);
    if (!shown)
        return;
    BackDeviceIcon->setGeometry(f->planIcon->geometry().adjusted(-2, -2, 2, 2));
    BackDeviceIcon->stackUnder(f->planIcon);
    if (f->planLabel) {
        BackDeviceLab->setGeometry(f->planLabel->geometry().adjusted(-2, -2, 2, 2));
        BackDeviceLab->stackUnder(f->planLabel);
    }
}

// ---- pages -------------------------------------------------------------------------------

int TMainForm::PlanPageShown() const
{
    const int row = MultiPlans ? MultiPlans->currentRow() : -1;
    return row < 0 ? 0 : row;
}

void TMainForm::SetPlanPages(int rows)
{
    PlanCreate();
    rows = std::clamp(rows, 0, MaxPlanPages);
    MultiPlans->setRowCount(std::max(rows, 1));
    for (int r = 0; r < MultiPlans->rowCount(); ++r) {
        auto *cell = new QTableWidgetItem(QString(QChar(65 + r)));
        cell->setTextAlignment(Qt::AlignCenter);
        MultiPlans->setItem(r, 0, cell);
        MultiPlans->setRowHeight(r, 18);
    }
    const bool on = rows > 0;
    MultiPagePlan->setChecked(on);
    MultiPlans->setVisible(on);
    for (QAction *a : {AddPlanPage, RemovePlanPage, PlaceOnPage})
        a->setVisible(on);
    if (on) {
        MultiPlansSelectCell(0);
    } else {
        for (const FixtureRecord &f : Fixtures) {
            if (f.planIcon)
                f.planIcon->setVisible(!SoloOn || &f == PlanFixture(SelectedFixture));
            if (f.planLabel)
                f.planLabel->setVisible(!SoloOn || &f == PlanFixture(SelectedFixture));
        }
        PlaceSelectionFrames();
    }
}

void TMainForm::MultiPagePlanClick()
{
    // The item toggles its own check.
    SetPlanPages(MultiPagePlan->isChecked() ? 1 : 0);
}

void TMainForm::AddPlanPageClick()
{
    if (!MultiPagePlan->isChecked() || MultiPlans->rowCount() >= MaxPlanPages)
        return;
    const int row = MultiPlans->rowCount();
    MultiPlans->insertRow(row);
    auto *cell = new QTableWidgetItem(QString(QChar(65 + row)));
    cell->setTextAlignment(Qt::AlignCenter);
    MultiPlans->setItem(row, 0, cell);
    MultiPlans->setRowHeight(row, 18);
}

void TMainForm::RemovePlanPageClick()
{
    if (!MultiPagePlan->isChecked())
        return;
    const int rows = MultiPlans->rowCount();
    if (rows <= 1) {
        SetPlanPages(0);
        return;
    }
    MultiPlans->removeRow(rows - 1);
    MoveFixturesOffPages(rows - 1);
    MultiPlansSelectCell(rows - 2);
}

void TMainForm::PlaceOnPageClick()
{
    if (!MultiPagePlan->isChecked())
        return;
    PlacingOnPage = 1;
    MultiPlans->setCursor(Qt::DragMoveCursor);
}

void TMainForm::MultiPlansSelectCell(int row)
{
    if (row < 0 || row >= MultiPlans->rowCount())
        return;
    if (PlacingOnPage) {
        PlacingOnPage = 0;
        MultiPlans->unsetCursor();
        if (AccessLevel <= 1 && PlaceFixturesOnPage(row) > 0)
            ShowModified = 1;
    }
    {
        const QSignalBlocker block(MultiPlans);
        MultiPlans->setCurrentCell(row, 0);
    }
    ShowPlanPage(row);
}

void TMainForm::ShowPlanPage(int page)
{
    const int pages = MultiPlans->rowCount();
    for (int i = 0; i < FixtureCount && i < static_cast<int>(Fixtures.size()); ++i) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        const bool shown = PlanPageOf(i, pages) == page && (!SoloOn || i == SelectedFixture);
        if (f.planIcon)
            f.planIcon->setVisible(shown);
        if (f.planLabel)
            f.planLabel->setVisible(shown);
    }
    PlaceSelectionFrames();
}
