#include "MediaPlayer.h"

#include "EventPump.h"

#include <QAudioOutput>
#include <QFile>
#include <QMediaPlayer>
#include <QPointer>
#include <QUrl>
#include <QVBoxLayout>
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

std::unique_ptr<MediaPlayer> CreateBackend(bool video)
{
    if (Factory())
        return Factory()(video);
    return std::make_unique<QtMediaPlayer>(video);
}

// The player the windows hold. It opens each file on a backend player that has had no
// media yet: once a backend player has failed (a missing or damaged file, an error while
// playing) it refuses every later file, good ones included, and one that opens a file
// again after releasing it may end that file at once when played. The picture goes to a
// widget of its own that holds the current backend's video widget, so a window keeps it
// in its layout across renewals.
class RenewingMediaPlayer final : public MediaPlayer {
public:
    explicit RenewingMediaPlayer(bool video) : video_(video)
    {
        if (video) {
            screen_ = new QWidget;
            auto *layout = new QVBoxLayout(screen_);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
        }
        MakeBackend();
    }
    ~RenewingMediaPlayer() override
    {
        DropBackend();
        // The widget may sit in a window's layout; that window deletes it otherwise.
        if (screen_ && !screen_->parent())
            delete screen_.data();
    }

    void Open(const std::string &pathOrUrl) override
    {
        if (!pathOrUrl.empty()) {
            if (used_) {
                DropBackend();
                MakeBackend();
            }
            used_ = true;
        }
        backend_->Open(pathOrUrl);
    }
    const std::string &Source() const override { return backend_->Source(); }
    MediaStatus Status() const override { return backend_->Status(); }
    MediaState State() const override { return backend_->State(); }
    std::int64_t DurationMs() const override { return backend_->DurationMs(); }
    std::int64_t PositionMs() const override { return backend_->PositionMs(); }
    void SetPositionMs(std::int64_t ms) override { backend_->SetPositionMs(ms); }
    void Play() override { backend_->Play(); }
    void Stop() override { backend_->Stop(); }
    void Close() override { backend_->Close(); }
    bool HasVideo() const override { return backend_->HasVideo(); }
    int ErrorNumber() const override { return backend_->ErrorNumber(); }
    std::string ErrorText() const override { return backend_->ErrorText(); }
    void SetOnChange(std::function<void()> onChange) override { onChange_ = std::move(onChange); }
    QWidget *VideoWidget() override { return screen_; }

private:
    void MakeBackend()
    {
        backend_ = CreateBackend(video_);
        backend_->SetOnChange([this] {
            if (onChange_)
                onChange_();
        });
        if (QWidget *picture = screen_ ? backend_->VideoWidget() : nullptr) {
            picture->setParent(screen_);
            screen_->layout()->addWidget(picture);
            picture->show();
        }
    }
    void DropBackend()
    {
        if (!backend_)
            return;
        backend_->SetOnChange(nullptr);
        QPointer<QWidget> picture = backend_->VideoWidget();
        backend_.reset();
        delete picture.data();
    }

    bool video_;
    bool used_ = false;   // the backend has been given media
    QPointer<QWidget> screen_;
    std::unique_ptr<MediaPlayer> backend_;
    std::function<void()> onChange_;
};

} // namespace

std::unique_ptr<MediaPlayer> CreateMediaPlayer(bool video)
{
    return std::make_unique<RenewingMediaPlayer>(video);
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
