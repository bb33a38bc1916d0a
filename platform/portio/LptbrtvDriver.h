// The port-access driver of the parallel-port library: opens the interface's four ports to
// this process and moves single bytes through them.
//
// On Linux the driver's steps map onto a PortBackend (simulator socket, ppdev or ioperm);
// the permission bitmap is kept here, one bit per I/O port, a set bit denying access.
#pragma once

#include "platform/portio/PortBackend.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace portio {

constexpr int DriverErrorNotOpen = 9997;         // the device is not open
constexpr int DriverErrorNoServiceManager = 9998; // no port-access backend can be used
constexpr std::uint32_t DriverIdentifyAnswer = 0x123;

// Functions of the driver's control requests.
enum : unsigned {
    DriverFnIdentify = 0x900,
    DriverFnStorePermission = 0x911,
    DriverFnFetchPermission = 0x912,
    DriverFnApplyPermissions = 0x920,
};

constexpr std::uint32_t CtlCode(unsigned function)
{
    return (0xF100u << 16) | (0u << 14) | (function << 2) | 0u;
}

constexpr std::size_t PermissionBitmapSize = 8192;

using BackendFactory = std::function<std::unique_ptr<PortBackend>()>;

class TLPTBRTV_Driver {
public:
    TLPTBRTV_Driver();
    ~TLPTBRTV_Driver();
    TLPTBRTV_Driver(const TLPTBRTV_Driver &) = delete;
    TLPTBRTV_Driver &operator=(const TLPTBRTV_Driver &) = delete;

    // Picks the backend (kept while it is started); 0 or 9998.
    int OpenServiceManager();
    // Finds the device for the base; the image path becomes its path.
    int InstallDriver(std::uint16_t base);
    // Opens the device path or connects to the simulator; EBUSY while it is already started.
    int StartDriver(std::uint16_t base);
    int StopDriver();
    int OpenDevice();
    int CloseDeviceHandle();
    int QueryDriver(std::uint32_t &result, unsigned function);
    int IdentifyDriver(std::uint32_t &result);
    int TransferPermissionByte(std::uint32_t index, std::uint8_t &byte, unsigned function);
    int WritePermissionByte(std::uint32_t index, std::uint8_t &byte);
    int ReadPermissionByte(std::uint32_t index, std::uint8_t &byte);
    int ApplyPermissions();
    int SetPortRange(std::uint16_t first, std::uint16_t last, bool allow);

    // Single bytes; a port that the applied permissions deny reads 0xFF and ignores writes.
    std::uint8_t PortIn(std::uint16_t port);
    void PortOut(std::uint16_t port, std::uint8_t value);

    bool DeviceOpen() const { return deviceOpen_; }
    bool PortAllowed(std::uint16_t port) const;
    const std::string &HostDirectory() const { return hostDirectory_; }
    const std::string &ServiceName() const { return serviceName_; }
    const std::string &ImagePath() const { return imagePath_; }
    PortBackend *Backend() const { return backend_.get(); }

    // Replaces the backend selection (tests put a fake or the in-process simulator here).
    void SetBackendFactory(BackendFactory factory) { factory_ = std::move(factory); }
    // Called for every permission byte moved: function, index, byte after the transfer.
    std::function<void(unsigned, std::uint32_t, std::uint8_t)> OnPermissionTransfer;

private:
    std::string hostDirectory_;
    std::string driverDirectory_;
    std::string serviceName_;
    std::string imagePath_;
    std::unique_ptr<PortBackend> backend_;  // stands for the service-manager handle
    bool deviceOpen_ = false;               // stands for the device handle
    BackendFactory factory_;
    std::array<std::uint8_t, PermissionBitmapSize> bitmap_;
    std::array<std::uint8_t, PermissionBitmapSize> applied_;
};

} // namespace portio
