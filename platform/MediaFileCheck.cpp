#include "MediaFileCheck.h"

#include "MediaPlayer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace platform {

namespace {

MediaFileState Check(const std::string &path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? MediaFileState::Missing : MediaFileState::Unreadable;
    if (!S_ISREG(st.st_mode))
        return MediaFileState::NotAFile;
    // Without blocking, in case the name was given to a pipe since the look above.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return MediaFileState::Unreadable;
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular ? MediaFileState::Readable : MediaFileState::NotAFile;
}

} // namespace

std::shared_ptr<const MediaFileCheck> StartMediaFileCheck(const std::string &path)
{
    auto check = std::make_shared<MediaFileCheck>();
    // Detached: a call held by a dead share ends with the share or with the program.
    std::thread([check, path] { check->state.store(Check(path)); }).detach();
    return check;
}

MediaFileState CheckMediaFile(const std::string &path, int timeoutMs)
{
    const auto check = StartMediaFileCheck(path);
    WaitProcessing([&check] { return check->state.load() != MediaFileState::Pending; }, timeoutMs);
    const MediaFileState state = check->state.load();
    return state == MediaFileState::Pending ? MediaFileState::NoAnswer : state;
}

std::string MediaFileStateText(MediaFileState state)
{
    switch (state) {
    case MediaFileState::Missing:
        return "Resource not found.";
    case MediaFileState::NotAFile:
        return "Not a regular file.";
    case MediaFileState::Unreadable:
        return "The file cannot be read.";
    case MediaFileState::NoAnswer:
        return "The file system does not answer.";
    default:
        return {};
    }
}

} // namespace platform
