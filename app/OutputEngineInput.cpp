// DMX input: taking the 512 input channels over by the input mode, and the remote
// control functions of input mode 4.
#include "InterfaceLibrary.h"
#include "OutputEngine.h"
#include "OutputEngineSteps.h"
#include "PlayState.h"

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

// The input mode the input was last taken over in (engine thread only). Choosing one of
// the unused-channel modes, or turning the input on in one, lays the input down once even
// when it holds still: a desk whose faders stand where they are still reaches the output.
constexpr std::uint8_t NoInputMode = 0xFF;
std::uint8_t InputModeTaken = NoInputMode;

bool InputChanged(int count)
{
    return std::memcmp(DmxInLevels, DmxInPrev, static_cast<std::size_t>(count)) != 0;
}

void TakeInputOver()
{
    std::memcpy(DmxInPrev, DmxInLevels, MaxInputChannels);
}

// Input channel i onto logical channel offset + i where no fixture uses that channel.
void InputToUnusedChannels(int offset)
{
    for (int i = 0; i < MaxInputChannels; ++i) {
        if (!ChannelUsed[offset + i])
            DmxOutLevels[offset + i] = DmxInPrev[i];
    }
}

// A switch function asks for the state `on`; the toggle code is posted only when the
// state differs.
void PostToggle(bool on, bool current, std::uintptr_t code)
{
    if (on != current)
        PostEngineCode(code);
}

} // namespace

void ForgetInputMode()
{
    InputModeTaken = NoInputMode;
}

bool ApplyDmxInput()
{
    // Input from the LAN link comes instead of the interface's: reading the interface
    // would overwrite it every tick.
    if (DeviceState >= 0 && !DmxInFromLan) {
        std::lock_guard<std::mutex> lock(InterfaceCallMutex);
        if (const DMXReadFn read = InterfaceLibrary._DMXRead)
            read(MaxInputChannels, DmxInLevels);
    }
    InputClock = AddMs(InputClock, TickMs);

    bool changed = false;
    const bool modeChosen = DmxInMode != InputModeTaken;
    InputModeTaken = DmxInMode;
    switch (DmxInMode) {
    case 0:
        if (InputChanged(MaxInputChannels)) {
            TakeInputOver();
            changed = true;
        }
        if (DmxInThrough)
            std::memcpy(DmxOutFrame, DmxInLevels, MaxInputChannels);
        break;
    case 1:
    case 2:
        changed = InputChanged(MaxInputChannels);
        if (changed || modeChosen) {
            TakeInputOver();
            InputToUnusedChannels(DmxInMode == 1 ? 0 : MaxInputChannels);
        }
        break;
    case 3:
        if (InputChanged(16)) {
            TakeInputOver();
            changed = true;
            platform::PostMessageTo(MasterWindow, MasterInputMessage, 0, InputChangedParam);
        }
        break;
    case 4: {
        const int count = std::clamp<int>(InputFunctionCount, 0, MaxInputFunctions);
        if (count > 0 && InputChanged(count)) {
            changed = true;
            RunInputFunctions(count);
            TakeInputOver();
        }
        break;
    }
    default:
        break;
    }

    if (changed && RecordingOn.load()) {
        // The state of this tick is kept, so a handler that runs late writes what changed
        // then and not what the input holds by that time.
        const std::uint32_t serial = InputSnapshotSerial.load(std::memory_order_relaxed) + 1;
        InputSnapshot &shot = InputSnapshots[serial % InputSnapshotCount];
        shot.clock = InputClock;
        std::memcpy(shot.levels, DmxInPrev, MaxInputChannels);
        InputSnapshotSerial.store(serial, std::memory_order_release);
        platform::PostMessageTo(RecorderWindow.load(), RecordInputMessage, serial, InputChangedParam);
    }
    // With "Through" on the frame is left as the input mode made it.
    return DmxInThrough != 0;
}

void RunInputFunctions(int count)
{
    count = std::clamp(count, 0, MaxInputFunctions);
    for (int i = 0; i < count; ++i) {
        const std::uint8_t v = DmxInLevels[i];
        const std::uint8_t old = DmxInPrev[i];
        const InputFunctionEntry &entry = InputFunctions[static_cast<std::size_t>(i)];
        const int p = entry.index;
        const bool edge = ((v ^ old) & 0x80) != 0;
        const bool high = v >= 128;
        switch (entry.kind) {
        case 1:   // master level
            if (p >= PhysicalMasterCount)
                break;
            if (DiffMs(InputClock, MasterInputTime[p]) < 100 || v == MasterInputValue[p])
                break;
            platform::PostMessageTo(MasterWindow, MasterInputMessage, static_cast<std::uintptr_t>(p), i);
            MasterInputTime[p] = InputClock;
            MasterInputValue[p] = v;
            break;
        case 2:   // switch
            if (!edge)
                break;
            if (p == 0)
                PostToggle(high, BlackOutOn.load() != 0, EngineCodeBlackOut);
            else if (p == 1)
                PostToggle(high, FavouriteOn.load() != 0, EngineCodeFavourite);
            else if (p == 2)
                PostToggle(high, Playing.load() != 0, high ? EngineCodeGo : EngineCodeHalt);
            break;
        case 3: {   // tempo of the current sequence
            if (v == old || !MessageWindow || MultiSeqRunning.load() || SynchMode != 0)
                break;
            if (DiffMs(InputClock, LastTempoTime) < 100 || v == LastTempoValue)
                break;
            SequenceRecord *seq = (CurSequence >= 0 && CurSequence < SequenceCount && CurSequence < MaxSequences)
                                      ? Sequences[static_cast<std::size_t>(CurSequence)]
                                      : nullptr;
            if (!seq)
                break;
            seq->tempo = static_cast<std::uint32_t>(v) * 230 / 255 + 10;
            PostEngineCode(EngineCodeTempo);
            LastTempoTime = InputClock;
            LastTempoValue = v;
            break;
        }
        case 4: {   // select a sequence, or a cue while the multi-player runs
            if (!edge || !high)
                break;
            const std::int32_t limit = MultiSeqRunning.load() ? CueCount : SequenceCount;
            if (p < limit && p != PlaySequence) {
                PlaySequence = p;
                PostEngineCode(EngineCodeSelect);
            }
            break;
        }
        case 5:   // multi-player slot on/off
            if (MultiSeqRunning.load() && edge)
                PostEngineCode(high ? EngineCodeSlotOn : EngineCodeSlotOff, p);
            break;
        default:
            break;
        }
    }
}

} // namespace engine
