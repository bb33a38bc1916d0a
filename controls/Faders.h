// Faders: a knob on a slotted track with a scale, set by the mouse, with an optional fine lane
// holding a second value 0..255. TSliderh runs left to right, TSlider bottom to top.
#pragma once

#include "controls/ControlProps.h"
#include "controls/TColor.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>

class THintWindow;

class TSliderBase : public QWidget, public TControlProps {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Add READ Add WRITE setAdd)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(int FinePosition READ FinePosition WRITE setFinePosition)
    Q_PROPERTY(unsigned int Color READ Color WRITE setColor)
    Q_PROPERTY(bool Inverted READ Inverted WRITE setInverted)
    Q_PROPERTY(bool M16bit READ M16bit WRITE setM16bit)

public:
    ~TSliderBase() override;

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Add() const { return m_add; }
    int Position() const { return m_position; }
    int FinePosition() const { return m_fine; }
    TColor Color() const { return m_color; }
    bool Inverted() const { return m_inverted; }
    bool M16bit() const { return m_16bit; }

    void SetMin(int v);
    void SetMax(int v);
    void SetPosition(int v);
    void SetFinePosition(int v);
    void SetColor(TColor v);
    void SetInverted(bool v);
    void Set16bit(bool v);
    void SetAdd(int v) { m_add = v; }

    // Property writers under the names form files use.
    void setMin(int v) { SetMin(v); }
    void setMax(int v) { SetMax(v); }
    void setAdd(int v) { SetAdd(v); }
    void setPosition(int v) { SetPosition(v); }
    void setFinePosition(int v) { SetFinePosition(v); }
    void setColor(unsigned int v) { SetColor(v); }
    void setInverted(bool v) { SetInverted(v); }
    void setM16bit(bool v) { Set16bit(v); }
    void setCursorId(int id) { applyCursorId(this, id); }

    // Shows value + Add in the hint window at the pointer (only while the pointer is inside).
    void SetHint(int value);
    QString hintText() const;
    bool hintVisible() const;
    bool mouseInside() const { return m_mouseInside; }
    // Interval of the running repeat timer, -1 when none runs.
    int repeatInterval() const { return m_timer ? m_timer->interval() : -1; }

public slots:
    void OnTimer();

signals:
    void OnChange(QObject *sender);

protected:
    TSliderBase(bool vertical, QWidget *parent);

    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;

private:
    int axisLength() const { return m_vertical ? height() : width(); }
    int acrossLength() const { return m_vertical ? width() : height(); }
    int along(const QPoint &p) const { return m_vertical ? p.y() : p.x(); }
    int acrossOf(const QPoint &p) const { return m_vertical ? p.x() : p.y(); }
    // True when a larger value lies further along the axis.
    bool forward() const { return m_vertical ? m_inverted : !m_inverted; }
    // A rectangle given along / across the axis, in control coordinates.
    QRect axisRect(int a, int c, int alen, int clen) const;
    int coarseEdge() const;
    int fineEdge() const;
    QRect coarseKnobRect() const;
    QRect fineKnobRect() const;
    qint64 valueAt(int p) const;
    int fineAt(int p) const;
    bool inFineLane(const QPoint &p) const;
    void press(Qt::MouseButton button, const QPoint &pos);
    void stopTimer();
    void buildTrack();
    QImage buildCoarseKnob() const;
    QImage buildFineKnob() const;

    bool m_vertical;
    int m_min = 0;
    int m_max = 255;
    int m_add = 0;
    int m_position = 0;
    int m_fine = 0;
    TColor m_color = clBtnFace;
    bool m_inverted = false;
    bool m_16bit = false;

    std::unique_ptr<QTimer> m_timer;
    QImage m_track;
    THintWindow *m_hint = nullptr;
    bool m_mouseInside = false;
    bool m_dragging = false;
    bool m_fineDragging = false;
    Qt::MouseButton m_dragButton = Qt::NoButton;
    QPoint m_screenPos;
};

class TSliderh : public TSliderBase {
    Q_OBJECT
public:
    explicit TSliderh(QWidget *parent = nullptr);
};

class TSlider : public TSliderBase {
    Q_OBJECT
public:
    explicit TSlider(QWidget *parent = nullptr);
};
