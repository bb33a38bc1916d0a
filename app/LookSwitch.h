// One change of the stage from one look to another (a cue to a sequence, a sequence to a
// cue, one sequence to another, the multi-sequence player switched on or off) runs as
// several commands in a row: a player stopped, a remembered sequence restored, another
// player started, a sequence or a cue selected. Each of them would put its own levels on
// the output. A LookSwitch makes the row one step as the output sees it: while one is
// open the engine is held (no frame is sent) and the levels the windows write are kept
// aside instead of reaching DmxOutLevels, so a cross-fade started meanwhile fades from the
// levels on the wire. When the outermost switch closes, the kept levels reach
// DmxOutLevels on the channels that the engine does not write at its next tick; on those
// it does write, the engine's next frame brings the new look.
//
// GUI thread only. Never keep one open across a modal question or a wait that handles
// events: the engine would stand still meanwhile.
#pragma once

#include "EngineHold.h"

#include <cstdint>
#include <optional>

class LookSwitch {
public:
    LookSwitch();
    ~LookSwitch();
    LookSwitch(const LookSwitch &) = delete;
    LookSwitch &operator=(const LookSwitch &) = delete;

private:
    std::optional<HoldEngine> hold_;   // the outermost switch only
};

// True while a LookSwitch is open.
bool LookSwitchOpen();

// Where the windows write logical levels: DmxOutLevels, or the kept levels while a
// LookSwitch is open.
std::uint8_t *WindowLevels();
