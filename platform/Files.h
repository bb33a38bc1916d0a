// The program folder, case-insensitive name lookup and atomic file writing.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace platform {

// The folder of the running program with a trailing '/'. Tests may set another one.
std::string ProgramFolder();
void SetProgramFolder(const std::string &folder);

// The name of an entry of `folder` that equals `name` without regard to case (the exact
// name first), or nothing when there is none.
std::optional<std::string> FindFileNoCase(const std::string &folder, const std::string &name);
// Folder + the found name, or folder + `name` itself when there is none.
std::string ResolveNoCase(const std::string &folder, const std::string &name);

bool FileExists(const std::string &path);
bool DirectoryExists(const std::string &path);
bool RemoveFile(const std::string &path);

// Writes a file atomically: `body` writes into a temporary file in the same folder,
// which is flushed to disk and renamed over `path`. When `body` returns false or throws,
// or any step fails, the temporary file is removed, the old file stays as it was and
// the result is false.
// The temporary file is named after the target and the writing process,
// "<name>.tmp-<pid>-XXXXXX". Before writing, temporary files of earlier writes of the
// same target whose process no longer runs (left by a crash) are removed; those of a
// running process are left alone.
bool WriteFileAtomically(const std::string &path, const std::function<bool(const std::string &tempPath)> &body);

} // namespace platform
