#include "HotKeys.h"

#include <cstring>

namespace {

// Names of the keys that are not shown as their own character.
struct KeyName {
    std::uint8_t vk;
    const char *name;
};
constexpr KeyName Names[] = {
    {8, "Backspace"},   {13, "Enter"},      {32, "Blank"},       {33, "Page Up"},     {34, "Page Down"},
    {35, "End"},        {36, "Home"},       {37, "Arrow Left"},  {38, "Arrow Up"},    {39, "Arrow Right"},
    {40, "Arrow Down"}, {45, "Ins"},        {46, "Del"},         {106, "Grey *"},     {107, "Grey +"},
    {109, "Grey -"},    {110, "Grey ."},    {111, "Grey /"},
};
// Codes 186..192 and 219..222: the US layout's punctuation keys.
constexpr char Punctuation1[] = ";=,-./`";
constexpr char Punctuation2[] = "[\\]'";

// The key's name; empty when the code names no key.
std::string KeyNameOf(std::uint8_t vk)
{
    for (const KeyName &k : Names)
        if (k.vk == vk)
            return k.name;
    if ((vk >= 48 && vk <= 57) || (vk >= 65 && vk <= 90))
        return std::string(1, static_cast<char>(vk));
    if (vk >= 96 && vk <= 105)
        return std::string("Grey ").append(1, static_cast<char>('0' + vk - 96));
    if (vk >= 112 && vk <= 123)
        return std::string("F").append(std::to_string(vk - 111));
    if (vk >= 186 && vk <= 192)
        return std::string(1, Punctuation1[vk - 186]);
    if (vk >= 219 && vk <= 222)
        return std::string(1, Punctuation2[vk - 219]);
    return {};
}

std::string ModifierText(std::uint16_t shortcut)
{
    std::string t;
    if (shortcut & HotKeyCtrl)
        t += "Ctrl+";
    if (shortcut & HotKeyAlt)
        t += "Alt+";
    if (shortcut & HotKeyShift)
        t += "Shift+";
    return t;
}

constexpr char Header[8] = {'K', 'E', 'Y', 'S', 0, 0, 0, 0};

// Up to 255 bytes, as a u8 length and the bytes.
void WriteShort(BinaryStream &s, const std::string &bytes)
{
    s.WriteShortString(bytes, 255);
}

} // namespace

bool IsModifierKey(std::uint8_t vk)
{
    return (vk >= 16 && vk <= 20) || vk == 144 || vk == 145;
}

std::string HotKeyText(std::uint16_t shortcut)
{
    const auto vk = static_cast<std::uint8_t>(shortcut & 0xFF);
    if (IsModifierKey(vk))
        return ModifierText(shortcut) + "None";
    const std::string name = KeyNameOf(vk);
    return name.empty() ? "None" : ModifierText(shortcut) + name;
}

void WriteHotKeyFile(BinaryStream &s, const std::vector<HotKeyRecord> &records)
{
    s.Write(Header, sizeof Header);
    for (const HotKeyRecord &r : records) {
        s.WriteU16(r.shortcut);
        WriteShort(s, r.name);
        WriteShort(s, r.caption);
    }
}

HotKeyFile ReadHotKeyFile(BinaryStream &s)
{
    HotKeyFile file;
    const std::int64_t start = s.Position();
    if (s.Remaining() >= 8) {
        char head[8];
        s.Read(head, sizeof head);
        // The header compares as a terminated text: "KEYS" and its zero byte.
        file.withHeader = std::memcmp(head, Header, 5) == 0;
    }
    if (!file.withHeader)
        s.Seek(start);
    try {
        while (s.Remaining() > 0) {
            HotKeyRecord r;
            r.shortcut = s.ReadU16();
            r.name = s.ReadShortString();
            if (file.withHeader)
                r.caption = s.ReadShortString();
            file.records.push_back(std::move(r));
        }
    } catch (const StreamError &) {
        // A record cut by the end: the whole ones before it stay.
    }
    return file;
}

std::string IndentedCaption(int depth, const std::string &caption)
{
    return std::string(static_cast<std::size_t>(depth > 0 ? depth * 4 : 0), ' ') + caption;
}
