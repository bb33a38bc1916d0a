// The one way for a window to hold the engine while it frees, moves or resizes what the
// tick reads: raise EngineBusy (saved and restored as EngineBusyGuard does) and wait until
// no tick is inside.
#pragma once

#include "PlayState.h"

// Waits, with EngineBusy already raised, until a tick that began earlier has left. A tick
// may be blocked in a send to the GUI thread: posted messages and sends are delivered
// meanwhile. The wait gives up after two seconds (a tick cannot stay inside that long
// unless the program is shutting down, when the tables are no longer edited).
void WaitForTickOutside();

class HoldEngine {
public:
    HoldEngine() { WaitForTickOutside(); }
    HoldEngine(const HoldEngine &) = delete;
    HoldEngine &operator=(const HoldEngine &) = delete;

private:
    EngineBusyGuard busy_;
};
