#include "platform/portio/IopermBackend.h"

#include <cerrno>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define BRTV_HAVE_PORT_IO 1
#else
#define BRTV_HAVE_PORT_IO 0
#endif

namespace portio {

bool IopermBackend::Available()
{
    return BRTV_HAVE_PORT_IO != 0;
}

IopermBackend::~IopermBackend()
{
    Stop();
}

int IopermBackend::Locate(std::uint16_t, std::string &devicePath)
{
    devicePath.clear();
    return 0;
}

int IopermBackend::Start(const std::string &, std::uint16_t base)
{
    if (started_)
        return EBUSY;
    if (!Available())
        return ENOSYS;
    started_ = true;
    applied_ = false;
    base_ = base;
    return 0;
}

int IopermBackend::Identify(std::uint32_t &answer)
{
    answer = started_ ? 0x123 : 0;
    return started_ ? 0 : EBADF;
}

int IopermBackend::Apply()
{
    if (!started_)
        return EBADF;
#if BRTV_HAVE_PORT_IO
    if (ioperm(base_, 4, 1) != 0)
        return errno;
    applied_ = true;
    return 0;
#else
    return ENOSYS;
#endif
}

std::uint8_t IopermBackend::In(std::uint16_t port)
{
#if BRTV_HAVE_PORT_IO
    if (applied_ && port >= base_ && port <= base_ + 3)
        return inb(port);
#else
    (void)port;
#endif
    return 0xFF;
}

void IopermBackend::Out(std::uint16_t port, std::uint8_t value)
{
#if BRTV_HAVE_PORT_IO
    if (applied_ && port >= base_ && port <= base_ + 3)
        outb(value, port);
#else
    (void)port;
    (void)value;
#endif
}

int IopermBackend::Stop()
{
    if (!started_)
        return EBADF;
    int rc = 0;
#if BRTV_HAVE_PORT_IO
    if (applied_ && ioperm(base_, 4, 0) != 0)
        rc = errno;
#endif
    started_ = false;
    applied_ = false;
    return rc;
}

} // namespace portio
