#include "EngineMessages.h"

#include "InterfaceBinding.h"
#include "InterfaceLibrary.h"
#include "LevelPipeline.h"
#include "OutputEngine.h"
#include "PlayState.h"
#include "StartupState.h"

#include "platform/Clock.h"
#include "platform/EventPump.h"

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

std::uint8_t HandlingEngineMessage = 0;
std::uint8_t UsbCorrecting = 0;
std::uint8_t ErrorCountZ = 0;
std::uint8_t ReadBackFrame[512] = {};
std::uint32_t UsbCorrectWaitLimitMs = DefaultUsbCorrectWaitLimitMs;

namespace {

void Run(const std::function<void()> &f)
{
    if (f)
        f();
}

// Clears HandlingEngineMessage however the handler ends.
struct HandlingScope {
    HandlingScope() { HandlingEngineMessage = 1; }
    ~HandlingScope() { HandlingEngineMessage = 0; }
};

void ActOn(std::uintptr_t code, std::intptr_t lParam, const EngineMessageActions &a)
{
    switch (code) {
    case EngineCodeBlackOut:
        Run(a.blackOut);
        break;
    case EngineCodeTempo:
        Run(a.tempoChanged);
        break;
    case EngineCodeFavourite:
        Run(a.favourite);
        break;
    case 'C':
        Run(a.goToPlayScene);
        break;
    case EngineCodeSlotOn:
    case EngineCodeSlotOff:
        if (a.multiSeqSlot)
            a.multiSeqSlot(lParam, code == EngineCodeSlotOn);
        break;
    case EngineCodeGo:
        if (!Playing.load())
            Run(a.playStop);
        break;
    case EngineCodeHalt:
        if (Playing.load())
            Run(a.playStop);
        break;
    case EngineCodeSlowTick:
        Run(a.slowTick);
        break;
    case EngineCodeSelect:
        Run(a.select);
        break;
    default:
        break;
    }
}

// Restores the engine and DMX switches as they were when it was made.
struct SavedSwitches {
    SavedSwitches() : busy(EngineBusy.load()), out(DmxOutEnabled), in(DmxInEnabled)
    {
        EngineBusy.store(1);
        DmxOutEnabled = 0;
        DmxInEnabled = 0;
    }
    ~SavedSwitches()
    {
        DmxOutEnabled = out;
        DmxInEnabled = in;
        EngineBusy.store(busy);
    }
    std::uint8_t busy, out, in;
};

void WriteFrame(int count)
{
    std::lock_guard<std::mutex> lock(InterfaceCallMutex);
    if (DeviceState >= 0 && InterfaceLibrary._DMXWrite)
        InterfaceLibrary._DMXWrite(count, DmxOutFrame);
}

bool SendRequest(unsigned char cmd, short p1, short p2)
{
    std::lock_guard<std::mutex> lock(InterfaceCallMutex);
    return InterfaceLibrary._SendRequest && InterfaceLibrary._SendRequest(cmd, p1, p2);
}

bool ReadBack()
{
    std::lock_guard<std::mutex> lock(InterfaceCallMutex);
    return InterfaceLibrary._ReadBuf && InterfaceLibrary._ReadBuf(sizeof ReadBackFrame, ReadBackFrame);
}

// Handles the GUI's events until the device-change handler reports the interface back,
// or the limit has passed.
void WaitForDeviceReady()
{
    const std::uint32_t start = platform::MonotonicMs();
    while (!DeviceReady) {
        platform::ProcessPendingEvents();
        if (DeviceReady || platform::MonotonicMs() - start >= UsbCorrectWaitLimitMs)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

std::intptr_t HandleEngineMessage(std::uint32_t msg, std::uintptr_t code, std::intptr_t lParam,
                                  const EngineMessageActions &actions)
{
    if (msg != EngineMessage || HandlingEngineMessage)
        return 0;
    HandlingScope scope;
    ActOn(code, lParam, actions);
    return 0;
}

bool UsbCorrectionApplies()
{
    return InterfaceLibrary._ResetPipe != nullptr && HardwareRevision[0] == '5' && HardwareRevision[2] >= '4' &&
           HardwareRevision[2] <= '7';
}

void CorrectUsbInterface()
{
    if (!UsbCorrectionApplies())
        return;
    SavedSwitches saved;
    WaitWithMessages(50);
    WriteFrame(512);
    WaitWithMessages(50);
    SendRequest(1, 3, 512);
    std::memset(ReadBackFrame, 0, sizeof ReadBackFrame);
    ReadBack();
    if (std::memcmp(ReadBackFrame, DmxOutFrame, sizeof ReadBackFrame) == 0)
        return;
    DeviceArrived = 0;
    DeviceReady = 0;
    SendRequest(6, 1, 1);   // the interface resets itself and leaves the bus
    CloseInterface();
    WaitForDeviceReady();
    OpenInterface(InterfaceKind, false);
    WriteFrame(1024);
}
