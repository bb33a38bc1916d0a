// The text of the settings file: one section per key, "[Software/Brantoval/MainWindow]",
// and one line "Name=value" per value. Values are kept as stored: strings escaped (\\,
// \n, \r), binary values "hex:..".
#pragma once

#include <map>
#include <string>

namespace platform {

using SettingsKeys = std::map<std::string, std::map<std::string, std::string>>;

// Reads the file's text. Section names are normalised keys; lines that are empty,
// comments (';' or '#') or outside any section are skipped; a line's "\r" before its end
// is dropped. Each value is kept in its escaped form, made canonical (an unknown escape
// or a raw line break is written the one way EscapeSettingsValue writes it), so that
// writing and reading again gives the same keys.
SettingsKeys ParseSettingsText(const std::string &text);
std::string FormatSettingsText(const SettingsKeys &keys);

std::string EscapeSettingsValue(const std::string &s);
std::string UnescapeSettingsValue(const std::string &s);

} // namespace platform
