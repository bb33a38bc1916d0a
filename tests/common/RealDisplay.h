// Tests on a real X server with a window manager (scripts/xfit.sh): waiting until the
// window manager has placed and framed the windows, reading its stacking order and its
// active window, and sending pointer and key events through the X server's test
// extension (xdotool), as a person's mouse and keyboard would.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace realdisplay {

inline bool Xcb()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The tools the input and the window manager's state go through.
inline bool ToolsInstalled()
{
    return !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty();
}

// Where the X server holds window `id` (its client area, on the screen).
inline QRect ServerRect(WId id)
{
    QProcess p;
    p.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(id)});
    p.waitForFinished(10000);
    int x = 0, y = 0, width = 0, height = 0;
    for (const QString &line : QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char(':'), 1).trimmed();
        if (line.contains(QLatin1String("Absolute upper-left X")))
            x = value.toInt();
        else if (line.contains(QLatin1String("Absolute upper-left Y")))
            y = value.toInt();
        else if (line.trimmed().startsWith(QLatin1String("Width:")))
            width = value.toInt();
        else if (line.trimmed().startsWith(QLatin1String("Height:")))
            height = value.toInt();
    }
    return QRect(x, y, width, height);
}

// Waits, at most `boundMs`, until every shown top-level window is exposed, has the window
// manager's frame around it, its frame has held still over two polls 50 ms apart and the
// X server holds it where Qt does.
// True when they all did; otherwise `late` (when given) names the windows that did not.
// Offscreen it only lets the queued events through.
// Qt learns a window's frame when the X server reports a change of its geometry; a window
// framed after the last such report keeps no frame for Qt. A window left without one
// for a second is resized by a pixel and back, which makes the report.
inline bool WaitPlaced(int boundMs = 10000, std::string *late = nullptr)
{
    QApplication::processEvents();
    if (!Xcb())
        return true;
    QElapsedTimer clock;
    clock.start();
    std::vector<QRect> last;
    std::map<QWidget *, int> unframedPolls;
    int still = 0;
    std::string unframed;
    while (clock.elapsed() < boundMs) {
        QTest::qWait(50);
        std::vector<QRect> now;
        unframed.clear();
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip ||
                (w->windowFlags() & Qt::FramelessWindowHint))
                continue;
            const bool exposed = w->windowHandle() && w->windowHandle()->isExposed();
            if (exposed && w->frameGeometry() != w->geometry()) {
                unframedPolls.erase(w);
            } else {
                unframed += w->objectName().toStdString() + (exposed ? " (no frame) " : " (not shown) ");
                if (exposed && ++unframedPolls[w] % 20 == 0) {
                    const QSize size = w->size();
                    w->resize(size + QSize(1, 0));
                    QTest::qWait(50);
                    w->resize(size);
                }
            }
            now.push_back(w->frameGeometry());
        }
        still = unframed.empty() && now == last ? still + 1 : 0;
        last = now;
        // Still in Qt's view; the X server must hold the same places, or a move Qt asked
        // for is still waiting for the window manager.
        if (still >= 2) {
            bool same = true;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed() &&
                    w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip)
                    same = same && ServerRect(w->winId()) == w->geometry();
            if (same)
                return true;
            still = 0;
        }
    }
    if (late)
        *late = unframed.empty() ? "frames still moving" : "not framed: " + unframed;
    return false;
}

// Runs xdotool with `args` and waits for it; its output.
inline QString XDoTool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

inline void Click(const QPoint &global)
{
    XDoTool({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y()),
             QStringLiteral("sleep"), QStringLiteral("0.1"), QStringLiteral("click"), QStringLiteral("1")});
}

// Keys by their X names ("Return", "Escape"), or text typed as it stands.
inline void Key(const QString &name)
{
    XDoTool({QStringLiteral("key"), name});
}
inline void Type(const QString &text)
{
    XDoTool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

// A drag with the left button from `from` through `via` to `to`, in steps of a person's
// pace, sent while the program runs its own loops (the drag has one). Returns once the
// button is released and the program has taken the events.
inline bool Drag(const QPoint &from, const std::vector<QPoint> &via, const QPoint &to)
{
    QStringList args{QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()),
                     QStringLiteral("sleep"), QStringLiteral("0.2"), QStringLiteral("mousedown"), QStringLiteral("1")};
    std::vector<QPoint> path = via;
    path.push_back(to);
    for (const QPoint &p : path)
        args << QStringLiteral("sleep") << QStringLiteral("0.15") << QStringLiteral("mousemove") << QString::number(p.x())
             << QString::number(p.y());
    args << QStringLiteral("sleep") << QStringLiteral("0.3") << QStringLiteral("mouseup") << QStringLiteral("1");
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    QElapsedTimer clock;
    clock.start();
    while (p.state() != QProcess::NotRunning && clock.elapsed() < 20000)
        QTest::qWait(20);
    QTest::qWait(200);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The X window ids a root window property lists ("_NET_ACTIVE_WINDOW", or
// "_NET_CLIENT_LIST_STACKING", bottom first).
inline std::vector<WId> RootWindows(const char *property)
{
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QString::fromLatin1(property)});
    p.waitForFinished(10000);
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    std::vector<WId> ids;
    const qsizetype hash = out.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return ids;
    for (const QString &item : out.mid(hash + 1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const WId id = item.trimmed().toULongLong(&ok, 16);
        if (ok && id)
            ids.push_back(id);
    }
    return ids;
}

inline WId ActiveWindow()
{
    const auto ids = RootWindows("_NET_ACTIVE_WINDOW");
    return ids.empty() ? 0 : ids.front();
}
inline WId TopWindow()
{
    const auto ids = RootWindows("_NET_CLIENT_LIST_STACKING");
    return ids.empty() ? 0 : ids.back();
}

inline QPoint Centre(QWidget *w)
{
    return w->mapToGlobal(w->rect().center());
}

// Steps run one after the other from a timer, so that they go on while the program
// waits in a modal loop of its own: each is called every 50 ms until it returns true.
// Past the bound the modal windows are closed, so that their loops end, and Wait()
// returns false; it returns true once every step is done.
class Steps {
public:
    void Add(std::function<bool()> step) { steps_.push_back(std::move(step)); }
    void Start(int boundMs)
    {
        clock_.start();
        bound_ = boundMs;
        timer_ = std::make_unique<QTimer>();
        QObject::connect(timer_.get(), &QTimer::timeout, [this] {
            if (busy_ || next_ >= steps_.size())
                return;
            if (clock_.elapsed() > bound_) {
                if (QWidget *modal = QApplication::activeModalWidget())
                    modal->close();
                return;
            }
            busy_ = true;
            if (steps_[next_]()) {
                ++next_;
                times_ += std::to_string(clock_.elapsed()) + " ";
            }
            busy_ = false;
        });
        timer_->start(50);
    }
    bool Wait()
    {
        while (next_ < steps_.size() && clock_.elapsed() < bound_ + 2000)
            QTest::qWait(50);
        timer_.reset();
        return next_ >= steps_.size();
    }
    std::size_t Done() const { return next_; }
    // When each step was done, in ms from the start.
    const std::string &Times() const { return times_; }

private:
    std::vector<std::function<bool()>> steps_;
    std::unique_ptr<QTimer> timer_;
    QElapsedTimer clock_;
    qint64 bound_ = 0;
    std::size_t next_ = 0;
    bool busy_ = false;
    std::string times_;
};

} // namespace realdisplay
