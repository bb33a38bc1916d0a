// The video screen: a borderless black window on top that shows the play list's video,
// dragged with the mouse, full screen on the first or second monitor.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TTVScreenf;
}
namespace platform {
class MediaPlayer;
}

class TTVScreenf : public QWidget {
    Q_OBJECT

public:
    explicit TTVScreenf(QWidget *parent = nullptr);
    ~TTVScreenf() override;

    // The player, made on first use; its picture fills the window.
    platform::MediaPlayer &Player();
    bool HasPlayer() const { return player_ != nullptr; }
    // Waits (5 s at most, handling events) until the media is open; false at once when
    // the player refused it.
    bool SynOpen();
    // Stops the player; once stopped the media is released, else its name stays.
    void StopClick();
    // Chooses a file and plays it; the picture is shown only when it has one.
    void OpenClick();
    // Shows the player's picture (true) or hides it.
    void ShowPlayer(bool shown);
    bool PlayerShown() const;
    // Full screen on monitor 1 or 2; back to the remembered bounds.
    void FullScreen(int monitor);
    void NormalView();
    int FullScreenMode() const { return fullScreen_; }
    QRect NormalBounds() const { return normal_; }

    Ui::TTVScreenf *ui;

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    // Waits for `done`, handling events, 5 s at most.
    bool WaitForState(const std::function<bool()> &done);
    bool MouseEvent(QEvent *e);

    std::unique_ptr<platform::MediaPlayer> player_;
    QRect normal_;
    int fullScreen_ = 0;
    QPoint dragStart_;
    bool dragging_ = false;
};

// The video screen while the play list window shows one.
extern TTVScreenf *TVScreenf;
