// A vertical channel fader with a triangular step button at each end, its track shaded from
// FirstColor at the ends to SecondColor in the middle.
#pragma once

#include "controls/ControlProps.h"
#include "controls/TColor.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>

class THintWindow;

class TTracker : public QWidget, public TControlProps {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(unsigned int Color READ Color WRITE setColor)
    Q_PROPERTY(unsigned int FirstColor READ FirstColor WRITE setFirstColor)
    Q_PROPERTY(unsigned int SecondColor READ SecondColor WRITE setSecondColor)

public:
    explicit TTracker(QWidget *parent = nullptr);
    ~TTracker() override;

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    TColor Color() const { return m_color; }
    TColor FirstColor() const { return m_first; }
    TColor SecondColor() const { return m_second; }

    void SetMin(int v);
    void SetMax(int v);
    void SetPosition(int v);
    void SetColor(TColor v);
    void SetFirstColor(TColor v);
    void SetSecondColor(TColor v);
    void SetHint(int value);
    // Forgets the layout and repaints, so that the track image is rebuilt.
    void Review();

    void setMin(int v) { SetMin(v); }
    void setMax(int v) { SetMax(v); }
    void setPosition(int v) { SetPosition(v); }
    void setColor(unsigned int v) { SetColor(v); }
    void setFirstColor(unsigned int v) { SetFirstColor(v); }
    void setSecondColor(unsigned int v) { SetSecondColor(v); }

    // Layout values for the present size.
    int trackTop() const;
    int trackBottom() const;
    int trackLength() const { return trackBottom() - trackTop(); }
    int knobTop() const;
    bool topHeld() const { return m_topHeld; }
    bool bottomHeld() const { return m_bottomHeld; }
    int repeatInterval() const { return m_timer ? m_timer->interval() : -1; }
    QString hintText() const;
    bool hintVisible() const;

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
    int layoutWidth() const;
    int stepHeight() const;
    bool tooShort() const { return height() < width() + 10; }
    bool mouseUsable() const;
    int valueAt(int y, bool clampTrack) const;
    QRect knobRect() const;
    void press(const QPoint &pos);
    void buildTrack();
    QImage buildKnob() const;

    int m_min = 0;
    int m_max = 255;
    int m_position = 0;
    TColor m_color = clBtnFace;
    TColor m_first = clBtnHighlight;
    TColor m_second = clBtnShadow;

    THintWindow *m_hint = nullptr;
    bool m_mouseInside = false;
    QImage m_track;
    QRect m_layoutFor; // bounds the track image was made for
    bool m_topHeld = false;
    bool m_bottomHeld = false;
    bool m_dragging = false;
    std::unique_ptr<QTimer> m_timer;
};
