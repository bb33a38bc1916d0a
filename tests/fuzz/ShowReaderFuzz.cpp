// Feeds arbitrary bytes to the show reader and to the configuration reader: neither may
// crash, hang or read past its input.
#include "FuzzSetup.h"

#include "app/BinaryStream.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QuietShowCore();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    {
        MemoryStream show(bytes);
        LoadShowFromStream(show);
    }
    {
        MemoryStream config(bytes);
        try {
            LoadSetup(config, LoadSetupConfig);
        } catch (const StreamError &) {
        }
    }
    return 0;
}
