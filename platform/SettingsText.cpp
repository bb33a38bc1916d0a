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

SettingsKeys ParseSettingsText(const std::string &text)
{
    SettingsKeys keys;
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
        if (eq == std::string::npos || section.empty())
            continue;
        // What the program reads is the unescaped value; storing its one escaped form
        // keeps a stray "\r" at the end of a value from being lost on the next write.
        keys[section][line.substr(0, eq)] = EscapeSettingsValue(UnescapeSettingsValue(line.substr(eq + 1)));
    }
    return keys;
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
