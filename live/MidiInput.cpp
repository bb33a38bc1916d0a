#include "MidiInput.h"

#include "app/EngineHold.h"
#include "app/OutputEngine.h"
#include "app/OutputEngineSteps.h"
#include "app/PlayState.h"

#include <algorithm>

MidiSettings Midi;

void MidiSettingsFromBytes(const std::array<std::uint8_t, 8> &b, MidiSettings &m)
{
    m.device = b[1];
    m.channel = b[2] & 0x0F;
    m.mode = b[3] <= MidiModeController ? b[3] : MidiModeFullControl;
    m.startStop = b[4] != 0;
    m.lsbController = b[5] & 0x7F;
    m.msbController = b[6] & 0x7F;
    m.transpose = std::min<int>(b[7], 3) * 12;
}

std::array<std::uint8_t, 8> MidiSettingsToBytes(const MidiSettings &m, bool on)
{
    return {static_cast<std::uint8_t>(on ? 1 : 0),
            static_cast<std::uint8_t>(std::clamp(m.device, 0, 255)),
            static_cast<std::uint8_t>(m.channel & 0x0F),
            static_cast<std::uint8_t>(m.mode),
            static_cast<std::uint8_t>(m.startStop ? 1 : 0),
            static_cast<std::uint8_t>(m.lsbController & 0x7F),
            static_cast<std::uint8_t>(m.msbController & 0x7F),
            static_cast<std::uint8_t>(std::clamp(m.transpose / 12, 0, 3))};
}

namespace {

void Send(const MidiActions &a, std::uintptr_t code)
{
    if (a.send)
        a.send(code);
}

// Sequence selection: stopped, or while the multi-sequence player runs (then v is a
// cue), the main window selects it; while a sequence plays, the engine starts sequence v
// at its first scene on the next tick.
void SelectSequence(int v, const MidiActions &a)
{
    const bool multi = MultiSeqRunning.load() != 0;
    const int limit = multi ? CueCount : SequenceCount;
    if (v < 0 || v >= limit)
        return;
    if (multi || !Playing.load()) {
        {
            HoldEngine hold;
            PlaySequence = v;
            PlayScene = 0;
        }
        Send(a, EngineCodeSelect);
        return;
    }
    HoldEngine hold;
    PlayScene = -1;
    PlaySequence = v;
    NextStepTime = engine::AddMs(PlayClock, TickMs);
    BeatTrigger.store(1);
}

// Full Control note k: while playing, the engine's next step lands on scene k; stopped,
// the main window goes to scene k.
void GoToScene(int k, const MidiActions &a)
{
    if (MultiSeqRunning.load())
        return;
    if (Playing.load()) {
        if (k >= engine::SceneCountOf(engine::SequenceAt(PlaySequence)))
            return;
        HoldEngine hold;
        PlayScene = k - 1;   // the step adds one
        NextStepTime = engine::AddMs(PlayClock, TickMs);
        BeatTrigger.store(1);
        return;
    }
    if (k >= engine::SceneCountOf(engine::SequenceAt(CurSequence)))
        return;
    {
        HoldEngine hold;
        PlayScene = k;
    }
    Send(a, 'C');
}

} // namespace

void MidiInputCallback(std::uint32_t packed, const MidiActions &a)
{
    if (!MidiInputOn || !MessageWindow)
        return;
    const int status = static_cast<int>(packed & 0xFF);
    const int data1 = static_cast<int>((packed >> 8) & 0x7F);
    const int data2 = static_cast<int>((packed >> 16) & 0x7F);

    if (status >= 0xF0) {
        // Start and continue play, stop halts; other system messages carry nothing here.
        if (!Midi.startStop)
            return;
        if (status == 0xFA || status == 0xFB)
            Send(a, EngineCodeGo);
        else if (status == 0xFC)
            Send(a, EngineCodeHalt);
        return;
    }
    if ((status & 0x0F) != Midi.channel)
        return;
    const int kind = status & 0xF0;
    const bool noteOn = kind == 0x90 && data2 > 0;

    switch (Midi.mode) {
    case MidiModeFullControl:
        if (noteOn)
            GoToScene(data1, a);
        else if (kind == 0xC0)
            SelectSequence(data1, a);
        break;
    case MidiModeSequences:
        if (noteOn || kind == 0xC0)
            SelectSequence(data1 - Midi.transpose, a);
        break;
    case MidiModeController:
        if (kind != 0xB0)
            break;
        if (data1 == Midi.msbController)
            Midi.heldMsb = data2;
        else if (data1 == Midi.lsbController)
            SelectSequence(Midi.heldMsb * 128 + data2, a);
        break;
    default:
        break;
    }
}
