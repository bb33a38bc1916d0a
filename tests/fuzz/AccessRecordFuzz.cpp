// Feeds arbitrary text as the settings store's "PWD" value to the access record reader.
// A value of exactly ten bytes in hex ("hex:" and 20 hex digits) must become the record;
// any other value must keep the program locked at level 2 or 3.
#include "FuzzSetup.h"

#include "app/AccessRecordStore.h"
#include "app/StartupState.h"
#include "live/AccessLock.h"
#include "platform/Settings.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QuietShowCore();
    std::atexit(RemoveFuzzFolder);
    // A settings folder of its own: the store writes its file on every input.
    setenv("XDG_CONFIG_HOME", (ScratchFolder() + "/config").c_str(), 1);
    BuildScrambleTable();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string value(reinterpret_cast<const char *>(data), size);
    {
        platform::Settings s;
        s.WriteString(MainWindowKey, AccessRecordValue, value);
    }
    std::fill(std::begin(AccessRecord), std::end(AccessRecord), 0);
    const AccessRecordReading::State state = LoadAccessRecord();
    // Judged on the value as the store gives it back, which is what the lock reads.
    const std::string read = platform::Settings().ReadString(MainWindowKey, AccessRecordValue);
    bool tenBytes = read.size() == 24 && read.compare(0, 4, "hex:") == 0;
    for (std::size_t i = 4; tenBytes && i < read.size(); ++i)
        tenBytes = std::isxdigit(static_cast<unsigned char>(read[i])) != 0;
    if (tenBytes)
        for (int i = 0; i < 10; ++i)
            FuzzRequire(AccessRecord[i] == std::strtoul(read.substr(4 + 2 * std::size_t(i), 2).c_str(), nullptr, 16),
                        "a ten-byte value becomes the record");
    // Anything else keeps the lock closed: at level 2 or 3, and no password matches.
    FuzzRequire(tenBytes == (state == AccessRecordReading::State::Intact), "only a ten-byte value is intact");
    if (!tenBytes)
        FuzzRequire(AccessRecordDamaged && (AccessRecord[0] == 2 || AccessRecord[0] == 3),
                    "a damaged value keeps the lock");
    const std::string stored = StoredPassword(AccessRecord);
    FuzzRequire(stored.size() <= 9, "the stored password fits the record");
    UnscrambleText(stored);
    return 0;
}
