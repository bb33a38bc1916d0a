#include "TSequencesList.h"
#include "ui_SequencesList.h"

#include "MainForm.h"
#include "ui_MainForm.h"

#include "OwnedHooks.h"
#include "PlayState.h"
#include "StartupState.h"
#include "SequenceEditing.h"
#include "ShowModel.h"
#include "WindowSeams.h"

#include "controls/RegForm.h"
#include "controls/SpeedButton.h"
#include "controls/TColor.h"
#include "platform/MsgBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QPointer>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>

TSequencesList *SequencesList = nullptr;

namespace {

constexpr int NumberWidth = 48;
constexpr int NameWidth = 120;
constexpr int SlotWidth = 22;
constexpr int DragDistance = 4;
constexpr std::size_t MaxListName = 254;
const char *const SequenceMime = "application/x-brtv-sequence";

// Step kinds' colours: tempo lime, scene time aqua, beat yellow, manual fuchsia.
TColor StepColour(int kind)
{
    switch (kind) {
    case 0: return 0x00FF00;
    case 1: return 0xFFFF00;
    case 2: return 0x00FFFF;
    case 3: return 0xFF00FF;
    default: return 0xFFFFFF;
    }
}

const SequenceRecord *SequenceOrNull(int index)
{
    return index >= 0 && index < SequenceCount ? Sequences[static_cast<std::size_t>(index)] : nullptr;
}

} // namespace

// Draws the cells of both grids from the show's sequences and slots; names are edited
// through a line edit whose result goes back to the list, never into the grid's model.
class SequenceCellPainter : public QStyledItemDelegate {
public:
    SequenceCellPainter(TSequencesList *list, bool cues) : QStyledItemDelegate(list), list_(list), cues_(cues) {}

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QRect r = option.rect;
        const int row = index.row(), column = index.column();
        p->save();
        p->setClipRect(r);
        if (row == 0) {
            p->fillRect(r, option.palette.button());
            QString caption;
            if (column % 2 == 0 && (!cues_ || column == 0))
                caption = QStringLiteral("NN");
            else if (column % 2 == 1 && (!cues_ || column == 1))
                caption = QStringLiteral("Name");
            if (cues_ && column >= 2)
                caption = QString::number(column - 1);
            p->setPen(option.palette.buttonText().color());
            p->drawText(r.adjusted(3, 0, -2, 0), Qt::AlignVCenter | (cues_ && column >= 2 ? Qt::AlignHCenter : Qt::AlignLeft), caption);
            p->restore();
            return;
        }
        const int sequence = cues_ ? row - 1 : SequenceOfCell(list_->layout_, column, row, SequenceCount);
        const SequenceRecord *seq = SequenceOrNull(sequence);
        const bool selected = option.state & QStyle::State_Selected;
        if (!seq) {
            p->fillRect(r, Qt::white);
            p->restore();
            return;
        }
        const bool numberCell = cues_ ? column == 0 : column % 2 == 0;
        const bool nameCell = cues_ ? column == 1 : column % 2 == 1;
        if (numberCell) {
            p->fillRect(r, toQColor(StepColour(StepModeOf(seq->modes))));
            const int sep = r.left() + list_->separator_;
            p->setPen(Qt::black);
            p->drawText(QRect(r.left() + 3, r.top(), sep - r.left() - 4, r.height()), Qt::AlignVCenter | Qt::AlignLeft,
                        QString::number(sequence + 1));
            p->drawText(QRect(sep + 3, r.top(), r.right() - sep - 3, r.height()), Qt::AlignVCenter | Qt::AlignLeft,
                        QString::number(seq->sceneCount));
            p->setPen(Qt::blue);
            p->drawLine(sep, r.top(), sep, r.bottom());
            p->setPen(Qt::red);
            p->drawLine(r.left(), r.top(), r.left(), r.bottom());
        } else if (nameCell) {
            p->fillRect(r, selected ? option.palette.highlight().color() : QColor(Qt::white));
            p->setPen(selected ? option.palette.highlightedText().color() : QColor(Qt::black));
            p->drawText(r.adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, platform::FromBytes(seq->name));
            p->setPen(Qt::gray);
            p->drawLine(r.left(), r.top(), r.left(), r.bottom());
        } else {
            p->fillRect(r, selected ? option.palette.highlight().color().lighter(170) : QColor(Qt::white));
            const int slot = column - 2;
            const PlayerSlot &ps = PlayerSlots[static_cast<std::size_t>(slot)];
            if (ps.active && ps.sequence == sequence) {
                // The slot mark: a green disc with a play arrow.
                const int d = std::min(r.width(), r.height()) - 6;
                const QRect disc(r.center().x() - d / 2, r.center().y() - d / 2, d, d);
                p->setRenderHint(QPainter::Antialiasing);
                p->setPen(QPen(toQColor(clGreen).darker(150), 1));
                p->setBrush(toQColor(clLime));
                p->drawEllipse(disc);
                p->setBrush(Qt::black);
                p->setPen(Qt::NoPen);
                const QPointF c = QRectF(disc).center();
                const qreal a = d / 4.0;
                p->drawPolygon(QPolygonF({QPointF(c.x() - a * 0.7, c.y() - a), QPointF(c.x() + a, c.y()),
                                          QPointF(c.x() - a * 0.7, c.y() + a)}));
            }
        }
        if (selected && (numberCell || !nameCell)) {
            p->setPen(QPen(Qt::black, 1, Qt::DotLine));
            p->setBrush(Qt::NoBrush);
            p->drawRect(r.adjusted(1, 1, -2, -2));
        }
        p->restore();
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        if (cues_ || !IsNameColumn(index.column()))
            return nullptr;
        auto *edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("InplaceEdit"));
        edit->setFrame(false);
        editor_ = edit;
        return edit;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        const SequenceRecord *seq = SequenceOrNull(SequenceOfCell(list_->layout_, index.column(), index.row(), SequenceCount));
        if (auto *edit = qobject_cast<QLineEdit *>(editor))
            edit->setText(seq ? platform::FromBytes(seq->name) : QString());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        if (auto *edit = qobject_cast<QLineEdit *>(editor))
            list_->CommitRename(index.row(), index.column(), edit->text());
    }

    bool Editing() const { return !editor_.isNull(); }
    // Commits an open in-place edit and closes it.
    void EndEditing()
    {
        if (QWidget *editor = editor_.data()) {
            editor_.clear();
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }

private:
    TSequencesList *list_;
    bool cues_;
    mutable QPointer<QWidget> editor_;
};

TSequencesList::TSequencesList(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TSequencesList)
{
    ui->setupUi(this);
    GridSeq = ui->GridSeq;
    GridMultiSeq = ui->GridMultiSeq;
    SetupGrid(GridSeq);
    SetupGrid(GridMultiSeq);
    seqPainter_ = new SequenceCellPainter(this, false);
    GridSeq->setItemDelegate(seqPainter_);
    GridMultiSeq->setItemDelegate(new SequenceCellPainter(this, true));
    GridSeq->setColumnCount(2);
    GridSeq->setRowCount(2);
    GridSeq->setColumnWidth(0, NumberWidth);
    GridSeq->setColumnWidth(1, NameWidth);
    GridMultiSeq->setColumnCount(2 + PlayerSlotCount);
    GridMultiSeq->setColumnWidth(0, NumberWidth);
    GridMultiSeq->setColumnWidth(1, NameWidth);
    for (int j = 0; j < PlayerSlotCount; ++j)
        GridMultiSeq->setColumnWidth(2 + j, SlotWidth);
    GridMultiSeq->setRowCount(1);
    GridMultiSeq->hide();
    GridSeq->viewport()->setAcceptDrops(true);
    GridSeq->viewport()->installEventFilter(this);
    GridSeq->installEventFilter(this);
    GridMultiSeq->installEventFilter(this);
    ApplyFaceSizes();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    DoubleSize1 = PopupMenu1->addAction(QStringLiteral("Double Size"));
    DoubleSize1->setObjectName(QStringLiteral("DoubleSize1"));
    DoubleSize1->setCheckable(true);
    connect(DoubleSize1, &QAction::triggered, this, [this] { DoubleSizeClick(); });
    GridSeq->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(GridSeq, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(GridSeq->viewport()->mapToGlobal(at)); });

    connect(GridSeq, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { GridSeqSelectCell(row, column); });
    connect(GridMultiSeq, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { GridMultiSeqSelectCell(row, column); });
    connect(GridMultiSeq, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column >= 2 && row >= 1)
            ToggleSlot(column - 2, row - 1);
    });

    RegForm1 = new TRegForm(this);
    RegForm1->Loaded();

    WindowSeamTable &seams = WindowSeams();
    InstallHook(this, seams.sequencesListCheckEditing, [this] { CheckEditing(); });
    InstallHook(this, seams.sequencesListRefresh, [this] {
        if (isVisible())
            FormActivate();
    });
    InstallHook(this, seams.refreshMultiSeqCell,
                [this](int slot, int row, int previousRow) { RefreshMultiSeqCell(slot, row, previousRow); });
}

TSequencesList::~TSequencesList()
{
    ReleaseOwnedHooks(this);
    if (SequencesList == this)
        SequencesList = nullptr;
    delete ui;
}

void TSequencesList::SetupGrid(QTableWidget *grid)
{
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setMinimumSectionSize(8);
    grid->verticalHeader()->setMinimumSectionSize(8);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    grid->setTabKeyNavigation(false);
}

void TSequencesList::ApplyFaceSizes()
{
    const GridFaceSizes face = FaceSizes(doubleSize_);
    separator_ = face.separator;
    for (QTableWidget *grid : {GridSeq, GridMultiSeq}) {
        QFont f = grid->font();
        f.setPointSize(face.fontPoints);
        grid->setFont(f);
        grid->verticalHeader()->setDefaultSectionSize(face.rowHeight);
        for (int r = 0; r < grid->rowCount(); ++r)
            grid->setRowHeight(r, face.rowHeight);
    }
}

// ---- faces ----------------------------------------------------------------------------------

void TSequencesList::FormActivate()
{
    CheckEditing();
    if (AskSeam(WindowSeams().multiSeqMenuChecked)) {
        SetMultiRows();
        GridSeq->hide();
        GridMultiSeq->show();
        GridMultiSeq->viewport()->update();
        setWindowTitle(QStringLiteral("Cues"));
        return;
    }
    GridMultiSeq->hide();
    GridSeq->show();
    FormResize();
    GridSeq->viewport()->update();
    ShowSequenceCell(CurSequence);
    setWindowTitle(QStringLiteral("Sequences"));
}

void TSequencesList::SetMultiRows()
{
    const QSignalBlocker block(GridMultiSeq);
    GridMultiSeq->setRowCount(SequenceCount + 1);
    const int h = FaceSizes(doubleSize_).rowHeight;
    for (int r = 0; r < GridMultiSeq->rowCount(); ++r)
        GridMultiSeq->setRowHeight(r, h);
}

void TSequencesList::CheckEditing()
{
    seqPainter_->EndEditing();
}

void TSequencesList::SetEditing(bool on)
{
    GridSeq->setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                      QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                                : QAbstractItemView::NoEditTriggers);
}

void TSequencesList::FormResize()
{
    if (GridMultiSeq->isVisible() && !GridSeq->isVisible())
        return;
    SequenceGridRoom room;
    room.clientWidth = GridSeq->viewport()->width() > 0 ? GridSeq->width() - 2 * GridSeq->frameWidth() : 0;
    room.clientHeight = GridSeq->height() - 2 * GridSeq->frameWidth();
    room.rowHeight = FaceSizes(doubleSize_).rowHeight;
    room.lineWidth = 0;   // a row's height holds its grid line here
    room.numberWidth = GridSeq->columnWidth(0);
    room.nameWidth = GridSeq->columnWidth(1);
    const auto g = LayOutSequenceGrid(room, SequenceCount);
    if (!g)
        return;
    if (g->rows == GridSeq->rowCount() && g->Columns() == GridSeq->columnCount() && g->rows == layout_.rows &&
        g->pairs == layout_.pairs)
        return;
    relayout_ = true;
    const int numberWidth = room.numberWidth, nameWidth = room.nameWidth;
    layout_ = *g;
    {
        const QSignalBlocker block(GridSeq);
        GridSeq->setRowCount(layout_.rows);
        GridSeq->setColumnCount(layout_.Columns());
        for (int c = 0; c < layout_.Columns(); ++c)
            GridSeq->setColumnWidth(c, c % 2 == 0 ? numberWidth : nameWidth);
        for (int r = 0; r < layout_.rows; ++r)
            GridSeq->setRowHeight(r, room.rowHeight);
    }
    relayout_ = false;
    ShowSequenceCell(CurSequence);
}

void TSequencesList::ShowSequenceCell(int index)
{
    if (!SequenceOrNull(index))
        return;
    const GridCell cell = NumberCellOf(layout_, index);
    const int column = cell.column + (IsNameColumn(GridSeq->currentColumn()) ? 1 : 0);
    {
        const QSignalBlocker block(GridSeq);
        GridSeq->setCurrentCell(cell.row, column);
    }
    SetEditing(!Playing.load() && IsNameColumn(column));
    // Out of view, the cell is scrolled to about the middle.
    const QModelIndex at = GridSeq->model()->index(cell.row, column);
    if (!GridSeq->viewport()->rect().contains(GridSeq->visualRect(at)))
        GridSeq->scrollTo(at, QAbstractItemView::PositionAtCenter);
    GridSeq->viewport()->update();
}

void TSequencesList::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    FormResize();
}

// ---- the sequence grid ----------------------------------------------------------------------

void TSequencesList::GridSeqSelectCell(int row, int column)
{
    if (relayout_ || SequenceCount == 0 || row < 0 || column < 0)
        return;
    const int sequence = SequenceOfCell(layout_, column, row, SequenceCount);
    if (sequence < 0) {
        // Cells beyond the last sequence and the header cannot be chosen.
        ShowSequenceCell(CurSequence);
        return;
    }
    SetEditing(!Playing.load() && IsNameColumn(column));
    if (MainForm && sequence != CurSequence)
        MainForm->SelectSequenceFromList(sequence);
    GridSeq->viewport()->update();
}

void TSequencesList::CommitRename(int row, int column, const QString &text)
{
    const int sequence = SequenceOfCell(layout_, column, row, SequenceCount);
    SequenceRecord *seq = SequenceAt(sequence);
    if (!seq || Playing.load() || AccessLevel > 1)
        return;
    std::string bytes = platform::ToBytes(text);
    if (bytes.size() > MaxListName)
        bytes.resize(MaxListName);
    seq->name = bytes;
    ShowModified = 1;
    if (MainForm) {
        MainForm->ui->Sequence->setItemText(sequence, platform::FromBytes(bytes));
        MainForm->SelectSequenceFromList(sequence);
    }
    // An open play list names its lines' sequences anew, as after the main window's rename.
    if (AskSeam(WindowSeams().playListVisible))
        CallSeam(WindowSeams().programFormFullBuild);
    GridSeq->viewport()->update();
}

void TSequencesList::RewriteSequenceBox()
{
    if (!MainForm)
        return;
    QComboBox *box = MainForm->ui->Sequence;
    const QSignalBlocker block(box);
    for (int i = 0; i < SequenceCount && i < box->count(); ++i)
        box->setItemText(i, platform::FromBytes(Sequences[static_cast<std::size_t>(i)]->name));
}

bool TSequencesList::GridSeqDragOver(QObject *source, int row, int column)
{
    QObject *grid = source;
    if (grid && !qobject_cast<QTableWidget *>(grid) && grid->parent())
        grid = grid->parent();   // a grid's viewport stands for its grid
    if (!qobject_cast<QTableWidget *>(grid) || row < 1)
        return false;
    SetEditing(false);
    const int target = SequenceOfCell(layout_, column, row, SequenceCount);
    return !(grid == GridSeq && target >= 0 && target == DragSource);
}

void TSequencesList::GridSeqDragDrop(QObject *source, int row, int column)
{
    Q_UNUSED(source);
    const int from = DragSource;
    DragSource = -1;
    if (Playing.load() || AccessLevel > 1 || from < 0 || from >= SequenceCount)
        return;
    int to = SequenceOfCell(layout_, column, row, SequenceCount);
    if (to < 0)
        to = SequenceCount - 1;
    if (to == from || !MoveSequence(from, to))
        return;
    ShowModified = 1;
    RewriteSequenceBox();
    if (MainForm)
        MainForm->SelectSequenceFromList(to);
    ShowSequenceCell(to);
    GridSeq->viewport()->update();
    CallSeam(WindowSeams().cueListSequenceMoved, from, to);
}

void TSequencesList::StartDrag()
{
    pressed_ = false;
    auto *drag = new QDrag(GridSeq);
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(SequenceMime), QByteArray::number(DragSource));
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

bool TSequencesList::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == GridSeq->viewport()) {
        switch (e->type()) {
        case QEvent::MouseButtonPress: {
            auto *m = static_cast<QMouseEvent *>(e);
            if (m->button() == Qt::LeftButton && !Playing.load()) {
                const QModelIndex at = GridSeq->indexAt(m->position().toPoint());
                DragSource = at.isValid() ? SequenceOfCell(layout_, at.column(), at.row(), SequenceCount) : -1;
                pressed_ = DragSource >= 0 && !seqPainter_->Editing();
                pressAt_ = m->position().toPoint();
            }
            break;
        }
        case QEvent::MouseMove: {
            auto *m = static_cast<QMouseEvent *>(e);
            if (pressed_ && (m->buttons() & Qt::LeftButton) &&
                (m->position().toPoint() - pressAt_).manhattanLength() >= DragDistance) {
                StartDrag();
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            pressed_ = false;
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *d = static_cast<QDragMoveEvent *>(e);
            if (!d->mimeData()->hasFormat(QString::fromLatin1(SequenceMime))) {
                d->ignore();
                return true;
            }
            const QModelIndex at = GridSeq->indexAt(d->position().toPoint());
            const bool ok =
                GridSeqDragOver(d->source(), at.isValid() ? at.row() : 1, at.isValid() ? at.column() : -1);
            // The list takes every sequence's enter, also over the dragged sequence's own
            // cell where a drag starts: Qt sends moves and the drop only to a widget that
            // took the enter. Each move then says whether its cell takes the drop.
            if (ok || e->type() == QEvent::DragEnter)
                d->acceptProposedAction();
            else
                d->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto *d = static_cast<QDropEvent *>(e);
            if (!d->mimeData()->hasFormat(QString::fromLatin1(SequenceMime)))
                return false;
            DragSource = d->mimeData()->data(QString::fromLatin1(SequenceMime)).toInt();
            const QModelIndex at = GridSeq->indexAt(d->position().toPoint());
            GridSeqDragDrop(d->source(), at.isValid() ? at.row() : -1, at.isValid() ? at.column() : -1);
            d->acceptProposedAction();
            return true;
        }
        default:
            break;
        }
    } else if (watched == GridSeq && e->type() == QEvent::KeyRelease) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (!Playing.load() && !seqPainter_->Editing() &&
            !IsNameColumn(GridSeq->currentColumn()) && MainForm) {
            if (k->key() == Qt::Key_Delete)
                MainForm->DelSeqClick();
            else if (k->key() == Qt::Key_Insert)
                MainForm->NewSeqClick();
        }
    } else if (watched == GridMultiSeq && e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        if ((k->key() == Qt::Key_Space || k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            GridMultiSeq->currentColumn() >= 2 && GridMultiSeq->currentRow() >= 1) {
            ToggleSlot(GridMultiSeq->currentColumn() - 2, GridMultiSeq->currentRow() - 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TSequencesList::DoubleSizeClick()
{
    if (GridMultiSeq->isVisible() && !GridSeq->isVisible())
        return;
    doubleSize_ = !doubleSize_;
    DoubleSize1->setChecked(doubleSize_);
    const auto scale = [this](int v) { return doubleSize_ ? v * 2 : v / 2; };
    ApplyFaceSizes();
    for (QTableWidget *grid : {GridSeq, GridMultiSeq})
        for (int c = 0; c < grid->columnCount(); ++c)
            grid->setColumnWidth(c, scale(grid->columnWidth(c)));
    layout_ = SequenceGridLayout{0, 0};   // forces the grid to be laid out again
    resize(scale(width()), scale(height()));
    FormResize();
}

// ---- the cue grid ---------------------------------------------------------------------------

void TSequencesList::GridMultiSeqSelectCell(int row, int column)
{
    const int sequence = row - 1;
    const SequenceRecord *seq = SequenceOrNull(sequence);
    if (!seq || !MainForm)
        return;
    if (sequence != CurSequence)
        MainForm->SelectSequenceFromList(sequence);
    if (column != 0)
        return;
    const bool tempo = StepModeOf(seq->modes) == 0;
    if (MainForm->DUpDownTempo) {
        if (tempo) {
            const QSignalBlocker block(MainForm->DUpDownTempo);
            MainForm->DUpDownTempo->setValue(static_cast<int>(seq->tempo));
        }
        MainForm->DUpDownTempo->setVisible(tempo);
    }
    if (MainForm->DTempoButton)
        MainForm->DTempoButton->setVisible(tempo);
}

void TSequencesList::GridMultiSeqClick(int row, int column)
{
    GridMultiSeq->setCurrentCell(row, column);
    if (column >= 2 && row >= 1)
        ToggleSlot(column - 2, row - 1);
}

void TSequencesList::ToggleSlot(int slot, int sequence)
{
    if (slot < 0 || slot >= PlayerSlotCount || !SequenceOrNull(sequence))
        return;
    const PlayerSlot &ps = PlayerSlots[static_cast<std::size_t>(slot)];
    const int previous = ps.sequence;
    const SlotToggle t = ::ToggleSlot(ps.sequence, ps.active != 0, sequence);
    if (!t.on) {
        CallSeam(WindowSeams().setMultiSeqSlotOn, slot, false);
    } else {
        CallSeam(WindowSeams().setMultiSeqSlotSequence, slot, sequence);
        CallSeam(WindowSeams().setMultiSeqSlotOn, slot, true);
    }
    RefreshMultiSeqCell(slot, sequence, t.on ? previous : 0);
    GridMultiSeq->viewport()->update();
}

void TSequencesList::RefreshMultiSeqCell(int slot, int row, int previousRow)
{
    if (!isVisible() || row < 0 || slot < 0 || slot >= PlayerSlotCount || GridMultiSeq->isHidden())
        return;
    const int gridRow = row + 1;
    if (gridRow >= GridMultiSeq->rowCount())
        return;
    {
        const QSignalBlocker block(GridMultiSeq);
        GridMultiSeq->setCurrentCell(gridRow, slot + 2);
    }
    const int first = GridMultiSeq->rowAt(0);
    const int last = GridMultiSeq->rowAt(GridMultiSeq->viewport()->height() - 1);
    if (first >= 0 && (gridRow < first || (last >= 0 && gridRow > last))) {
        const int visible = std::max(1, (last < 0 ? GridMultiSeq->rowCount() : last) - first);
        const int top = std::clamp(gridRow - visible / 2, 1, std::max(1, GridMultiSeq->rowCount() - visible));
        GridMultiSeq->verticalScrollBar()->setValue(top);
    }
    const QModelIndex cell = GridMultiSeq->model()->index(gridRow, slot + 2);
    GridMultiSeq->update(cell);
    GridMultiSeq->update(GridMultiSeq->model()->index(0, slot + 2));
    if (previousRow != row && previousRow >= 0 && previousRow + 1 < GridMultiSeq->rowCount())
        GridMultiSeq->update(GridMultiSeq->model()->index(previousRow + 1, slot + 2));
}

// ---- window events --------------------------------------------------------------------------

void TSequencesList::SetToolItems(bool on)
{
    if (!MainForm)
        return;
    MainForm->ui->SeqList1->setChecked(on);
    MainForm->ui->SeqL->setChecked(on);
}

void TSequencesList::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    SetToolItems(true);
    FormActivate();
}

void TSequencesList::hideEvent(QHideEvent *e)
{
    CheckEditing();
    QWidget::hideEvent(e);
    if (!e->spontaneous())
        SetToolItems(false);
}

void TSequencesList::closeEvent(QCloseEvent *e)
{
    bool canClose = true;
    RegForm1->CloseQuery(this, canClose);
    CheckEditing();
    SetToolItems(false);
    e->accept();
}
