// Properties every control of the library carries besides its own: the Tag integer,
// the cursor as the class library's cursor number, the hint text and the hint and
// parent flags. The component streams read and write them.
#pragma once

#include <QByteArray>
#include <QWidget>

// Cursor numbers.
constexpr int crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
              crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
              crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
              crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
              crSizeAll = -22;

// Drag modes.
enum TDragMode { dmManual = 0, dmAutomatic = 1 };

class TControlProps {
public:
    virtual ~TControlProps() = default;

    int Tag() const { return m_tag; }
    void SetTag(int v) { m_tag = v; }
    int CursorId() const { return m_cursor; }
    const QByteArray &HintText() const { return m_hintText; }
    void SetHintText(const QByteArray &v) { m_hintText = v; }
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool v) { m_showHint = v; }
    bool ParentShowHint() const { return m_parentShowHint; }
    void SetParentShowHint(bool v) { m_parentShowHint = v; }
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool v) { m_parentColor = v; }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool v) { m_parentFont = v; }
    int DragCursor() const { return m_dragCursor; }
    void SetDragCursor(int v) { m_dragCursor = v; }
    int DragMode() const { return m_dragMode; }
    void SetDragMode(int v) { m_dragMode = v; }

protected:
    // Stores the cursor number and gives the widget the matching pointer shape.
    void applyCursorId(QWidget *self, int id);

private:
    int m_tag = 0;
    int m_cursor = crDefault;
    QByteArray m_hintText;
    bool m_showHint = false;
    bool m_parentShowHint = true;
    bool m_parentColor = true;
    bool m_parentFont = true;
    int m_dragCursor = crDrag;
    int m_dragMode = dmManual;

    friend void setControlCursor(QWidget *w, int id);
};

// Registers the library's bitmaps ("MSPINUP", "MSPINDOWN", "CLOSE") with the resource system.
void ensureControlResources();
// Sets the cursor number of a control of the library (ignored for other widgets).
void setControlCursor(QWidget *w, int id);
// The pointer shape for a cursor number.
Qt::CursorShape cursorShapeFor(int id);
// The control's own Visible and Enabled flags (not whether it is shown right now).
bool controlVisible(const QWidget *w);
bool controlEnabled(const QWidget *w);
// The colour a control takes as the parent's brush: the parent's own Color property, else clBtnFace.
unsigned int parentBrushColor(const QWidget *w);
