// Binding of the interface library by file name, and the calls the windows make into it.
// Every routine here runs on the GUI thread. Each holds the engine off (EngineBusy saved,
// set and restored) and makes each library call under InterfaceCallMutex.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// File names of the two interface libraries, looked up in the program folder.
inline const char *const ParallelLibraryName = "lptbrtv.so";
inline const char *const UsbLibraryName = "usbbrtv.so";
// Interface kinds besides port bases.
constexpr int ParallelPortKind = 888;   // probes 0x378, 0x278, 0x3BC
constexpr int UsbInterfaceKind = 21333;

// Binds the library for `kind` (888 probes 0x378, 0x278, 0x3BC; another value is a port
// base; 21333 the USB library) and tests for the hardware. Without a device the operator
// is asked whether to go on in demo mode; No ends the program when `atStart` (the
// terminate flag), else it posts a close to the main window. True when a device answered,
// or when the library cannot test for one. `folder` is where the library is looked up
// (empty: the program folder); it is always used as an absolute path.
bool OpenInterface(int kind, bool atStart, const std::string &folder = {});
// _CloseDevice, then the library is freed and every word cleared; no device afterwards.
void CloseInterface();
// The revision text of the open device ("5.5" and a NUL); four zero bytes without one.
void ReadHardwareRevision(std::uint8_t revision[4]);
// The number of channels the open device takes (read as 16 bits); 0 without one.
int GetInterfaceBufferSize();

// The requests of the interface's own command set, for the windows: each holds the engine
// off and returns false when the library lacks the entry point, no device is open or the
// library reports a failure.
bool SendInterfaceRequest(std::uint8_t cmd, std::int16_t p1, std::int16_t p2);
bool WriteInterfaceBuffer(int count, std::uint8_t *bytes);
bool ReadInterfaceBuffer(int count, std::uint8_t *buf);
// True when a device is open and the library has all three of the calls above.
bool InterfaceRequestsBound();

// Posts a close to the main window; the main window sets it. OpenInterface calls it when
// the operator answers No after start-up.
extern std::function<void()> PostMainWindowClose;
