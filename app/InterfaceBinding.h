// Binding of the interface library by file name, and the calls the windows make into it.
#pragma once

#include <cstdint>

// Binds the library for `kind` (888 probes 0x378, 0x278, 0x3BC; another value is a port
// base; 21333 the USB library). Without a device the operator is asked whether to go on in
// demo mode; `atStart` says whether No ends the program at start-up or closes the window.
// True when the program goes on (with or without a device).
bool OpenInterface(int kind, bool atStart);
// _CloseDevice, then the library is freed.
void CloseInterface();
void ReadHardwareRevision(std::uint8_t revision[4]);
