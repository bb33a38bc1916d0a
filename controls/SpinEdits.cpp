#include "controls/SpinEdits.h"

#include "controls/ControlGeometry.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPainter>

namespace {

QImage spinGlyph(const char *name)
{
    ensureControlResources();
    return QImage(QStringLiteral(":/bitmaps/") + QLatin1String(name));
}

// Reads a decimal integer the way "%d" does: leading blanks, an optional sign, digits.
bool scanInt(const QString &s, int &pos, long &out)
{
    int i = pos;
    while (i < s.size() && s[i].isSpace())
        ++i;
    const int start = i;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    const int digits = i;
    while (i < s.size() && s[i].isDigit())
        ++i;
    if (i == digits)
        return false;
    bool ok = false;
    const qlonglong v = s.mid(start, i - start).toLongLong(&ok);
    if (!ok)
        return false;
    out = long(clampTo<qlonglong>(v, std::numeric_limits<long>::min(), std::numeric_limits<long>::max()));
    pos = i;
    return true;
}

// Reads a floating-point number the way "%g" does (decimal point, optional exponent).
bool scanFloat(const QString &s, float &out)
{
    int i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    const int start = i;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    int mantissa = 0;
    while (i < s.size() && s[i].isDigit()) {
        ++i;
        ++mantissa;
    }
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && s[i].isDigit()) {
            ++i;
            ++mantissa;
        }
    }
    if (mantissa == 0)
        return false;
    int end = i;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        int j = i + 1;
        if (j < s.size() && (s[j] == u'-' || s[j] == u'+'))
            ++j;
        const int expDigits = j;
        while (j < s.size() && s[j].isDigit())
            ++j;
        if (j > expDigits)
            end = j;
    }
    bool ok = false;
    const float v = QLocale::c().toFloat(s.mid(start, end - start), &ok);
    if (!ok)
        return false;
    out = v;
    return true;
}

} // namespace

// ---- TTimerSpeedButton ---------------------------------------------------------------------

TTimerSpeedButton::TTimerSpeedButton(QWidget *parent)
    : TSpeedButton(parent)
{
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent *e)
{
    TSpeedButton::mousePressEvent(e);
    if (e->button() != Qt::LeftButton || !isEnabled())
        return;
    m_held = true;
    if (AllowTimer) {
        if (!m_timer) {
            m_timer = std::make_unique<QTimer>();
            connect(m_timer.get(), &QTimer::timeout, this, &TTimerSpeedButton::TimerExpired);
        }
        m_timer->start(500);
    }
    emit OnStep(this);
}

void TTimerSpeedButton::TimerExpired()
{
    if (!m_timer)
        return;
    m_timer->setInterval(250);
    if (m_held && drawnDown())
        emit OnStep(this);
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (m_timer)
        m_timer->stop();
    m_held = false;
    TSpeedButton::mouseReleaseEvent(e);
}

void TTimerSpeedButton::paintEvent(QPaintEvent *e)
{
    TSpeedButton::paintEvent(e);
    if (!FocusRect)
        return;
    QPainter p(this);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    QRect r = rect().adjusted(3, 3, -4, -4);
    if (drawnDown())
        r.translate(1, 1);
    p.drawRect(r);
}

// ---- TTimeButton ---------------------------------------------------------------------------

TTimeButton::TTimeButton(QWidget *parent)
    : QWidget(parent)
    , m_up(new TTimerSpeedButton(this))
    , m_down(new TTimerSpeedButton(this))
{
    m_focused = m_up;
    m_up->SetGlyph(spinGlyph("MSPINUP"));
    m_down->SetGlyph(spinGlyph("MSPINDOWN"));
    connect(m_up, &TTimerSpeedButton::OnStep, this, [this] { step(m_up); });
    connect(m_down, &TTimerSpeedButton::OnStep, this, [this] { step(m_down); });
    connect(m_up, &TSpeedButton::OnMouseDown, this, [this](QObject *, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            buttonPressed(m_up);
    });
    connect(m_down, &TSpeedButton::OnMouseDown, this, [this](QObject *, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            buttonPressed(m_down);
    });
    setFocusPolicy(Qt::NoFocus);
    resize(13, 25);
    adjustButtons();
}

void TTimeButton::adjustButtons()
{
    const int w = std::max(13, width());
    const int h = height();
    const int upH = h / 2 + 1;
    m_up->setGeometry(0, 0, w, upH);
    m_down->setGeometry(0, upH - 1, w, h - upH + 1);
}

void TTimeButton::resizeEvent(QResizeEvent *)
{
    if (width() < 13) {
        resize(13, height());
        return;
    }
    adjustButtons();
}

void TTimeButton::step(TTimerSpeedButton *b)
{
    if (b == m_up)
        emit OnUpClick(this);
    else
        emit OnDownClick(this);
}

void TTimeButton::buttonPressed(TTimerSpeedButton *b)
{
    if ((focusPolicy() & Qt::TabFocus) && isEnabled() && b != m_focused) {
        m_focused->FocusRect = false;
        m_focused->update();
        m_focused = b;
        m_focused->FocusRect = hasFocus();
        m_focused->update();
    }
    if (FocusControl && (FocusControl->focusPolicy() & Qt::TabFocus) && FocusControl->isEnabled()
        && !FocusControl->hasFocus())
        FocusControl->setFocus(Qt::MouseFocusReason);
    else if (focusPolicy() & Qt::TabFocus)
        setFocus(Qt::MouseFocusReason);
}

void TTimeButton::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Up:
        m_focused = m_up;
        step(m_up);
        break;
    case Qt::Key_Down:
        m_focused = m_down;
        step(m_down);
        break;
    case Qt::Key_Space:
        step(m_focused);
        break;
    default:
        QWidget::keyPressEvent(e);
    }
}

void TTimeButton::focusInEvent(QFocusEvent *)
{
    m_focused->FocusRect = true;
    m_focused->update();
}

void TTimeButton::focusOutEvent(QFocusEvent *)
{
    m_focused->FocusRect = false;
    m_focused->update();
}

// ---- TSpinMaskEdit -------------------------------------------------------------------------

TSpinMaskEdit::TSpinMaskEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_button(new TTimeButton(this))
{
    m_button->resize(13, 17);
    m_button->FocusControl = this;
    m_button->show();
    connect(m_button, &TTimeButton::OnUpClick, this, [this] { UpClick(); });
    connect(m_button, &TTimeButton::OnDownClick, this, [this] { DownClick(); });
    connect(this, &QLineEdit::textChanged, this, [this] { emit OnChange(this); });
    setAcceptDrops(false);
}

QString TSpinMaskEdit::translateMask(const QString &mask)
{
    const QStringList fields = mask.split(u';');
    QString m = fields.value(0);
    const QString blankField = fields.size() > 2 ? fields.at(2) : QString();
    const QChar blank = blankField.isEmpty() ? QChar(u'_') : blankField.at(0);
    bool leadingBlanks = false;
    if (m.startsWith(u'!')) {
        leadingBlanks = true;
        m.remove(0, 1);
    }
    // '0' is a required digit and '9' an optional one here; Qt has them the other way round.
    QString q;
    for (QChar c : m)
        q += c == u'0' ? QChar(u'9') : (c == u'9' ? QChar(u'0') : c);
    if (leadingBlanks) {
        // Leading blanks: the first run of digits may start with blanks up to its last digit.
        int end = 0;
        while (end < q.size() && (q[end] == u'0' || q[end] == u'9'))
            ++end;
        for (int i = 0; i + 1 < end; ++i)
            q[i] = u'0';
    }
    return q + u';' + blank;
}

QString TSpinMaskEdit::valueText() const
{
    QString t = displayText();
    const QString mask = inputMask();
    const qsizetype semi = mask.lastIndexOf(u';');
    if (semi >= 0 && semi + 1 < mask.size())
        t.replace(mask.at(semi + 1), u' ');
    return t;
}

void TSpinMaskEdit::setEditMask(const QString &mask)
{
    m_leadingBlanks = mask.startsWith(u'!');
    const QString q = translateMask(mask);
    m_maskLength = int(q.indexOf(u';'));
    setInputMask(q);
}

void TSpinMaskEdit::setMaskedText(const QString &text)
{
    QString t = text;
    if (m_leadingBlanks) {
        int i = 0;
        while (i < t.size() && t[i] == u' ')
            ++i;
        t = t.mid(i);
        if (t.size() < m_maskLength)
            t = QString(m_maskLength - t.size(), u' ') + t;
    }
    setText(t);
}

void TSpinMaskEdit::keyPressEvent(QKeyEvent *e)
{
    if (e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut)) {
        e->accept();
        return;
    }
    switch (e->key()) {
    case Qt::Key_Up: UpClick(); break;
    case Qt::Key_Down: DownClick(); break;
    case Qt::Key_PageUp: pageUp(); break;
    case Qt::Key_PageDown: pageDown(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: enterKey(); break;
    default: break;
    }
    QLineEdit::keyPressEvent(e);
}

void TSpinMaskEdit::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    if (AutoSelect && !(QApplication::mouseButtons() & Qt::LeftButton))
        selectAll();
}

void TSpinMaskEdit::focusOutEvent(QFocusEvent *e)
{
    checkOnExit();
    QLineEdit::focusOutEvent(e);
}

void TSpinMaskEdit::resizeEvent(QResizeEvent *e)
{
    const int h = fontMetrics().height();
    const int hs = QFontMetrics(QApplication::font()).height();
    const int minHeight = 4 * 1 + h + std::min(h, hs) / 4 + 2;
    if (height() < minHeight) {
        // A hidden edit gets no second resize event: the spin pair follows the width here.
        resize(width(), minHeight);
        adjustSpin();
        return;
    }
    QLineEdit::resizeEvent(e);
    adjustSpin();
}

void TSpinMaskEdit::adjustSpin()
{
    const int bw = m_button->width();
    // The spin pair sits inside the two-pixel border at the right edge.
    m_button->setGeometry(width() - bw - 2, 2, bw, std::max(1, height() - 4));
    m_button->adjustButtons();
    setTextMargins(0, 0, bw + 2, 0);
}

void TSpinMaskEdit::mousePressEvent(QMouseEvent *e)
{
    // The selection paste of the middle button is a paste too.
    if (e->button() == Qt::MiddleButton) {
        e->accept();
        return;
    }
    QLineEdit::mousePressEvent(e);
}

void TSpinMaskEdit::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu *menu = createStandardContextMenu();
    for (QAction *a : menu->actions())
        if (a->objectName() == QLatin1String("edit-paste") || a->objectName() == QLatin1String("edit-cut"))
            a->setEnabled(false);
    menu->exec(e->globalPos());
    delete menu;
}

// ---- TTimeEdit -----------------------------------------------------------------------------

TTimeEdit::TTimeEdit(QWidget *parent)
    : TSpinMaskEdit(parent)
{
    setEditMask(QStringLiteral("!90:00;1;"));
    setMaskedText(QStringLiteral("00:00"));
    MinValue = 50;
    MaxValue = 30000;
    SetValue(50);
    Increment = 50;
    EditorEnabled = true;
    resize(48, height());
    adjustSpin();
}

long TTimeEdit::CheckValue(long v) const
{
    if (MinValue == MaxValue)
        return v;
    return clampTo(v, MinValue, MaxValue);
}

long TTimeEdit::GetValue() const
{
    const QString t = valueText().left(5);
    long s = 0, c = 0;
    int pos = 0;
    if (scanInt(t, pos, s) && pos < t.size() && t[pos] == u':') {
        ++pos;
        scanInt(t, pos, c);
    }
    return s * 1000 + c * 10;
}

void TTimeEdit::SetValue(long ms)
{
    ms = CheckValue(ms);
    // The mask holds two digits of seconds and of hundredths.
    const long shown = clampTo<long>(ms, 0, 99990);
    setMaskedText(QString::asprintf("%02ld:%02ld", shown / 1000, (shown % 1000) / 10));
}

void TTimeEdit::UpClick()
{
    if (isReadOnly())
        QApplication::beep();
    else
        SetValue(GetValue() + Increment);
}

void TTimeEdit::DownClick()
{
    if (isReadOnly())
        QApplication::beep();
    else
        SetValue(GetValue() - Increment);
}

void TTimeEdit::checkOnExit()
{
    const long v = GetValue();
    if (CheckValue(v) != v)
        SetValue(v);
}

// ---- TFloatEdit ----------------------------------------------------------------------------

TFloatEdit::TFloatEdit(QWidget *parent)
    : TSpinMaskEdit(parent)
{
    MinValue = 1.0f;
    MaxValue = 999.0f;
    Value = 1.0f;
    Increment = 0.5f;
    setEditMask(QStringLiteral("!900.0;1; "));
    setMaskedText(QStringLiteral("001.0"));
    resize(48, height());
    adjustSpin();
}

float TFloatEdit::CheckValue(float v) const
{
    if (MaxValue == MinValue)
        return v;
    return clampTo(v, MinValue, MaxValue);
}

float TFloatEdit::GetValue() const
{
    float v = 0;
    return scanFloat(valueText().left(5), v) ? v : 0.0f;
}

void TFloatEdit::SetValue(float v)
{
    v = CheckValue(v);
    setMaskedText(QString::asprintf("% .1f", double(v)));
    Value = v;
}

void TFloatEdit::UpClick()
{
    if (isReadOnly())
        QApplication::beep();
    else
        SetValue(GetValue() + Increment);
}

void TFloatEdit::DownClick()
{
    if (isReadOnly())
        QApplication::beep();
    else
        SetValue(GetValue() - Increment);
}

void TFloatEdit::checkOnExit()
{
    const float v = GetValue();
    if (CheckValue(v) != v)
        SetValue(v);
}
