// Lets plain code give the GUI thread's event loop a turn without including Qt.
#pragma once

namespace platform {

// Handles the events and posted messages waiting for the calling (GUI) thread, then
// returns; never waits for new ones.
void ProcessPendingEvents();

} // namespace platform
