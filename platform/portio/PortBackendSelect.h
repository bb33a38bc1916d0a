// Picks how the library reaches the port on this machine.
#pragma once

#include "platform/portio/PortBackend.h"

#include <memory>

namespace portio {

// The simulator when BRTV_LPT_SIM names a socket; else ppdev when a /dev/parport* exists;
// else direct port I/O, but only when BRTV_LPT_IOPERM=1 is set. Null when none can be used.
std::unique_ptr<PortBackend> SelectPortBackend();

} // namespace portio
