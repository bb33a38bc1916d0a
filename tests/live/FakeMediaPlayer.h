// A media player for tests: files named in `Media` load with their length and picture,
// anything else is refused with the backend's "Resource not found."; Play and Stop change
// the state at once unless `StopNeverEnds` is set. Like the backend's player, one that has
// refused a file refuses every later one and keeps its error through a release.
#pragma once

#include "platform/MediaPlayer.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

struct FakeMedia {
    std::int64_t durationMs = 0;
    bool video = false;
};

struct FakeMediaWorld {
    std::map<std::string, FakeMedia> media;   // by path or URL
    bool stopNeverEnds = false;
    std::vector<std::string> log;            // "open x", "play", "stop", "close", "seek n"
};

class FakeMediaPlayer : public platform::MediaPlayer {
public:
    FakeMediaPlayer(FakeMediaWorld &world, bool video) : world_(world)
    {
        if (video)
            video_ = new QWidget;
    }
    ~FakeMediaPlayer() override { delete video_.data(); }
    void Open(const std::string &p) override
    {
        source_ = p;
        position_ = 0;
        state_ = platform::MediaState::Stopped;
        if (p.empty()) {
            status_ = platform::MediaStatus::NoMedia;
            return;
        }
        world_.log.push_back("open " + p);
        const auto it = world_.media.find(p);
        if (error_ != 0 || it == world_.media.end()) {
            errorText_ = error_ != 0 ? "Internal data stream error." : "Resource not found.";
            status_ = platform::MediaStatus::Invalid;
            error_ = 1;
            media_ = {};
        } else {
            status_ = platform::MediaStatus::Loaded;
            media_ = it->second;
        }
        Changed();
    }
    const std::string &Source() const override { return source_; }
    platform::MediaStatus Status() const override { return status_; }
    platform::MediaState State() const override { return state_; }
    std::int64_t DurationMs() const override { return media_.durationMs; }
    std::int64_t PositionMs() const override { return position_; }
    void SetPositionMs(std::int64_t ms) override
    {
        position_ = ms;
        world_.log.push_back("seek " + std::to_string(ms));
    }
    void Play() override
    {
        world_.log.push_back("play");
        state_ = platform::MediaState::Playing;
        ++position_;   // the media moves at once
        Changed();
    }
    void Stop() override
    {
        world_.log.push_back("stop");
        if (!world_.stopNeverEnds)
            state_ = platform::MediaState::Stopped;
        Changed();
    }
    void Close() override
    {
        if (!source_.empty())
            world_.log.push_back("close");
        state_ = platform::MediaState::Stopped;
        source_.clear();
        status_ = platform::MediaStatus::NoMedia;
    }
    bool HasVideo() const override { return media_.video; }
    int ErrorNumber() const override { return error_; }
    std::string ErrorText() const override { return error_ ? errorText_ : ""; }
    void SetOnChange(std::function<void()> f) override { onChange_ = std::move(f); }
    QWidget *VideoWidget() override { return video_; }

private:
    void Changed()
    {
        if (onChange_)
            onChange_();
    }
    FakeMediaWorld &world_;
    std::string source_;
    platform::MediaStatus status_ = platform::MediaStatus::NoMedia;
    platform::MediaState state_ = platform::MediaState::Stopped;
    FakeMedia media_;
    std::int64_t position_ = 0;
    int error_ = 0;
    std::string errorText_;
    std::function<void()> onChange_;
    QPointer<QWidget> video_;
};

// Installs fake players over `world` for the scope.
class FakeMediaScope {
public:
    explicit FakeMediaScope(FakeMediaWorld &world)
    {
        platform::SetMediaPlayerFactory(
            [&world](bool video) { return std::unique_ptr<platform::MediaPlayer>(new FakeMediaPlayer(world, video)); });
    }
    ~FakeMediaScope() { platform::SetMediaPlayerFactory(nullptr); }
};
