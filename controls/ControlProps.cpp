#include "controls/ControlProps.h"

#include "controls/TColor.h"

#include <QVariant>

static void initControlResources()
{
    Q_INIT_RESOURCE(controls);
}

void ensureControlResources()
{
    static const bool done = [] {
        initControlResources();
        return true;
    }();
    (void)done;
}

Qt::CursorShape cursorShapeFor(int id)
{
    switch (id) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: case crSQLWait: return Qt::WaitCursor;
    case crDrag: case crMultiDrag: return Qt::DragMoveCursor;
    case crNoDrop: case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

void TControlProps::applyCursorId(QWidget *self, int id)
{
    m_cursor = id;
    if (id == crDefault)
        self->unsetCursor();
    else
        self->setCursor(cursorShapeFor(id));
}

void setControlCursor(QWidget *w, int id)
{
    if (auto *p = dynamic_cast<TControlProps *>(w))
        p->applyCursorId(w, id);
}

bool controlVisible(const QWidget *w)
{
    return !(w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden));
}

bool controlEnabled(const QWidget *w)
{
    return !w->testAttribute(Qt::WA_ForceDisabled);
}

unsigned int parentBrushColor(const QWidget *w)
{
    if (const QWidget *p = w->parentWidget()) {
        const QVariant v = p->property("Color");
        bool ok = false;
        const unsigned int c = v.toUInt(&ok);
        if (v.isValid() && ok)
            return c;
    }
    return clBtnFace;
}
