// Web and mail addresses opened with the desktop's handler (browser, mail program).
// Tests replace the opener to see the address without starting anything.
#pragma once

#include <functional>
#include <string>

namespace platform {
void OpenUrl(const std::string &url);
// An empty opener restores the desktop's.
void SetUrlOpener(std::function<void(const std::string &url)> opener);
} // namespace platform
