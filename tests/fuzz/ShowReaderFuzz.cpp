// Feeds arbitrary bytes to the show reader and to the configuration reader: neither may
// crash, hang or read past its input. What either reads is written back, read again and
// written again: both writes must give the same bytes.
#include "FuzzSetup.h"

#include "fixtures/SetupFile.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QuietShowCore();
    std::atexit(RemoveFuzzFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    {
        MemoryStream show(bytes);
        if (LoadShowFromStream(show)) {
            MemoryStream first;
            FuzzRequire(WriteShow(first), "show written");
            MemoryStream again(first.Data());
            FuzzRequire(LoadShowFromStream(again), "show written back reads");
            MemoryStream second;
            FuzzRequire(WriteShow(second), "show written again");
            FuzzRequire(first.Data() == second.Data(), "show second read equals the first");
        }
    }
    {
        MemoryStream config(bytes);
        bool ok = false;
        try {
            ok = LoadSetup(config, LoadSetupConfig) == 0;
        } catch (const StreamError &) {
        }
        if (ok) {
            MemoryStream first;
            SaveSetup(first, SetupConfigFile);
            MemoryStream again(first.Data());
            FuzzRequire(LoadSetup(again, LoadSetupConfig) == 0, "configuration written back reads");
            MemoryStream second;
            SaveSetup(second, SetupConfigFile);
            FuzzRequire(first.Data() == second.Data(), "configuration second read equals the first");
        }
    }
    return 0;
}
