#include "MediaPlayer.h"

#include "EventPump.h"
#include "MediaFileCheck.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QFile>
#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>
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

// Qt Multimedia's player with an audio output; pictures go to the widget it is given.
class QtMediaPlayer final : public MediaPlayer {
public:
    QtMediaPlayer()
    {
        player_.setAudioOutput(&audio_);
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
        QObject::disconnect(&player_, nullptr, nullptr, nullptr);
        player_.setVideoOutput(static_cast<QObject *>(nullptr));
        player_.stop();
    }

    void Open(const std::string &pathOrUrl) override
    {
        source_ = pathOrUrl;
        if (pathOrUrl.empty())
            player_.setSource(QUrl());
        else if (IsUrl(pathOrUrl))
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
    QWidget *VideoWidget() override { return nullptr; }
    void SetVideoOutput(QWidget *output) override { player_.setVideoOutput(static_cast<QObject *>(output)); }

    static bool IsUrl(const std::string &s) { return s.find("://") != std::string::npos; }

private:
    QMediaPlayer player_;
    QAudioOutput audio_;
    std::string source_;
    std::function<void()> onChange_;
};

std::unique_ptr<MediaPlayer> CreateBackend(bool video)
{
    if (Factory())
        return Factory()(video);
    return std::make_unique<QtMediaPlayer>();
}

// The player the windows hold. It opens each file on a backend player that has had no
// media yet: once a backend player has failed (a missing or damaged file, an error while
// playing) it refuses every later file, good ones included, and one that opens a file
// again after releasing it may end that file at once when played.
//
// Lifetimes do not hang on the event loop: the picture widget is made once and lives as
// long as this player, so no picture can reach a deleted widget; a backend player leaves
// by being cut from the widget, stopped and released, and is deleted only when the next
// one leaves, long after it delivered its last picture.
class RenewingMediaPlayer final : public MediaPlayer {
public:
    explicit RenewingMediaPlayer(bool video) : video_(video)
    {
        if (video) {
            screen_ = new QWidget;
            auto *layout = new QVBoxLayout(screen_);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
            // Players put in by tests draw nothing: a plain widget stands for the picture.
            QWidget *picture = nullptr;
            if (Factory()) {
                picture = new QWidget(screen_);
            } else {
                auto *video = new QVideoWidget(screen_);
                video->setAspectRatioMode(Qt::KeepAspectRatio);
                picture = video;
            }
            layout->addWidget(picture);
            picture_ = picture;
        }
        MakeBackend();
    }
    ~RenewingMediaPlayer() override
    {
        ++generation_;
        DropBackend();
        retired_.reset();
        // The widget may sit in a window's layout; that window deletes it otherwise.
        if (screen_ && !screen_->parent())
            delete screen_.data();
    }

    void Open(const std::string &pathOrUrl) override
    {
        const unsigned generation = ++generation_;
        refused_ = MediaFileState::Readable;
        source_ = pathOrUrl;
        if (!pathOrUrl.empty() && !QtMediaPlayer::IsUrl(pathOrUrl)) {
            // A pipe, a device or a dead share would hold the backend's open on this thread.
            const MediaFileState state = CheckMediaFile(pathOrUrl);
            if (generation != generation_)
                return;   // opened or closed again while the check ran
            if (state != MediaFileState::Readable) {
                backend_->Close();
                refused_ = state;
                Changed();
                return;
            }
        }
        if (!pathOrUrl.empty()) {
            if (used_) {
                DropBackend();
                MakeBackend();
            }
            used_ = true;
        }
        backend_->Open(pathOrUrl);
    }
    const std::string &Source() const override { return source_; }
    MediaStatus Status() const override { return Refused() ? MediaStatus::Invalid : backend_->Status(); }
    MediaState State() const override { return backend_->State(); }
    std::int64_t DurationMs() const override { return backend_->DurationMs(); }
    std::int64_t PositionMs() const override { return backend_->PositionMs(); }
    void SetPositionMs(std::int64_t ms) override { backend_->SetPositionMs(ms); }
    void Play() override
    {
        if (!Refused())
            backend_->Play();
    }
    void Stop() override { backend_->Stop(); }
    void Close() override
    {
        ++generation_;
        refused_ = MediaFileState::Readable;
        source_.clear();
        backend_->Close();
    }
    bool HasVideo() const override { return !Refused() && backend_->HasVideo(); }
    int ErrorNumber() const override { return Refused() ? 1 : backend_->ErrorNumber(); }
    std::string ErrorText() const override { return Refused() ? MediaFileStateText(refused_) : backend_->ErrorText(); }
    void SetOnChange(std::function<void()> onChange) override { onChange_ = std::move(onChange); }
    QWidget *VideoWidget() override { return screen_; }

private:
    bool Refused() const { return refused_ != MediaFileState::Readable; }
    void Changed()
    {
        if (onChange_)
            onChange_();
    }
    void MakeBackend()
    {
        backend_ = CreateBackend(video_);
        backend_->SetOnChange([this] { Changed(); });
        if (picture_)
            backend_->SetVideoOutput(picture_);
    }
    void DropBackend()
    {
        if (!backend_)
            return;
        backend_->SetOnChange(nullptr);
        backend_->SetVideoOutput(nullptr);
        backend_->Close();
        retired_ = std::move(backend_);   // the one retired before goes now
    }

    bool video_;
    bool used_ = false;   // the backend has been given media
    unsigned generation_ = 0;   // counts opens and closes
    MediaFileState refused_ = MediaFileState::Readable;
    std::string source_;
    QPointer<QWidget> screen_;
    QPointer<QWidget> picture_;
    std::unique_ptr<MediaPlayer> backend_;
    std::unique_ptr<MediaPlayer> retired_;
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

namespace {
int waitsUnderWay = 0;
}

bool WaitProcessing(const std::function<bool()> &done, int timeoutMs)
{
    struct Count {
        Count() { ++waitsUnderWay; }
        ~Count() { --waitsUnderWay; }
    } count;
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

void DeleteAfterWaits(QObject *object)
{
    if (waitsUnderWay == 0) {
        delete object;
        return;
    }
    // Looked at again from the event loop, unless someone else deletes it first.
    QTimer::singleShot(10, QCoreApplication::instance(), [later = QPointer<QObject>(object)] {
        if (later)
            DeleteAfterWaits(later.data());
    });
}

bool WaitUntilOpen(MediaPlayer &player, int timeoutMs)
{
    WaitProcessing(
        [&player] {
            const MediaStatus s = player.Status();
            return s == MediaStatus::Loaded || s == MediaStatus::EndOfMedia || s == MediaStatus::Invalid ||
                   player.ErrorNumber() != 0;
        },
        timeoutMs);
    return player.Status() == MediaStatus::Loaded || player.Status() == MediaStatus::EndOfMedia;
}

bool OpenAndWait(MediaPlayer &player, const std::string &pathOrUrl, int timeoutMs)
{
    player.Open(pathOrUrl);
    return WaitUntilOpen(player, timeoutMs);
}

std::string MediaErrorText(const MediaPlayer &player)
{
    return "Error " + std::to_string(player.ErrorNumber()) + ": " + player.ErrorText();
}

} // namespace platform
