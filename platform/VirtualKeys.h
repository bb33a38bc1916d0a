// Virtual-key codes (the one-byte key numbers that hot keys are stored as) and Qt keys,
// both ways, from one table.
#pragma once

#include <QKeyCombination>

#include <cstdint>

namespace platform {

// The virtual-key code of a Qt key (keypad keys told apart by KeypadModifier); 0 when
// the key has none.
std::uint8_t VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The Qt key of a virtual-key code (keypad keys carry KeypadModifier); Qt::Key_unknown
// when there is none.
QKeyCombination QtKeyFromVirtualKey(std::uint8_t vk);

} // namespace platform
