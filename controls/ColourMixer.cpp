#include "controls/ColourMixer.h"

#include "controls/ControlGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

TCMY::TCMY(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    resize(168, 144);
}

std::array<int, 3> TCMY::hueAmounts(int h)
{
    const int k = h * 256;
    if (h < 60)
        return {255, 255 - k / 60, 0};
    if (h < 120)
        return {255, 0, (k - 15360) / 60};
    if (h < 180)
        return {255 - (k - 30720) / 60, 0, 255};
    if (h < 240)
        return {0, (k - 46080) / 60, 255};
    if (h < 300)
        return {0, 255, 255 - (k - 61440) / 60};
    return {(k - 76800) / 60, 255, 0};
}

// ---- setters -------------------------------------------------------------------------------

void TCMY::SetCyan(unsigned char v)
{
    if (v == m_bytes[0])
        return;
    m_bytes[0] = v;
    SetPosition();
}

void TCMY::SetMagenta(unsigned char v)
{
    if (v == m_bytes[1])
        return;
    m_bytes[1] = v;
    SetPosition();
}

void TCMY::SetYellow(unsigned char v)
{
    if (v == m_bytes[2])
        return;
    m_bytes[2] = v;
    SetPosition();
}

void TCMY::SetRGB(bool v)
{
    if (v == m_rgb)
        return;
    m_rgb = v;
    SetPosition();
}

void TCMY::SetPosition()
{
    int a[3];
    for (int i = 0; i < 3; ++i)
        a[i] = m_rgb ? 255 - m_bytes[i] : m_bytes[i];
    const int c = a[0], m = a[1], y = a[2];
    const int lo = std::min({c, m, y});
    const int hi = std::max({c, m, y});
    const int radiusMax = std::max(0, discRadius());
    if (lo == 255 || (c == m && m == y)) {
        m_hue = 0;
        m_radius = 0;
    } else {
        m_radius = (hi - lo) * radiusMax / (255 - lo);
        int h;
        if (y == lo)
            h = (c - m) * 60 / (hi - lo);
        else if (m == lo)
            h = (y - c) * 60 / (hi - lo) + 120;
        else
            h = (m - y) * 60 / (hi - lo) + 240;
        if (h < 0)
            h += 360;
        m_hue = h % 360;
    }
    m_darkness = lo;
    PoolPaint();
    update();
}

// ---- colour --------------------------------------------------------------------------------

TColor TCMY::sampleColor() const
{
    const int a = discRadius();
    if (a < 1)
        return clWhite;
    const auto amt = hueAmounts(m_hue);
    int ch[3];
    for (int i = 0; i < 3; ++i) {
        const int v = (255 - m_radius * amt[i] / a) & 0xFF;
        ch[i] = v - m_darkness * v / 255;
    }
    return RGBColor(ch[0], ch[1], ch[2]);
}

void TCMY::takeBytesFromSample()
{
    const TColor s = sampleColor();
    const int ch[3] = {GetRValue(s), GetGValue(s), GetBValue(s)};
    for (int i = 0; i < 3; ++i)
        m_bytes[i] = (unsigned char)(m_rgb ? ch[i] : 255 - ch[i]);
}

QPoint TCMY::ballPoint() const
{
    const double rad = m_hue * M_PI / 180.0;
    const QPoint c = discCentre();
    return QPoint(c.x() + int(std::lround(-m_radius * std::sin(rad))),
                  c.y() + int(std::lround(m_radius * std::cos(rad))));
}

// ---- mouse ---------------------------------------------------------------------------------

void TCMY::MouseSetBall(int x, int y)
{
    const QPoint c = discCentre();
    const int dx = x - c.x();
    const int dy = y - c.y();
    if (dx == 0 && dy == 0) {
        m_hue = 0;
        m_radius = 0;
    } else {
        m_hue = pointerAngleDegrees(dx, dy) % 360;
        m_radius = std::min(int(std::trunc(std::sqrt(double(dx) * dx + double(dy) * dy))), discRadius());
    }
    PoolPaint();
    takeBytesFromSample();
    update();
}

void TCMY::MouseSetIntensity(int y)
{
    const int side = discSide();
    const int t = clampTo(y - margin(), 2, side - 2);
    m_darkness = (t - 2) * 255 / (side - 4);
    takeBytesFromSample();
    update();
}

void TCMY::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !usable())
        return;
    const QPoint pos = e->position().toPoint();
    const int m = margin(), side = discSide(), bar = barWidth();
    const int barX = side + 2 * m;
    const bool inDisc = pos.x() >= m && pos.x() < m + side && pos.y() >= m && pos.y() < m + side;
    const bool inBar = pos.x() >= barX && pos.x() < barX + bar && pos.y() >= m && pos.y() < m + side;
    if (!inDisc && !inBar)
        return;
    const auto before = m_bytes;
    if (pos.x() <= m + bar && pos.y() >= height() - bar) {
        m_resetPressed = true;
        update();
    } else if (inDisc) {
        m_ballDrag = true;
        MouseSetBall(pos.x(), pos.y());
    } else {
        m_darkDrag = true;
        MouseSetIntensity(pos.y());
    }
    if (m_bytes != before)
        emit OnChange(this);
}

void TCMY::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_ballDrag && !m_darkDrag)
        return;
    const QPoint pos = e->position().toPoint();
    const auto before = m_bytes;
    if (m_ballDrag)
        MouseSetBall(pos.x(), pos.y());
    else
        MouseSetIntensity(pos.y());
    if (m_bytes != before)
        emit OnChange(this);
}

void TCMY::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pos = e->position().toPoint();
    if (m_resetPressed) {
        m_resetPressed = false;
        m_bytes.fill(m_rgb ? 255 : 0);
        SetPosition();
        emit OnChange(this);
        return;
    }
    if (m_ballDrag || m_darkDrag) {
        const auto before = m_bytes;
        if (m_ballDrag)
            MouseSetBall(pos.x(), pos.y());
        else
            MouseSetIntensity(pos.y());
        m_ballDrag = false;
        m_darkDrag = false;
        // The last position may still change the bytes; the owner must hear of it.
        if (m_bytes != before)
            emit OnChange(this);
    }
}

// ---- painting ------------------------------------------------------------------------------

void TCMY::BallPaint()
{
    const int side = discSide();
    m_disc = QImage(std::max(1, side), std::max(1, side), QImage::Format_RGB32);
    m_disc.fill(toQColor(clBtnFace));
    const int a = discRadius();
    const int c = side / 2;
    const double half = side / 2.0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int dx = x - c, dy = y - c;
            const double f = std::sqrt(double(dx) * dx + double(dy) * dy);
            if (f <= 0 || f > a)
                continue;
            const auto amt = hueAmounts(pointerAngleDegrees(dx, dy) % 360);
            int ch[3];
            for (int i = 0; i < 3; ++i)
                ch[i] = int(std::trunc(255 - amt[i] * f / half));
            m_disc.setPixel(x, y, qRgb(ch[0], ch[1], ch[2]));
        }
    if (c < side)
        m_disc.setPixel(c, c, qRgb(255, 255, 255));
}

void TCMY::PoolPaint()
{
    const int side = discSide();
    const int bw = barWidth();
    if (side < 6 || bw < 1) {
        m_bar = QImage();
        return;
    }
    m_bar = QImage(bw, side, QImage::Format_RGB32);
    m_bar.fill(toQColor(clBtnFace));
    QPainter p(&m_bar);
    const int n = side - 5;
    const auto amt = hueAmounts(m_hue);
    int v[3];
    for (int i = 0; i < 3; ++i)
        v[i] = 255 - m_radius * amt[i] / (side / 2);
    for (int i = 0; i <= n; ++i) {
        p.setPen(QColor(v[0] - i * v[0] / n, v[1] - i * v[1] / n, v[2] - i * v[2] / n));
        p.drawLine(2, i + 2, bw - 2, i + 2);
    }
}

void TCMY::relayout()
{
    m_layoutFor = size();
    BallPaint();
    PoolPaint();
}

void TCMY::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), toQColor(clBtnFace));
    p.setPen(toQColor(clBtnShadow));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(toQColor(clBtnHighlight));
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    if (!usable())
        return;
    if (size() != m_layoutFor || m_disc.isNull())
        relayout();
    const int m = margin(), side = discSide(), bar = barWidth();
    const int barX = side + 2 * m;
    p.drawImage(m, m, m_disc);
    if (m_bar.isNull())
        PoolPaint();
    p.drawImage(barX, m, m_bar);
    // Bar pointer.
    p.setPen(Qt::white);
    const int py = m + m_darkness * (side - 4) / 256;
    p.drawLine(barX, py, barX + bar - 1, py);
    // Ball marker.
    const QPoint b = ballPoint();
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(b.x() - 2, b.y() - 2, 4, 4);
    // Sample swatch at the disc image's top left corner.
    p.fillRect(QRect(m, m, bar, bar), toQColor(sampleColor()));
    // Reset button at its bottom left corner: a white circle on black.
    const QRect rb(m, height() - bar - m, bar, bar);
    p.fillRect(rb, Qt::black);
    p.setPen(toQColor(m_resetPressed ? clBtnShadow : clBtnHighlight));
    p.drawLine(rb.topLeft(), rb.topRight());
    p.drawLine(rb.topLeft(), rb.bottomLeft());
    p.setPen(toQColor(m_resetPressed ? clBtnHighlight : clBtnShadow));
    p.drawLine(rb.bottomLeft(), rb.bottomRight());
    p.drawLine(rb.topRight(), rb.bottomRight());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::white, 1.5));
    const int shift = m_resetPressed ? 1 : 0;
    p.drawEllipse(QRectF(rb).adjusted(4 + shift, 4 + shift, -4 + shift, -4 + shift));
}
