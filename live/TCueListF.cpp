#include "TCueListF.h"
#include "ui_CueListF.h"

#include "MainForm.h"
#include "ui_MainForm.h"

#include "CueList.h"
#include "OwnedHooks.h"
#include "PlayState.h"
#include "SequenceEditing.h"
#include "ShowModel.h"
#include "StartupState.h"
#include "TMultiSeq.h"
#include "WindowSeams.h"

#include "controls/CellEditors.h"
#include "controls/RegForm.h"
#include "controls/SpeedButton.h"
#include "controls/SpinEdits.h"

#include "platform/MsgBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>

TCueListF *CueListF = nullptr;

namespace {

constexpr int NumberColumnWidth = 19;
constexpr int NameColumnWidth = 100;
constexpr int RowHeight = 20;
constexpr int DragThreshold = 4;

// The grid: ends an in-place edit on request, keeping what was typed.
class CueGrid : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    bool Editing() const { return state() == EditingState; }
    void EndEditing()
    {
        if (state() != EditingState)
            return;
        for (QLineEdit *ed : viewport()->findChildren<QLineEdit *>()) {
            commitData(ed);
            closeEditor(ed, QAbstractItemDelegate::NoHint);
        }
    }
};

// Draws every cell from the cue table (the grid keeps no copy) and edits names in place.
class CueGridDelegate : public QStyledItemDelegate {
public:
    explicit CueGridDelegate(TCueListF *form) : QStyledItemDelegate(form), form_(form) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        opt.text.clear();
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        const int cue = index.row();
        if (!SelectableCue(cue))
            return;
        const QString text = index.column() == 0 ? QString::number(cue + 1)
                                                 : platform::FromBytes(Cues[static_cast<std::size_t>(cue)].name);
        painter->save();
        painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(opt.rect.adjusted(2, 2, -1, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        painter->restore();
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        if (index.column() != 1 || AccessLevel >= 2 || !SelectableCue(index.row()))
            return nullptr;
        auto *ed = new QLineEdit(parent);
        ed->setMaxLength(MaxCueNameBytes);
        ed->setFrame(false);
        return ed;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *ed = qobject_cast<QLineEdit *>(editor))
            ed->setText(form_->GridCueListGetEditText(index.row()));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        if (auto *ed = qobject_cast<QLineEdit *>(editor))
            form_->GridCueListSetEditText(index.row(), ed->text());
    }

private:
    TCueListF *form_;
};

TSpeedButton *PanelButton(QWidget *panel, const char *name, const char *caption, const char *hint, int width)
{
    auto *b = new TSpeedButton(panel);
    b->setObjectName(QString::fromLatin1(name));
    b->SetCaption(QByteArray(caption));
    b->setToolTip(QString::fromLatin1(hint));
    b->setFixedSize(width, 25);
    panel->layout()->addWidget(b);
    return b;
}

} // namespace

TCueListF::TCueListF(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(new Ui::TCueListF)
{
    ui->setupUi(this);

    CuePlus = PanelButton(ui->Panel1, "CuePlus", "+", "Add Cue", 25);
    CueMinus = PanelButton(ui->Panel1, "CueMinus", "-", "Delete Cue", 25);
    UpdateL = PanelButton(ui->Panel1, "UpdateL", "Update", "Update Selected Cue", 60);
    static_cast<QHBoxLayout *>(ui->Panel1->layout())->addStretch(1);
    UpdateL->hide();
    connect(CuePlus, &TSpeedButton::OnClick, this, [this] { CuePlusClick(); });
    connect(CueMinus, &TSpeedButton::OnClick, this, [this] { CueMinusClick(); });
    connect(UpdateL, &TSpeedButton::OnClick, this, [this] { UpdateLClick(); });

    auto *grid = new CueGrid(1, 2, ui->GridPlace);
    grid->setObjectName(QStringLiteral("GridCueList"));
    ui->GridPlace->layout()->addWidget(grid);
    GridCueList = grid;
    grid->setHorizontalHeaderLabels({QStringLiteral("NN"), QStringLiteral("Name")});
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    grid->verticalHeader()->setMinimumSectionSize(RowHeight);
    grid->horizontalHeader()->setMinimumSectionSize(NumberColumnWidth);
    grid->setColumnWidth(0, NumberColumnWidth);
    grid->setColumnWidth(1, NameColumnWidth);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setItemDelegate(new CueGridDelegate(this));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setDragDropMode(QAbstractItemView::NoDragDrop);
    grid->viewport()->setAcceptDrops(true);
    grid->viewport()->installEventFilter(this);
    grid->installEventFilter(this);
    connect(grid, &QTableWidget::currentCellChanged, this, [this](int row, int column, int, int) {
        if (!selecting_ && row >= 0)
            GridCueListSelectCell(row, column);
    });
    connect(grid->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] { EditingName = 0; });

    Popup = new QMenu(this);
    Popup->setObjectName(QStringLiteral("Popup"));
    const std::pair<const char *, void (TCueListF::*)()> items[] = {{"Add", &TCueListF::CuePlusClick},
                                                                   {"Delete", &TCueListF::CueMinusClick},
                                                                   {"Update", &TCueListF::UpdateLClick},
                                                                   {"Rename", &TCueListF::Rename1Click}};
    for (const auto &[caption, handler] : items) {
        QAction *a = Popup->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(caption) + QStringLiteral("1"));
        connect(a, &QAction::triggered, this, [this, h = handler] { (this->*h)(); });
    }
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { Popup->popup(GridCueList->viewport()->mapToGlobal(pos)); });

    RegForm1 = new TRegForm(this);
    RegForm1->Loaded();

    Refresh();
    InstallHooks();
}

TCueListF::~TCueListF()
{
    ReleaseOwnedHooks(this);
    if (CueListF == this)
        CueListF = nullptr;
    delete ui;
}

void TCueListF::InstallHooks()
{
    WindowSeamTable &seams = WindowSeams();
    InstallHook(this, seams.selectCue, [this](int cue) { SelectCue(cue); });
    InstallHook(this, seams.crossFadeToCurrentCue, [this] {
        const int cue = GridCueList->currentRow();
        if (isVisible() && SelectableCue(cue) && MainForm)
            MakeCrossFadeMSSequence(cue, MainForm->ui->DisaSequence->Down(), MainForm->ui->CrossFadeSeq->GetValue());
    });
    InstallHook(this, seams.cueListSequenceInserted, [this](int at) {
        CueListSequenceInserted(at);
        Refresh();
    });
    InstallHook(this, seams.cueListSequenceDeleted, [this](int at) {
        CueListSequenceDeleted(at);
        Refresh();
    });
    InstallHook(this, seams.cueListSequenceMoved, [this](int from, int to) {
        CueListSequenceMoved(from, to);
        Refresh();
    });
    InstallHook(this, seams.cueListRefill, [this] { Refill(); });
}

bool TCueListF::InPlaceEditing() const
{
    return static_cast<const CueGrid *>(GridCueList)->Editing();
}

bool TCueListF::CuesLocked() const
{
    return AccessLevel >= 2;
}

// ---- table state ------------------------------------------------------------------------

void TCueListF::Refresh()
{
    refreshQueued_ = false;
    const int rows = std::max<int>(CueCount, 1);
    if (GridCueList->rowCount() != rows) {
        const QSignalBlocker block(GridCueList);
        GridCueList->setRowCount(rows);
    }
    const int cue = GridCueList->currentRow();
    if (!SelectableCue(cue))
        UpdateL->hide();
    ShowStatus(cue);
    GridCueList->viewport()->update();
}

// Another show's cues: a name being edited closes unstored (it belongs to the old show) and
// the grid shows the new table with no cue chosen.
void TCueListF::Refill()
{
    CloseCellEditors({}, GridCueList);
    EditingName = 0;
    ApplyEditTriggers(0);
    Refresh();
}

void TCueListF::ShowStatus(int cue)
{
    ui->StatusBar1->setText(SelectableCue(cue) ? QString::fromStdString(CueStatusText(cue)) : QString());
}

void TCueListF::ApplyEditTriggers(int column)
{
    GridCueList->setEditTriggers(column == 1 ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                                   QAbstractItemView::SelectedClicked
                                             : QAbstractItemView::NoEditTriggers);
}

void TCueListF::SelectCue(int n)
{
    if (!SelectableCue(n))
        return;
    Refresh();
    const int column = std::max(GridCueList->currentColumn(), 0);
    {
        selecting_ = true;
        GridCueList->setCurrentCell(n, column);
        selecting_ = false;
    }
    if (isVisible()) {
        const QModelIndex index = GridCueList->model()->index(n, column);
        if (!GridCueList->viewport()->rect().contains(GridCueList->visualRect(index)))
            GridCueList->scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
    GridCueListSelectCell(n, column);
    GridCueList->viewport()->update();
}

bool TCueListF::GridCueListSelectCell(int row, int column)
{
    if (CueCount < 1 || EditingName || !SelectableCue(row)) {
        UpdateL->hide();
        return false;
    }
    ApplyEditTriggers(column);
    const bool disabled = MainForm && MainForm->ui->DisaSequence->Down();
    const long time = MainForm ? MainForm->ui->CrossFadeSeq->GetValue() : 0;
    ApplyCue(row, disabled, time);
    if (MultiSeq)
        for (int i = 0; i < TMultiSeq::ShownSlots; ++i)
            MultiSeq->ShowSlot(i);
    ShowStatus(row);
    CallSeam(WindowSeams().sequencesListRefresh);
    UpdateL->show();
    return true;
}

// ---- commands ---------------------------------------------------------------------------

void TCueListF::CuePlusClick()
{
    if (CuesLocked())
        return;
    const int current = GridCueList->currentRow();
    const int at = CueCount > 0 && current >= 0 ? current + 1 : 0;
    const int cue = AddCue(at);
    Refresh();
    SelectCue(cue);
}

void TCueListF::CueMinusClick()
{
    if (CuesLocked() || CueCount < 1)
        return;
    if ((ConfirmOptions & ConfirmCueDelete) != 0 &&
        platform::MessageBox("Brantoval-1024", "Delete CUE, are you sure?", platform::Buttons::YesNo) !=
            platform::Answer::Yes)
        return;
    if (EditingName) {
        EndEditing();
        QApplication::processEvents();
    }
    const int next = DeleteCue(GridCueList->currentRow());
    Refresh();
    if (next >= 0)
        SelectCue(next);
    else
        UpdateL->hide();
}

void TCueListF::UpdateLClick()
{
    if (CuesLocked())
        return;
    const int cue = GridCueList->currentRow();
    if (UpdateCue(cue))
        ShowStatus(cue);
}

void TCueListF::Rename1Click()
{
    const int cue = GridCueList->currentRow();
    if (CuesLocked() || !SelectableCue(cue) || !WindowSeams().seqNameDialog)
        return;
    std::string text = Cues[static_cast<std::size_t>(cue)].name;
    int choice = 1;
    if (!WindowSeams().seqNameDialog("Cue Name", text, false, choice))
        return;   // cancelled: the name stays
    RenameCue(cue, text);
    GridCueList->viewport()->update();
}

QString TCueListF::GridCueListGetEditText(int row)
{
    if (!SelectableCue(row))
        return {};
    EditingName = 1;
    return platform::FromBytes(Cues[static_cast<std::size_t>(row)].name);
}

void TCueListF::GridCueListSetEditText(int row, const QString &text)
{
    if (!SelectableCue(row)) {
        EditingName = 0;
        ApplyEditTriggers(0);
        return;
    }
    if (CuesLocked())
        return;
    RenameCue(row, platform::ToBytes(text));
    if (!text.isEmpty())
        EditingName = 0;
}

void TCueListF::EndEditing()
{
    static_cast<CueGrid *>(GridCueList)->EndEditing();
    EditingName = 0;
}

void TCueListF::GridCueListKeyUp(int key)
{
    if (EditingName || GridCueList->currentColumn() == 1)
        return;
    if (key == Qt::Key_Delete)
        CueMinusClick();
    else if (key == Qt::Key_Insert)
        CuePlusClick();
}

// ---- drag reorder -----------------------------------------------------------------------

bool TCueListF::GridCueListMouseDown(Qt::MouseButton button, const QPoint &pos)
{
    dragArmed_ = false;
    if (button != Qt::LeftButton || Playing.load())
        return false;
    DragRow = GridCueList->rowAt(pos.y());
    if (!SelectableCue(DragRow) || InPlaceEditing())
        return false;
    pressPos_ = pos;
    dragArmed_ = true;
    return true;
}

void TCueListF::StartDrag()
{
    dragArmed_ = false;
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(CueMimeType), QByteArray::number(DragRow));
    auto *drag = new QDrag(GridCueList);
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

bool TCueListF::GridCueListDragOver(const QObject *source, const QMimeData *data, int row) const
{
    if (!data || !data->hasFormat(QString::fromLatin1(CueMimeType)))
        return false;
    if (source != GridCueList && source != GridCueList->viewport())
        return false;
    return SelectableCue(DragRow) && row != DragRow;
}

bool TCueListF::GridCueListDragDrop(const QObject *source, const QMimeData *data, int row)
{
    if (!data || !data->hasFormat(QString::fromLatin1(CueMimeType)) ||
        (source != GridCueList && source != GridCueList->viewport()) || Playing.load())
        return false;
    const int target = SelectableCue(row) ? row : CueCount - 1;
    const int moved = MoveCue(DragRow, target);
    DragRow = -1;
    if (moved < 0)
        return false;
    Refresh();
    SelectCue(moved);
    return true;
}

// ---- window events ----------------------------------------------------------------------

void TCueListF::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    Refresh();
}

void TCueListF::closeEvent(QCloseEvent *e)
{
    bool canClose = true;
    RegForm1->CloseQuery(this, canClose);
    if (MainForm)
        MainForm->SetToolState("CueListM", "CueListB", false);
    e->accept();
}

bool TCueListF::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == GridCueList->viewport()) {
        switch (e->type()) {
        case QEvent::Paint:
            // A show loaded or cleared meanwhile: the rows follow the new table.
            if (GridCueList->rowCount() != std::max<int>(CueCount, 1) && !refreshQueued_) {
                refreshQueued_ = true;
                QTimer::singleShot(0, this, [this] { Refresh(); });
            }
            break;
        case QEvent::MouseButtonPress: {
            auto *m = static_cast<QMouseEvent *>(e);
            GridCueListMouseDown(m->button(), m->position().toPoint());
            break;
        }
        case QEvent::MouseMove: {
            auto *m = static_cast<QMouseEvent *>(e);
            if (dragArmed_ && (m->buttons() & Qt::LeftButton) &&
                (m->position().toPoint() - pressPos_).manhattanLength() >= DragThreshold) {
                StartDrag();
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            dragArmed_ = false;
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *d = static_cast<QDropEvent *>(e);
            // Entering is judged without the row, so that moves over other rows follow.
            const int row = e->type() == QEvent::DragEnter ? -1 : GridCueList->rowAt(d->position().toPoint().y());
            if (GridCueListDragOver(d->source(), d->mimeData(), row))
                d->acceptProposedAction();
            else
                d->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto *d = static_cast<QDropEvent *>(e);
            if (GridCueListDragDrop(d->source(), d->mimeData(), GridCueList->rowAt(d->position().toPoint().y())))
                d->acceptProposedAction();
            else
                d->ignore();
            return true;
        }
        default:
            break;
        }
    } else if (watched == GridCueList && e->type() == QEvent::KeyRelease) {
        GridCueListKeyUp(static_cast<QKeyEvent *>(e)->key());
    }
    return QWidget::eventFilter(watched, e);
}
