// The "Cue List" window: the grid of cues with their numbers and names, the add, delete
// and update buttons, the pop-up menu, in-place renaming, drag reordering and the status
// line of the current cue's slots. Always on top.
#pragma once

#include <QWidget>

#include <cstdint>

namespace Ui {
class TCueListF;
}
class QMenu;
class QMimeData;
class QTableWidget;
class TRegForm;
class TSpeedButton;

// The MIME type of a dragged cue; the payload is the 0-based cue index in decimal.
inline constexpr const char *CueMimeType = "application/x-brtv-cue";

class TCueListF : public QWidget {
    Q_OBJECT

public:
    explicit TCueListF(QWidget *parent = nullptr);
    ~TCueListF() override;

    Ui::TCueListF *ui;

    // Handlers.
    void CuePlusClick();
    void CueMinusClick();
    void UpdateLClick();
    void Rename1Click();
    // The cue of table row `row` applied; `column` 1 allows in-place editing. False when
    // refused (no cues, or a name being edited).
    bool GridCueListSelectCell(int row, int column);
    QString GridCueListGetEditText(int row);
    void GridCueListSetEditText(int row, const QString &text);
    void GridCueListKeyUp(int key);
    // A left press at a viewport point: arms a drag of the cue under it (never while
    // playing or editing). True when armed.
    bool GridCueListMouseDown(Qt::MouseButton button, const QPoint &pos);
    // A drag from `source` carrying `data` over / dropped on table row `row` (-1 outside
    // the cells).
    bool GridCueListDragOver(const QObject *source, const QMimeData *data, int row) const;
    bool GridCueListDragDrop(const QObject *source, const QMimeData *data, int row);

    // Selects cue n and applies it; nothing when there is no such cue.
    void SelectCue(int n);
    // Rows and status from the cue table.
    void Refresh();
    // The same after the show's cues were replaced, closing the name editor unstored.
    void Refill();

    QTableWidget *GridCueList = nullptr;
    TSpeedButton *CuePlus = nullptr;
    TSpeedButton *CueMinus = nullptr;
    TSpeedButton *UpdateL = nullptr;
    QMenu *Popup = nullptr;
    TRegForm *RegForm1 = nullptr;
    int DragRow = -1;
    std::uint8_t EditingName = 0;
    bool DragArmed() const { return dragArmed_; }
    // An in-place editor is open in the grid.
    bool InPlaceEditing() const;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void InstallHooks();
    void EndEditing();
    void StartDrag();
    void ShowStatus(int cue);
    void ApplyEditTriggers(int column);
    bool CuesLocked() const;

    bool dragArmed_ = false;
    QPoint pressPos_;
    bool selecting_ = false;
    bool refreshQueued_ = false;
};

extern TCueListF *CueListF;
