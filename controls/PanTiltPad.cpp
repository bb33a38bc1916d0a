#include "controls/PanTiltPad.h"

#include "controls/ControlGeometry.h"
#include "controls/CursorSeam.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kDeltaTable[11] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 256, 256};

int deltaCell(int delta)
{
    for (int i = 0; i <= 8; ++i)
        if (kDeltaTable[i] == delta)
            return i;
    return 0;
}

QFont smallFont(int points)
{
    QFont f;
    f.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("SmallFonts"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(points);
    return f;
}
} // namespace

TFieldXY::TFieldXY(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    applyCursorId(this, crCross);
    setFont(smallFont(7));
    resize(276, 276);
}

TFieldXY::~TFieldXY() = default;

// ---- values --------------------------------------------------------------------------------

void TFieldXY::SetX(int v)
{
    v = clampTo(v, 0, 255);
    const int stored = m_inverted ? 255 - v : v;
    if (stored != m_x)
        SetPosition(stored, m_y);
}

void TFieldXY::SetY(int v)
{
    v = clampTo(v, 0, 255);
    const int stored = m_inverted ? 255 - v : v;
    if (stored != m_y)
        SetPosition(m_x, stored);
}

void TFieldXY::SetFineX(int v)
{
    v = clampTo(v, 0, 255);
    m_fx = m_inverted ? 255 - v : v;
}

void TFieldXY::SetFineY(int v)
{
    v = clampTo(v, 0, 255);
    m_fy = m_inverted ? 255 - v : v;
}

QRect TFieldXY::ballRect() const
{
    const int s = scale();
    return QRect(m_x / s, m_y / s, 20 / s, 20 / s);
}

QPoint TFieldXY::ballCentre() const
{
    const int s = scale();
    return QPoint((m_x + 10) / s, (m_y + 10) / s);
}

QRect TFieldXY::stripRect() const
{
    return QRect(0, frame(), frame(), 12);
}

void TFieldXY::SetPosition(int x, int y)
{
    if (x == m_x && y == m_y)
        return;
    const QRect old = ballRect();
    m_x = clampTo(x, 0, 255);
    m_y = clampTo(y, 0, 255);
    if (m_painted)
        update(old.united(ballRect()));
}

void TFieldXY::SetDelta(int v)
{
    if (!m_16bit) {
        m_delta = 256;
        return;
    }
    m_delta = v;
    update(stripRect());
}

void TFieldXY::Set16bit(bool v)
{
    m_16bit = v;
    const int f = frame();
    if (!v) {
        m_delta = 256;
        resize(f, f);
    } else {
        resize(f, f + 12);
    }
    update();
}

void TFieldXY::SetTwoSize(bool v)
{
    m_twoSize = v;
    Set16bit(m_16bit);
}

void TFieldXY::SetColor(TColor v)
{
    if (v == m_color && !m_ballColor)
        return;
    m_color = v;
    m_ballColor.reset();
    if (m_painted)
        update(ballRect());
}

void TFieldXY::ShowBallIn(TColor v)
{
    if (v == BallColor())
        return;
    m_ballColor = v;
    if (m_painted)
        update(ballRect());
}

void TFieldXY::SetInverted(bool v)
{
    if (v == m_inverted)
        return;
    m_inverted = v;
    update();
}

void TFieldXY::ShowStoredReadouts()
{
    setReadouts(m_x, m_fx, m_y, m_fy, false);
}

void TFieldXY::DrawDir(int direction)
{
    if (direction == m_dir)
        return;
    m_dir = direction;
    // The markers sit in the frame's border at the middle of each side.
    const int f = frame();
    update(QRect(0, f / 2 - 7, 5, 15));
    update(QRect(f - 5, f / 2 - 7, 5, 15));
    update(QRect(f / 2 - 7, 0, 15, 5));
    update(QRect(f / 2 - 7, f - 5, 15, 5));
}

void TFieldXY::setReadouts(int x, int fx, int y, int fy, bool fineZero)
{
    if (scale() != 1)
        return;
    if (m_16bit) {
        m_readX = fineZero ? QString::asprintf("%03d,000 ", x) : QString::asprintf("%03d,%03d  ", x, fx);
        m_readY = fineZero ? QString::asprintf("%03d,000 ", y) : QString::asprintf("%03d,%03d  ", y, fy);
    } else {
        m_readX = QString::asprintf("%03d ", x);
        m_readY = QString::asprintf("%03d ", y);
    }
    update(QRect(132, 11, 60, 12));
    update(QRect(11, 134, 60, 12));
}

// ---- mouse ---------------------------------------------------------------------------------

int TFieldXY::directionToward(const QPoint &pos) const
{
    const QPoint b = ballCentre();
    const int ax = std::abs(pos.x() - b.x());
    const int ay = std::abs(pos.y() - b.y());
    if (ax > ay)
        return pos.x() > b.x() ? 1 : 2;
    return pos.y() > b.y() ? 3 : 4;
}

void TFieldXY::mousePressEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    const int s = scale();
    if (e->button() == Qt::RightButton) {
        rightPress(pos);
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    if (m_16bit && pos.y() > frame()) {
        // A press on the step strip picks the step of relative movement.
        if (pos.x() < 10 / s || pos.x() > 266 / s)
            return;
        const int index = clampTo(((pos.x() - 10 / s) * 10) / (256 / s), 0, 10);
        if (kDeltaTable[index] != m_delta)
            SetDelta(kDeltaTable[index]);
        return;
    }
    m_dragging = true;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const QPoint c = ballCentre();
    const int vx = clampTo(valueAt(pos.x()), 0, 255);
    const int vy = clampTo(valueAt(pos.y()), 0, 255);
    if (shift && ctrl) {
        setCursorPos(mapToGlobal(c));
    } else {
        if (shift) {
            setCursorPos(mapToGlobal(QPoint(c.x() + 1, pos.y())));
            SetPosition(m_x, vy);
        } else if (ctrl) {
            setCursorPos(mapToGlobal(QPoint(pos.x(), c.y() + 1)));
            SetPosition(vx, m_y);
        } else {
            SetPosition(vx, vy);
        }
        m_fx = 0;
        m_fy = 0;
        update(ballRect());
        emit OnChange(this);
    }
    setCursor(Qt::BlankCursor);
}

void TFieldXY::rightPress(const QPoint &pos)
{
    const int dir = directionToward(pos);
    const bool alongX = dir == 1 || dir == 2;
    const int step = (dir == 1 || dir == 3) ? 1 : -1;
    if (!m_16bit) {
        if (alongX)
            SetPosition(clampTo(m_x + step, 0, 255), m_y);
        else
            SetPosition(m_x, clampTo(m_y + step, 0, 255));
    } else {
        int &coarse = alongX ? m_x : m_y;
        int &fine = alongX ? m_fx : m_fy;
        const int value = clampTo(coarse * 256 + fine + step * m_delta, 0, 65535);
        fine = value % 256;
        if (alongX)
            SetPosition(value / 256, m_y);
        else
            SetPosition(m_x, value / 256);
        update(ballRect());
    }
    emit OnChange(this);
    if (!m_timer) {
        m_timer = std::make_unique<QTimer>();
        m_timer->setInterval(500);
        connect(m_timer.get(), &QTimer::timeout, this, &TFieldXY::OnTimer);
        m_timer->start();
    }
}

void TFieldXY::OnTimer()
{
    if (!m_timer)
        return;
    m_timer->setInterval(100);
    rightPress(cursorPos() - m_screenPos);
}

namespace {
// Adds a movement to one axis' coarse and fine bytes; the 16-bit value stops at both ends.
void moveAxis(int &coarse, int &fine, int delta)
{
    fine += delta;
    if (fine > 255) {
        if (coarse >= 255) {
            fine = 255;
        } else {
            coarse += fine / 256;
            fine %= 256;
            if (coarse > 255) {
                coarse = 255;
                fine = 255;
            }
        }
    } else if (fine < 0) {
        if (coarse <= 0) {
            fine = 0;
        } else {
            coarse += fine / 256;
            fine %= 256;
            if (fine != 0) {
                fine += 256;
                coarse -= 1;
            }
            if (coarse < 0) {
                coarse = 0;
                fine = 0;
            }
        }
    }
}
} // namespace

void TFieldXY::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    if (m_dragging) {
        const bool lockX = e->modifiers() & Qt::ShiftModifier;
        const bool lockY = e->modifiers() & Qt::ControlModifier;
        const QPoint c = ballCentre();
        if (pos == c)
            return;
        int x = m_x, y = m_y;
        if (!lockX)
            moveAxis(x, m_fx, (pos.x() - c.x()) * m_delta);
        if (!lockY)
            moveAxis(y, m_fy, (pos.y() - c.y()) * m_delta);
        SetPosition(x, y);
        update(ballRect());
        setCursorPos(mapToGlobal(ballCentre()));
        setReadouts(m_x, m_fx, m_y, m_fy, false);
        emit OnChange(this);
        return;
    }
    if (m_16bit && pos.y() > frame())
        setCursor(Qt::ArrowCursor);
    else
        setCursor(Qt::CrossCursor);
    setReadouts(clampTo(valueAt(pos.x()), 0, 255), 0, clampTo(valueAt(pos.y()), 0, 255), 0, true);
    m_screenPos = mapToGlobal(QPoint(0, 0));
    DrawDir(directionToward(pos));
}

void TFieldXY::mouseReleaseEvent(QMouseEvent *e)
{
    stopTimer();
    if (e->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        setCursor(Qt::CrossCursor);
        update(ballRect());
    }
    DrawDir(0);
}

void TFieldXY::enterEvent(QEnterEvent *)
{
    stopTimer();
}

void TFieldXY::leaveEvent(QEvent *)
{
    stopTimer();
}

// ---- painting ------------------------------------------------------------------------------

void TFieldXY::paintField(QPainter &p)
{
    const int s = scale();
    const int f = frame();
    p.fillRect(QRect(0, 0, f, f), toQColor(clBtnShadow));
    p.setPen(Qt::black);
    p.drawRect(0, 0, f - 1, f - 1);
    p.setPen(Qt::white);
    p.drawLine(f - 1, 0, f - 1, f - 1);
    p.drawLine(0, f - 1, f - 1, f - 1);
    const int a = 10 / s, b = 266 / s;
    p.fillRect(QRect(QPoint(a, a), QPoint(b, b)), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(QRect(QPoint(a, a), QPoint(b, b)));
    p.setPen(toQColor(cl3DLight));
    p.drawLine(a + 1, a + 1, a + 1, b - 1);
    p.drawLine(a + 1, a + 1, b - 1, a + 1);
    p.setPen(toQColor(clInactiveCaption));
    for (int i = 0; i <= 14; ++i) {
        const int g = (26 + 16 * i) / s;
        p.drawLine(g, a + 2, g, b - 1);
        p.drawLine(a + 2, g, b - 1, g);
    }
    p.setPen(Qt::black);
    const int c = 138 / s;
    p.drawLine(c, a + 1, c, b - 1);
    p.drawLine(a + 1, c, b - 1, c);
    if (s == 1) {
        p.setFont(smallFont(6));
        p.setPen(Qt::black);
        if (!m_readX.isEmpty())
            p.drawText(QRect(132, 11, 60, 12), Qt::AlignLeft | Qt::AlignTop, m_readX);
        if (!m_readY.isEmpty())
            p.drawText(QRect(11, 134, 60, 12), Qt::AlignLeft | Qt::AlignTop, m_readY);
    }
}

void TFieldXY::paintStrip(QPainter &p)
{
    const int s = scale();
    const int f = frame();
    const QRect box(0, f, f, 12);
    p.fillRect(box, toQColor(clBtnFace));
    p.setPen(Qt::white);
    p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
    p.drawLine(box.right(), box.top(), box.right(), box.bottom());
    const int cell = 256 / (10 * s);
    const int x0 = 10 / s;
    const int selected = deltaCell(m_delta);
    for (int i = 0; i < 9; ++i) {
        const QRect r(x0 + i * cell, f + 2, std::max(1, cell - 1), 8);
        p.fillRect(r, i == selected ? Qt::white : Qt::black);
        p.setPen(toQColor(clBtnFace));
        p.drawLine(r.right() + 1, r.top(), r.right() + 1, r.bottom());
    }
    const QPoint tri[3] = {QPoint(2, f + 2), QPoint(2, f + 9), QPoint(8, f + 9)};
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.drawPolygon(tri, 3);
    p.setBrush(Qt::NoBrush);
    p.setFont(smallFont(6));
    p.drawText(QRect(x0 + 2304 / (10 * s) + 2, f, 60, 12), Qt::AlignLeft | Qt::AlignVCenter,
               QString::number(m_delta));
}

void TFieldXY::paintBall(QPainter &p)
{
    const QRect r = ballRect();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.setBrush(toQColor(BallColor()));
    p.drawEllipse(r.adjusted(0, 0, -1, -1));
    p.setBrush(Qt::NoBrush);
    if (m_dragging) {
        const QPoint c = ballCentre();
        p.drawLine(r.left() + 1, c.y(), r.right() - 1, c.y());
        p.drawLine(c.x(), r.top() + 1, c.x(), r.bottom() - 1);
    }
}

void TFieldXY::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintField(p);
    if (m_16bit)
        paintStrip(p);
    paintBall(p);
    if (m_dir != 0) {
        const int f = frame();
        const int c = f / 2;
        p.setPen(QColor(255, 0, 0));
        switch (m_dir) {
        case 1: p.drawLine(f - 4, c - 6, f - 4, c + 6); p.drawLine(f - 3, c - 3, f - 3, c + 3); break;
        case 2: p.drawLine(3, c - 6, 3, c + 6); p.drawLine(2, c - 3, 2, c + 3); break;
        case 3: p.drawLine(c - 6, f - 4, c + 6, f - 4); p.drawLine(c - 3, f - 3, c + 3, f - 3); break;
        case 4: p.drawLine(c - 6, 3, c + 6, 3); p.drawLine(c - 3, 2, c + 3, 2); break;
        }
    }
    m_screenPos = mapToGlobal(QPoint(0, 0));
    m_painted = true;
}
