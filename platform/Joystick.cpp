#include "Joystick.h"

#include <fcntl.h>
#include <linux/joystick.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {
std::string &Folder()
{
    static std::string f = "/dev/input";
    return f;
}

std::string DevicePath(int id)
{
    return Folder() + "/js" + std::to_string(id);
}
} // namespace

void SetJoystickFolder(const std::string &folder)
{
    Folder() = folder.empty() ? std::string("/dev/input") : folder;
}

int JoystickDeviceCount()
{
    int n = 0;
    struct stat st;
    for (int i = 0; i < 16; ++i)
        if (::stat(DevicePath(i).c_str(), &st) == 0)
            ++n;
    return n;
}

bool ReadJoystickCaps(int id, JoystickCaps &caps)
{
    if (id < 0 || id > 15)
        return false;
    int fd = ::open(DevicePath(id).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    unsigned char axes = 0, buttons = 0;
    char name[128] = {};
    bool ok = ioctl(fd, JSIOCGAXES, &axes) >= 0 && ioctl(fd, JSIOCGBUTTONS, &buttons) >= 0 &&
              ioctl(fd, JSIOCGNAME(sizeof name - 1), name) >= 0;
    ::close(fd);
    if (!ok)
        return false;
    caps.axes = axes;
    caps.buttons = buttons;
    caps.name = name;
    return true;
}

bool ReadJoystickPosition(int id, JoystickPosition &position)
{
    if (id < 0 || id > 15)
        return false;
    int fd = ::open(DevicePath(id).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    js_event e;
    while (::read(fd, &e, sizeof e) == static_cast<ssize_t>(sizeof e)) {
        const unsigned type = e.type & ~static_cast<unsigned>(JS_EVENT_INIT);
        if (type == JS_EVENT_AXIS) {
            if (e.number == 0)
                position.x = e.value;
            else if (e.number == 1)
                position.y = e.value;
        } else if (type == JS_EVENT_BUTTON && e.number < 32) {
            if (e.value)
                position.buttons |= 1u << e.number;
            else
                position.buttons &= ~(1u << e.number);
        }
    }
    ::close(fd);
    return true;
}

} // namespace platform
