#include "controls/SpeedButton.h"

#include <QMouseEvent>
#include <QPainter>

QString latin1Text(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}

QFont toQFont(const TFontSettings &f)
{
    QFont q;
    q.setFamilies({QString::fromLatin1(f.Name), QStringLiteral("DejaVu Sans")});
    if (f.Height < 0)
        q.setPixelSize(std::max(1, -f.Height));
    else if (f.Height > 0)
        q.setPixelSize(std::max(1, f.Height * 3 / 4));
    q.setBold(f.Style & fsBold);
    q.setItalic(f.Style & fsItalic);
    q.setUnderline(f.Style & fsUnderline);
    q.setStrikeOut(f.Style & fsStrikeOut);
    return q;
}

TSpeedButton::TSpeedButton(QWidget *parent)
    : QAbstractButton(parent)
{
    resize(23, 22);
    setFocusPolicy(Qt::NoFocus);
}

void TSpeedButton::SetGroupIndex(int v)
{
    if (v == m_groupIndex)
        return;
    m_groupIndex = v;
    updateGroup();
}

void TSpeedButton::SetDown(bool v)
{
    if (m_groupIndex == 0)
        v = false;
    if (v == m_down)
        return;
    // The only down button of a group stays down unless all may be up.
    if (m_down && !v && !m_allowAllUp)
        return;
    m_down = v;
    if (v)
        updateGroup();
    update();
}

void TSpeedButton::SetAllowAllUp(bool v)
{
    if (v == m_allowAllUp)
        return;
    m_allowAllUp = v;
    if (parentWidget() && m_groupIndex != 0)
        for (auto *b : parentWidget()->findChildren<TSpeedButton *>(Qt::FindDirectChildrenOnly))
            if (b != this && b->m_groupIndex == m_groupIndex)
                b->m_allowAllUp = v;
}

void TSpeedButton::updateGroup()
{
    if (m_groupIndex == 0 || !m_down || !parentWidget())
        return;
    for (auto *b : parentWidget()->findChildren<TSpeedButton *>(Qt::FindDirectChildrenOnly))
        if (b != this && b->m_groupIndex == m_groupIndex && b->m_down) {
            b->m_down = false;
            b->update();
        }
}

void TSpeedButton::SetFlat(bool v) { if (v != m_flat) { m_flat = v; update(); } }
void TSpeedButton::SetGlyph(const QImage &v) { m_glyph = v; update(); }
void TSpeedButton::SetNumGlyphs(int v) { v = std::clamp(v, 1, 4); if (v != m_numGlyphs) { m_numGlyphs = v; update(); } }
void TSpeedButton::SetLayout(int v) { if (v != m_layout) { m_layout = v; update(); } }
void TSpeedButton::SetMargin(int v) { if (v != m_margin) { m_margin = v; update(); } }
void TSpeedButton::SetSpacing(int v) { if (v != m_spacing) { m_spacing = v; update(); } }
void TSpeedButton::SetTransparent(bool v) { if (v != m_transparent) { m_transparent = v; update(); } }

void TSpeedButton::SetCaption(const QByteArray &v)
{
    m_caption = v;
    setText(latin1Text(v));
    update();
}

void TSpeedButton::SetFont(const TFontSettings &v)
{
    m_font = v;
    SetParentFont(false);
    QWidget::setFont(toQFont(v));
    update();
}

void TSpeedButton::SetParentFontFlag(bool v)
{
    SetParentFont(v);
    if (v)
        QWidget::setFont(QFont());
}

void TSpeedButton::Click()
{
    if (m_groupIndex != 0) {
        if (m_down && m_allowAllUp)
            SetDown(false);
        else
            SetDown(true);
    }
    emit OnClick(this);
}

void TSpeedButton::mousePressEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit OnMouseDown(this, e->button(), e->modifiers(), pos.x(), pos.y());
    if (e->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    update();
}

void TSpeedButton::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_pressed)
        return;
    const bool inside = rect().contains(e->position().toPoint());
    if (inside != m_hover) {
        m_hover = inside;
        update();
    }
}

void TSpeedButton::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    if (e->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        update();
        if (rect().contains(pos))
            Click();
    }
    emit OnMouseUp(this, e->button(), e->modifiers(), pos.x(), pos.y());
}

void TSpeedButton::enterEvent(QEnterEvent *)
{
    m_hover = true;
    update();
}

void TSpeedButton::leaveEvent(QEvent *)
{
    m_hover = false;
    update();
}

QImage TSpeedButton::currentGlyph() const
{
    if (m_glyph.isNull())
        return {};
    const int cell = m_glyph.width() / m_numGlyphs;
    int index = 0;
    if (!isEnabled() && m_numGlyphs > 1)
        index = 1;
    else if (m_pressed && m_numGlyphs > 2)
        index = 2;
    else if (m_down && m_numGlyphs > 3)
        index = 3;
    QImage g = m_glyph.copy(index * cell, 0, cell, m_glyph.height()).convertToFormat(QImage::Format_ARGB32);
    {
        // The bottom left pixel's colour is the see-through colour of a glyph.
        const QRgb key = g.pixel(0, g.height() - 1);
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x)
                if (g.pixel(x, y) == key)
                    g.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
    return g;
}

void TSpeedButton::paintBevel(QPainter &p, const QRect &r, bool sunken)
{
    const QColor hi = toQColor(clBtnHighlight), sh = toQColor(clBtnShadow);
    p.setPen(sunken ? sh : hi);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(sunken ? hi : Qt::black);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    if (!sunken) {
        p.setPen(sh);
        p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
        p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    }
}

void TSpeedButton::paintGlyphAndCaption(QPainter &p, const QRect &area, bool shifted)
{
    const QRect r = shifted ? area.translated(1, 1) : area;
    const QImage g = currentGlyph();
    const QString text = latin1Text(m_caption);
    const QFontMetrics fm(font());
    const QSize ts = text.isEmpty() ? QSize() : QSize(fm.horizontalAdvance(text), fm.height());
    const QSize gs = g.isNull() ? QSize() : g.size();
    const int gap = (g.isNull() || text.isEmpty()) ? 0 : std::max(0, m_spacing);
    const bool horizontal = m_layout == blGlyphLeft || m_layout == blGlyphRight;
    QPoint gp, tp;
    if (horizontal) {
        const int total = gs.width() + gap + ts.width();
        int x0 = m_margin < 0 ? r.left() + (r.width() - total) / 2 : r.left() + m_margin;
        if (m_layout == blGlyphRight && m_margin >= 0)
            x0 = r.right() - m_margin - total;
        if (m_layout == blGlyphLeft) {
            gp = QPoint(x0, r.top() + (r.height() - gs.height()) / 2);
            tp = QPoint(x0 + gs.width() + gap, r.top() + (r.height() - ts.height()) / 2);
        } else {
            tp = QPoint(x0, r.top() + (r.height() - ts.height()) / 2);
            gp = QPoint(x0 + ts.width() + gap, r.top() + (r.height() - gs.height()) / 2);
        }
    } else {
        const int total = gs.height() + gap + ts.height();
        const int y0 = m_margin < 0 ? r.top() + (r.height() - total) / 2 : r.top() + m_margin;
        if (m_layout == blGlyphTop) {
            gp = QPoint(r.left() + (r.width() - gs.width()) / 2, y0);
            tp = QPoint(r.left() + (r.width() - ts.width()) / 2, y0 + gs.height() + gap);
        } else {
            tp = QPoint(r.left() + (r.width() - ts.width()) / 2, y0);
            gp = QPoint(r.left() + (r.width() - gs.width()) / 2, y0 + ts.height() + gap);
        }
    }
    if (!g.isNull())
        p.drawImage(gp, g);
    if (!text.isEmpty()) {
        p.setFont(font());
        p.setPen(isEnabled() ? (ParentFont() ? toQColor(clBtnText) : toQColor(m_font.Color)) : toQColor(clBtnShadow));
        p.drawText(QRect(tp, ts), Qt::AlignCenter, text);
    }
}

void TSpeedButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), toQColor(clBtnFace));
    const bool sunken = drawnDown();
    if (sunken || !m_flat || (m_hover && isEnabled()))
        paintBevel(p, rect(), sunken);
    paintGlyphAndCaption(p, rect().adjusted(2, 2, -2, -2), sunken);
}
