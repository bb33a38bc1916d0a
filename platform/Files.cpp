#include "Files.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <csignal>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {
std::string &FolderOverride()
{
    static std::string f;
    return f;
}

std::string WithSlash(std::string s)
{
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}
} // namespace

std::string ProgramFolder()
{
    if (!FolderOverride().empty())
        return FolderOverride();
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "./";
    std::string path(buf, static_cast<std::size_t>(n));
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

void SetProgramFolder(const std::string &folder)
{
    FolderOverride() = folder.empty() ? std::string() : WithSlash(folder);
}

std::optional<std::string> FindFileNoCase(const std::string &folder, const std::string &name)
{
    std::string dir = folder.empty() ? std::string("./") : WithSlash(folder);
    struct stat st;
    if (::stat((dir + name).c_str(), &st) == 0)
        return name;
    DIR *d = opendir(dir.c_str());
    if (!d)
        return std::nullopt;
    std::optional<std::string> found;
    while (dirent *e = readdir(d)) {
        if (strcasecmp(e->d_name, name.c_str()) == 0) {
            found = std::string(e->d_name);
            break;
        }
    }
    closedir(d);
    return found;
}

std::string ResolveNoCase(const std::string &folder, const std::string &name)
{
    std::string dir = WithSlash(folder);
    auto found = FindFileNoCase(dir, name);
    return dir + (found ? *found : name);
}

bool FileExists(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string &path)
{
    return ::unlink(path.c_str()) == 0;
}

namespace {
const char TempMark[] = ".tmp-";
const std::size_t TempRandomLength = 6;   // the XXXXXX of mkstemp

bool ProcessRuns(long pid)
{
    // EPERM: the process exists but belongs to someone else.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// The process id in a temporary file name made for `path`, or 0 when `entry` (a name in
// the target's folder) is not one.
long TemporaryFileWriter(const std::string &path, const std::string &entry)
{
    auto slash = path.rfind('/');
    const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + TempMark;
    if (entry.size() < prefix.size() + 2 + TempRandomLength || entry.compare(0, prefix.size(), prefix) != 0)
        return 0;
    const std::string rest = entry.substr(prefix.size());
    const std::size_t dash = rest.size() - TempRandomLength - 1;
    if (rest[dash] != '-' || dash == 0 || dash > 10)
        return 0;
    long pid = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (rest[i] < '0' || rest[i] > '9')
            return 0;
        pid = pid * 10 + (rest[i] - '0');
    }
    return pid;
}

void RemoveStaleTemporaryFiles(const std::string &path)
{
    auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
    DIR *d = opendir(dir.c_str());
    if (!d)
        return;
    std::vector<std::string> stale;
    while (dirent *e = readdir(d)) {
        const long pid = TemporaryFileWriter(path, e->d_name);
        if (pid > 0 && !ProcessRuns(pid))
            stale.push_back(dir + e->d_name);
    }
    closedir(d);
    for (const auto &f : stale) {
        struct stat st;
        if (::lstat(f.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(f.c_str());
    }
}
} // namespace

bool WriteFileAtomically(const std::string &path, const std::function<bool(const std::string &tempPath)> &body)
{
    RemoveStaleTemporaryFiles(path);
    std::string temp = path + TempMark + std::to_string(::getpid()) + "-XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    ::close(fd);
    bool ok = false;
    try {
        ok = body(temp);
    } catch (...) {
        ok = false;
    }
    if (ok) {
        int f = ::open(temp.c_str(), O_RDONLY);
        ok = f >= 0 && ::fsync(f) == 0;
        if (f >= 0)
            ::close(f);
    }
    if (ok) {
        // Keep the permissions of the file being replaced.
        struct stat st;
        if (::stat(path.c_str(), &st) == 0)
            ::chmod(temp.c_str(), st.st_mode & 07777);
        else
            ::chmod(temp.c_str(), 0644);
        ok = ::rename(temp.c_str(), path.c_str()) == 0;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    auto slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    int d = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (d >= 0) {
        ::fsync(d);
        ::close(d);
    }
    return true;
}

} // namespace platform
