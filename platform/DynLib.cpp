#include "DynLib.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <optional>

namespace platform {

void *LoadLibraryFile(const std::string &path)
{
    if (path.empty() || path[0] != '/')
        return nullptr;
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void *LibrarySymbol(void *library, const char *name)
{
    return library ? dlsym(library, name) : nullptr;
}

void FreeLibraryHandle(void *library)
{
    if (library)
        dlclose(library);
}

namespace {
std::optional<OsVersionInfo> &Override()
{
    static std::optional<OsVersionInfo> v;
    return v;
}
} // namespace

OsVersionInfo OsVersion()
{
    if (Override())
        return *Override();
    OsVersionInfo v;
    if (const char *e = std::getenv("BRTV_OS_VERSION")) {
        int major = 0, minor = 0;
        if (std::sscanf(e, "%d.%d", &major, &minor) >= 1) {
            v.major = major;
            v.minor = minor;
        }
    }
    return v;
}

void SetOsVersion(int major, int minor)
{
    Override() = OsVersionInfo{major, minor};
}

} // namespace platform
