#include "MultiSeqSlots.h"

#include "EngineHold.h"
#include "FixtureArea.h"
#include "LevelPipeline.h"
#include "PlayState.h"
#include "WindowSeams.h"

#include <algorithm>
#include <optional>

namespace {

bool ValidSlot(int slot)
{
    return slot >= 0 && slot < PlayerSlotCount;
}

bool SequenceExists(int sequence)
{
    return sequence >= 0 && sequence < SequenceCount && sequence < MaxSequences &&
           Sequences[static_cast<std::size_t>(sequence)] != nullptr;
}

PlayerSlot &Slot(int slot)
{
    return PlayerSlots[static_cast<std::size_t>(slot)];
}

// While playing, a slot change holds the engine; nothing is held while stopped.
void HoldWhilePlaying(std::optional<HoldEngine> &hold)
{
    if (Playing.load())
        hold.emplace();
}

// While playing, a slot starts from its first scene at the next tick but one.
void RestartIfPlaying(PlayerSlot &s)
{
    if (!Playing.load())
        return;
    s.scene = -1;
    s.nextStepTime = PlayClock + 50;
    s.restart = 1;
}

} // namespace

void SwitchMultiSeqSlot(int slot, bool on)
{
    if (!ValidSlot(slot))
        return;
    std::optional<HoldEngine> hold;
    HoldWhilePlaying(hold);
    PlayerSlot &s = Slot(slot);
    s.active = on ? 1 : 0;
    if (on)
        RestartIfPlaying(s);
}

bool SetMultiSeqSlotOn(int slot, int on)
{
    const bool wanted = on == 1;
    if (!ValidSlot(slot) || (Slot(slot).active != 0) == wanted)
        return false;
    SwitchMultiSeqSlot(slot, wanted);
    return true;
}

bool SetMultiSeqSlotSequence(int slot, int sequence)
{
    if (!ValidSlot(slot))
        return false;
    std::optional<HoldEngine> hold;
    HoldWhilePlaying(hold);
    PlayerSlot &s = Slot(slot);
    if (SequenceExists(sequence)) {
        s.sequence = static_cast<std::int16_t>(sequence);
        s.scene = -1;
        RestartIfPlaying(s);
        return true;
    }
    s.sequence = 0;
    SetMultiSeqSlotOn(slot, 0);
    return false;
}

bool ResetInvalidSlots()
{
    bool changed = false;
    for (PlayerSlot &s : PlayerSlots) {
        if (SequenceExists(s.sequence))
            continue;
        changed = changed || s.sequence != 0 || s.active != 0;
        s.sequence = 0;
        s.active = 0;
    }
    return changed;
}

void PrepareSlotsAndPlay()
{
    PlayClock = -50;
    for (PlayerSlot &s : PlayerSlots) {
        s.scene = -1;
        s.nextStepTime = 0;
        s.restart = 1;
    }
    BeatTrigger.store(0);
    ManualTrigger.store(0);
    // The tick that first sees Playing finds every slot prepared.
    Playing.store(1, std::memory_order_release);
}

void CopyOutputLevelsToFixtures()
{
    const int count = static_cast<int>(std::min<std::int64_t>(FixtureCount, static_cast<std::int64_t>(Fixtures.size())));
    for (int i = 0; i < count; ++i) {
        FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        for (int j = 0; j < f.channelCount && j < MaxFixtureChannels; ++j) {
            const int c = f.start + j;
            if (c < 0 || c >= MaxChannels || f.states[j] != 0 || f.values[j] == DmxOutLevels[c])
                continue;
            f.values[j] = DmxOutLevels[c];
            if (i != SelectedFixture)
                continue;
            CallSeam(WindowSeams().repaintFixtureChannel, i, j);
            CallSeam(FixtureAreaEvents().panelFollows, j, static_cast<int>(f.values[j]));
        }
    }
}

SlotLook SlotLookOf(int slot)
{
    SlotLook look;
    look.numberColour = 0xC0C0C0;
    if (!ValidSlot(slot) || !Slot(slot).active)
        return look;
    const SequenceRecord *seq = SequenceExists(Slot(slot).sequence)
                                    ? Sequences[static_cast<std::size_t>(Slot(slot).sequence)]
                                    : nullptr;
    const std::uint8_t modes = seq ? seq->modes : 0;
    const std::uint8_t flags = seq ? seq->flags : 0;
    static const std::uint32_t stepColours[] = {0x00FF00, 0xFFFF00, 0x00FFFF};
    const int step = StepModeOf(modes);
    look.numberColour = step < 3 ? stepColours[step] : 0xFF00FF;
    look.imagesShown = true;
    if (flags & SeqFlagFade) {
        const int fade = FadeModeOf(modes);
        look.fadeImage = fade == 0 ? 1 : fade == 1 ? 2 : 3;
    }
    look.cycles = (flags & SeqFlagCycle) != 0;
    return look;
}
