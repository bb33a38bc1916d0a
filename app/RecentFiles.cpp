#include "RecentFiles.h"

#include "StartupState.h"

#include "platform/Settings.h"

#include <climits>
#include <unistd.h>

namespace {
std::string ValueName(int i)
{
    return "File" + std::to_string(i + 1);
}
} // namespace

std::string AbsoluteShowPath(const std::string &path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd))
        return path;
    std::string dir(cwd);
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir + path;
}

RecentFileList PutRecentFile(RecentFileList files, const std::string &name)
{
    if (files[0].empty()) {
        files[0] = name;
        return files;
    }
    if (files[0] == name)
        return files;
    int from = RecentFileCount - 1;
    for (int i = 1; i < RecentFileCount - 1; ++i)
        if (files[static_cast<std::size_t>(i)] == name) {
            from = i;
            break;
        }
    for (int i = from; i > 0; --i)
        files[static_cast<std::size_t>(i)] = files[static_cast<std::size_t>(i - 1)];
    files[0] = name;
    return files;
}

void CreateRecentFileKey()
{
    platform::Settings reg;
    if (reg.KeyExists(HistoryKey))
        return;
    reg.CreateKey(HistoryKey);
    WriteRecentFiles(RecentFileList{});
}

bool RecentFileKeyExists()
{
    platform::Settings reg;
    return reg.KeyExists(HistoryKey);
}

RecentFileList ReadRecentFiles()
{
    platform::Settings reg;
    RecentFileList files;
    for (int i = 0; i < RecentFileCount; ++i)
        files[static_cast<std::size_t>(i)] = reg.ReadString(HistoryKey, ValueName(i));
    return files;
}

void WriteRecentFiles(const RecentFileList &files)
{
    platform::Settings reg;
    for (int i = 0; i < RecentFileCount; ++i)
        reg.WriteString(HistoryKey, ValueName(i), files[static_cast<std::size_t>(i)]);
    reg.Flush();
}

bool StoreRecentFile(const std::string &name)
{
    if (!RecentFileKeyExists())
        return false;
    WriteRecentFiles(PutRecentFile(ReadRecentFiles(), name));
    return true;
}

std::string EscapedMenuCaption(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '&')
            out += '&';
    }
    return out;
}
