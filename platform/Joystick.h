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
// Position and buttons of a joystick. The device reports axes as -32767..32767.
struct JoystickPosition {
    static constexpr int AxisMin = -32767;
    static constexpr int AxisMax = 32767;
    int x = 0;
    int y = 0;
    unsigned buttons = 0;   // bit 0 = button 1
};
// Reads the present state of device `id` (the device's state events on opening, then
// any queued changes); false when it cannot be opened. A regular file of js_event
// records stands in for a device in tests.
bool ReadJoystickPosition(int id, JoystickPosition &position);
// Sets another device folder (tests); empty restores /dev/input.
void SetJoystickFolder(const std::string &folder);

} // namespace platform
