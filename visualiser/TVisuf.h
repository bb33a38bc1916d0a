// The visualiser window "Brantoval Visual Emulator": the room, the 3D objects, the
// fixture bodies and their beams drawn from the live output into the paint box, redrawn
// by a timer only when the output or the view changed. The window is made and freed by
// the main window's "Visual Emulator" item and button.
#pragma once

#include "TVisufRender.h"

#include <QMainWindow>
#include <QPoint>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QTimer;
class TRegForm;

namespace Ui {
class TVisuf;
}

// The paint box only blits the picture; an expose the window did not ask for is told
// through onRepaint.
class TVisufPaintBox : public QWidget {
    Q_OBJECT

public:
    explicit TVisufPaintBox(QWidget *parent = nullptr);

    const FrameBuffer *picture = nullptr;
    bool blitRequested = false;
    std::function<void()> onRepaint;
    std::function<void()> onResize;
    std::function<void(QPoint, Qt::MouseButton)> onMouseDown;
    std::function<void(QPoint, Qt::MouseButtons)> onMouseMove;
    std::function<void()> onDoubleClick;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

// The view settings kept in "VisufPars".
struct VisufParams {
    int lines = 2;
    bool fill = true;
    float angle1 = 0, angle2 = 180, scale = 2000;
    bool roomWires = false, fixtureWires = false;
};
// Seven little-endian int16 and a 0: Lines, Filling Beams, angle 2, angle 1, scale (the
// angles reduced modulo 360, each truncated), Room Wires, Fixture Wires.
std::vector<std::uint8_t> EncodeVisufPars(const VisufParams &params);
// False unless exactly 16 bytes.
bool DecodeVisufPars(const std::vector<std::uint8_t> &bytes, VisufParams &params);
// The filled-beams timer interval from time-stamp counts over some milliseconds.
int FilledBeamsInterval(std::uint64_t counts, std::uint32_t ms);

class TVisuf : public QMainWindow {
    Q_OBJECT

public:
    explicit TVisuf(QWidget *parent = nullptr);
    ~TVisuf() override;

    void FormCreate();
    void PaintBoxPaint();
    void PaintBoxRepaint();
    void FormResize();
    void PaintBoxMouseDown(QPoint pos, Qt::MouseButton button);
    void PaintBoxMouseMove(QPoint pos, Qt::MouseButtons buttons);
    void PaintBoxDblClick();
    void Front1Click();
    void Right1Click();
    void Top1Click();
    void AutoRotateClick();
    void FixturesClick();
    void RoomSizeClick();
    void Objects3DClick();
    void CloFixClick();
    void CloRoomClick();
    void Clo3DClick();
    void SelectScan();
    void XEditChange();
    void XRotChange();
    void WUpDownChange();
    void HUpDownChange();
    void LUpDownChange();
    void SpotOnlyClick();
    void FillClick();
    // The "3D objects" panel (TVisufObjects.cpp).
    void Load3DobjClick();
    void Imp3dClick();
    void SaveObjClick();
    void ColobutClick();
    void XObjChange();
    void XRotObjChange();
    void CentreClick();
    void ScaleButtonClick();
    void DelObjClick();
    void DeleteAllClick();
    // Numbers the grid's cells for the objects (4 a row, count / 4 + 1 rows), white.
    void GridObjectSelectorDrawCell();
    void GridObjectSelectorSelectCell(int row, int column);
    // Appends the objects of a *.cr3 file and names the scene after it; false when it gave
    // no object (the scene and its name stay as they were).
    bool LoadCr3File(const std::string &path);
    // Writes "VisufPars" and lets the main window's item and button go (once).
    void FormClose();
    // Stops the timer and the paint under way; frees the room, the picture and the models
    // (the models only once no paint is under way).
    void FormDestroy();

    Ui::TVisuf *ui;
    VisualScene Scene;
    FrameBuffer Picture;
    QTimer *Timer = nullptr;
    int FilledInterval = 50;
    int PictureCounter = 1;
    std::uint8_t Painting = 0;      // re-entry byte
    std::uint8_t StopPaint = 0;     // set by FormDestroy
    std::uint8_t FillingEdits = 0;  // edit handlers idle while set
    std::array<std::uint8_t, 1024> Snapshot{};

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void SetView(float angle1, float angle2);
    void ShowPanel(QWidget *panel);
    void ResizeRoomAxis(int axis, double value);
    void PlacementEdited(int first);
    void PlaceModels();
    void ApplyParams(const VisufParams &params);
    VisufParams CurrentParams() const;
    void StartTimer();
    void ObjectPanelCreate();
    // Fills the edits and the grid cell of object `index`, then a short wait and a frame.
    void SelectObject(int index, int waitMs = 20);
    bool PickObject(QPoint pos);
    void SetSceneName(const std::string &name);
    // Loads the scene the show names from "3dobj" when no object is loaded (the name stays).
    void AutoLoadScene();
    bool closed_ = false;
    QPoint mouse_;
    TRegForm *RegForm1 = nullptr;   // keeps the window's place between runs
};

extern TVisuf *Visuf;

// Creates and shows the window (when none is there).
void OpenVisualiser();
// Closes it ("VisufPars" written) and frees it.
void CloseVisualiser();
// Frees it without closing (shut-down).
void ReleaseVisualiser();
// The main window's hooks into the visualiser and the 3D-object scene.
void InstallVisualiserHooks();
