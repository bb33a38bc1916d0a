#include "controls/Buttons.h"

#include <QMouseEvent>
#include <QPainter>

// ---- common painted button -----------------------------------------------------------------

TPaintedButton::TPaintedButton(TColor color, QWidget *parent)
    : QWidget(parent)
    , m_color(color)
{
    resize(31, 31);
}

void TPaintedButton::SetColor(TColor v)
{
    if (v == m_color)
        return;
    m_color = v;
    update();
}

void TPaintedButton::SetDown(bool v)
{
    if (v == m_down)
        return;
    m_down = v;
    update();
}

void TPaintedButton::mousePressEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit OnMouseDown(this, e->button(), e->modifiers(), pos.x(), pos.y());
    if (isEnabled())
        press(e->button());
}

void TPaintedButton::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit OnMouseMove(this, e->modifiers(), pos.x(), pos.y());
}

void TPaintedButton::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit OnMouseUp(this, e->button(), e->modifiers(), pos.x(), pos.y());
    release(e->button());
}

void TPaintedButton::paintBevel(QPainter &p, bool sunken) const
{
    const QRect r = rect().adjusted(0, 0, -1, -1);
    const QColor hi = toQColor(clBtnHighlight), sh = toQColor(clBtnShadow);
    p.setPen(sunken ? Qt::black : hi);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(sunken ? hi : Qt::black);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(sh);
    if (sunken) {
        p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
        p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    } else {
        p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
        p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    }
}

void TPaintedButton::paintCaption(QPainter &p, const QByteArray &caption, bool shifted) const
{
    if (caption.isEmpty())
        return;
    const QString text = latin1Text(caption);
    const QFontMetrics fm(font());
    const int th = fm.boundingRect(QStringLiteral("H")).height();
    const int tw = fm.horizontalAdvance(text);
    const int shift = shifted ? 1 : 0;
    p.setFont(font());
    p.setPen(toQColor(isEnabled() ? clBtnText : clBtnShadow));
    const int x = (width() - tw) / 2 + shift;
    const int y = (height() - th) / 2 + shift;
    p.drawText(QPoint(x, y + th), text);
}

// ---- TCBTC ---------------------------------------------------------------------------------

TCBTC::TCBTC(QWidget *parent)
    : TPaintedButton(clRed, parent)
{
}

void TCBTC::press(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        m_down = true;
        update();
    }
}

void TCBTC::release(Qt::MouseButton button)
{
    if (button == Qt::LeftButton && m_down) {
        m_down = false;
        update();
    }
    emit OnClick(this);
}

void TCBTC::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), toQColor(clBtnFace));
    paintBevel(p, m_down);
    const int side = std::min(width(), height());
    const int r = side * 4 / 10;
    const int shift = m_down ? 1 : 0;
    const QPoint c(width() / 2 + shift, height() / 2 + shift);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(toQColor(clBtnFace));
    p.setBrush(toQColor(m_color));
    p.drawEllipse(c, r, r);
}

// ---- TCBT ----------------------------------------------------------------------------------

TCBT::TCBT(QWidget *parent)
    : TPaintedButton(clBtnFace, parent)
{
}

void TCBT::press(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        m_down = true;
        update();
    }
}

void TCBT::release(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    if (m_down) {
        m_down = false;
        update();
    }
    emit OnClick(this);
}

void TCBT::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), toQColor(m_color));
    paintBevel(p, m_down);
    paintCaption(p, m_caption, m_down);
}

// ---- TBlinkButton --------------------------------------------------------------------------

TBlinkButton::TBlinkButton(QWidget *parent)
    : TCBT(parent)
{
}

TBlinkButton::~TBlinkButton() = default;

void TBlinkButton::SetColor(TColor v)
{
    if (v == m_color)
        return;
    m_color = v;
    m_face = v;
    update();
}

void TBlinkButton::SetDown(bool v)
{
    if (v == m_down)
        return;
    m_down = v;
    if (v) {
        if (!m_timer) {
            m_timer = std::make_unique<QTimer>();
            m_timer->setInterval(500);
            connect(m_timer.get(), &QTimer::timeout, this, &TBlinkButton::OnTimer);
            m_timer->start();
        }
    } else {
        m_timer.reset();
        m_face = m_color;
    }
    update();
}

void TBlinkButton::OnTimer()
{
    m_face = (m_face == m_color) ? AlterColor : m_color;
    update();
}

void TBlinkButton::press(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        SetDown(!m_down);
}

void TBlinkButton::release(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        emit OnClick(this);
}

void TBlinkButton::paintEvent(QPaintEvent *)
{
    if (!m_down)
        m_face = m_color;
    QPainter p(this);
    p.fillRect(rect(), toQColor(m_down ? m_face : m_color));
    paintBevel(p, m_down);
    paintCaption(p, m_caption, m_down);
}

// ---- TMultiButton --------------------------------------------------------------------------

TMultiButton::TMultiButton(QWidget *parent)
    : TSpeedButton(parent)
{
    m_channels.fill(-1);
}

void TMultiButton::SetColor(TColor v)
{
    if (v == m_color)
        return;
    m_color = v;
    update();
}

int TMultiButton::GetChannels(int index) const
{
    if (index < 0 || index > 31)
        return -1;
    return m_channels[index];
}

void TMultiButton::SetChannels(int index, short value)
{
    if (index < 0 || index > 31)
        return;
    m_channels[index] = value;
}

void TMultiButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(toQColor(m_color));
    p.drawEllipse(r);
    const bool sunken = drawnDown();
    const bool raised = !sunken && (hovered() || !Flat());
    if (sunken || raised) {
        const QColor first = toQColor(sunken ? clBtnShadow : clBtnHighlight);
        const QColor second = toQColor(sunken ? clBtnHighlight : clBtnShadow);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(first, 1.5));
        p.drawArc(r, 45 * 16, 180 * 16);
        p.setPen(QPen(second, 1.5));
        p.drawArc(r, 225 * 16, 180 * 16);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    paintGlyphAndCaption(p, rect(), sunken);
}

// ---- TColobut ------------------------------------------------------------------------------

TColobut::TColobut(QWidget *parent)
    : TSpeedButton(parent)
{
}

void TColobut::SetColor(TColor v)
{
    if (v == m_color)
        return;
    m_color = v;
    update();
}

void TColobut::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), toQColor(clBtnFace));
    p.fillRect(QRect(0, 0, std::max(0, width() - 2), std::max(0, height() - 2)), toQColor(m_color));
    const bool sunken = drawnDown();
    if (sunken || !Flat() || hovered())
        paintBevel(p, rect().adjusted(0, 0, -1, -1), sunken);
    paintGlyphAndCaption(p, rect().adjusted(2, 2, -2, -2), sunken);
}
