// One media player for sound files, CD tracks and video: open a path or URL, learn its
// length, play it from a position, stop it. The program's windows use only this
// interface; tests put in their own player through SetMediaPlayerFactory.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QObject;
class QWidget;

namespace platform {

enum class MediaStatus { NoMedia, Loading, Loaded, EndOfMedia, Invalid };
enum class MediaState { Stopped, Playing, Paused };

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;

    // Starts opening a file path or a URL ("cdda://3"); the status then moves on from
    // Loading. An empty name releases the media.
    virtual void Open(const std::string &pathOrUrl) = 0;
    virtual const std::string &Source() const = 0;
    virtual MediaStatus Status() const = 0;
    virtual MediaState State() const = 0;
    virtual std::int64_t DurationMs() const = 0;
    virtual std::int64_t PositionMs() const = 0;
    virtual void SetPositionMs(std::int64_t ms) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    // Stops and releases the media.
    virtual void Close() = 0;
    virtual bool HasVideo() const = 0;
    // The last error: 0 none, else the backend's number and its text.
    virtual int ErrorNumber() const = 0;
    virtual std::string ErrorText() const = 0;
    // Called on the GUI thread whenever the status, the state or the error changes.
    virtual void SetOnChange(std::function<void()> onChange) = 0;
    // The widget the picture is drawn into (made with `video`), else null.
    virtual QWidget *VideoWidget() = 0;
    // Draws the pictures into `output`, a video widget that stays the caller's (null:
    // nowhere).
    virtual void SetVideoOutput(QWidget *output) { (void)output; }
};

// A new player; with `video` it draws pictures into its VideoWidget(), one widget for the
// player's life. Each file it opens starts on a new backend player, so a bad file never
// spoils a later one. A local path is first checked off the GUI thread (a bounded wait that
// handles events): anything but a regular, readable file is refused at once with error 1.
std::unique_ptr<MediaPlayer> CreateMediaPlayer(bool video);
// Tests: the backend players come from `factory` while it is set (null: the real backend
// again).
using MediaPlayerFactory = std::function<std::unique_ptr<MediaPlayer>(bool video)>;
void SetMediaPlayerFactory(MediaPlayerFactory factory);

// Waits, handling the GUI thread's events, until `done` answers true (true) or
// `timeoutMs` of real time have passed (false).
bool WaitProcessing(const std::function<bool()> &done, int timeoutMs);
// Deletes `object` now when no WaitProcessing is under way; else later, from the event
// loop, once none is: a wait may hold the object's player while a window it let run closes.
void DeleteAfterWaits(QObject *object);
// Waits (at most `timeoutMs`, handling events) until the media given to `player` is loaded
// or refused: true when loaded.
bool WaitUntilOpen(MediaPlayer &player, int timeoutMs = 5000);
// Opens `pathOrUrl` and waits (at most `timeoutMs`) until it is loaded or refused: true
// when loaded, so that its length can be read.
bool OpenAndWait(MediaPlayer &player, const std::string &pathOrUrl, int timeoutMs = 5000);
// "Error " + number + ": " + text, the box text of a media failure.
std::string MediaErrorText(const MediaPlayer &player);

} // namespace platform
