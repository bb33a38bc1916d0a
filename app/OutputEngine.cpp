#include "OutputEngine.h"
#include "InterfaceLibrary.h"
#include "LevelPipeline.h"
#include "LookSwitch.h"
#include "OutputEngineSteps.h"
#include "PlayState.h"

#include "platform/Clock.h"
#include "platform/EventPump.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

InterfaceLibraryWords InterfaceLibrary;
std::mutex InterfaceCallMutex;

platform::WindowHandle MessageWindow = 0;
platform::WindowHandle MasterWindow = 0;
std::atomic<platform::WindowHandle> RecorderWindow{0};
std::atomic<std::uint8_t> RecordingOn{0};
InputSnapshot InputSnapshots[InputSnapshotCount];
std::atomic<std::uint32_t> InputSnapshotSerial{0};

std::int32_t CrossFadeClock = 0;
std::int32_t CrossFadeEnd = 0;
std::int32_t CrossFadeLimit = 0;
std::int32_t CrossFadeTicks = 0;

std::int32_t MasterInputTime[PhysicalMasterCount] = {};
std::uint8_t MasterInputValue[PhysicalMasterCount] = {};
std::int32_t LastTempoTime = 0;
std::uint8_t LastTempoValue = 0;

namespace {

platform::PeriodicTimer &OutputTimer()
{
    static platform::PeriodicTimer timer;
    return timer;
}

int OutputChannelCount()
{
    return std::clamp<std::int32_t>(DmxOutChannels, 0, MaxChannels);
}

// Reads the interface's beat input byte into BeatTrigger.
void ReadHardwareBeat()
{
    if (!HardwareBeatInput || DeviceState < 0)
        return;
    unsigned char beat = BeatTrigger.load();
    {
        // The words are read under the lock, so a bind or unbind never changes them
        // between the test and the call.
        std::lock_guard<std::mutex> lock(InterfaceCallMutex);
        const InterfaceLibraryWords lib = InterfaceLibrary;
        if (!lib._DMXRead || !lib._SendRequest || !lib._ReadBuf)
            return;
        lib._SendRequest(4, 0, 0);
        lib._ReadBuf(1, &beat);
    }
    BeatTrigger.store(beat);
}

// Inversion, patch and the per-channel scale, over the output channels.
void BuildFrame()
{
    const int channels = OutputChannelCount();
    for (int i = 0; i < channels; ++i)
        DmxInverted[i] = DmxInvert[i] ? static_cast<std::uint8_t>(~DmxOutLevels[i]) : DmxOutLevels[i];
    for (int i = 0; i < channels; ++i) {
        const int source = DmxPatch[i];
        DmxOutFrame[i] = (source >= 0 && source < MaxChannels) ? DmxInverted[source] : 0;
    }
    for (int i = 0; i < channels; ++i)
        DmxOutFrame[i] = static_cast<std::uint8_t>(DmxOutFrame[i] * DmxScale[i] / 255);
}

// Hands the changed part of the frame, rounded up to 256 channels, to the interface.
// A change is taken as sent even when no device is open or nothing can be written.
void SendFrame()
{
    const int n = ChangedExtent();
    if (n <= 0)
        return;
    FrameChanged.store(1);
    std::memcpy(DmxPrevFrame, DmxOutFrame, static_cast<std::size_t>(n));
    if (DeviceState < 0 || !DmxOutEnabled)
        return;
    std::lock_guard<std::mutex> lock(InterfaceCallMutex);
    const DMXWriteFn write = InterfaceLibrary._DMXWrite;
    if (!write)
        return;
    int length = ((n - 1) & ~255) + 256;
    if (SendFullFrame.exchange(0))
        length = OutputChannelCount();
    write(length, DmxOutFrame);
}

} // namespace

namespace engine {

const SequenceRecord *SequenceAt(std::int32_t index)
{
    if (index < 0 || index >= SequenceCount || index >= MaxSequences)
        return nullptr;
    return Sequences[static_cast<std::size_t>(index)];
}

void WriteFixtureLevels(const std::uint8_t *levels, bool withLinked, bool markChanges)
{
    bool changed = false;
    ForEachPlayerChannel(withLinked, [&](int ch) {
        if (DmxOutLevels[ch] != levels[ch])
            changed = true;
        DmxOutLevels[ch] = levels[ch];
    });
    if (markChanges && changed)
        OutputChanged.store(1);
}

void PostEngineCode(std::uintptr_t code, std::intptr_t lParam)
{
    platform::PostMessageTo(MessageWindow, EngineMessage, code, lParam);
}

} // namespace engine

bool StartOutputTimer()
{
    return OutputTimer().Start(TickMs, [] { OutputTick(); });
}

void StopOutputTimer()
{
    platform::PeriodicTimer &timer = OutputTimer();
    const std::thread::id tickThread = timer.ThreadId();
    timer.Stop([tickThread] { platform::AbandonBlockedSends(tickThread); });
}

bool OutputTimerRunning()
{
    return OutputTimer().Running();
}

void OutputTick()
{
    // The GUI may hold the engine off; a second callback never enters while one runs.
    // EngineBusy is tested again after the claim, so a GUI that raises it and then sees
    // TickInProgress clear knows that no tick is inside.
    if (EngineBusy.load())
        return;
    if (TickInProgress.exchange(1))
        return;
    if (EngineBusy.load()) {
        TickInProgress.store(0);
        return;
    }
    const std::uint32_t start = platform::MonotonicMs();

    if (MidiInputOn && BeatTrigger.load())
        LastTriggerTime = PlayClock;
    ReadHardwareBeat();

    if (!PlayPaused.load()) {
        if (CrossFading.load()) {
            engine::StepCrossFade();
        } else {
            // With background, single and multi play all on, both players advance the
            // play clock in one tick, so it runs at double speed. The GUI decides whether
            // that combination may arise; the engine keeps the rule as it stands.
            if ((Playing.load() && !MultiSeqRunning.load()) || PlayInBackground.load())
                engine::StepSequencePlayer();
            if (Playing.load() && MultiSeqRunning.load())
                engine::StepMultiPlayer();
        }
    }

    bool skipFrameBuild = false;
    if (DmxInEnabled)
        skipFrameBuild = engine::ApplyDmxInput();
    else
        engine::ForgetInputMode();
    if (!skipFrameBuild)
        BuildFrame();
    SendFrame();

    const auto duration = static_cast<std::int32_t>(platform::MonotonicMs() - start);
    TickDuration.store(duration);
    if (duration >= 500)
        engine::PostEngineCode(EngineCodeSlowTick);
    TickInProgress.store(0);
}

int ChangedExtent()
{
    for (int i = OutputChannelCount() - 1; i >= 0; --i) {
        if (DmxOutFrame[i] != DmxPrevFrame[i])
            return i + 1;
    }
    return 0;
}

void SetChannelLevel(int channel, std::uint8_t level)
{
    if (channel < 0 || channel >= MaxChannels)
        return;
    if (PlayInBackground.load() || FavouriteOn.load())
        return;
    if (BlackOutOn.load() && ChannelOffValues[channel] != -1)
        return;
    WindowLevels()[channel] = level;
}

void SetChannelLevelIfOpen(int channel, std::uint8_t level)
{
    if (channel < 0 || channel >= MaxChannels)
        return;
    if (DeviceState >= 0)
        WindowLevels()[channel] = level;
}

std::uint32_t WaitWithMessages(std::uint32_t ms)
{
    const std::uint32_t start = platform::MonotonicMs();
    for (;;) {
        platform::ProcessPendingEvents();
        const std::uint32_t passed = platform::MonotonicMs() - start;
        if (passed >= ms)
            return passed;
        // A short sleep between rounds keeps the wait from spinning a core.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void StartCrossFade(const std::uint8_t *target, std::int32_t durationMs)
{
    if (!target)
        return;
    const std::int32_t duration = std::max<std::int32_t>(durationMs, TickMs);
    EngineBusyGuard busy;
    // A tick that was already inside may still be finishing an earlier cross-fade and
    // would clear CrossFading after it is set here: let it leave first. The wait is
    // bounded because such a tick may be blocked in a send to this very thread.
    for (int i = 0; i < 200 && TickInProgress.load(); ++i)
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    std::memcpy(CrossFadeFrom, DmxOutLevels, MaxChannels);
    std::memcpy(CrossFadeTo, target, MaxChannels);
    CrossFadeClock = PlayClock;
    CrossFadeTicks = duration / TickMs;
    CrossFadeEnd = engine::AddMs(PlayClock, duration);
    CrossFadeLimit = CrossFadeEnd;
    CrossFading.store(1);
}
