// The settings store: one INI file under the user's configuration folder
// ($XDG_CONFIG_HOME/Brantoval/settings.ini, else ~/.config/Brantoval/settings.ini), keyed
// by paths such as "Software\Brantoval\MainWindow". Leading separators and the kind of
// separator do not matter: "\Software\Brantoval\X" and "Software/Brantoval/X" are one key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The folder that holds the settings file (with no trailing '/').
std::string SettingsFolder();
std::string SettingsFilePath();

class Settings {
public:
    Settings();
    ~Settings();   // flushes
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    bool KeyExists(const std::string &key) const;
    bool ValueExists(const std::string &key, const std::string &name) const;
    // Creates the key (a key exists once it was created or holds a value).
    void CreateKey(const std::string &key);

    // A missing value reads as 0 or "" or empty.
    std::int32_t ReadInteger(const std::string &key, const std::string &name) const;
    std::string ReadString(const std::string &key, const std::string &name) const;
    std::vector<std::uint8_t> ReadBinary(const std::string &key, const std::string &name) const;
    // Typed reads: nothing when the value is missing or holds another type (an integer
    // is decimal text, a binary value "hex:.."), so a stored 0 differs from no value.
    std::optional<std::int32_t> ReadIntegerValue(const std::string &key, const std::string &name) const;
    std::optional<std::vector<std::uint8_t>> ReadBinaryValue(const std::string &key, const std::string &name) const;
    void WriteInteger(const std::string &key, const std::string &name, std::int32_t value);
    void WriteString(const std::string &key, const std::string &name, const std::string &value);
    void WriteBinary(const std::string &key, const std::string &name, const std::vector<std::uint8_t> &value);

    // Writes the file now; false when it cannot be written (also while a damaged file
    // could not be kept beside, or the file is held: it is never written over then).
    bool Flush();
    // Leaves the settings file as it is for the rest of the run (until another settings
    // folder is used): later writes change only what this process reads.
    void HoldFile();

    // False when the settings file could not be taken whole (a line that is neither a
    // section, a "Name=value" line, a comment nor blank, a value whose escapes do not
    // decode, or a file that cannot be read): its bytes were then kept as
    // "settings.ini.bad" as it was loaded, before anything was written, and what could be
    // read is used.
    bool FileReadWhole() const;

    static std::string NormaliseKey(const std::string &key);

    struct Impl;

private:
    Impl *impl_;
};

} // namespace platform
