#include "platform/portio/LptbrtvDriver.h"

#include "platform/portio/PortBackendSelect.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

namespace portio {

namespace {

std::string ProgramDirectory()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return std::string();
    std::string dir(path, static_cast<std::size_t>(n));
    const auto slash = dir.rfind('/');
    return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

} // namespace

TLPTBRTV_Driver::TLPTBRTV_Driver() : hostDirectory_(ProgramDirectory()), serviceName_("lptbrtv")
{
    bitmap_.fill(0xFF);
    applied_.fill(0xFF);
}

TLPTBRTV_Driver::~TLPTBRTV_Driver()
{
    // Unloading without _CloseDevice must not leave the port claimed or the socket open.
    if (backend_) {
        CloseDeviceHandle();
        if (backend_->Started())
            StopDriver();
    }
}

int TLPTBRTV_Driver::OpenServiceManager()
{
    if (backend_ && backend_->Started())
        return 0;
    backend_ = factory_ ? factory_() : SelectPortBackend();
    return backend_ ? 0 : DriverErrorNoServiceManager;
}

int TLPTBRTV_Driver::InstallDriver(std::uint16_t base)
{
    driverDirectory_ = hostDirectory_;
    serviceName_ = "lptbrtv";
    imagePath_.clear();
    if (!backend_)
        return ENODEV;
    return backend_->Locate(base, imagePath_);
}

int TLPTBRTV_Driver::StartDriver(std::uint16_t base)
{
    if (!backend_)
        return ENODEV;
    if (backend_->Started())
        return EBUSY;  // still running from an earlier probe
    return backend_->Start(imagePath_, base);
}

int TLPTBRTV_Driver::StopDriver()
{
    // A stopped driver leaves no port open and no device claimed.
    applied_.fill(0xFF);
    if (deviceOpen_)
        CloseDeviceHandle();
    if (!backend_)
        return ENODEV;
    if (!backend_->Started())
        return ESRCH;
    return backend_->Stop();
}

int TLPTBRTV_Driver::OpenDevice()
{
    if (deviceOpen_)
        CloseDeviceHandle();
    if (!backend_)
        return ENODEV;
    if (!backend_->Started())
        return ENODEV;
    const int rc = backend_->Claim();
    if (rc == 0)
        deviceOpen_ = true;
    return rc;
}

int TLPTBRTV_Driver::CloseDeviceHandle()
{
    if (deviceOpen_ && backend_)
        backend_->Release();
    deviceOpen_ = false;
    return 0;
}

int TLPTBRTV_Driver::QueryDriver(std::uint32_t &result, unsigned function)
{
    result = 0;
    if (!deviceOpen_ || !backend_)
        return DriverErrorNotOpen;
    switch (function) {
    case DriverFnIdentify:
        return backend_->Identify(result);
    case DriverFnApplyPermissions: {
        const int rc = backend_->Apply();
        if (rc == 0)
            applied_ = bitmap_;
        return rc;
    }
    default:
        return EINVAL;
    }
}

int TLPTBRTV_Driver::IdentifyDriver(std::uint32_t &result)
{
    return QueryDriver(result, DriverFnIdentify);
}

int TLPTBRTV_Driver::TransferPermissionByte(std::uint32_t index, std::uint8_t &byte, unsigned function)
{
    if (!deviceOpen_)
        return DriverErrorNotOpen;
    if (index >= PermissionBitmapSize)
        return EINVAL;
    if (function == DriverFnStorePermission)
        bitmap_[index] = byte;
    else if (function == DriverFnFetchPermission)
        byte = bitmap_[index];
    else
        return EINVAL;
    if (OnPermissionTransfer)
        OnPermissionTransfer(function, index, byte);
    return 0;
}

int TLPTBRTV_Driver::WritePermissionByte(std::uint32_t index, std::uint8_t &byte)
{
    return TransferPermissionByte(index, byte, DriverFnStorePermission);
}

int TLPTBRTV_Driver::ReadPermissionByte(std::uint32_t index, std::uint8_t &byte)
{
    return TransferPermissionByte(index, byte, DriverFnFetchPermission);
}

int TLPTBRTV_Driver::ApplyPermissions()
{
    std::uint32_t unused = 0;
    return QueryDriver(unused, DriverFnApplyPermissions);
}

int TLPTBRTV_Driver::SetPortRange(std::uint16_t first, std::uint16_t last, bool allow)
{
    if (last < first)
        return 0;
    std::uint8_t working = 0xFF;
    for (std::uint32_t p = first; p <= last; ++p) {
        const std::uint32_t index = p / 8;
        const std::uint8_t bit = static_cast<std::uint8_t>(1u << (p % 8));
        if (p == first || p % 8 == 0) {
            if (const int rc = ReadPermissionByte(index, working))
                return rc;
        }
        if (allow)
            working = static_cast<std::uint8_t>(working & ~bit);
        else
            working = static_cast<std::uint8_t>(working | bit);
        if (p == last || p % 8 == 7) {
            if (const int rc = WritePermissionByte(index, working))
                return rc;
        }
    }
    return 0;
}

bool TLPTBRTV_Driver::PortAllowed(std::uint16_t port) const
{
    return (applied_[port / 8] & (1u << (port % 8))) == 0;
}

std::uint8_t TLPTBRTV_Driver::PortIn(std::uint16_t port)
{
    if (!backend_ || !PortAllowed(port))
        return 0xFF;
    return backend_->In(port);
}

void TLPTBRTV_Driver::PortOut(std::uint16_t port, std::uint8_t value)
{
    if (!backend_ || !PortAllowed(port))
        return;
    backend_->Out(port, value);
}

} // namespace portio
