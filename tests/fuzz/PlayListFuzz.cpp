// Feeds arbitrary bytes to the play-list reader. A list that reads is written back, read
// again and written again: both writes must give the same bytes. Then the list runs
// through the runner's start checks and its first steps on a clock that jumps ahead:
// whatever the list holds, the runner must neither hang nor crash.
#include "FuzzSetup.h"

#include "app/PlayListFile.h"
#include "app/ShowModel.h"
#include "live/PlayList.h"
#include "live/PlayListRunner.h"
#include "app/PlayControl.h"
#include "platform/Clock.h"

#include <cstdint>
#include <vector>

namespace {
std::uint32_t FuzzClock = 0;
std::uint32_t ReadFuzzClock()
{
    return FuzzClock;
}

std::vector<std::uint8_t> Written()
{
    MemoryStream out;
    WritePlayList(out);
    return out.Data();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QuietShowCore();
    std::atexit(RemoveFuzzFolder);
    platform::SetMonotonicMsHook(ReadFuzzClock);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    PlayListEntries.clear();
    PlayListCount = 0;
    MemoryStream in(std::vector<std::uint8_t>(data, data + size));
    bool read = false;
    try {
        read = ReadPlayList(in, static_cast<std::int64_t>(size));
    } catch (const StreamError &) {
        FuzzRequire(PlayListEntries.empty() && PlayListCount == 0, "a list cut short leaves the list as it was");
    }
    if (!read)
        return 0;
    FuzzRequire(PlayListCount == static_cast<std::int32_t>(PlayListEntries.size()), "count equals the entries");

    const std::vector<std::uint8_t> first = Written();
    MemoryStream again(first);
    FuzzRequire(ReadPlayList(again, static_cast<std::int64_t>(first.size())), "list written back reads");
    FuzzRequire(Written() == first, "list second read equals the first");

    // The start checks answer every box at once; steps every 10 minutes of list time.
    FuzzClock = 1000;
    PlayListRunner runner;
    if (runner.Start(0)) {
        for (int step = 0; step < 8 && PlayListRunning.load(); ++step) {
            FuzzClock += 600000;
            runner.Step();
            if (runner.GoState == 1)
                runner.Go();
        }
        runner.Stop();
    }
    FuzzRequire(!PlayListRunning.load(), "the runner stops");
    return 0;
}
