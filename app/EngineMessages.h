// One-character commands that the engine tick, the MIDI input, the DMX-input functions
// and the sequence player send to the main window's message window, and the interface
// correction that a slow tick asks for. GUI thread only.
#pragma once

#include <cstdint>
#include <functional>

// Set while one engine message is handled: a message that arrives meanwhile (from a
// nested event loop inside the handler) is dropped.
extern std::uint8_t HandlingEngineMessage;
// Set while the interface correction runs.
extern std::uint8_t UsbCorrecting;
// Count of slow ticks ('Z'); a byte that wraps after 255.
extern std::uint8_t ErrorCountZ;
// The frame read back from the interface by the correction.
extern std::uint8_t ReadBackFrame[512];
// How long the correction waits for the interface to come back after its reset (ms).
extern std::uint32_t UsbCorrectWaitLimitMs;
constexpr std::uint32_t DefaultUsbCorrectWaitLimitMs = 10000;

// What the main window does for each code. Empty entries do nothing.
struct EngineMessageActions {
    std::function<void()> blackOut;        // ','
    std::function<void()> tempoChanged;    // '.'
    std::function<void()> favourite;       // ';'
    std::function<void()> goToPlayScene;   // 'C'
    std::function<void(std::intptr_t slot, bool on)> multiSeqSlot;   // 'D' / 'd'
    std::function<void()> playStop;        // 'G' when stopped, 'H' when playing
    std::function<void()> slowTick;        // 'Z'
    std::function<void()> select;          // 'S'
};

// Handles one message of the message window: any number but EngineMessage is ignored;
// while another is handled the message is dropped; otherwise the code's action runs.
// Returns 0, the message window's answer.
std::intptr_t HandleEngineMessage(std::uint32_t msg, std::uintptr_t code, std::intptr_t lParam,
                                  const EngineMessageActions &actions);

// True when the USB library is bound (its _ResetPipe entry was found) and the interface
// is of revision 5.4 to 5.7, whose output may need correcting after a slow tick.
bool UsbCorrectionApplies();

// Writes the output frame, reads it back and, when the interface returns something else,
// resets it, waits for it to come back (at most UsbCorrectWaitLimitMs, with the GUI's
// events handled) and opens it again without start-up questions. The engine is held off
// and DMX output and input are off for the whole length; the three are restored as they
// were, whatever happens. Does nothing when the correction does not apply.
void CorrectUsbInterface();
