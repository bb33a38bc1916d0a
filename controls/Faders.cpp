#include "controls/Faders.h"

#include "controls/ControlGeometry.h"
#include "controls/CursorSeam.h"
#include "controls/HintWindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <limits>

TSliderBase::TSliderBase(bool vertical, QWidget *parent)
    : QWidget(parent)
    , m_vertical(vertical)
{
    SetShowHint(true);
    setMouseTracking(true);
    resize(vertical ? QSize(40, 152) : QSize(152, 40));
    m_hint = new THintWindow(this);
}

TSliderBase::~TSliderBase()
{
    m_timer.reset();
    delete m_hint;
}

TSliderh::TSliderh(QWidget *parent)
    : TSliderBase(false, parent)
{
}

TSlider::TSlider(QWidget *parent)
    : TSliderBase(true, parent)
{
}

// ---- setters -------------------------------------------------------------------------------

void TSliderBase::SetMin(int v)
{
    if (v == m_min)
        return;
    v = std::min(v, std::numeric_limits<int>::max() - 1);
    m_min = v;
    if (v >= m_max)
        SetMax(v + 1);
    if (m_position < m_min)
        SetPosition(m_min);
    update();
}

void TSliderBase::SetMax(int v)
{
    if (v == m_max)
        return;
    v = std::max(v, std::numeric_limits<int>::min() + 1);
    m_max = v;
    if (m_min >= v)
        SetMin(v - 1);
    if (m_position > m_max)
        SetPosition(m_max);
    update();
}

void TSliderBase::SetPosition(int v)
{
    if (v == m_position)
        return;
    const QRect old = coarseKnobRect();
    m_position = clampTo(v, m_min, m_max);
    update(old.united(coarseKnobRect()));
}

void TSliderBase::SetFinePosition(int v)
{
    if (!m_16bit || v == m_fine)
        return;
    const QRect old = fineKnobRect();
    m_fine = clampTo(v, 0, 255);
    update(old.united(fineKnobRect()));
}

void TSliderBase::SetColor(TColor v)
{
    if (v == m_color)
        return;
    m_color = v;
    update();
}

void TSliderBase::SetInverted(bool v)
{
    if (v == m_inverted)
        return;
    m_inverted = v;
    update();
}

void TSliderBase::Set16bit(bool v)
{
    if (v == m_16bit)
        return;
    m_16bit = v;
    update();
}

// ---- geometry ------------------------------------------------------------------------------

QRect TSliderBase::axisRect(int a, int c, int alen, int clen) const
{
    return m_vertical ? QRect(c, a, clen, alen) : QRect(a, c, alen, clen);
}

int TSliderBase::coarseEdge() const
{
    const qint64 span = (14 * qint64(axisLength())) / 16;
    const qint64 range = qint64(m_max) - m_min;
    const qint64 n = forward() ? qint64(m_position) - m_min : qint64(m_max) - m_position;
    return range > 0 ? int(span * n / range) : 0;
}

int TSliderBase::fineEdge() const
{
    const qint64 span = (14 * qint64(axisLength())) / 16;
    const int n = forward() ? m_fine : 255 - m_fine;
    return int(span * n / 255);
}

QRect TSliderBase::coarseKnobRect() const
{
    const int t = acrossLength();
    return axisRect(coarseEdge(), 0, axisLength() / 8 + 1, m_16bit ? 2 * t / 3 : t);
}

QRect TSliderBase::fineKnobRect() const
{
    const int t = acrossLength();
    return axisRect(fineEdge(), 2 * t / 3, axisLength() / 8 + 1, t - 2 * t / 3);
}

qint64 TSliderBase::valueAt(int p) const
{
    const int l = axisLength();
    const qint64 span = (14 * qint64(l)) / 16;
    if (span == 0)
        return m_position;
    p = clampTo(p, 0, l);
    const qint64 off = (qint64(p) - l / 16) * (qint64(m_max) - m_min + 1) / span;
    return forward() ? m_min + off : m_max - off;
}

int TSliderBase::fineAt(int p) const
{
    const int l = axisLength();
    const qint64 span = (14 * qint64(l)) / 16;
    if (span == 0)
        return m_fine;
    p = clampTo(p, 0, l);
    const int f = int(((qint64(p) - l / 16) * 256) / span);
    return forward() ? f : 255 - f;
}

bool TSliderBase::inFineLane(const QPoint &p) const
{
    return m_16bit && acrossOf(p) >= 2 * acrossLength() / 3;
}

// ---- mouse ---------------------------------------------------------------------------------

void TSliderBase::press(Qt::MouseButton button, const QPoint &pos)
{
    // A track shorter than two pixels has no span to map the pointer onto.
    if ((14 * axisLength()) / 16 == 0)
        return;
    const int p = along(pos);
    const bool fine = inFineLane(pos);
    if (button == Qt::RightButton) {
        if (fine) {
            const int target = fineAt(p);
            SetFinePosition(target < m_fine ? m_fine - 1 : m_fine + 1);
        } else {
            const qint64 target = valueAt(p);
            SetPosition(clampToInt(target < m_position ? qint64(m_position) - 1 : qint64(m_position) + 1));
        }
        emit OnChange(this);
        if (!m_timer) {
            m_timer = std::make_unique<QTimer>();
            m_timer->setInterval(500);
            connect(m_timer.get(), &QTimer::timeout, this, &TSliderBase::OnTimer);
            m_timer->start();
        }
        return;
    }
    m_dragging = true;
    m_fineDragging = fine;
    m_dragButton = button;
    if (fine) {
        const int target = clampTo(fineAt(p), 0, 255);
        if (target != m_fine) {
            SetFinePosition(target);
            emit OnChange(this);
        }
    } else {
        const int target = int(clampTo<qint64>(valueAt(p), m_min, m_max));
        if (target != m_position) {
            SetPosition(target);
            emit OnChange(this);
        }
    }
}

void TSliderBase::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton || e->button() == Qt::MiddleButton || e->button() == Qt::RightButton)
        press(e->button(), e->position().toPoint());
}

void TSliderBase::OnTimer()
{
    if (!m_timer)
        return;
    m_timer->setInterval(100);
    press(Qt::RightButton, cursorPos() - m_screenPos);
}

void TSliderBase::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    const int p = along(pos);
    if (m_dragging) {
        if (m_fineDragging) {
            const int target = clampTo(fineAt(p), 0, 255);
            if (target != m_fine) {
                SetFinePosition(target);
                emit OnChange(this);
            }
        } else {
            const int target = int(clampTo<qint64>(valueAt(p), m_min, m_max));
            if (target != m_position) {
                SetPosition(target);
                SetHint(m_position);
                emit OnChange(this);
            }
        }
        return;
    }
    if (p >= 0 && p <= axisLength())
        SetHint(int(clampTo<qint64>(valueAt(p), m_min, m_max)));
    else if (m_mouseInside)
        m_hint->hide();
}

void TSliderBase::mouseReleaseEvent(QMouseEvent *e)
{
    stopTimer();
    // A left release always ends a drag; a middle release ends the drag it started.
    if (e->button() == Qt::LeftButton || (e->button() == Qt::MiddleButton && m_dragButton == Qt::MiddleButton)) {
        m_dragging = false;
        m_fineDragging = false;
        m_dragButton = Qt::NoButton;
    }
}

void TSliderBase::enterEvent(QEnterEvent *)
{
    stopTimer();
    m_mouseInside = true;
}

void TSliderBase::leaveEvent(QEvent *)
{
    stopTimer();
    if (m_mouseInside)
        m_hint->hide();
    m_mouseInside = false;
}

void TSliderBase::stopTimer()
{
    m_timer.reset();
}

void TSliderBase::SetHint(int value)
{
    if (!m_mouseInside)
        return;
    m_hint->ShowAt(QString::number(qint64(value) + m_add), cursorPos());
}

QString TSliderBase::hintText() const
{
    return m_hint->text();
}

bool TSliderBase::hintVisible() const
{
    return m_hint->isVisible();
}

// ---- painting ------------------------------------------------------------------------------

namespace {

struct Lane {
    int start;  // across, where the lane begins
    int size;   // across, its thickness
    int centre; // across, centre of its slot
    int half;   // half-width of its slot
};

} // namespace

void TSliderBase::buildTrack()
{
    const int l = axisLength();
    const int t = acrossLength();
    m_track = QImage(size(), QImage::Format_RGB32);
    m_track.fill(toQColor(parentBrushColor(this)));
    QPainter p(&m_track);
    auto line = [&](int a0, int c0, int a1, int c1, TColor col) {
        p.setPen(toQColor(col));
        if (m_vertical)
            p.drawLine(c0, a0, c1, a1);
        else
            p.drawLine(a0, c0, a1, c1);
    };

    Lane lanes[2];
    int laneCount = 1;
    if (m_16bit) {
        const int upper = 2 * t / 3;
        const int lower = t - upper;
        lanes[0] = {0, upper, t / 3, (2 * t) / 24};
        lanes[1] = {upper, lower, upper + lower / 2, lower / 8};
        laneCount = 2;
    } else {
        lanes[0] = {0, t, t / 2, t / 8};
    }

    const int margin = l / 16;
    const int end = (15 * l) / 16;
    for (int i = 0; i < laneCount; ++i) {
        const Lane &ln = lanes[i];
        // The slot: black, outlined in the shadow colour, lit along its far end and lower edge.
        const QRect slot = axisRect(margin, ln.centre - ln.half, end - margin + 1, 2 * ln.half + 1);
        p.fillRect(slot, Qt::black);
        p.setPen(toQColor(clBtnShadow));
        p.setBrush(Qt::NoBrush);
        p.drawRect(slot.adjusted(0, 0, -1, -1));
        line(end, ln.centre - ln.half, end, ln.centre + ln.half, clBtnHighlight);
        line(margin, ln.centre + ln.half, end, ln.centre + ln.half, clBtnHighlight);
    }

    // The scale: nine ticks, two short pairs in each lane.
    for (int i = 0; i <= 8; ++i) {
        const int a = margin + int(i * (14.0 * l / 128.0));
        for (int k = 0; k < laneCount; ++k) {
            const Lane &ln = lanes[k];
            const int spans[2][2] = {{ln.start + ln.size / 8, ln.start + ln.size / 4},
                                     {ln.start + 3 * ln.size / 4, ln.start + 7 * ln.size / 8}};
            for (const auto &s : spans) {
                line(a, s[0], a, s[1], clBlack);
                line(a + 1, s[0], a + 1, s[1], clBtnHighlight);
            }
        }
    }
}

QImage TSliderBase::buildCoarseKnob() const
{
    const int len = std::max(1, axisLength() / 8);
    const int thick = std::max(1, m_16bit ? 2 * acrossLength() / 3 : acrossLength());
    QImage img(m_vertical ? QSize(thick, len) : QSize(len, thick), QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    auto rect = [&](int a, int c, int al, int cl, TColor col) {
        if (al > 0 && cl > 0)
            p.fillRect(m_vertical ? QRect(c, a, cl, al) : QRect(a, c, al, cl), toQColor(col));
    };
    // Black frame, raised face in the knob colour.
    rect(1, 1, len - 2, thick - 2, m_color);
    rect(1, 1, len - 2, 1, clBtnHighlight);
    rect(1, 1, 1, thick - 2, clBtnHighlight);
    rect(len - 2, 1, 1, thick - 2, clBtnShadow);
    rect(1, thick - 2, len - 2, 1, clBtnShadow);
    // The groove across the middle.
    const int c0 = thick / 10;
    const int c1 = (9 * thick) / 10;
    rect(len / 2, c0, 1, c1 - c0, clBtnShadow);
    rect(len / 2 + 1, c0, 1, c1 - c0, clBtnHighlight);
    return img;
}

QImage TSliderBase::buildFineKnob() const
{
    const int len = std::max(1, axisLength() / 8);
    const int t = acrossLength();
    const int thick = std::max(1, t - 2 * t / 3);
    QImage img(m_vertical ? QSize(thick, len) : QSize(len, thick), QImage::Format_RGB32);
    img.fill(toQColor(clBtnFace));
    QPainter p(&img);
    auto rect = [&](int a, int c, int al, int cl, TColor col) {
        if (al > 0 && cl > 0)
            p.fillRect(m_vertical ? QRect(c, a, cl, al) : QRect(a, c, al, cl), toQColor(col));
    };
    // A raised face-coloured block with a knob-coloured middle.
    rect(0, 0, len, 1, clBtnHighlight);
    rect(0, 0, 1, thick, clBtnHighlight);
    rect(len - 1, 0, 1, thick, clBlack);
    rect(0, thick - 1, len, 1, clBlack);
    rect(len / 3, thick / 3, std::max(1, 2 * len / 3 - len / 3), std::max(1, 2 * thick / 3 - thick / 3), m_color);
    return img;
}

void TSliderBase::paintEvent(QPaintEvent *)
{
    buildTrack();
    QPainter p(this);
    p.drawImage(0, 0, m_track);
    const QRect coarse = coarseKnobRect();
    p.drawImage(coarse.topLeft(), buildCoarseKnob());
    if (m_16bit)
        p.drawImage(fineKnobRect().topLeft(), buildFineKnob());
    m_screenPos = mapToGlobal(QPoint(0, 0));
}
