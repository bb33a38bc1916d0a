#include "lptlib/LptLibrary.h"

#include <utility>

namespace lpt {

LptLibrary::LptLibrary(portio::TLPTBRTV_Driver &driver, SleepHook sleep)
    : driver_(driver), port_(driver), protocol_(port_, std::move(sleep))
{
}

bool LptLibrary::TestLoad(int base)
{
    const auto port = static_cast<std::uint16_t>(base);
    // A user process may not touch I/O ports by itself: the access steps always run.
    driver_.OpenServiceManager();  // a missing backend makes the next steps fail on their own
    driver_.InstallDriver(port);   // an unknown base shows up when the device is opened
    if (driver_.StartDriver(port) != 0)
        return false;
    if (driver_.OpenDevice() != 0) {
        driver_.StopDriver();
        return false;
    }
    std::uint32_t answer = 0;
    if (driver_.IdentifyDriver(answer) != 0 || answer != portio::DriverIdentifyAnswer) {
        driver_.CloseDeviceHandle();
        driver_.StopDriver();
        return false;
    }
    if (driver_.SetPortRange(port, static_cast<std::uint16_t>(port + 3), true) != 0 ||
        driver_.ApplyPermissions() != 0) {
        CloseDevice();
        return false;
    }
    if (!protocol_.ProbeInterface(port)) {
        CloseDevice();
        return false;
    }
    return true;
}

int LptLibrary::CloseDevice()
{
    driver_.CloseDeviceHandle();
    return driver_.StopDriver();
}

} // namespace lpt
