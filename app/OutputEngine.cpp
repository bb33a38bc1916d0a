#include "OutputEngine.h"
#include "InterfaceLibrary.h"
#include "LevelPipeline.h"
#include "PlayState.h"

#include "platform/Clock.h"

InterfaceLibraryWords InterfaceLibrary;
std::mutex InterfaceCallMutex;

platform::WindowHandle MessageWindow = 0;
platform::WindowHandle MasterWindow = 0;
platform::WindowHandle RecorderWindow = 0;
std::uint8_t RecordingOn = 0;

namespace {
platform::PeriodicTimer &OutputTimer()
{
    static platform::PeriodicTimer timer;
    return timer;
}
} // namespace

bool StartOutputTimer()
{
    return OutputTimer().Start(TickMs, [] { OutputTick(); });
}

void StopOutputTimer()
{
    OutputTimer().Stop();
}

bool OutputTimerRunning()
{
    return OutputTimer().Running();
}

void OutputTick()
{
    if (EngineBusy.load())
        return;
    if (TickInProgress.exchange(1))
        return;
    std::uint32_t start = platform::MonotonicMs();
    if (!EngineBusy.load()) {
        // The tick's body comes here.
    }
    TickDuration.store(static_cast<std::int32_t>(platform::MonotonicMs() - start));
    TickInProgress.store(0);
}
