#include "MediaPlayer.h"

#include "EventPump.h"

#include <QAudioOutput>
#include <QFile>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

#include <chrono>
#include <thread>

namespace platform {

namespace {

MediaPlayerFactory &Factory()
{
    static MediaPlayerFactory factory;
    return factory;
}

// Qt Multimedia's player with an audio output, and a video widget when asked for.
class QtMediaPlayer final : public MediaPlayer {
public:
    explicit QtMediaPlayer(bool video)
    {
        player_.setAudioOutput(&audio_);
        if (video) {
            video_ = new QVideoWidget;
            video_->setAspectRatioMode(Qt::KeepAspectRatio);
            player_.setVideoOutput(video_);
        }
        auto changed = [this] {
            if (onChange_)
                onChange_();
        };
        QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, changed);
        QObject::connect(&player_, &QMediaPlayer::playbackStateChanged, changed);
        QObject::connect(&player_, &QMediaPlayer::errorOccurred, changed);
    }
    ~QtMediaPlayer() override
    {
        onChange_ = nullptr;
        player_.stop();
        player_.setVideoOutput(static_cast<QObject *>(nullptr));
        // The widget may sit in a window's layout; that window deletes it otherwise.
        if (video_ && !video_->parent())
            delete video_;
    }

    void Open(const std::string &pathOrUrl) override
    {
        source_ = pathOrUrl;
        if (pathOrUrl.empty())
            player_.setSource(QUrl());
        else if (pathOrUrl.find("://") != std::string::npos)
            player_.setSource(QUrl(QString::fromStdString(pathOrUrl)));
        else
            player_.setSource(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(pathOrUrl))));
    }
    const std::string &Source() const override { return source_; }
    MediaStatus Status() const override
    {
        switch (player_.mediaStatus()) {
        case QMediaPlayer::NoMedia:
            return MediaStatus::NoMedia;
        case QMediaPlayer::LoadingMedia:
            return MediaStatus::Loading;
        case QMediaPlayer::EndOfMedia:
            return MediaStatus::EndOfMedia;
        case QMediaPlayer::InvalidMedia:
            return MediaStatus::Invalid;
        default:
            return MediaStatus::Loaded;
        }
    }
    MediaState State() const override
    {
        switch (player_.playbackState()) {
        case QMediaPlayer::PlayingState:
            return MediaState::Playing;
        case QMediaPlayer::PausedState:
            return MediaState::Paused;
        default:
            return MediaState::Stopped;
        }
    }
    std::int64_t DurationMs() const override { return player_.duration(); }
    std::int64_t PositionMs() const override { return player_.position(); }
    void SetPositionMs(std::int64_t ms) override { player_.setPosition(ms); }
    void Play() override { player_.play(); }
    void Stop() override { player_.stop(); }
    void Close() override
    {
        player_.stop();
        Open({});
    }
    bool HasVideo() const override { return player_.hasVideo(); }
    int ErrorNumber() const override { return static_cast<int>(player_.error()); }
    std::string ErrorText() const override { return player_.errorString().toStdString(); }
    void SetOnChange(std::function<void()> onChange) override { onChange_ = std::move(onChange); }
    QWidget *VideoWidget() override { return video_; }

private:
    QMediaPlayer player_;
    QAudioOutput audio_;
    QVideoWidget *video_ = nullptr;
    std::string source_;
    std::function<void()> onChange_;
};

} // namespace

std::unique_ptr<MediaPlayer> CreateMediaPlayer(bool video)
{
    if (Factory())
        return Factory()(video);
    return std::make_unique<QtMediaPlayer>(video);
}

void SetMediaPlayerFactory(MediaPlayerFactory factory)
{
    Factory() = std::move(factory);
}

bool WaitProcessing(const std::function<bool()> &done, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        ProcessPendingEvents();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool OpenAndWait(MediaPlayer &player, const std::string &pathOrUrl, int timeoutMs)
{
    player.Open(pathOrUrl);
    WaitProcessing(
        [&player] {
            const MediaStatus s = player.Status();
            return s == MediaStatus::Loaded || s == MediaStatus::EndOfMedia || s == MediaStatus::Invalid ||
                   player.ErrorNumber() != 0;
        },
        timeoutMs);
    return player.Status() == MediaStatus::Loaded || player.Status() == MediaStatus::EndOfMedia;
}

std::string MediaErrorText(const MediaPlayer &player)
{
    return "Error " + std::to_string(player.ErrorNumber()) + ": " + player.ErrorText();
}

} // namespace platform
