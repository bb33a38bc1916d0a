#include "controls/Panels.h"

#include "controls/ControlGeometry.h"
#include "controls/SpeedButton.h"

#include <QMouseEvent>
#include <QPainter>

// ---- bevels --------------------------------------------------------------------------------

TBevelPanel::TBevelPanel(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::NoFrame);
}

namespace {
void frame3D(QPainter &p, QRect &r, const QColor &topLeft, const QColor &bottomRight, int width)
{
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        p.setPen(topLeft);
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.setPen(bottomRight);
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        r.adjust(1, 1, -1, -1);
    }
}
} // namespace

void TBevelPanel::Frames(QPainter &p)
{
    QRect r = rect();
    const QColor hi = toQColor(clBtnHighlight), sh = toQColor(clBtnShadow);
    if (m_bevelOuter != bvNone)
        frame3D(p, r, m_bevelOuter == bvLowered ? sh : hi, m_bevelOuter == bvLowered ? hi : sh, m_bevelWidth);
    const QColor c = toQColor(m_color);
    frame3D(p, r, c, c, m_borderWidth);
    if (m_bevelInner != bvNone)
        frame3D(p, r, m_bevelInner == bvLowered ? sh : hi, m_bevelInner == bvLowered ? hi : sh, m_bevelWidth);
}

// ---- TPlayPanel ----------------------------------------------------------------------------

TPlayPanel::TPlayPanel(QWidget *parent)
    : TBevelPanel(parent)
{
    m_color = RGBColor(255, 255, 255);
    resize(185, 41);
}

void TPlayPanel::SetColorSecond(TColor v)
{
    if (v == m_second)
        return;
    m_second = v;
    update();
}

void TPlayPanel::SetDivision(short v)
{
    if (v == m_division)
        return;
    m_division = v;
    update();
}

int TPlayPanel::gradientHeight() const
{
    // Fewer than one band pair makes no sense; one is taken.
    const int div = std::max<int>(1, m_division);
    int h = height();
    if (h % div != 0)
        h += div - h % div;
    return h;
}

void TPlayPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int div = std::max<int>(1, m_division);
    const int h = gradientHeight();
    const int b = h / (2 * div);
    const TColor c1 = ColorToRGB(m_color);
    const TColor c2 = ColorToRGB(m_second);
    const int w = width();
    p.fillRect(rect(), toQColor(c2));
    for (int n = 0; n <= 255; ++n) {
        const QColor col(GetRValue(c1) + MulDiv(GetRValue(c2) - GetRValue(c1), n, 255),
                         GetGValue(c1) + MulDiv(GetGValue(c2) - GetGValue(c1), n, 255),
                         GetBValue(c1) + MulDiv(GetBValue(c2) - GetBValue(c1), n, 255));
        for (int i = 0; i < div; ++i) {
            const int band = MulDiv(h, i, div);
            const int y0 = MulDiv(n, b, 256) + band;
            const int y1 = MulDiv(n + 1, b, 256) + band;
            if (y1 <= y0)
                continue;
            p.fillRect(QRect(0, y0, w, y1 - y0), col);
            p.fillRect(QRect(0, h - y1, w, y1 - y0), col);
        }
    }
    Frames(p);
}

// ---- TFrameMy ------------------------------------------------------------------------------

TFrameMy::TFrameMy(QWidget *parent)
    : TBevelPanel(parent)
    , m_close(new TSpeedButton(this))
{
    resize(185, 41);
    m_close->resize(15, 14);
    m_close->move(width() - 18, 3);
    ensureControlResources();
    m_close->SetGlyph(QImage(QStringLiteral(":/bitmaps/CLOSE")));
    connect(m_close, &TSpeedButton::OnClick, this, [this] { ClosClick(); });
}

void TFrameMy::ClosClick()
{
    hide();
}

void TFrameMy::resizeEvent(QResizeEvent *e)
{
    QFrame::resizeEvent(e);
    m_close->move(width() - 18, 3);
}

void TFrameMy::paintEvent(QPaintEvent *)
{
    if (m_close->x() != width() - 18)
        m_close->move(width() - 18, 3);
    QPainter p(this);
    p.fillRect(rect(), toQColor(m_color));
    QRect r = rect();
    const QColor face = toQColor(clBtnFace);
    frame3D(p, r, face, face, 1);
    frame3D(p, r, toQColor(clBtnHighlight), toQColor(clBtnShadow), 1);
    p.fillRect(QRect(QPoint(3, 3), QPoint(width() - 18, 17)), toQColor(clActiveCaption));
    p.setFont(font());
    p.setPen(toQColor(clWindowText));
    p.drawText(QRect(5, 3, std::max(0, width() - 23), 14), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromLatin1(m_caption));
}

void TFrameMy::mousePressEvent(QMouseEvent *e)
{
    m_pressPoint = e->position().toPoint();
}

void TFrameMy::mouseMoveEvent(QMouseEvent *e)
{
    if (!(e->buttons() & Qt::LeftButton))
        return;
    const QPoint pos = e->position().toPoint();
    int left = pos.x() + x() - m_pressPoint.x();
    int top = pos.y() + y() - m_pressPoint.y();
    if (QWidget *parent = parentWidget()) {
        left = std::min(left, parent->width() - width());
        top = std::min(top, parent->height() - height());
    }
    move(std::max(0, left), std::max(0, top));
}
