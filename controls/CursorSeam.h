// The controls read and move the mouse pointer only through these two calls, so that tests
// can put the pointer where they want and see where a control puts it.
#pragma once

#include <QPoint>
#include <functional>

QPoint cursorPos();
void setCursorPos(const QPoint &screenPos);

// Replaces the pointer source (both empty = the real pointer again).
void setCursorHooks(std::function<QPoint()> get, std::function<void(const QPoint &)> set);
