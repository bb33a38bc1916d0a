// Feeds arbitrary bytes, as the stand-alone image file, to the block reader of the
// "PROGRAMMING" window. A file of whole blocks is read block by block, each equal to its
// bytes in the file, with the blocks left counting down to 0; any other file is refused.
#include "FuzzSetup.h"

#include "live/FlashDownload.h"
#include "live/FlashImageFile.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {
std::string ImagePath;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QuietShowCore();
    std::atexit(RemoveFuzzFolder);
    ImagePath = ScratchFolder() + "/image.tm2";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::ofstream(ImagePath, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    FlashImageFile image;
    const bool whole = size > 0 && size % FlashImageFile::Block().size() == 0;
    FuzzRequire(image.Open(ImagePath) == whole, "only a file of whole blocks opens");
    if (!whole)
        return 0;
    const auto blocks = static_cast<std::int64_t>(size / FlashImageFile::Block().size());
    FuzzRequire(image.Blocks() == blocks && image.Left() == blocks, "every block is counted");
    FlashImageFile::Block block;
    for (std::int64_t i = 0; i < blocks; ++i) {
        FuzzRequire(image.Next(block), "a whole block reads");
        FuzzRequire(std::memcmp(block.data(), data + i * std::int64_t(block.size()), block.size()) == 0,
                    "a block holds its bytes");
        FuzzRequire(image.Left() == blocks - i - 1, "the blocks left count down");
        const std::uint8_t sum = FlashChecksum(block.data());
        unsigned total = sum;
        for (int b = 0; b < 512; ++b)
            total += block[static_cast<std::size_t>(b)];
        FuzzRequire(total % 256 == 0, "the checksum completes the block's sum");
    }
    FuzzRequire(!image.Next(block), "nothing reads after the last block");
    return 0;
}
