#include "VirtualKeys.h"

#include <iterator>

namespace platform {

namespace {

struct KeyPair {
    std::uint8_t vk;
    int key;
    bool keypad;
};

// Keys that are not letters, digits or function keys.
constexpr KeyPair Pairs[] = {
    {0x08, Qt::Key_Backspace, false}, {0x09, Qt::Key_Tab, false},         {0x0D, Qt::Key_Return, false},
    {0x0D, Qt::Key_Enter, true},      {0x10, Qt::Key_Shift, false},       {0x11, Qt::Key_Control, false},
    {0x12, Qt::Key_Alt, false},       {0x13, Qt::Key_Pause, false},       {0x14, Qt::Key_CapsLock, false},
    {0x1B, Qt::Key_Escape, false},    {0x20, Qt::Key_Space, false},       {0x21, Qt::Key_PageUp, false},
    {0x22, Qt::Key_PageDown, false},  {0x23, Qt::Key_End, false},         {0x24, Qt::Key_Home, false},
    {0x25, Qt::Key_Left, false},      {0x26, Qt::Key_Up, false},          {0x27, Qt::Key_Right, false},
    {0x28, Qt::Key_Down, false},      {0x2C, Qt::Key_Print, false},       {0x2D, Qt::Key_Insert, false},
    {0x2E, Qt::Key_Delete, false},    {0x6A, Qt::Key_Asterisk, true},     {0x6B, Qt::Key_Plus, true},
    {0x6D, Qt::Key_Minus, true},      {0x6E, Qt::Key_Period, true},       {0x6F, Qt::Key_Slash, true},
    {0x90, Qt::Key_NumLock, false},   {0x91, Qt::Key_ScrollLock, false},  {0xBA, Qt::Key_Semicolon, false},
    {0xBB, Qt::Key_Equal, false},     {0xBC, Qt::Key_Comma, false},       {0xBD, Qt::Key_Minus, false},
    {0xBE, Qt::Key_Period, false},    {0xBF, Qt::Key_Slash, false},       {0xC0, Qt::Key_QuoteLeft, false},
    {0xDB, Qt::Key_BracketLeft, false}, {0xDC, Qt::Key_Backslash, false}, {0xDD, Qt::Key_BracketRight, false},
    {0xDE, Qt::Key_Apostrophe, false},
};

// What Qt reports for a shifted key of the US layout: the key's own code.
constexpr KeyPair Shifted[] = {
    {0x31, Qt::Key_Exclam, false},     {0x32, Qt::Key_At, false},          {0x33, Qt::Key_NumberSign, false},
    {0x34, Qt::Key_Dollar, false},     {0x35, Qt::Key_Percent, false},     {0x36, Qt::Key_AsciiCircum, false},
    {0x37, Qt::Key_Ampersand, false},  {0x38, Qt::Key_Asterisk, false},    {0x39, Qt::Key_ParenLeft, false},
    {0x30, Qt::Key_ParenRight, false}, {0xBA, Qt::Key_Colon, false},       {0xBB, Qt::Key_Plus, false},
    {0xBC, Qt::Key_Less, false},       {0xBD, Qt::Key_Underscore, false},  {0xBE, Qt::Key_Greater, false},
    {0xBF, Qt::Key_Question, false},   {0xC0, Qt::Key_AsciiTilde, false},  {0xDB, Qt::Key_BraceLeft, false},
    {0xDC, Qt::Key_Bar, false},        {0xDD, Qt::Key_BraceRight, false},  {0xDE, Qt::Key_QuoteDbl, false},
};

constexpr std::uint16_t ShiftBit = 0x2000;
constexpr std::uint16_t CtrlBit = 0x4000;
constexpr std::uint16_t AltBit = 0x8000;

} // namespace

std::uint8_t VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<std::uint8_t>(0x41 + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<std::uint8_t>((keypad ? 0x60 : 0x30) + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<std::uint8_t>(0x70 + (key - Qt::Key_F1));
    for (const KeyPair &p : Pairs)
        if (p.key == key && p.keypad == keypad)
            return p.vk;
    // A keypad key without its own code counts as the main one.
    if (keypad)
        for (const KeyPair &p : Pairs)
            if (p.key == key)
                return p.vk;
    for (const KeyPair &p : Shifted)
        if (p.key == key)
            return p.vk;
    return 0;
}

QKeyCombination QtKeyFromVirtualKey(std::uint8_t vk)
{
    if (vk >= 0x41 && vk <= 0x5A)
        return QKeyCombination(static_cast<Qt::Key>(Qt::Key_A + (vk - 0x41)));
    if (vk >= 0x30 && vk <= 0x39)
        return QKeyCombination(static_cast<Qt::Key>(Qt::Key_0 + (vk - 0x30)));
    if (vk >= 0x60 && vk <= 0x69)
        return QKeyCombination(Qt::KeypadModifier, static_cast<Qt::Key>(Qt::Key_0 + (vk - 0x60)));
    if (vk >= 0x70 && vk <= 0x87)
        return QKeyCombination(static_cast<Qt::Key>(Qt::Key_F1 + (vk - 0x70)));
    for (const KeyPair &p : Pairs)
        if (p.vk == vk)
            return p.keypad ? QKeyCombination(Qt::KeypadModifier, static_cast<Qt::Key>(p.key))
                            : QKeyCombination(static_cast<Qt::Key>(p.key));
    return QKeyCombination(Qt::Key_unknown);
}

std::uint16_t ShortcutFromKeyEvent(int key, Qt::KeyboardModifiers modifiers)
{
    std::uint16_t shortcut = VirtualKeyFromQt(key, modifiers);
    if (modifiers.testFlag(Qt::ShiftModifier))
        shortcut |= ShiftBit;
    if (modifiers.testFlag(Qt::ControlModifier))
        shortcut |= CtrlBit;
    if (modifiers.testFlag(Qt::AltModifier))
        shortcut |= AltBit;
    return shortcut;
}

QKeySequence KeySequenceFromShortcut(std::uint16_t shortcut)
{
    const auto vk = static_cast<std::uint8_t>(shortcut & 0xFF);
    if (vk == 0)
        return {};
    const QKeyCombination key = QtKeyFromVirtualKey(vk);
    if (key.key() == Qt::Key_unknown)
        return {};
    Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    if (shortcut & ShiftBit)
        modifiers |= Qt::ShiftModifier;
    if (shortcut & CtrlBit)
        modifiers |= Qt::ControlModifier;
    if (shortcut & AltBit)
        modifiers |= Qt::AltModifier;
    return QKeySequence(QKeyCombination(modifiers, key.key()));
}

} // namespace platform
