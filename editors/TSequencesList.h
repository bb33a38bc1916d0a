// The list of sequences: every sequence of the show in column pairs (number, name), where
// a cell makes its sequence current, names are edited in place, Insert and Delete add and
// delete sequences and a drag moves a sequence; while the multi-sequence player is shown,
// the cue grid instead: one row per sequence and one column per player slot.
#pragma once

#include <QPoint>
#include <QWidget>

#include "SequenceGrid.h"

namespace Ui {
class TSequencesList;
}
class QMenu;
class QAction;
class QTableWidget;
class TRegForm;
class SequenceCellPainter;

class TSequencesList : public QWidget {
    Q_OBJECT

public:
    explicit TSequencesList(QWidget *parent = nullptr);
    ~TSequencesList() override;

    Ui::TSequencesList *ui;
    QTableWidget *GridSeq = nullptr;
    QTableWidget *GridMultiSeq = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *DoubleSize1 = nullptr;
    TRegForm *RegForm1 = nullptr;

    // Chooses the face (sequences or cues) and refreshes it.
    void FormActivate();
    // Ends in-place editing in both grids.
    void CheckEditing();
    // Lays the sequence grid out in the client area.
    void FormResize();
    // The slot's cell in the cue grid follows the slot's new sequence `row` (an index).
    void RefreshMultiSeqCell(int slot, int row, int previousRow);
    void ShowSequenceCell(int index);
    void DoubleSizeClick();
    bool DoubleSize() const { return doubleSize_; }
    // Dragging: whether a drop of `source`'s sequence is taken at (row, column), and the drop.
    bool GridSeqDragOver(QObject *source, int row, int column);
    void GridSeqDragDrop(QObject *source, int row, int column);
    // The drag source (a sequence index, -1 none) as a press remembers it.
    int DragSource = -1;
    // A click on a cue-grid cell; Space and Enter act on the current cell the same way.
    void GridMultiSeqClick(int row, int column);
    SequenceGridLayout Layout() const { return layout_; }

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void SetupGrid(QTableWidget *grid);
    void GridSeqSelectCell(int row, int column);
    void GridMultiSeqSelectCell(int row, int column);
    void CommitRename(int row, int column, const QString &text);
    void SetEditing(bool on);
    void ApplyFaceSizes();
    void RewriteSequenceBox();
    void ToggleSlot(int slot, int sequence);
    void SetMultiRows();
    void StartDrag();
    void SetToolItems(bool on);

    SequenceCellPainter *seqPainter_ = nullptr;
    SequenceGridLayout layout_;
    bool relayout_ = false;
    bool doubleSize_ = false;
    int separator_ = 24;
    QPoint pressAt_;
    bool pressed_ = false;
    friend class SequenceCellPainter;
};

extern TSequencesList *SequencesList;
