// Feeds arbitrary bytes to the device-sequence reader: it may not crash, hang, ask for
// more memory than the input can fill or read past its input. A file that reads is
// written back, read again and written again: both writes must give the same bytes, and
// the levels are exactly channels x scenes.
#include "FuzzSetup.h"

#include "app/BinaryStream.h"
#include "editors/DeviceSequenceFile.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QuietShowCore();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    MemoryStream in(std::vector<std::uint8_t>(data, data + size));
    DeviceSequenceData d;
    if (!ReadDeviceSequence(in, d))
        return 0;
    FuzzRequire(d.scenes >= 0, "scene count not negative");
    FuzzRequire(d.values.size() == static_cast<std::size_t>(d.channels) * static_cast<std::size_t>(d.scenes),
                "levels are channels x scenes");
    MemoryStream first;
    WriteDeviceSequence(first, d);
    MemoryStream again(first.Data());
    DeviceSequenceData reread;
    FuzzRequire(ReadDeviceSequence(again, reread), "written back reads");
    MemoryStream second;
    WriteDeviceSequence(second, reread);
    FuzzRequire(second.Data() == first.Data(), "second read equals the first");
    return 0;
}
