// A rotary knob over a 256-degree sweep with the value written in its middle.
#pragma once

#include "controls/ControlProps.h"
#include "controls/TColor.h"

#include <QWidget>
#include <functional>

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
    pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

// Outline and fill settings; a change calls the owner back.
class TPen {
public:
    TColor Color = clBlack;
    int Mode = pmCopy;
    int Style = psSolid;
    int Width = 1;
    std::function<void()> OnChange;

    void SetColor(TColor v) { Color = v; changed(); }
    void SetMode(int v) { Mode = v; changed(); }
    void SetStyle(int v) { Style = v; changed(); }
    void SetWidth(int v) { Width = v < 0 ? 0 : v; changed(); }
    void Assign(const TPen &o) { Color = o.Color; Mode = o.Mode; Style = o.Style; Width = o.Width; changed(); }

private:
    void changed() { if (OnChange) OnChange(); }
};

class TBrush {
public:
    TColor Color = clWhite;
    int Style = bsSolid;
    std::function<void()> OnChange;

    void SetColor(TColor v) { Color = v; changed(); }
    void SetStyle(int v) { Style = v; changed(); }
    void Assign(const TBrush &o) { Color = o.Color; Style = o.Style; changed(); }

private:
    void changed() { if (OnChange) OnChange(); }
};

class TKnobL : public QWidget, public TControlProps {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Position READ Position WRITE setPosition)

public:
    explicit TKnobL(QWidget *parent = nullptr);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    TBrush &Brush() { return m_brush; }
    TPen &Pen() { return m_pen; }
    const TBrush &Brush() const { return m_brush; }
    const TPen &Pen() const { return m_pen; }

    void SetBrush(const TBrush &b) { m_brush.Assign(b); }
    void SetPen(const TPen &p) { m_pen.Assign(p); }
    void SetParams(int position, int min, int max);
    void SetMin(int v) { SetParams(m_position, v, m_max); }
    void SetMax(int v) { SetParams(m_position, m_min, v); }
    void SetPosition(int v);
    // Sets the value from a pointer position (control coordinates).
    void MouseSet(int x, int y);

    void setMin(int v) { SetMin(v); }
    void setMax(int v) { SetMax(v); }
    void setPosition(int v) { SetPosition(v); }

    // End of the pointer line for the present value (control coordinates).
    QPointF pointerEnd() const;
    QPointF knobCentre() const;

signals:
    void OnChange(QObject *sender);
    void OnMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(QObject *sender, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void StyleChanged() { update(); }
    int faceDiameter() const;

    TPen m_pen;
    TBrush m_brush;
    int m_min = 0;
    int m_max = 255;
    int m_position = 0;
    bool m_dragging = false;
};
