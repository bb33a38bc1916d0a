// The music player ("Player"): plays a sound file or a CD track beside the show, with a
// position fader and a time entry of its own; it has no link to the engine.
#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class TMusicPlayer;
}
namespace platform {
class MediaPlayer;
}
class QTimer;
class TRegForm;
class TSliderh;
class TTimeMaskEdit;

class TMusicPlayer : public QWidget {
    Q_OBJECT

public:
    explicit TMusicPlayer(QWidget *parent = nullptr);
    ~TMusicPlayer() override;

    void OpenClick();
    void PlayClick();
    void StopClick();
    void Sliderh1Change();
    void TimeEditEnter();
    void Timer1Timer();

    Ui::TMusicPlayer *ui;
    TSliderh *Sliderh1 = nullptr;
    TTimeMaskEdit *TimeEdit = nullptr;
    QTimer *Timer1 = nullptr;
    TRegForm *RegForm1 = nullptr;
    std::int32_t MediaLength = 0;
    std::int32_t MediaStart = 0;
    std::string FileName;      // the chosen file, as the file system names it
    std::string Source;        // what the player opens (the file, or a CD track's URL)

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    platform::MediaPlayer &Player();
    bool Playing() const;
    void ShowPosition(std::int32_t ms);
    void SeekWhilePlaying();

    std::unique_ptr<platform::MediaPlayer> player_;
};

extern TMusicPlayer *MusicPlayer;
