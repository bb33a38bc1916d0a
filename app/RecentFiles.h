// The list of recent shows kept in the settings store under "Software\Brantoval\History"
// as "File1" (newest) to "File5".
#pragma once

#include <array>
#include <string>

constexpr int RecentFileCount = 5;
using RecentFileList = std::array<std::string, RecentFileCount>;   // [0] is "File1"

// `path` made absolute against the current directory when it does not begin with "/".
std::string AbsoluteShowPath(const std::string &path);

// The list after `name` was opened or saved: an empty "File1" takes it; equal to
// "File1" nothing moves; equal to "File2".."File4" the entries above it move down one;
// otherwise every entry moves down and the oldest falls off.
RecentFileList PutRecentFile(RecentFileList files, const std::string &name);

// Start-up: creates the key with five empty values when it does not exist.
void CreateRecentFileKey();
bool RecentFileKeyExists();
RecentFileList ReadRecentFiles();
void WriteRecentFiles(const RecentFileList &files);

// Adds `name` (absolute) to the stored list. The key is not created here: without it
// nothing is stored and false is returned.
bool StoreRecentFile(const std::string &name);

// A menu caption that shows `text` as it is: "&" doubled so that it is no accelerator.
std::string EscapedMenuCaption(const std::string &text);
