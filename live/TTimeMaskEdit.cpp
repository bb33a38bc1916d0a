#include "TTimeMaskEdit.h"

#include <QKeyEvent>

TTimeMaskEdit::TTimeMaskEdit(QWidget *parent, const QString &mask) : TSpinMaskEdit(parent)
{
    setEditMask(mask);
    // Times are typed, not stepped.
    Button()->hide();
    setTextMargins(0, 0, 0, 0);
}

void TTimeMaskEdit::SetTimeText(const QString &text)
{
    const QString mask = inputMask();
    const qsizetype semi = mask.lastIndexOf(u';');
    QString t = text;
    if (semi >= 0 && semi + 1 < mask.size())
        t.replace(u' ', mask.at(semi + 1));
    setMaskedText(t);
}

void TTimeMaskEdit::enterKey()
{
    if (OnEnter)
        OnEnter();
}

void TTimeMaskEdit::checkOnExit()
{
    if (OnExit && isVisible())
        OnExit();
}

void TTimeMaskEdit::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape && OnEscape) {
        OnEscape();
        return;
    }
    // Enter ends the entry here; it must not reach the window behind it.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        enterKey();
        e->accept();
        return;
    }
    TSpinMaskEdit::keyPressEvent(e);
}

void TTimeMaskEdit::resizeEvent(QResizeEvent *e)
{
    TSpinMaskEdit::resizeEvent(e);
    setTextMargins(0, 0, 0, 0);
}
