#include "PlayList.h"

#include <algorithm>
#include <array>
#include <cstdio>

std::uint8_t PlayListModified = 0;
std::uint8_t PlayListFromFile = 0;
int GotoTarget = 0;
std::int32_t TimeShiftValue = 0;

const char *const PlayListActionNames[PlayListActionCount] = {"Play", "Stop",  "BlackOut", "Favourite",
                                                              "Goto NN", "End", "Exit",    "Wait GO"};

namespace {

void Recount()
{
    PlayListCount = static_cast<std::int32_t>(PlayListEntries.size());
}

bool ValidLine(int line)
{
    return line >= 0 && line < static_cast<int>(PlayListEntries.size());
}

// Reads up to `n` unsigned numbers separated by ':' (blanks allowed); nothing when fewer.
std::optional<std::array<long long, 4>> Numbers(const std::string &text, int n)
{
    std::array<long long, 4> v{};
    long long a = 0, b = 0, c = 0, d = 0;
    int got = 0;
    switch (n) {
    case 2:
        got = std::sscanf(text.c_str(), "%lld:%lld", &a, &b);
        break;
    case 3:
        got = std::sscanf(text.c_str(), "%lld:%lld:%lld", &a, &b, &c);
        break;
    default:
        got = std::sscanf(text.c_str(), "%lld:%lld:%lld:%lld", &a, &b, &c, &d);
        break;
    }
    v = {a, b, c, d};
    if (got != n)
        return std::nullopt;
    for (long long x : v)
        if (x < 0 || x > 1000000)
            return std::nullopt;
    return v;
}

std::optional<std::int32_t> Clamped(long long ms)
{
    if (ms > 0x7FFFFFFFLL)
        return std::nullopt;
    return static_cast<std::int32_t>(ms);
}

} // namespace

int InsertPlayListLine(int current)
{
    PlayListEntry e;
    int at = 0;
    if (!PlayListEntries.empty()) {
        current = std::clamp(current, 0, static_cast<int>(PlayListEntries.size()) - 1);
        const PlayListEntry &from = PlayListEntries[static_cast<std::size_t>(current)];
        e.startTime = from.startTime + 10000;
        e.cueFlag = from.cueFlag;
        at = current + 1;
    }
    PlayListEntries.insert(PlayListEntries.begin() + at, e);
    Recount();
    PlayListModified = 1;
    return at;
}

bool DeletePlayListLine(int line)
{
    if (!ValidLine(line))
        return false;
    PlayListEntries.erase(PlayListEntries.begin() + line);
    Recount();
    PlayListModified = 1;
    return true;
}

int SortPlayList(int marked)
{
    for (std::size_t i = 0; i < PlayListEntries.size(); ++i) {
        PlayListEntries[i].sortMark = static_cast<int>(i) == marked ? 1 : 0;
        PlayListEntries[i].sortPosition = static_cast<std::int16_t>(i);
    }
    std::stable_sort(PlayListEntries.begin(), PlayListEntries.end(),
                     [](const PlayListEntry &a, const PlayListEntry &b) { return a.startTime < b.startTime; });
    int found = marked;
    for (std::size_t i = 0; i < PlayListEntries.size(); ++i)
        if (PlayListEntries[i].sortMark) {
            found = static_cast<int>(i);
            PlayListEntries[i].sortMark = 0;
        }
    PlayListModified = 1;
    return found;
}

bool PlayListLineOutOfOrder(int line)
{
    if (!ValidLine(line))
        return false;
    const auto t = PlayListEntries[static_cast<std::size_t>(line)].startTime;
    return (line > 0 && PlayListEntries[static_cast<std::size_t>(line - 1)].startTime > t) ||
           (line + 1 < static_cast<int>(PlayListEntries.size()) &&
            PlayListEntries[static_cast<std::size_t>(line + 1)].startTime < t);
}

int ShiftPlayListTimes(int from, std::int32_t deltaMs)
{
    if (!ValidLine(from))
        return -1;
    if (static_cast<long long>(PlayListEntries[static_cast<std::size_t>(from)].startTime) + deltaMs < 0)
        return -1;
    for (std::size_t i = static_cast<std::size_t>(from); i < PlayListEntries.size(); ++i) {
        const long long t = static_cast<long long>(PlayListEntries[i].startTime) + deltaMs;
        PlayListEntries[i].startTime = static_cast<std::int32_t>(std::clamp<long long>(t, 0, 0x7FFFFFFF));
    }
    return SortPlayList(from);
}

int ClampGotoNumber(int number)
{
    return std::clamp(number, 1, std::max(1, PlayListCount));
}

bool ClearMissingPlayListIndices()
{
    bool changed = false;
    for (PlayListEntry &e : PlayListEntries) {
        const int limit = e.cueFlag ? CueCount : SequenceCount;
        if (e.index != -1 && (e.index < 0 || e.index >= limit)) {
            e.index = -1;
            changed = true;
        }
    }
    return changed;
}

std::string FormatPlayListTime(std::int32_t ms)
{
    if (ms < 0)
        ms = 0;
    char text[40];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%1d", ms / 3600000, (ms / 60000) % 60, (ms / 1000) % 60,
                  (ms % 1000) / 100);
    return text;
}

std::string FormatMediaTime(std::int32_t ms)
{
    if (ms < 0)
        return {};
    char text[40];
    std::snprintf(text, sizeof text, "%03d:%02d:%1d", ms / 60000, (ms / 1000) % 60, (ms % 1000) / 100);
    return text;
}

std::string FormatFadeTime(std::int32_t ms)
{
    ms = std::clamp(ms, 0, 99990);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", ms / 1000, (ms % 1000) / 10);
    return text;
}

std::string PlayListActionName(const PlayListEntry &e)
{
    if (e.action == ActGoto)
        return "Goto " + std::to_string(e.gotoRow + 1);
    return e.action < PlayListActionCount ? PlayListActionNames[e.action] : std::string();
}

std::string FormatPlayListClocks(std::int32_t now, std::int32_t mediaEnd)
{
    return FormatPlayListTime(now) + " <-> " + FormatPlayListTime(mediaEnd);
}

std::optional<std::int32_t> ParsePlayListTime(const std::string &text)
{
    const auto v = Numbers(text, 4);
    if (!v)
        return std::nullopt;
    return Clamped((*v)[0] * 3600000 + (*v)[1] * 60000 + (*v)[2] * 1000 + (*v)[3] * 100);
}

std::optional<std::int32_t> ParseMediaTime(const std::string &text)
{
    const auto v = Numbers(text, 3);
    if (!v)
        return std::nullopt;
    return Clamped((*v)[0] * 60000 + (*v)[1] * 1000 + (*v)[2] * 100);
}

std::optional<std::int32_t> ParseFadeTime(const std::string &text)
{
    const auto v = Numbers(text, 2);
    if (!v)
        return std::nullopt;
    return Clamped((*v)[0] * 1000 + (*v)[1] * 10);
}
