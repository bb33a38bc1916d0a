// Virtual-key codes (the one-byte key numbers that hot keys are stored as) and Qt keys,
// both ways, from one table.
#pragma once

#include <QKeyCombination>
#include <QKeySequence>

#include <cstdint>

namespace platform {

// The virtual-key code of a Qt key (keypad keys told apart by KeypadModifier); 0 when
// the key has none.
std::uint8_t VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The Qt key of a virtual-key code (keypad keys carry KeypadModifier); Qt::Key_unknown
// when there is none.
QKeyCombination QtKeyFromVirtualKey(std::uint8_t vk);

// The 16-bit shortcut of a key press (low byte the virtual-key code, 0x2000 Shift,
// 0x4000 Ctrl, 0x8000 Alt); the modifiers alone when the key has no code.
std::uint16_t ShortcutFromKeyEvent(int key, Qt::KeyboardModifiers modifiers);
// The key sequence of a 16-bit shortcut; empty for 0 or a code no key has.
QKeySequence KeySequenceFromShortcut(std::uint16_t shortcut);

} // namespace platform
