// The single-instance service: a local socket named after the user and the settings
// folder. An instance that has finished starting listens on it; a later start connects,
// asks it to raise its window, and ends.
#pragma once

#include <functional>
#include <string>

namespace platform {

std::string InstanceServerName();

// True when another finished instance answered; it has then been asked to come to front.
bool RaiseOtherInstance();

// Starts listening; `onRaise` runs on the GUI thread for every raise request.
// False when the name cannot be taken.
bool StartInstanceServer(std::function<void()> onRaise);
void StopInstanceServer();

} // namespace platform
