// Panels: TPlayPanel (a mirrored colour gradient in horizontal bands) and TFrameMy (a small
// floating panel with a title bar and a close button, dragged about inside its parent).
#pragma once

#include "controls/ControlProps.h"
#include "controls/TColor.h"

#include <QFrame>

class TSpeedButton;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// Bevel and border settings both panels share.
class TBevelPanel : public QFrame, public TControlProps {
    Q_OBJECT
    Q_PROPERTY(unsigned int Color READ Color WRITE setColor)
    Q_PROPERTY(int BevelOuter READ BevelOuter WRITE setBevelOuter)
    Q_PROPERTY(int BevelInner READ BevelInner WRITE setBevelInner)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE setBevelWidth)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)

public:
    TColor Color() const { return m_color; }
    int BevelOuter() const { return m_bevelOuter; }
    int BevelInner() const { return m_bevelInner; }
    int BevelWidth() const { return m_bevelWidth; }
    int BorderWidth() const { return m_borderWidth; }
    const QByteArray &Caption() const { return m_caption; }
    void SetColor(TColor v) { if (v != m_color) { m_color = v; update(); } }
    void SetCaption(const QByteArray &v) { m_caption = v; update(); }
    void setColor(unsigned int v) { SetColor(v); }
    void setBevelOuter(int v) { m_bevelOuter = v; update(); }
    void setBevelInner(int v) { m_bevelInner = v; update(); }
    void setBevelWidth(int v) { m_bevelWidth = std::max(1, v); update(); }
    void setBorderWidth(int v) { m_borderWidth = std::max(0, v); update(); }

protected:
    explicit TBevelPanel(QWidget *parent);
    // Outer bevel, border in Color, inner bevel.
    void Frames(QPainter &p);

    TColor m_color = clBtnFace;
    int m_bevelOuter = bvRaised;
    int m_bevelInner = bvNone;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    QByteArray m_caption;
};

class TPlayPanel : public TBevelPanel {
    Q_OBJECT
    Q_PROPERTY(unsigned int ColorSecond READ ColorSecond WRITE setColorSecond)
    Q_PROPERTY(int Division READ Division WRITE setDivision)

public:
    explicit TPlayPanel(QWidget *parent = nullptr);

    TColor ColorSecond() const { return m_second; }
    short Division() const { return m_division; }
    void SetColorSecond(TColor v);
    void SetDivision(short v);
    void setColorSecond(unsigned int v) { SetColorSecond(v); }
    void setDivision(int v) { SetDivision(short(v)); }
    // The height the gradient is laid out for (raised to a multiple of the band count).
    int gradientHeight() const;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    TColor m_second = clBtnShadow;
    short m_division = 1;
};

class TFrameMy : public TBevelPanel {
    Q_OBJECT
public:
    explicit TFrameMy(QWidget *parent = nullptr);
    TSpeedButton *CloseButton() const { return m_close; }

public slots:
    virtual void ClosClick();

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    TSpeedButton *m_close;
    QPoint m_pressPoint;
};
