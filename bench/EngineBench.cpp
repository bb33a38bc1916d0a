// Engine benchmark: what one output tick costs in the worst case the show tables allow,
// and how steady the periodic timer is, empty and with that tick.
//
//   engine_bench [--ticks N] [--cost-ticks M]
//
// --ticks N       timer periods per jitter run (default 2000, i.e. 100 s per run)
// --cost-ticks M  direct OutputTick calls per cost run (default 20000)
#include "app/InterfaceLibrary.h"
#include "app/LevelPipeline.h"
#include "app/OutputEngine.h"
#include "app/PlayState.h"
#include "app/ShowModel.h"

#include "platform/Clock.h"
#include "platform/Messages.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

// ---- Allocation counting: only while the counting thread is inside a tick ----------------

namespace {
std::atomic<std::uint64_t> allocations{0};
thread_local bool countAllocations = false;
} // namespace

void *operator new(std::size_t size)
{
    if (countAllocations)
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void *operator new[](std::size_t size) { return operator new(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    if (countAllocations)
        allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void *operator new[](std::size_t size, const std::nothrow_t &t) noexcept { return operator new(size, t); }
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }

namespace {

// ---- Stub interface ------------------------------------------------------------------------

std::atomic<std::uint64_t> writeCalls{0};
std::uint32_t inputSeed = 1;

extern "C" int StubWrite(int count, unsigned char *)
{
    writeCalls.fetch_add(1, std::memory_order_relaxed);
    return std::min(count, 512);
}

// New random input every tick, so that every input function runs.
extern "C" int StubRead(int count, unsigned char *buf)
{
    for (int i = 0; i < count; ++i) {
        inputSeed = inputSeed * 1664525u + 1013904223u;
        buf[i] = static_cast<unsigned char>(inputSeed >> 24);
    }
    return count;
}

// ---- Show set-up ---------------------------------------------------------------------------

std::mt19937 rng(12345);

void BuildShow()
{
    FreeShowTables();
    ClearFixtures();
    ResetChannelMaps();
    ResetMasterTables();
    DmxOutChannels = 1024;
    DeviceState = 0;
    DmxOutEnabled = 1;
    InterfaceLibrary = InterfaceLibraryWords{};
    InterfaceLibrary._DMXWrite = StubWrite;
    InterfaceLibrary._DMXRead = StubRead;

    for (int f = 0; f < 32; ++f) {
        const int index = AddFixture();
        Fixtures[index].start = static_cast<std::int16_t>(f * 32);
        Fixtures[index].channelCount = 32;
    }
    for (int i = 0; i < MaxChannels; ++i)
        ChannelOffValues[i] = -1;

    std::uniform_int_distribution<int> level(0, 255);
    for (int s = 0; s < 32; ++s) {
        SequenceRecord *seq = new SequenceRecord();
        seq->tempo = 120;
        seq->flags = SeqFlagCycle | SeqFlagFade;
        seq->modes = 0 | (1 << 3);   // tempo steps, whole-step fade
        seq->sceneCount = 8;
        for (int n = 0; n < 8; ++n) {
            SceneRecord *scene = new SceneRecord();
            scene->sceneTime = 500;
            scene->fadeTime = 500;
            for (int c = 0; c < MaxChannels; ++c)
                scene->levels[c] = static_cast<std::uint8_t>(level(rng));
            seq->scenes[n] = scene;
        }
        Sequences[s] = seq;
    }
    SequenceCount = 32;
    CurSequence = 0;

    DmxInEnabled = 1;
    DmxInThrough = 0;
    DmxInMode = 4;
    InputFunctionCount = 512;
    for (int i = 0; i < 512; ++i)
        InputFunctions[i] = InputFunctionEntry{static_cast<std::uint8_t>(i % 17), static_cast<std::uint8_t>(1 + i % 5)};
}

// 16-bit pairs on every fixture's channels 0/1 and 2/3, 8-bit on the rest; or 16-bit
// pairs everywhere.
void SetFadeKinds(bool allSixteenBit)
{
    for (int c = 0; c < MaxChannels; ++c) {
        const int j = c % 32;
        const bool pair = allSixteenBit || j < 4;
        if (!pair) {
            FadeKind[c] = Fade8Bit;
        } else if (j % 2 == 0) {
            FadeKind[c] = Fade16Coarse;
            FineChannel[c] = static_cast<std::int16_t>(c + 1);
        } else {
            FadeKind[c] = Fade16Fine;
        }
    }
}

void PrepareMulti()
{
    SetFadeKinds(false);
    Playing = 0;
    MultiSeqRunning = 0;
    PlayClock = -50;
    for (int s = 0; s < PlayerSlotCount; ++s) {
        PlayerSlot &slot = PlayerSlots[s];
        slot = PlayerSlot{};
        slot.sequence = static_cast<std::int16_t>(s);
        slot.scene = -1;
        slot.nextScene = 0;
        slot.nextStepTime = (s * 50) % 500;   // steps spread over the beat
        slot.active = 1;
        for (int c = 0; c < MaxChannels; ++c)
            slot.levels[c] = static_cast<std::uint8_t>(rng());
    }
    MultiSeqRunning = 1;
    Playing = 1;
}

void PrepareSingle()
{
    SetFadeKinds(true);
    Playing = 0;
    MultiSeqRunning = 0;
    for (PlayerSlot &slot : PlayerSlots)
        slot.active = 0;
    PlaySequence = 0;
    PlayScene = -1;
    NextScene = 0;
    PlayClock = -50;
    LastTriggerTime = -50;
    BeatTrigger = 0;
    ManualTrigger = 0;
    NextStepTime = 0;
    FadeEnd = 0;
    FadeTicks = 0;
    Playing = 1;
}

// ---- Statistics ----------------------------------------------------------------------------

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t i = std::min(v.size() - 1, static_cast<std::size_t>(std::ceil(p * v.size())) - 1);
    return v[i];
}

const char *Mark(bool ok) { return ok ? "ok" : "MISSED"; }

// ---- Tick cost -----------------------------------------------------------------------------

void CostRun(const char *title, int ticks, bool &allMet)
{
    std::vector<double> us;
    us.reserve(static_cast<std::size_t>(ticks));
    writeCalls = 0;
    const std::uint64_t allocBefore = allocations.load();
    for (int i = 0; i < ticks; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        countAllocations = true;
        OutputTick();
        countAllocations = false;
        const auto t1 = std::chrono::steady_clock::now();
        us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        platform::DeliverPostedMessages();
    }
    const std::uint64_t allocs = allocations.load() - allocBefore;
    const double p99 = Percentile(us, 0.99);
    const bool ok = p99 <= 200.0;
    if (!ok)
        allMet = false;
    std::printf("%-44s %8.1f %8.1f %8.1f %8.1f %10llu %7llu  p99<=200us %s\n", title,
                *std::min_element(us.begin(), us.end()), Percentile(us, 0.5), p99,
                *std::max_element(us.begin(), us.end()), static_cast<unsigned long long>(writeCalls.load()),
                static_cast<unsigned long long>(allocs), Mark(ok));
    if (allocs != 0)
        allMet = false;
}

// ---- Timer jitter --------------------------------------------------------------------------

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void JitterRun(const char *title, int ticks, bool withTick, bool &allMet)
{
    std::vector<std::int64_t> stamps(static_cast<std::size_t>(ticks) + 1, 0);
    std::atomic<int> fired{0};
    std::atomic<std::uint64_t> tickAllocs{0};
    platform::PeriodicTimer timer;
    const std::int64_t start = NowNs();
    const bool started = timer.Start(TickMs, [&] {
        const int n = fired.load(std::memory_order_relaxed);
        if (n >= ticks)
            return;
        stamps[static_cast<std::size_t>(n)] = NowNs();
        if (withTick) {
            const std::uint64_t before = allocations.load();
            countAllocations = true;
            OutputTick();
            countAllocations = false;
            tickAllocs += allocations.load() - before;
        }
        fired.store(n + 1, std::memory_order_release);
    });
    if (!started) {
        std::printf("%-30s the timer could not be started\n", title);
        allMet = false;
        return;
    }
    // The GUI side: drain what the ticks post, as the event loop would.
    while (fired.load(std::memory_order_acquire) < ticks) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        platform::DeliverPostedMessages();
    }
    const std::uint64_t lost = timer.LostPeriods();
    timer.Stop();
    platform::DeliverPostedMessages();

    std::vector<double> periods, deviation;
    for (int i = 1; i < ticks; ++i) {
        const double ms = double(stamps[i] - stamps[i - 1]) / 1e6;
        periods.push_back(ms);
        deviation.push_back(std::fabs(ms - TickMs));
    }
    double mean = 0, var = 0;
    for (double p : periods)
        mean += p;
    mean /= std::max<std::size_t>(periods.size(), 1);
    for (double p : periods)
        var += (p - mean) * (p - mean);
    const double sd = std::sqrt(var / std::max<std::size_t>(periods.size(), 1));
    const double p99 = Percentile(deviation, 0.99);
    const double mx = deviation.empty() ? 0 : *std::max_element(deviation.begin(), deviation.end());
    const double drift = double(stamps[ticks - 1] - start) / 1e6 - double(TickMs) * ticks;

    const bool ok = std::fabs(mean - TickMs) <= 0.05 && p99 <= 1.0 && mx <= 5.0 && std::fabs(drift) <= 5.0 &&
                    (!withTick || lost == 0);
    if (!ok)
        allMet = false;
    std::printf("%-30s %9.4f %8.4f %8.3f %8.3f %6llu %9.3f  %s\n", title, mean, sd, p99, mx,
                static_cast<unsigned long long>(lost), drift, Mark(ok));
    if (withTick && tickAllocs.load() != 0) {
        std::printf("  allocations inside the timer's ticks: %llu\n",
                    static_cast<unsigned long long>(tickAllocs.load()));
        allMet = false;
    }
}

} // namespace

int main(int argc, char **argv)
{
    int ticks = 2000;
    int costTicks = 20000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--ticks" && i + 1 < argc) {
            ticks = std::atoi(argv[++i]);
        } else if (arg == "--cost-ticks" && i + 1 < argc) {
            costTicks = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: engine_bench [--ticks N] [--cost-ticks M]\n");
            return 2;
        }
    }
    if (ticks < 2 || costTicks < 1) {
        std::fprintf(stderr, "engine_bench: --ticks must be at least 2 and --cost-ticks at least 1\n");
        return 2;
    }

    // The message windows the ticks post to; their handlers do nothing.
    auto ignore = [](std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 0; };
    MessageWindow = platform::AllocateMessageWindow(ignore);
    MasterWindow = platform::AllocateMessageWindow(ignore);
    RecorderWindow = platform::AllocateMessageWindow(ignore);
    RecordingOn = 1;

    BuildShow();
    bool allMet = true;

    std::printf("Tick cost (%d direct OutputTick calls each, us)\n", costTicks);
    std::printf("%-44s %8s %8s %8s %8s %10s %7s\n", "case", "min", "median", "p99", "max", "writes", "allocs");
    PrepareMulti();
    CostRun("32 slots, 1024 ch, mixed fades, input mode 4", costTicks, allMet);
    PrepareSingle();
    CostRun("single player, 16-bit fades only", costTicks, allMet);

    std::printf("\nTimer jitter (%d periods of %d ms each, ms)\n", ticks, TickMs);
    std::printf("%-30s %9s %8s %8s %8s %6s %9s\n", "case", "mean", "stddev", "p99|dev|", "max|dev|", "lost",
                "drift");
    JitterRun("empty callback", ticks, false, allMet);
    PrepareMulti();
    JitterRun("worst-case tick", ticks, true, allMet);

    std::printf("\nallocations inside OutputTick: %llu\n", static_cast<unsigned long long>(allocations.load()));
    std::printf("targets %s\n", allMet ? "met" : "MISSED");
    Playing = 0;
    MultiSeqRunning = 0;
    FreeShowTables();
    return 0;
}
