#include "controls/Knob.h"

#include "controls/ControlGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <limits>

TKnobL::TKnobL(QWidget *parent)
    : QWidget(parent)
{
    m_brush.Color = clBtnFace;
    m_pen.OnChange = [this] { StyleChanged(); };
    m_brush.OnChange = [this] { StyleChanged(); };
    resize(40, 40);
}

void TKnobL::SetParams(int position, int min, int max)
{
    if (max <= min) {
        if (min == std::numeric_limits<int>::max())
            min -= 1;
        max = min + 1;
    }
    position = clampTo(position, min, max);
    if (min != m_min) {
        m_min = min;
        update();
    }
    if (max != m_max) {
        m_max = max;
        update();
    }
    if (position != m_position)
        SetPosition(position);
}

void TKnobL::SetPosition(int v)
{
    m_position = clampTo(v, m_min, m_max);
    update();
}

void TKnobL::MouseSet(int x, int y)
{
    const int dx = x - width() / 2;
    const int dy = y - height() / 2;
    if (dx == 0 || dy == 0)
        return;
    const int d = clampTo(pointerAngleDegrees(dx, dy) - 52, 0, 255);
    const float factor = 0.00390625f;
    const double value = double(qint64(m_max) - m_min + 1) * double(factor) * d + m_min;
    const int v = clampToInt(qint64(std::trunc(value)));
    if (v != m_position)
        SetPosition(v);
}

int TKnobL::faceDiameter() const
{
    const int n = std::min(width(), height()) - m_pen.Width;
    return n - (n - 6) / 20 - 6;
}

QPointF TKnobL::knobCentre() const
{
    const int inset = m_pen.Width / 2;
    const double r = faceDiameter() / 2.0;
    return QPointF(inset + 3 + r, inset + 3 + r);
}

QPointF TKnobL::pointerEnd() const
{
    const double angle = 0.9075712110370514 + double(qint64(m_position) - m_min) * 4.468042885105484
                                                   / double(qint64(m_max) - m_min);
    const double r = faceDiameter() / 2.0 - m_pen.Width - 2;
    const QPointF c = knobCentre();
    return QPointF(c.x() - r * std::sin(angle), c.y() + r * std::cos(angle));
}

void TKnobL::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int pw = m_pen.Width;
    const int n = std::min(width(), height()) - pw;
    const int inset = pw / 2;
    if (n <= 6)
        return;

    // Scale marks: top, both ends of the centre line and the diagonals, none at the bottom.
    p.setPen(QPen(Qt::black, 1));
    const int c = inset + n / 2;
    const int e = n / 8;
    p.drawLine(c, inset, c, inset + 2);
    p.drawLine(inset, c, inset + 2, c);
    p.drawLine(inset + n - 1, c, inset + n - 3, c);
    p.drawLine(inset + e, inset + e, inset + e + 2, inset + e + 2);
    p.drawLine(inset + n - 1 - e, inset + e, inset + n - 3 - e, inset + e + 2);
    p.drawLine(inset + e, inset + n - 1 - e, inset + e + 2, inset + n - 3 - e);
    p.drawLine(inset + n - 1 - e, inset + n - 1 - e, inset + n - 3 - e, inset + n - 3 - e);

    p.setRenderHint(QPainter::Antialiasing, true);
    // The black shadow disc, then the face disc from the same top left corner.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(inset + 3, inset + 3, n - 6 - inset, n - 6 - inset));
    const int dface = faceDiameter();
    const QRectF face(inset + 3, inset + 3, dface, dface);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(m_brush.Style == bsClear ? QBrush(Qt::NoBrush) : QBrush(toQColor(m_brush.Color)));
    p.drawEllipse(face);
    p.setPen(QPen(QColor(128, 128, 128), 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(face.adjusted(1, 1, -1, -1), -80 * 16, 120 * 16);

    // The value, centred, its top an eighth of the diameter below the centre.
    const int s0 = std::min(width(), height()) - pw - 6;
    const int s = s0 - s0 / 15;
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(std::max(1, s / 5));
    p.setFont(f);
    p.setPen(Qt::black);
    const QPointF centre = knobCentre();
    const QString text = QString::number(m_position);
    const QFontMetrics fm(f);
    const int tw = fm.horizontalAdvance(text);
    p.drawText(QPointF(centre.x() - tw / 2.0, centre.y() + s / 8 + fm.ascent()), text);

    // The pointer.
    if (m_pen.Style != psClear) {
        p.setPen(QPen(toQColor(m_pen.Color), std::max(1, pw)));
        p.drawLine(centre, pointerEnd());
    }
}

void TKnobL::mousePressEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit OnMouseDown(this, e->button(), e->modifiers(), pos.x(), pos.y());
    if (e->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    MouseSet(pos.x(), pos.y());
    emit OnChange(this);
}

void TKnobL::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit OnMouseMove(this, e->modifiers(), pos.x(), pos.y());
    if (!m_dragging)
        return;
    MouseSet(pos.x(), pos.y());
    emit OnChange(this);
}

void TKnobL::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    if (m_dragging) {
        const int before = m_position;
        MouseSet(pos.x(), pos.y());
        m_dragging = false;
        // The release may still move the value; tell the owner so the channel follows.
        if (m_position != before)
            emit OnChange(this);
    }
    emit OnMouseUp(this, e->button(), e->modifiers(), pos.x(), pos.y());
}
