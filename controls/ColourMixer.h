// Colour mixer: a hue/saturation disc, a darkness bar, a sample swatch and a reset button,
// delivering cyan, magenta and yellow amounts (or red, green and blue with RGBset).
#pragma once

#include "controls/ControlProps.h"
#include "controls/TColor.h"

#include <QImage>
#include <QWidget>
#include <array>

class TCMY : public QWidget, public TControlProps {
    Q_OBJECT
    Q_PROPERTY(int Cyan READ GetCyan WRITE setCyan)
    Q_PROPERTY(int Magenta READ GetMagenta WRITE setMagenta)
    Q_PROPERTY(int Yellow READ GetYellow WRITE setYellow)
    Q_PROPERTY(bool RGBset READ RGBset WRITE setRGBset)

public:
    explicit TCMY(QWidget *parent = nullptr);

    unsigned char GetCyan() const { return m_bytes[0]; }
    unsigned char GetMagenta() const { return m_bytes[1]; }
    unsigned char GetYellow() const { return m_bytes[2]; }
    bool RGBset() const { return m_rgb; }
    void SetCyan(unsigned char v);
    void SetMagenta(unsigned char v);
    void SetYellow(unsigned char v);
    void SetRGB(bool v);
    // Places the markers from the stored bytes.
    void SetPosition();
    void MouseSetBall(int x, int y);
    void MouseSetIntensity(int y);

    void setCyan(int v) { SetCyan((unsigned char)v); }
    void setMagenta(int v) { SetMagenta((unsigned char)v); }
    void setYellow(int v) { SetYellow((unsigned char)v); }
    void setRGBset(bool v) { SetRGB(v); }

    // Layout for the present height.
    int margin() const { return height() / 36; }
    int discSide() const { return height() * 34 / 36; }
    int barWidth() const { return height() * 4 / 36; }
    int discRadius() const { return discSide() / 2 - 2; }
    QPoint discCentre() const { return QPoint(margin() + discSide() / 2, margin() + discSide() / 2); }
    // The picked marker state.
    int hue() const { return m_hue; }
    int radius() const { return m_radius; }
    int darkness() const { return m_darkness; }
    // The ball marker's point (control coordinates).
    QPoint ballPoint() const;
    // The sample colour for the picked hue, radius and darkness.
    TColor sampleColor() const;
    bool resetPressed() const { return m_resetPressed; }

    // Amounts (c, m, y) of a hue 0..359.
    static std::array<int, 3> hueAmounts(int h);

signals:
    void OnChange(QObject *sender);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    bool usable() const { return discRadius() >= 1; }
    void takeBytesFromSample();
    void BallPaint();
    void PoolPaint();
    void relayout();

    std::array<unsigned char, 3> m_bytes{0, 0, 0};
    bool m_rgb = false;
    int m_hue = 0;
    int m_radius = 0;
    int m_darkness = 0;
    QImage m_disc;
    QImage m_bar;
    QSize m_layoutFor;
    bool m_ballDrag = false;
    bool m_darkDrag = false;
    bool m_resetPressed = false;
};
