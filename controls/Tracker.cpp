#include "controls/Tracker.h"

#include "controls/ControlGeometry.h"
#include "controls/CursorSeam.h"
#include "controls/HintWindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <limits>

TTracker::TTracker(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    resize(39, 192);
    m_hint = new THintWindow(this);
}

TTracker::~TTracker()
{
    m_timer.reset();
    delete m_hint;
}

// ---- layout --------------------------------------------------------------------------------

int TTracker::layoutWidth() const
{
    const int w = width();
    return (w % 2 == 0) ? w - 1 : w;
}

int TTracker::stepHeight() const
{
    if (width() <= 0)
        return 0;
    const int w = layoutWidth();
    return (height() / width() < 5) ? (w + 1) / 4 : (w + 1) / 2;
}

int TTracker::trackTop() const
{
    return stepHeight();
}

int TTracker::trackBottom() const
{
    return height() - stepHeight();
}

int TTracker::knobTop() const
{
    const qint64 d = trackLength();
    const qint64 range = qint64(m_max) - m_min;
    return trackTop() + int((qint64(m_max) - m_position) * ((14 * d) / 16) / range);
}

QRect TTracker::knobRect() const
{
    return QRect(0, knobTop(), layoutWidth(), std::max(1, trackLength() / 8));
}

bool TTracker::mouseUsable() const
{
    // Too short a tracker ignores the mouse; one with less than two pixels of track has no scale.
    return width() > 0 && !tooShort() && (14 * trackLength()) / 16 > 0;
}

int TTracker::valueAt(int y, bool clampTrack) const
{
    const int d = trackLength();
    int t = y - trackTop();
    if (clampTrack)
        t = clampTo(t, 0, d);
    const qint64 scale = (14 * qint64(d)) / 16;
    if (scale == 0)
        return m_position;
    const qint64 v = qint64(m_max) - (qint64(t) - d / 16) * (qint64(m_max) - m_min + 1) / scale;
    return int(clampTo<qint64>(v, m_min, m_max));
}

// ---- setters -------------------------------------------------------------------------------

void TTracker::SetMin(int v)
{
    if (v == m_min)
        return;
    v = std::min(v, std::numeric_limits<int>::max() - 1);
    m_min = v;
    if (v >= m_max)
        SetMax(v + 1);
    if (m_position < m_min)
        m_position = m_min;
    update();
}

void TTracker::SetMax(int v)
{
    if (v == m_max)
        return;
    v = std::max(v, std::numeric_limits<int>::min() + 1);
    m_max = v;
    if (m_min >= v)
        SetMin(v - 1);
    if (m_position > m_max)
        m_position = m_max;
    update();
}

void TTracker::SetPosition(int v)
{
    if (tooShort() || v == m_position)
        return;
    const QRect old = knobRect();
    m_position = clampTo(v, m_min, m_max);
    update(old.united(knobRect()));
}

void TTracker::SetColor(TColor v)
{
    if (v == m_color || tooShort())
        return;
    m_color = v;
    update(knobRect());
}

void TTracker::SetFirstColor(TColor v)
{
    if (v == m_first)
        return;
    m_first = v;
    Review();
}

void TTracker::SetSecondColor(TColor v)
{
    if (v == m_second)
        return;
    m_second = v;
    Review();
}

void TTracker::Review()
{
    m_layoutFor = QRect();
    update();
}

void TTracker::SetHint(int value)
{
    if (!m_mouseInside)
        return;
    m_hint->ShowAt(QString::number(value), cursorPos());
}

QString TTracker::hintText() const
{
    return m_hint->text();
}

bool TTracker::hintVisible() const
{
    return m_hint->isVisible();
}

// ---- mouse ---------------------------------------------------------------------------------

void TTracker::press(const QPoint &pos)
{
    if (!mouseUsable())
        return;
    if (pos.y() < trackTop()) {
        m_topHeld = true;
        update(0, 0, width(), trackTop());
        if (m_position == m_max)
            return;
        SetPosition(m_position + 1);
        emit OnChange(this);
        if (m_position < m_max && !m_timer) {
            m_timer = std::make_unique<QTimer>();
            m_timer->setInterval(500);
            connect(m_timer.get(), &QTimer::timeout, this, &TTracker::OnTimer);
            m_timer->start();
        }
        return;
    }
    if (pos.y() >= trackBottom()) {
        m_bottomHeld = true;
        update(0, trackBottom(), width(), height() - trackBottom());
        if (m_position == m_min)
            return;
        SetPosition(m_position - 1);
        emit OnChange(this);
        if (m_position > m_min && !m_timer) {
            m_timer = std::make_unique<QTimer>();
            m_timer->setInterval(500);
            connect(m_timer.get(), &QTimer::timeout, this, &TTracker::OnTimer);
            m_timer->start();
        }
        return;
    }
    m_dragging = true;
    const int v = valueAt(pos.y(), true);
    if (v != m_position) {
        SetPosition(v);
        emit OnChange(this);
    }
}

void TTracker::OnTimer()
{
    if (!m_timer)
        return;
    m_timer->setInterval(100);
    if (m_topHeld)
        press(QPoint(0, 0));
    else if (m_bottomHeld)
        press(QPoint(0, trackBottom()));
}

void TTracker::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        press(e->position().toPoint());
}

void TTracker::mouseMoveEvent(QMouseEvent *e)
{
    if (!mouseUsable())
        return;
    const int y = e->position().toPoint().y();
    if (m_dragging) {
        const int v = valueAt(y, true);
        if (v != m_position) {
            SetPosition(v);
            SetHint(m_position);
            emit OnChange(this);
        }
        return;
    }
    const int t = y - trackTop();
    if (t >= 0 && t <= trackLength())
        SetHint(valueAt(y, false));
    else if (m_mouseInside)
        m_hint->hide();
}

void TTracker::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (m_dragging) {
        m_dragging = false;
    } else if (m_topHeld || m_bottomHeld) {
        // The repeat timer keeps running, so the held flags must go with the release.
        m_topHeld = false;
        m_bottomHeld = false;
        update();
    }
}

void TTracker::enterEvent(QEnterEvent *)
{
    m_mouseInside = true;
}

void TTracker::leaveEvent(QEvent *)
{
    m_hint->hide();
    m_mouseInside = false;
}

// ---- painting ------------------------------------------------------------------------------

void TTracker::buildTrack()
{
    const int w = layoutWidth();
    const int d = trackLength();
    m_track = QImage(std::max(1, w), std::max(1, d), QImage::Format_RGB32);
    const TColor first = ColorToRGB(m_first);
    const TColor second = ColorToRGB(m_second);
    QPainter p(&m_track);
    if (d < 2) {
        m_track.fill(toQColor(first));
        return;
    }
    const int half = d / 2;
    auto channel = [&](int a, int b, int j) { return a + (b - a) * j / half; };
    for (int j = 0; j <= half; ++j) {
        const QColor c(channel(GetRValue(first), GetRValue(second), j),
                       channel(GetGValue(first), GetGValue(second), j),
                       channel(GetBValue(first), GetBValue(second), j));
        p.setPen(c);
        p.drawLine(0, j, w - 1, j);
        p.drawLine(0, d - j, w - 1, d - j);
    }
    // Scale ticks.
    for (int i = 0; i <= 8; ++i) {
        const int y = d / 16 + int(i * (14.0 * d / 128.0));
        p.setPen(toQColor(clBtnShadow));
        p.drawLine(w / 8, y, (7 * w) / 8, y);
        p.setPen(toQColor(clBtnHighlight));
        p.drawLine(w / 8, y + 1, (7 * w) / 8, y + 1);
    }
    // The slot.
    const QRect slot(QPoint(w / 2 - w / 16, d / 16), QPoint(w / 2 + w / 16, (15 * d) / 16));
    p.fillRect(slot, Qt::black);
    p.setPen(toQColor(clBtnShadow));
    p.drawRect(slot);
    p.setPen(toQColor(clBtnHighlight));
    p.drawLine(slot.left(), slot.bottom() + 1, slot.right() + 1, slot.bottom() + 1);
    p.drawLine(slot.right() + 1, slot.top(), slot.right() + 1, slot.bottom() + 1);
}

QImage TTracker::buildKnob() const
{
    const int w = std::max(1, layoutWidth());
    const int h = std::max(1, trackLength() / 8);
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(toQColor(clBtnFace));
    QPainter p(&img);
    // Raised block with a two-pixel bevel and black corners.
    p.setPen(toQColor(clBtnHighlight));
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 1, w - 1, 1);
    p.drawLine(0, 0, 0, h - 1);
    p.drawLine(1, 0, 1, h - 1);
    p.setPen(toQColor(clBtnShadow));
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(0, h - 2, w - 1, h - 2);
    p.drawLine(w - 1, 0, w - 1, h - 1);
    p.drawLine(w - 2, 0, w - 2, h - 1);
    p.setPen(Qt::black);
    p.drawPoint(0, 0);
    p.drawPoint(w - 1, 0);
    p.drawPoint(0, h - 1);
    p.drawPoint(w - 1, h - 1);
    // The groove and the coloured ellipse in its centre.
    const int mid = h / 2;
    p.setPen(QColor(0, 0, 128));
    p.drawLine(w / 8, mid, (7 * w) / 8, mid);
    p.setPen(Qt::white);
    p.drawLine(w / 8, mid + 1, (7 * w) / 8, mid + 1);
    const int ew = std::max(2, w / 4);
    const int eh = std::max(2, (2 * h) / 3);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(toQColor(clBtnShadow));
    p.setBrush(toQColor(m_color));
    p.drawEllipse(QRect(w / 2 - ew / 2, mid - eh / 2, ew, eh));
    return img;
}

void TTracker::paintEvent(QPaintEvent *)
{
    if (width() <= 0 || height() < width())
        return;
    const QRect bounds = geometry();
    if (bounds != m_layoutFor || m_track.isNull()) {
        buildTrack();
        m_layoutFor = bounds;
    }
    QPainter p(this);
    p.fillRect(rect(), toQColor(parentBrushColor(this)));
    const int w = layoutWidth();
    const int top = trackTop();
    const int bottom = trackBottom();
    p.drawImage(0, top, m_track);
    if (trackLength() >= 2)
        p.drawImage(0, knobTop(), buildKnob());

    // The step buttons: triangles with a two-pixel bevel that swaps while held.
    const QColor fill = toQColor(isEnabled() ? clBtnText : clBtnShadow);
    auto triangle = [&](const QPoint &a, const QPoint &b, const QPoint &c, bool held, bool up) {
        const QPoint pts[3] = {a, b, c};
        p.setPen(fill);
        p.setBrush(fill);
        p.drawPolygon(pts, 3);
        QPen lit(toQColor(held ? clBtnShadow : clBtnHighlight), 2);
        QPen dark(toQColor(held ? clBtnHighlight : clBtnShadow), 2);
        if (up) {
            p.setPen(lit);
            p.drawLine(a, b);
            p.setPen(dark);
            p.drawLine(b, c);
            p.drawLine(c, a);
        } else {
            p.setPen(lit);
            p.drawLine(b, c);
            p.setPen(dark);
            p.drawLine(a, b);
            p.drawLine(c, a);
        }
    };
    if (top > 0)
        triangle(QPoint(0, top - 1), QPoint(w / 2, 0), QPoint(w - 1, top - 1), m_topHeld, true);
    if (bottom < height())
        triangle(QPoint(w / 2, height() - 1), QPoint(0, bottom), QPoint(w - 1, bottom), m_bottomHeld, false);
}
