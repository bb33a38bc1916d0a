#include "ScreenArea.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace platform {

QRect AvailableArea(const QWidget *w)
{
    QScreen *s = w ? w->screen() : nullptr;
    if (!s)
        s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

void KeepInside(QWidget *w, const QRect &area, QPoint wanted)
{
    const QSize frameExtra = w->frameGeometry().size() - w->geometry().size();
    const QSize room = area.size() - frameExtra;
    const QSize size = w->size().boundedTo(room).expandedTo(QSize(1, 1));
    if (size != w->size())
        w->resize(size);
    const QSize frame = size + frameExtra;
    const int x = std::clamp(wanted.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
    const int y = std::clamp(wanted.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height()));
    if (QPoint(x, y) != w->frameGeometry().topLeft())
        w->move(x, y);
}

void KeepInsideScreen(QWidget *w)
{
    KeepInside(w, AvailableArea(w), w->frameGeometry().topLeft());
}

} // namespace platform
