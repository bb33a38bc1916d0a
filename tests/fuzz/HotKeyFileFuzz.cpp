// Feeds arbitrary bytes to the hot-key file reader. What it reads is written back as a
// "KEYS" file and read again: the records must come back the same, and every shortcut
// has a text.
#include "live/HotKeys.h"

#include "app/BinaryStream.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
void Require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "round trip failed: %s\n", what);
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    MemoryStream in(std::vector<std::uint8_t>(data, data + size));
    const HotKeyFile file = ReadHotKeyFile(in);
    for (const HotKeyRecord &r : file.records) {
        Require(r.name.size() <= 255 && r.caption.size() <= 255, "names and captions fit a byte count");
        Require(!HotKeyText(r.shortcut).empty(), "a shortcut has a text");
    }
    MemoryStream out;
    WriteHotKeyFile(out, file.records);
    MemoryStream again(out.Data());
    const HotKeyFile reread = ReadHotKeyFile(again);
    Require(reread.withHeader, "the written file has its header");
    Require(reread.records.size() == file.records.size(), "as many records come back");
    for (std::size_t i = 0; i < reread.records.size(); ++i) {
        const HotKeyRecord &a = file.records[i], &b = reread.records[i];
        Require(a.shortcut == b.shortcut && a.name == b.name && a.caption == b.caption, "records come back the same");
    }
    return 0;
}
