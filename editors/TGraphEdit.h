// The values/time editor: one channel's levels, the scene times or the fade times of the
// current sequence drawn over its scenes, edited with a pencil and a line, a block
// clipboard with one-block undo, the wave generator and the fan. Its client panel is
// docked into the main window in place of the work area while it is open.
#pragma once

#include <QPoint>
#include <QWidget>

namespace Ui {
class TGraphEdit;
}
class QMenu;
class QPainter;
class TTracker;
struct WaveSettings;

class TGraphEdit : public QWidget {
    Q_OBJECT

public:
    explicit TGraphEdit(QWidget *parent = nullptr);
    ~TGraphEdit() override;   // gives a docked panel back; clears GraphEdit

    Ui::TGraphEdit *ui;

    // Puts PanelGraph into the main window in place of its work area.
    void Dock();
    bool Docked() const { return docked_; }
    // The fixture list, the chosen channel, the panes' sizes and the scroll bar from the
    // show; repaints.
    void FormAssignment();
    void ExtSeqChange();
    void MarkerPaint();
    void ValuesOnePaint(int scene);
    // Writes the undo block back and makes its fixture, sequence and scene current.
    void RestoreUndoBlock();
    // Remembers the chart's scroll, gives the panel back and frees the form.
    void CloseButtonClick();

    void EditValClick();
    void EditTempoClick();
    void EditFadeClick();
    void SelectFixtureRow(int row, bool fromTrackEditor = false);
    void CopySelected();
    void PasteFromBuffer();
    void ClearSelected();
    void FillFromBuffer();
    void ApplyClick();
    void FanModify(bool store);
    void SpeedButton1Click();
    void RandClick();

    TTracker *Amplitude = nullptr, *Offset = nullptr, *StPhase = nullptr, *Factor = nullptr, *Shift = nullptr;
    TTracker *AmpFan = nullptr, *ShiftFan = nullptr, *OffsetFan = nullptr;
    QMenu *PopupMenu = nullptr;     // ruler and rows
    QMenu *PopupMenuTr = nullptr;   // fixture list
    // The scene the marker stands on (-1 none).
    int MarkerScene() const { return marker_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildTrackers();
    void SetMode(int mode, bool ask);
    void UpdateValueLabel();
    void UpdateScrollBar();
    void ScrollBarChange(int position);
    void RepaintAll();
    void PaintTimes(QPainter &p);
    void PaintTracks(QPainter &p);
    void PaintValues(QPainter &p);
    void PaintWave(QPainter &p);
    void PaintMarker(QPainter &p, int height);
    void ValuesMouse(QEvent *event);
    void TimesMouse(QEvent *event);
    void TracksMouse(QEvent *event);
    void ShowHint(int y);
    void MakeSceneCurrent(int scene);
    void FollowTimeEdits(int scene);
    bool AskBlock(int operation);
    void AfterBlock();
    void SceneLevelsEdited();
    void UpdatePopup();
    void WaveSettingsChanged();
    WaveSettings CurrentWave() const;
    void FanTrackerChanged();
    void EnterFanPage();
    void LeaveFanPage();
    void PlaceGeneratorPanel();
    void DragGeneratorPanel(QEvent *event);
    void Undock();
    void FitChartPanel();
    bool chartFitPending_ = true;

    bool docked_ = false;
    int dockIndex_ = -1;
    int marker_ = -1;
    // Mouse state of the chart tools and the selections.
    bool drawing_ = false;
    int lineScene0_ = 0, lineY0_ = 0, lineScene1_ = 0, lineY1_ = 0;
    bool banding_ = false;
    int bandScene0_ = 0, bandScene1_ = 0, bandX0_ = 0;
    bool rectangling_ = false;
    QPoint rect0_, rect1_;
    bool fanPage_ = false;
    bool panelDrag_ = false;
    QPoint panelGrab_;
    int settingMode_ = 0;
};

extern TGraphEdit *GraphEdit;

// The editor's hooks into the main window's tool-window registry and seams, installed by
// the program with the main window as owner.
void InstallSequenceEditorHooks(const void *owner);
// The undo block back into the show when the editor is open ("Refresh Scene").
void RestoreUndoBlock();
// The chart's pencil cursor, painted in code.
QCursor PencilCursor();
