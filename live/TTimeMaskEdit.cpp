#include "TTimeMaskEdit.h"

#include <QKeyEvent>

TTimeMaskEdit::TTimeMaskEdit(QWidget *parent, const QString &mask) : TSpinMaskEdit(parent)
{
    setEditMask(mask);
    // Times are typed, not stepped.
    Button()->hide();
    setTextMargins(0, 0, 0, 0);
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
    TSpinMaskEdit::keyPressEvent(e);
}

void TTimeMaskEdit::resizeEvent(QResizeEvent *e)
{
    TSpinMaskEdit::resizeEvent(e);
    setTextMargins(0, 0, 0, 0);
}
