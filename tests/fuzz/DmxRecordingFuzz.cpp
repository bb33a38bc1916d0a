// Feeds arbitrary bytes, as the DMX-input recording file, to its reader: it gives every
// whole 516-byte pair in order, each holding its bytes, and leaves a short tail out. The
// pairs are then made into scenes as the recorder stores them.
#include "FuzzSetup.h"

#include "live/DmxRecording.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {
std::string RecordPath;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QuietShowCore();
    std::atexit(RemoveFuzzFolder);
    RecordPath = ScratchFolder() + "/" + RecordFileName;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::ofstream(RecordPath, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    const std::vector<RecordedPair> pairs = ReadRecordedPairs(RecordPath);
    FuzzRequire(pairs.size() == size / RecordPairSize, "every whole pair is read");
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const std::uint8_t *at = data + i * RecordPairSize;
        std::uint32_t end = 0;
        for (int b = 3; b >= 0; --b)
            end = end << 8 | at[MaxInputChannels + b];
        FuzzRequire(std::memcmp(pairs[i].state.data(), at, MaxInputChannels) == 0 && pairs[i].end == end,
                    "a pair holds its bytes");
    }
    auto scene = std::make_unique<SceneRecord>();
    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        FillRecordedScene(*scene, pairs[i], previous, i % 2 == 0);
        FuzzRequire(scene->sceneTime != 0, "a scene of a recording lasts");
        previous = pairs[i].end;
        RecordClockText(static_cast<std::int32_t>(previous));
    }
    return 0;
}
