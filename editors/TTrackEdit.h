// The track editor: the pan/tilt path of a moving head across the current sequence's
// scenes in a square field, with dragging, the "Sewing-machine" pencil, shape generators
// and "Restore". A tool window on top of the main window.
#pragma once

#include "TrackPaths.h"

#include <QPoint>
#include <QWidget>

namespace Ui {
class TTrackEdit;
}
class QMenu;
class QPainter;
class TRegForm;

class TTrackEdit : public QWidget {
    Q_OBJECT

public:
    explicit TTrackEdit(QWidget *parent = nullptr);
    ~TTrackEdit() override;   // clears TrackEdit

    Ui::TTrackEdit *ui;
    TRegForm *RegForm1 = nullptr;
    QMenu *FieldPopup = nullptr;

    // Clears the inactive mark and sets the editor up for the selected fixture and the
    // current sequence (hides and closes without them).
    void FormActivate();
    // Ends the pencil, takes a pending change into the fixtures, keeps the place and
    // marks the editor inactive.
    void FormDeactivate();
    // A fixture row: its channels, mode and saved path.
    void SelectRow(int row, bool fromList);
    void UndoClick();
    void PencilClick();
    void ShowPage(int page);
    // Runs a generator by its page (0 resize .. 5 star) and follows it.
    void ApplyGenerator(int page);
    void Mirror(int axis);
    void SetZoom(int zoom);
    bool RestoreEnabled() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void PaintField(QPainter &p);
    void FieldMouse(QEvent *event);
    void CloseStep();
    void UpdateVisible();
    void Changed();
    void SceneToStage();
    void OutputPoint(int scene);
    void ShowValues(int scene);
    void RangeChanged();
    void EndPencil();
    QPoint FieldPoint(const QPoint &at) const;

    bool listClicking_ = false;
    bool settingUp_ = false;
    int dragScene_ = -1;
    bool banding_ = false;
    QPoint band0_, band1_;
    bool boxShown_ = false;
    bool boxDragging_ = false;
    QPoint boxGrab_;
    TrackBox box_;
    int rightScene_ = -1;
};

extern TTrackEdit *TrackEdit;
// The track editor, made once.
TTrackEdit *MakeTrackEdit();
