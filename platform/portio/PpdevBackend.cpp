#include "platform/portio/PpdevBackend.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace portio {

namespace {
constexpr std::uint8_t DirectionBit = 0x20;
}


long ParseParportBase(const std::string &text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n'))
        ++i;
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return -1;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 0xFFFFF)
            return -1;
    }
    return value;
}

PpdevBackend::PpdevBackend(std::string procRoot, std::string devRoot)
    : procRoot_(std::move(procRoot)), devRoot_(std::move(devRoot))
{
}

PpdevBackend::~PpdevBackend()
{
    if (claimed_)
        Release();
    Stop();
}

int PpdevBackend::Locate(std::uint16_t base, std::string &devicePath)
{
    devicePath.clear();
    DIR *dir = opendir(procRoot_.c_str());
    if (!dir)
        return errno;
    int rc = ENODEV;
    while (dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind("parport", 0) != 0)
            continue;
        std::ifstream in(procRoot_ + "/" + name + "/base-addr");
        if (!in)
            continue;
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (ParseParportBase(text) == base) {
            devicePath = devRoot_ + "/" + name;
            rc = 0;
            break;
        }
    }
    closedir(dir);
    return rc;
}

int PpdevBackend::Start(const std::string &devicePath, std::uint16_t base)
{
    if (fd_ >= 0)
        return EBUSY;
    if (devicePath.empty())
        return ENOENT;
    const int fd = open(devicePath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errno;
    fd_ = fd;
    base_ = base;
    exclusive_ = false;
    claimed_ = false;
    direction_ = 0;
    return 0;
}

int PpdevBackend::Claim()
{
    if (fd_ < 0)
        return EBADF;
    if (claimed_)
        return 0;
    // PPEXCL is accepted only before the first claim on this descriptor.
    if (!exclusive_) {
        if (ioctl(fd_, PPEXCL) != 0)
            return errno;
        exclusive_ = true;
    }
    if (ioctl(fd_, PPCLAIM) != 0)
        return errno;
    claimed_ = true;
    direction_ = 0;
    return 0;
}

int PpdevBackend::Release()
{
    if (fd_ < 0 || !claimed_)
        return 0;
    ioctl(fd_, PPRELEASE);
    claimed_ = false;
    return 0;
}

int PpdevBackend::Identify(std::uint32_t &answer)
{
    answer = 0;
    if (fd_ < 0)
        return EBADF;
    unsigned char status = 0;
    if (ioctl(fd_, PPRSTATUS, &status) != 0)
        return errno;
    answer = 0x123;
    return 0;
}

std::uint8_t PpdevBackend::In(std::uint16_t port)
{
    if (fd_ < 0 || !claimed_)
        return 0xFF;
    unsigned char value = 0xFF;
    switch (port - base_) {
    case 0:
        ioctl(fd_, PPRDATA, &value);
        break;
    case 1:
        ioctl(fd_, PPRSTATUS, &value);
        break;
    case 2:
        ioctl(fd_, PPRCONTROL, &value);
        if (direction_)
            value |= DirectionBit;
        break;
    default:
        break;
    }
    return value;
}

void PpdevBackend::Out(std::uint16_t port, std::uint8_t value)
{
    if (fd_ < 0 || !claimed_)
        return;
    switch (port - base_) {
    case 0: {
        unsigned char v = value;
        ioctl(fd_, PPWDATA, &v);
        break;
    }
    case 2: {
        // The kernel masks the direction bit in PPWCONTROL; it is switched with PPDATADIR.
        const int wantReverse = (value & DirectionBit) ? 1 : 0;
        if (wantReverse != direction_) {
            int dir = wantReverse;
            if (ioctl(fd_, PPDATADIR, &dir) == 0)
                direction_ = wantReverse;
        }
        unsigned char v = static_cast<unsigned char>(value & ~DirectionBit);
        ioctl(fd_, PPWCONTROL, &v);
        break;
    }
    default:
        break;
    }
}

int PpdevBackend::Stop()
{
    if (fd_ < 0)
        return EBADF;
    const int rc = close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    exclusive_ = false;
    claimed_ = false;
    direction_ = 0;
    return rc;
}

} // namespace portio
