#include "InterfaceBinding.h"
#include "InterfaceLibrary.h"
#include "LevelPipeline.h"

#include <cstring>

// Until a library is bound the program runs in demo mode: no device, 1024 channels.
bool OpenInterface(int, bool)
{
    DeviceState = -1;
    DmxOutChannels = 1024;
    return true;
}

void CloseInterface()
{
    InterfaceLibrary = InterfaceLibraryWords{};
    DeviceState = -1;
}

void ReadHardwareRevision(std::uint8_t revision[4])
{
    std::memset(revision, 0, 4);
}
