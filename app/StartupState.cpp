#include "StartupState.h"

#include <cctype>
#include <cstdlib>
#include <strings.h>

std::uint8_t StartupActionsPending = 0;
std::uint8_t StartChoice = 0;
std::uint8_t AutoPlay = 0;
std::uint8_t StartMode = 255;
std::int32_t StartIndex = -1;
std::int32_t JoystickId = -1;
std::uint8_t DeviceArrived = 0;
std::uint8_t DeviceReady = 0;
std::uint8_t AccessRecord[10] = {};
bool TerminateRequested = false;
int StartupExitCode = 0;
void (*LifecycleTrace)(const char *step) = nullptr;

bool IsCommandSwitch(const std::string &arg)
{
    return !arg.empty() && arg[0] == '/' && arg.find('/', 1) == std::string::npos;
}

namespace {
bool StartsWithNoCase(const std::string &s, const char *prefix)
{
    std::size_t n = std::char_traits<char>::length(prefix);
    return s.size() >= n && strncasecmp(s.c_str(), prefix, n) == 0;
}

// The decimal number after the prefix, or -1 when it is not a plain positive number.
long NumberAfter(const std::string &s, std::size_t from)
{
    if (from >= s.size())
        return -1;
    for (std::size_t i = from; i < s.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i])))
            return -1;
    if (s.size() - from > 9)
        return -1;
    return std::strtol(s.c_str() + from, nullptr, 10);
}
} // namespace

void ApplyCommandSwitch(const std::string &arg)
{
    std::string text = arg.substr(1);
    if (StartsWithNoCase(text, "pla")) {
        AutoPlay = 1;
    } else if (StartsWithNoCase(text, "sequence:")) {
        StartMode = 0;
        long n = NumberAfter(text, 9);
        if (n >= 1)
            StartIndex = static_cast<std::int32_t>(n - 1);
    } else if (StartsWithNoCase(text, "lis")) {
        StartMode = 2;
    } else if (StartsWithNoCase(text, "cuenumber:")) {
        StartMode = 1;
        long n = NumberAfter(text, 10);
        if (n >= 1)
            StartIndex = static_cast<std::int32_t>(n - 1);
    }
}

std::string ShowFileFromArgument(const std::string &arg)
{
    std::size_t slash = arg.rfind('/');
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t point = arg.rfind('.');
    if (point == std::string::npos || point < nameStart)
        return {};
    std::string ext = arg.substr(point);
    bool dm = ext.size() >= 3 && strncasecmp(ext.c_str(), ".dm", 3) == 0;
    return arg.substr(0, point) + (dm ? ".dmx" : ".d1k");
}

void ResetStartMode()
{
    AutoPlay = 0;
    StartMode = 255;
    StartIndex = -1;
    StartChoice = 0;
}
