// Loading shared libraries by absolute path and looking up their entry points.
#pragma once

#include <string>

namespace platform {

// Loads the library at `path` (always an absolute path, so the system search paths are
// never used); null when it cannot be loaded.
void *LoadLibraryFile(const std::string &path);
void *LibrarySymbol(void *library, const char *name);
void FreeLibraryHandle(void *library);

// The operating-system version as major.minor, 5.1 here unless set otherwise (tests, or
// BRTV_OS_VERSION=6.0 in the environment).
struct OsVersionInfo {
    int major = 5;
    int minor = 1;
};
OsVersionInfo OsVersion();
void SetOsVersion(int major, int minor);

} // namespace platform
