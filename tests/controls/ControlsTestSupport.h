// Helpers of the control tests: mouse events at computed pixels, a scripted pointer,
// and the folder the rendered images go to.
#pragma once

#include "controls/CursorSeam.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>
#include <cstdlib>

namespace ctest {

inline void mouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Qt::MouseButtons buttons = Qt::NoButton;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove)
        buttons = button;
    if (type == QEvent::MouseMove && button == Qt::NoButton)
        buttons = Qt::NoButton;
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)),
                  type == QEvent::MouseMove ? Qt::NoButton : button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

inline void press(QWidget *w, QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    mouse(w, QEvent::MouseButtonPress, p, b, m);
}
inline void release(QWidget *w, QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    mouse(w, QEvent::MouseButtonRelease, p, b, m);
}
// A move with the given button held (NoButton: hovering).
inline void move(QWidget *w, QPoint p, Qt::MouseButton held = Qt::NoButton, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    mouse(w, QEvent::MouseMove, p, held, m);
}
inline void enter(QWidget *w, QPoint p = QPoint(1, 1))
{
    QEnterEvent e{QPointF(p), QPointF(p), QPointF(w->mapToGlobal(p))};
    QApplication::sendEvent(w, &e);
}
inline void leave(QWidget *w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

// The pointer as the test places it; controls that move it move this one.
struct FakePointer {
    QPoint pos;
    int moves = 0;
    FakePointer()
    {
        setCursorHooks([this] { return pos; }, [this](const QPoint &p) { pos = p; ++moves; });
    }
    ~FakePointer() { setCursorHooks({}, {}); }
};

inline QString imageDir()
{
    const char *bin = std::getenv("BRTV_BIN_DIR");
    const QString base = bin ? QString::fromLocal8Bit(bin) : QDir::tempPath();
    const QString dir = base + QStringLiteral("/controls_test_images");
    QDir().mkpath(dir);
    return dir;
}

} // namespace ctest
