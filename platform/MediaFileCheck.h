// Whether a media path names a regular file that can be read, asked off the GUI thread: a
// named pipe or a device would hold an open until someone writes to it, and a path on a
// share that no longer answers holds even a look at it. The check runs on a worker thread;
// the GUI thread waits a bounded time and takes no answer as a file that cannot be opened.
#pragma once

#include <atomic>
#include <memory>
#include <string>

namespace platform {

enum class MediaFileState {
    Pending,    // no answer yet
    Readable,   // a regular file, opened for reading
    Missing,    // no such file
    NotAFile,   // a directory, pipe, device or socket
    Unreadable, // there, but it cannot be opened
    NoAnswer    // the file system did not answer in time
};

// How long the GUI thread waits for an answer.
constexpr int MediaCheckMs = 2000;

// A check under way: the worker thread sets `state` once (it may outlive the asker).
struct MediaFileCheck {
    std::atomic<MediaFileState> state{MediaFileState::Pending};
};

// Starts checking `path` on a worker thread and returns at once.
std::shared_ptr<const MediaFileCheck> StartMediaFileCheck(const std::string &path);
// Checks `path`, handling the GUI thread's events while it waits (at most `timeoutMs`).
MediaFileState CheckMediaFile(const std::string &path, int timeoutMs = MediaCheckMs);
// The error text of a refused file (a player reports it with error number 1, the backend's
// resource error); empty for Readable.
std::string MediaFileStateText(MediaFileState state);

} // namespace platform
