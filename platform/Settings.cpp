#include "Settings.h"
#include "Files.h"
#include "SettingsText.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <sys/stat.h>

namespace platform {

std::string SettingsFolder()
{
    std::string base;
    if (const char *x = std::getenv("XDG_CONFIG_HOME"); x && *x)
        base = x;
    else if (const char *h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.config";
    else
        base = ".";
    return base + "/Brantoval";
}

std::string SettingsFilePath()
{
    return SettingsFolder() + "/settings.ini";
}

// The file's text is read and written by SettingsText. Every Settings object of the
// process shares one store, loaded from the file when the first object is made after the
// file changed name (a new XDG_CONFIG_HOME in tests).
struct Settings::Impl {
    std::mutex mutex;
    std::string path;
    SettingsKeys keys;
    bool dirty = false;

    // The file could not be taken whole; it is kept as "settings.ini.bad".
    bool damaged = false;
    // A damaged file that could not be kept is never written over.
    bool keepFailed = false;
    // HoldFile: the file stays as it is.
    bool held = false;

    void LoadIfNeeded()
    {
        std::string p = SettingsFilePath();
        if (p == path)
            return;
        path = p;
        keys.clear();
        dirty = false;
        damaged = false;
        keepFailed = false;
        held = false;
        struct stat st;
        if (::stat(path.c_str(), &st) != 0)
            return;
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const bool read = in.is_open() && !in.bad();
        bool whole = false;
        keys = ParseSettingsText(text.str(), whole);
        if (read && whole)
            return;
        // Every byte of what could not be read is kept beside before anything is written.
        damaged = true;
        keepFailed = !read || !WriteFileAtomically(path + ".bad", [&](const std::string &temp) {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out << text.str();
            out.flush();
            return out.good();
        });
    }

    bool Save()
    {
        if (!dirty)
            return true;
        if (keepFailed || held)
            return false;
        std::string folder = SettingsFolder();
        for (std::size_t i = 1; i <= folder.size(); ++i)
            if (i == folder.size() || folder[i] == '/')
                ::mkdir(folder.substr(0, i).c_str(), 0755);
        bool ok = WriteFileAtomically(path, [&](const std::string &temp) {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out << FormatSettingsText(keys);
            out.flush();
            return out.good();
        });
        if (ok)
            dirty = false;
        return ok;
    }
};

namespace {
Settings::Impl &Store()
{
    static Settings::Impl store;
    return store;
}

} // namespace

Settings::Settings() : impl_(&Store())
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->LoadIfNeeded();
}

Settings::~Settings()
{
    Flush();
}

std::string Settings::NormaliseKey(const std::string &key)
{
    std::string out;
    for (char c : key) {
        char d = c == '\\' ? '/' : c;
        if (d == '/' && (out.empty() || out.back() == '/'))
            continue;
        out += d;
    }
    while (!out.empty() && out.back() == '/')
        out.pop_back();
    return out;
}

bool Settings::KeyExists(const std::string &key) const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    std::string k = NormaliseKey(key);
    if (impl_->keys.count(k))
        return true;
    // A parent of an existing key exists too.
    auto it = impl_->keys.lower_bound(k + "/");
    return it != impl_->keys.end() && it->first.compare(0, k.size() + 1, k + "/") == 0;
}

bool Settings::ValueExists(const std::string &key, const std::string &name) const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    auto it = impl_->keys.find(NormaliseKey(key));
    return it != impl_->keys.end() && it->second.count(name);
}

void Settings::CreateKey(const std::string &key)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    std::string k = NormaliseKey(key);
    if (!impl_->keys.count(k)) {
        impl_->keys[k];
        impl_->dirty = true;
    }
}

std::int32_t Settings::ReadInteger(const std::string &key, const std::string &name) const
{
    std::string s = ReadString(key, name);
    char *end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    return (end && *end == '\0' && !s.empty()) ? static_cast<std::int32_t>(v) : 0;
}

std::string Settings::ReadString(const std::string &key, const std::string &name) const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    auto it = impl_->keys.find(NormaliseKey(key));
    if (it == impl_->keys.end())
        return {};
    auto v = it->second.find(name);
    return v == it->second.end() ? std::string() : UnescapeSettingsValue(v->second);
}

std::vector<std::uint8_t> Settings::ReadBinary(const std::string &key, const std::string &name) const
{
    std::string s = ReadString(key, name);
    std::vector<std::uint8_t> out;
    if (s.compare(0, 4, "hex:") != 0)
        return out;
    for (std::size_t i = 4; i + 1 < s.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::strtoul(s.substr(i, 2).c_str(), nullptr, 16)));
    return out;
}

std::optional<std::int32_t> Settings::ReadIntegerValue(const std::string &key, const std::string &name) const
{
    if (!ValueExists(key, name))
        return std::nullopt;
    std::string s = ReadString(key, name);
    char *end = nullptr;
    errno = 0;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (s.empty() || !end || *end != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::optional<std::vector<std::uint8_t>> Settings::ReadBinaryValue(const std::string &key, const std::string &name) const
{
    if (!ValueExists(key, name))
        return std::nullopt;
    return DecodeBinaryValue(ReadString(key, name));
}

void Settings::HoldFile()
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->held = true;
}

bool Settings::FileReadWhole() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return !impl_->damaged;
}

void Settings::WriteInteger(const std::string &key, const std::string &name, std::int32_t value)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->keys[NormaliseKey(key)][name] = std::to_string(value);
    impl_->dirty = true;
}

void Settings::WriteString(const std::string &key, const std::string &name, const std::string &value)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->keys[NormaliseKey(key)][name] = EscapeSettingsValue(value);
    impl_->dirty = true;
}

void Settings::WriteBinary(const std::string &key, const std::string &name, const std::vector<std::uint8_t> &value)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string s = "hex:";
    for (std::uint8_t b : value) {
        s += hex[b >> 4];
        s += hex[b & 15];
    }
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->keys[NormaliseKey(key)][name] = s;
    impl_->dirty = true;
}

bool Settings::Flush()
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->Save();
}

} // namespace platform
