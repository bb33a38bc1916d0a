// Pan/tilt pad: a ball on a square field for two coordinates 0..255, with fine bytes and a
// step strip that chooses the step of relative mouse movement in 16-bit mode.
#pragma once

#include "controls/ControlProps.h"
#include "controls/TColor.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

class TFieldXY : public QWidget, public TControlProps {
    Q_OBJECT
    Q_PROPERTY(bool TwoSize READ TwoSize WRITE setTwoSize)
    Q_PROPERTY(bool M16bit READ M16bit WRITE setM16bit)
    Q_PROPERTY(int PositionX READ GetX WRITE setPositionX)
    Q_PROPERTY(int PositionY READ GetY WRITE setPositionY)
    Q_PROPERTY(int FineX READ GetFineX WRITE setFineX)
    Q_PROPERTY(int FineY READ GetFineY WRITE setFineY)
    Q_PROPERTY(int Delta READ Delta WRITE setDelta)
    Q_PROPERTY(unsigned int Color READ Color WRITE setColor)
    Q_PROPERTY(bool Inverted READ Inverted WRITE setInverted)

public:
    explicit TFieldXY(QWidget *parent = nullptr);
    ~TFieldXY() override;

    bool TwoSize() const { return m_twoSize; }
    bool M16bit() const { return m_16bit; }
    int GetX() const { return m_inverted ? 255 - m_x : m_x; }
    int GetY() const { return m_inverted ? 255 - m_y : m_y; }
    int GetFineX() const { return m_inverted ? 255 - m_fx : m_fx; }
    int GetFineY() const { return m_inverted ? 255 - m_fy : m_fy; }
    int Delta() const { return m_delta; }
    TColor Color() const { return m_color; }
    // The colour the ball is painted in: `Color` unless ShowBallIn gave another.
    TColor BallColor() const { return m_ballColor.value_or(m_color); }
    bool Inverted() const { return m_inverted; }

    void SetX(int v);
    void SetY(int v);
    void SetFineX(int v);
    void SetFineY(int v);
    // Takes stored (screen orientation) values.
    void SetPosition(int x, int y);
    void SetDelta(int v);
    void Set16bit(bool v);
    void SetTwoSize(bool v);
    void SetColor(TColor v);
    // Paints the ball in `v` while `Color`, the colour that is streamed, keeps its value.
    void ShowBallIn(TColor v);
    void SetInverted(bool v);
    // The value readouts show the stored values (not the pointer's last place).
    void ShowStoredReadouts();
    // Direction marker: 0 none, 1 right, 2 left, 3 down, 4 up.
    void DrawDir(int direction);

    void setTwoSize(bool v) { SetTwoSize(v); }
    void setM16bit(bool v) { Set16bit(v); }
    void setPositionX(int v) { SetX(v); }
    void setPositionY(int v) { SetY(v); }
    void setFineX(int v) { SetFineX(v); }
    void setFineY(int v) { SetFineY(v); }
    void setDelta(int v) { SetDelta(v); }
    void setColor(unsigned int v) { SetColor(v); }
    void setInverted(bool v) { SetInverted(v); }
    void setCursorId(int id) { applyCursorId(this, id); }

    int scale() const { return m_twoSize ? 2 : 1; }
    // The ball's centre for the stored values (control coordinates).
    QPoint ballCentre() const;
    int direction() const { return m_dir; }
    bool dragging() const { return m_dragging; }
    int repeatInterval() const { return m_timer ? m_timer->interval() : -1; }
    QString readoutX() const { return m_readX; }
    QString readoutY() const { return m_readY; }

public slots:
    void OnTimer();

signals:
    void OnChange(QObject *sender);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;

private:
    int frame() const { return 276 / scale(); }
    int valueAt(int p) const { return scale() * (p - 10 / scale()); }
    QRect ballRect() const;
    QRect stripRect() const;
    void rightPress(const QPoint &pos);
    int directionToward(const QPoint &pos) const;
    void setReadouts(int x, int fx, int y, int fy, bool fineZero);
    void stopTimer() { m_timer.reset(); }
    void paintField(QPainter &p);
    void paintStrip(QPainter &p);
    void paintBall(QPainter &p);

    bool m_twoSize = false;
    bool m_16bit = false;
    int m_x = 0, m_y = 0, m_fx = 0, m_fy = 0; // stored, in screen orientation
    int m_delta = 256;
    TColor m_color = clBtnFace;
    std::optional<TColor> m_ballColor;
    bool m_inverted = false;

    bool m_dragging = false;
    bool m_painted = false;
    int m_dir = 0;
    std::unique_ptr<QTimer> m_timer;
    QPoint m_screenPos;
    QString m_readX, m_readY;
};
