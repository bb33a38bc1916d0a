// Feeds arbitrary bytes to the settings store's file reader. What it reads is written
// back and read again: the second read must give the same keys and values.
#include "platform/SettingsText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const platform::SettingsKeys first = platform::ParseSettingsText(text);
    const std::string written = platform::FormatSettingsText(first);
    const platform::SettingsKeys second = platform::ParseSettingsText(written);
    if (second != first || platform::FormatSettingsText(second) != written) {
        std::fprintf(stderr, "round trip failed: settings second read differs from the first\n");
        std::abort();
    }
    return 0;
}
