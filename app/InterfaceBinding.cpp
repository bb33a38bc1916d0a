#include "InterfaceBinding.h"
#include "EngineHold.h"
#include "InterfaceLibrary.h"
#include "LevelPipeline.h"
#include "PlayState.h"
#include "StartupState.h"

#include "platform/DynLib.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

std::function<void()> PostMainWindowClose;

namespace {

const char *const Caption = "Brantoval-1024";
const char *const InaccessibleText = "DMX hardware is inaccessible\r\nContinue in demo mode ?";
const char *const ForbiddenText = "Access to DMX hardware is forbidden\r\nContinue in demo mode ?";

// The parallel-port bases that kind 888 probes, in this order.
constexpr int ProbeBases[] = {0x378, 0x278, 0x3BC};

// The USB library runs only on the platform versions it was made for.
bool UsbPlatform(const platform::OsVersionInfo &v)
{
    return (v.major == 4 && (v.minor == 10 || v.minor == 90)) || (v.major == 5 && (v.minor == 0 || v.minor == 1));
}

// The library's absolute path: a bare name would be searched for in the system paths.
std::string LibraryPath(const std::string &folder, const char *name)
{
    std::string dir = folder.empty() ? platform::ProgramFolder() : folder;
    if (dir.empty())
        return {};
    if (dir[0] != '/') {
        std::error_code ec;
        dir = std::filesystem::absolute(dir, ec).string();
        if (ec)
            return {};
    }
    if (dir.back() != '/')
        dir += '/';
    return dir + name;
}

template <class Fn> auto LibraryCall(Fn fn)
{
    std::lock_guard<std::mutex> lock(InterfaceCallMutex);
    return fn();
}

template <class Word> Word Bind(void *handle, const char *name)
{
    return reinterpret_cast<Word>(platform::LibrarySymbol(handle, name));
}

// The words in the order of InterfaceLibrary; a missing name leaves its word null.
void BindLibrary(void *handle)
{
    InterfaceLibraryWords w;
    w.handle = handle;
    w._TestLoad = Bind<TestLoadFn>(handle, "_TestLoad");
    w._CloseDevice = Bind<CloseDeviceFn>(handle, "_CloseDevice");
    w._GetHardwareRevision = Bind<GetHardwareRevisionFn>(handle, "_GetHardwareRevision");
    w._GetBufferSize = Bind<GetBufferSizeFn>(handle, "_GetBufferSize");
    w._DMXWrite = Bind<DMXWriteFn>(handle, "_DMXWrite");
    w._DMXRead = Bind<DMXReadFn>(handle, "_DMXRead");
    w._SendRequest = Bind<SendRequestFn>(handle, "_SendRequest");
    w._WriteBuf = Bind<WriteBufFn>(handle, "_WriteBuf");
    w._ReadBuf = Bind<ReadBufFn>(handle, "_ReadBuf");
    w._ResetPipe = Bind<ResetPipeFn>(handle, "_ResetPipe");
    WaitForTickOutside();
    std::lock_guard<std::mutex> lock(InterfaceCallMutex);
    InterfaceLibrary = w;
}

// The demo-mode question. No ends the program at start-up, later it closes the main window.
void AskDemoMode(const char *text, bool atStart)
{
    if (platform::MessageBox(Caption, text, platform::Buttons::YesNo) == platform::Answer::Yes)
        return;
    if (atStart)
        TerminateRequested = true;
    else if (PostMainWindowClose)
        PostMainWindowClose();
}

// True when the interface answers at one of the addresses of `kind`.
bool Probe(int kind)
{
    const TestLoadFn testLoad = InterfaceLibrary._TestLoad;
    if (kind != ParallelPortKind)
        return (LibraryCall([&] { return testLoad(kind); }) & 0xFF) != 0;
    for (int base : ProbeBases)
        if ((LibraryCall([&] { return testLoad(base); }) & 0xFF) != 0)
            return true;
    return false;
}

} // namespace

bool OpenInterface(int kind, bool atStart, const std::string &folder)
{
    const platform::OsVersionInfo version = platform::OsVersion();
    // The kind is a 16-bit value; 0 stands for the parallel port at its usual bases.
    kind = static_cast<std::uint16_t>(kind);
    if (kind == 0)
        kind = ParallelPortKind;

    if (AccessLevel >= 3) {
        // The hardware may not be used: demo mode, or end.
        if (InterfaceLibrary.handle || DeviceState >= 0)
            CloseInterface();
        DeviceState = -1;
        DmxOutChannels = 1024;
        AskDemoMode(ForbiddenText, atStart);
        return false;
    }

    EngineBusyGuard busy;
    const bool wasLoaded = InterfaceLibrary.handle != nullptr;
    if (!wasLoaded) {
        void *handle = nullptr;
        if (kind == UsbInterfaceKind) {
            if (UsbPlatform(version))
                handle = platform::LoadLibraryFile(LibraryPath(folder, UsbLibraryName));
        } else {
            handle = platform::LoadLibraryFile(LibraryPath(folder, ParallelLibraryName));
        }
        if (!handle) {
            AskDemoMode(InaccessibleText, atStart);
            DeviceState = -1;
            DmxOutChannels = 1024;
            return false;
        }
        BindLibrary(handle);
    }

    if (!InterfaceLibrary._TestLoad)
        return true;

    // A library that is bound already releases its device before it probes again.
    if (wasLoaded && InterfaceLibrary._CloseDevice) {
        const CloseDeviceFn closeDevice = InterfaceLibrary._CloseDevice;
        LibraryCall([&] { return closeDevice(); });
    }

    if (!Probe(kind)) {
        DmxOutChannels = 1024;
        CloseInterface();
        AskDemoMode(InaccessibleText, atStart);
        return false;
    }

    DeviceState = 0;
    int channels = GetInterfaceBufferSize();
    if (channels != 512 && channels != 1024) {
        // No DMX input with such an interface.
        channels = 512;
        WaitForTickOutside();
        std::lock_guard<std::mutex> lock(InterfaceCallMutex);
        InterfaceLibrary._DMXRead = nullptr;
    }
    DmxOutChannels = channels;
    return true;
}

void CloseInterface()
{
    EngineBusyGuard busy;
    WaitForTickOutside();
    void *handle = nullptr;
    {
        std::lock_guard<std::mutex> lock(InterfaceCallMutex);
        if (InterfaceLibrary._CloseDevice)
            InterfaceLibrary._CloseDevice();
        handle = InterfaceLibrary.handle;
        InterfaceLibrary = InterfaceLibraryWords{};
    }
    platform::FreeLibraryHandle(handle);
    DeviceState = -1;
}

void ReadHardwareRevision(std::uint8_t revision[4])
{
    EngineBusyGuard busy;
    char text[4] = {};
    const GetHardwareRevisionFn read = InterfaceLibrary._GetHardwareRevision;
    if (DeviceState >= 0 && read)
        LibraryCall([&] { read(text); });
    std::memcpy(revision, text, 4);
}

int GetInterfaceBufferSize()
{
    const GetBufferSizeFn size = InterfaceLibrary._GetBufferSize;
    if (DeviceState < 0 || !size)
        return 0;
    EngineBusyGuard busy;
    // A 16-bit answer, widened.
    const short channels = LibraryCall([&] { return size(); });
    return channels;
}

bool SendInterfaceRequest(std::uint8_t cmd, std::int16_t p1, std::int16_t p2)
{
    EngineBusyGuard busy;
    const SendRequestFn send = InterfaceLibrary._SendRequest;
    if (DeviceState < 0 || !send)
        return false;
    return (LibraryCall([&] { return send(cmd, p1, p2); }) & 0xFF) != 0;
}

bool WriteInterfaceBuffer(int count, std::uint8_t *bytes)
{
    EngineBusyGuard busy;
    const WriteBufFn write = InterfaceLibrary._WriteBuf;
    if (DeviceState < 0 || !write)
        return false;
    return (LibraryCall([&] { return write(count, bytes); }) & 0xFF) != 0;
}

bool ReadInterfaceBuffer(int count, std::uint8_t *buf)
{
    EngineBusyGuard busy;
    const ReadBufFn read = InterfaceLibrary._ReadBuf;
    if (DeviceState < 0 || !read)
        return false;
    return (LibraryCall([&] { return read(count, buf); }) & 0xFF) != 0;
}

bool InterfaceRequestsBound()
{
    return DeviceState >= 0 && InterfaceLibrary._SendRequest && InterfaceLibrary._WriteBuf && InterfaceLibrary._ReadBuf;
}
