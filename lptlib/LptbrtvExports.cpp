// The nine exported entry points of lptbrtv.so. Loading the library creates the driver and
// the handshake state and touches no port. No exception leaves an entry point: a failure is
// a result (false or 0), never a crash of the caller.
#define LPTBRTV_BUILD 1
#include "lptlib/lptbrtv.h"

#include "lptlib/LptLibrary.h"

namespace {

portio::TLPTBRTV_Driver Driver;
lpt::LptLibrary Library(Driver);

} // namespace

extern "C" {

unsigned char _TestLoad(int base)
{
    try {
        return Library.TestLoad(base) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int _CloseDevice(void)
{
    try {
        return Library.CloseDevice();
    } catch (...) {
        return -1;
    }
}

void _GetHardwareRevision(char *buf4)
{
    try {
        Library.Protocol().GetHardwareRevision(buf4);
    } catch (...) {
    }
}

short _GetBufferSize(void)
{
    try {
        return Library.Protocol().GetBufferSize();
    } catch (...) {
        return 0;
    }
}

int _DMXWrite(int count, unsigned char *levels)
{
    try {
        return Library.Protocol().DMXWrite(count, levels);
    } catch (...) {
        return 0;
    }
}

int _DMXRead(int count, unsigned char *buf)
{
    try {
        return Library.Protocol().DMXRead(count, buf);
    } catch (...) {
        return 0;
    }
}

unsigned char _SendRequest(unsigned char cmd, short p1, short p2)
{
    try {
        return Library.Protocol().SendInterfaceRequest(cmd, p1, p2) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

unsigned char _WriteBuf(int count, unsigned char *bytes)
{
    try {
        return Library.Protocol().WriteBlock(count, bytes) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

unsigned char _ReadBuf(int count, unsigned char *buf)
{
    try {
        return Library.Protocol().ReadBlock(count, buf) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

} // extern "C"
