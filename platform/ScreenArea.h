// The part of the screen a window may take: the screen's area without the desktop's own
// panels, and a window kept inside it with its frame (the title bar and borders that a
// window manager adds).
#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace platform {

// The available area of the screen `w` is on (the primary screen without one).
QRect AvailableArea(const QWidget *w);

// Shrinks top-level window `w` so that its frame fits `area`, then moves the frame's
// top-left corner as near to `wanted` as keeps it inside.
void KeepInside(QWidget *w, const QRect &area, QPoint wanted);

// The same with the screen's available area and the window's present place.
void KeepInsideScreen(QWidget *w);

} // namespace platform
