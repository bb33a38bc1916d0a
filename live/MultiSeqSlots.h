// The slots of the multi-sequence player without windows: switching them, giving them
// sequences, dropping slots whose sequence is gone, preparing them for a start, and how
// a slot looks in the player's panel.
#pragma once

#include "ShowModel.h"

#include <cstdint>

// Slot 0..31 on (on = 1) or off (any other value); nothing when it already is. While
// playing, a slot switched on starts again from its first scene 50 ms later. Slots
// outside 0..31 are ignored. True when the slot changed.
bool SetMultiSeqSlotOn(int slot, int on);
// Switches the slot whatever its flag says (the panel's on/off button).
void SwitchMultiSeqSlot(int slot, bool on);
// Gives slot 0..31 `sequence`, restarting it while playing; no such sequence (negative,
// or not below SequenceCount) leaves the slot off on sequence 0. False for that case.
bool SetMultiSeqSlotSequence(int slot, int sequence);
// Every slot whose sequence does not exist gets sequence 0 and goes off. True when any
// slot changed.
bool ResetInvalidSlots();
// The start: play clock -50, every slot from its first scene, triggers cleared, and
// Playing raised last.
void PrepareSlotsAndPlay();
// Fixture values follow the output levels while a player runs: every channel in state 0
// takes its level; the selected fixture's changed channels are repainted.
void CopyOutputLevelsToFixtures();

// The look of a slot in the panel.
struct SlotLook {
    std::uint32_t numberColour = 0;   // 0x00BBGGRR
    bool imagesShown = false;
    int fadeImage = 0;                // 0 no fade, 1..3 fade kinds 0, 1, other
    bool cycles = false;
};
SlotLook SlotLookOf(int slot);
// The on/off button's and the name panel's colours by the active flag.
constexpr std::uint32_t SlotOnColour = 0xFFFFFF;
constexpr std::uint32_t SlotOffColour = 0x000000;
