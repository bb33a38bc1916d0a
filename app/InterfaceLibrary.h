// The words of the bound interface library: its handle and the entry points, each null
// when the library lacks that name. Every caller tests the word before calling.
#pragma once

#include <mutex>

extern "C" {
typedef unsigned char (*TestLoadFn)(int base);
typedef int (*CloseDeviceFn)(void);
typedef void (*GetHardwareRevisionFn)(char *buf4);
typedef short (*GetBufferSizeFn)(void);
typedef int (*DMXWriteFn)(int count, unsigned char *levels);
typedef int (*DMXReadFn)(int count, unsigned char *buf);
typedef unsigned char (*SendRequestFn)(unsigned char cmd, short p1, short p2);
typedef unsigned char (*WriteBufFn)(int count, unsigned char *bytes);
typedef unsigned char (*ReadBufFn)(int count, unsigned char *buf);
typedef int (*ResetPipeFn)(void);
}

struct InterfaceLibraryWords {
    void *handle = nullptr;
    TestLoadFn _TestLoad = nullptr;
    CloseDeviceFn _CloseDevice = nullptr;
    GetHardwareRevisionFn _GetHardwareRevision = nullptr;
    GetBufferSizeFn _GetBufferSize = nullptr;
    DMXWriteFn _DMXWrite = nullptr;
    DMXReadFn _DMXRead = nullptr;
    SendRequestFn _SendRequest = nullptr;
    WriteBufFn _WriteBuf = nullptr;
    ReadBufFn _ReadBuf = nullptr;
    ResetPipeFn _ResetPipe = nullptr;
};

extern InterfaceLibraryWords InterfaceLibrary;

// Held around every call into the interface library, by the engine tick and by the
// windows alike, so that two byte handshakes never interleave.
extern std::mutex InterfaceCallMutex;
