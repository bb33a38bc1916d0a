#include "platform/portio/PortBackendSelect.h"

#include "platform/portio/IopermBackend.h"
#include "platform/portio/PpdevBackend.h"
#include "platform/portio/SimSocketBackend.h"

#include <cstdlib>
#include <cstring>
#include <glob.h>

namespace portio {

namespace {

bool ParportDeviceExists()
{
    glob_t found{};
    const bool any = glob("/dev/parport*", GLOB_NOSORT, nullptr, &found) == 0 && found.gl_pathc > 0;
    globfree(&found);
    return any;
}

} // namespace

std::unique_ptr<PortBackend> SelectPortBackend()
{
    if (const char *sim = std::getenv("BRTV_LPT_SIM"); sim && *sim)
        return std::make_unique<SimSocketBackend>(sim);
    if (ParportDeviceExists())
        return std::make_unique<PpdevBackend>();
    if (const char *direct = std::getenv("BRTV_LPT_IOPERM"); direct && std::strcmp(direct, "1") == 0 &&
        IopermBackend::Available())
        return std::make_unique<IopermBackend>();
    return nullptr;
}

} // namespace portio
