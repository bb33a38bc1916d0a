#include "controls/CursorSeam.h"

#include <QCursor>

namespace {
std::function<QPoint()> &getHook()
{
    static std::function<QPoint()> hook;
    return hook;
}
std::function<void(const QPoint &)> &setHook()
{
    static std::function<void(const QPoint &)> hook;
    return hook;
}
} // namespace

QPoint cursorPos()
{
    return getHook() ? getHook()() : QCursor::pos();
}

void setCursorPos(const QPoint &screenPos)
{
    if (setHook())
        setHook()(screenPos);
    else
        QCursor::setPos(screenPos);
}

void setCursorHooks(std::function<QPoint()> get, std::function<void(const QPoint &)> set)
{
    getHook() = std::move(get);
    setHook() = std::move(set);
}
