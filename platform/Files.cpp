#include "Files.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool WriteFileAtomically(const std::string &path, const std::function<bool(const std::string &tempPath)> &body)
{
    std::string temp = path + ".tmp-XXXXXX";
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
