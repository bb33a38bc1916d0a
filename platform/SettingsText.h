// The text of the settings file: one section per key, "[Software/Brantoval/MainWindow]",
// and one line "Name=value" per value. Values are kept as stored: strings escaped (\\,
// \n, \r), binary values "hex:..".
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using SettingsKeys = std::map<std::string, std::map<std::string, std::string>>;

// Reads the file's text. Section names are normalised keys; lines that are empty,
// comments (';' or '#') or outside any section are skipped; a line's "\r" before its end
// is dropped. Each value is kept in its escaped form, made canonical (an unknown escape
// or a raw line break is written the one way EscapeSettingsValue writes it), so that
// writing and reading again gives the same keys.
SettingsKeys ParseSettingsText(const std::string &text);
// The same read, saying whether the text was taken whole: false when a line is neither
// blank, a comment, a section nor a "Name=value" line inside a section, or when a value
// does not decode (is not in the one escaped form EscapeSettingsValue writes: an unknown
// escape, a lone backslash, a raw "\r"). What is kept is the same as above.
SettingsKeys ParseSettingsText(const std::string &text, bool &takenWhole);
std::string FormatSettingsText(const SettingsKeys &keys);

std::string EscapeSettingsValue(const std::string &s);
std::string UnescapeSettingsValue(const std::string &s);

// The bytes of a binary value (an unescaped value "hex:" followed by two hex digits per
// byte), or nothing when the value is not exactly that.
std::optional<std::vector<std::uint8_t>> DecodeBinaryValue(const std::string &value);

} // namespace platform
