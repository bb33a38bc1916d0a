// Hot keys without windows: the 16-bit shortcut (low byte the virtual-key code, 0x2000
// Shift, 0x4000 Ctrl, 0x8000 Alt), the text a shortcut is shown as, the key file
// "Brantoval.key" that keeps every command's shortcut and caption between runs, and the
// indent of a command in the assignment list.
#pragma once

#include "BinaryStream.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint16_t HotKeyShift = 0x2000;
constexpr std::uint16_t HotKeyCtrl = 0x4000;
constexpr std::uint16_t HotKeyAlt = 0x8000;
constexpr std::uint16_t HotKeyModifiers = HotKeyShift | HotKeyCtrl | HotKeyAlt;
inline const char *const HotKeyFileName = "Brantoval.key";

// "Ctrl+", "Alt+", "Shift+" for the modifiers, then the key's name. A modifier or lock
// key alone gives the modifiers and "None"; a code no key has gives "None" alone.
std::string HotKeyText(std::uint16_t shortcut);
// True for a modifier or lock key (Shift, Ctrl, Alt, Pause, Caps Lock, Num Lock, Scroll
// Lock): such a key alone makes no shortcut.
bool IsModifierKey(std::uint8_t vk);

// One command in the key file. Name and caption are bytes, at most 255 each.
struct HotKeyRecord {
    std::uint16_t shortcut = 0;
    std::string name;
    std::string caption;
};

struct HotKeyFile {
    bool withHeader = false;   // "KEYS" file: records carry captions; else the older form
    std::vector<HotKeyRecord> records;
};

// "KEYS", u32 0, then per record: u16 shortcut, u8 n, name, u8 m, caption.
void WriteHotKeyFile(BinaryStream &s, const std::vector<HotKeyRecord> &records);
// Reads from the current position to the end. A file whose first 8 bytes are not "KEYS"
// and four zero bytes holds the older records (u16, u8 n, name) from its start. A record
// cut by the end of the file is dropped with whatever follows; the whole ones stay.
HotKeyFile ReadHotKeyFile(BinaryStream &s);

// The caption of a command at depth `depth` of the menus, as the assignment list shows it.
std::string IndentedCaption(int depth, const std::string &caption);
