#include "SettingsText.h"
#include "Settings.h"

#include <sstream>

namespace platform {

std::string EscapeSettingsValue(const std::string &s)
{
    std::string out;
    for (char c : s) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::string UnescapeSettingsValue(const std::string &s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> DecodeBinaryValue(const std::string &value)
{
    if (value.compare(0, 4, "hex:") != 0 || (value.size() - 4) % 2 != 0)
        return std::nullopt;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::vector<std::uint8_t> out;
    out.reserve((value.size() - 4) / 2);
    for (std::size_t i = 4; i < value.size(); i += 2) {
        const int hi = digit(value[i]), lo = digit(value[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    return out;
}

SettingsKeys ParseSettingsText(const std::string &text, bool &takenWhole)
{
    SettingsKeys keys;
    takenWhole = true;
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = Settings::NormaliseKey(line.substr(1, line.size() - 2));
            keys[section];
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string::npos || section.empty()) {
            takenWhole = false;
            continue;
        }
        // What the program reads is the unescaped value; storing its one escaped form
        // keeps a stray "\r" at the end of a value from being lost on the next write.
        const std::string raw = line.substr(eq + 1);
        const std::string value = UnescapeSettingsValue(raw);
        std::string stored = EscapeSettingsValue(value);
        // A value's type is its reader's business (a damaged binary value is kept as it
        // is, so it must not make the program's own file count as damaged).
        if (stored != raw)
            takenWhole = false;
        keys[section][line.substr(0, eq)] = std::move(stored);
    }
    return keys;
}

SettingsKeys ParseSettingsText(const std::string &text)
{
    bool whole = true;
    return ParseSettingsText(text, whole);
}

std::string FormatSettingsText(const SettingsKeys &keys)
{
    std::string out;
    for (const auto &[section, values] : keys) {
        out += '[' + section + "]\n";
        for (const auto &[name, value] : values)
            out += name + '=' + value + '\n';
        out += '\n';
    }
    return out;
}

} // namespace platform
