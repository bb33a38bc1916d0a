// Joysticks: the Linux joystick devices /dev/input/js0..js15.
#pragma once

#include <string>

namespace platform {

struct JoystickCaps {
    int axes = 0;
    int buttons = 0;
    std::string name;
};

// Number of joystick device nodes present.
int JoystickDeviceCount();
// Reads the capabilities of device `id`; false when it cannot be opened or asked.
bool ReadJoystickCaps(int id, JoystickCaps &caps);
// Sets another device folder (tests); empty restores /dev/input.
void SetJoystickFolder(const std::string &folder);

} // namespace platform
