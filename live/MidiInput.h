// MIDI remote control: the settings of the MIDI page and the dispatcher that turns one
// packed MIDI message into play, stop, scene and sequence commands. GUI thread only: the
// reader thread hands each message over by a blocking send.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

constexpr int MidiModeFullControl = 0;
constexpr int MidiModeSequences = 1;
constexpr int MidiModeController = 2;
constexpr int MaxMidiDevices = 32;

struct MidiSettings {
    int device = 0;
    int channel = 15;        // 0..15
    int mode = MidiModeSequences;
    bool startStop = true;
    int lsbController = 0;
    int msbController = 32;
    int transpose = 0;       // semitones: octave 0..3 times 12
    int heldMsb = 0;         // the controller mode's last MSB value
    std::array<bool, MaxMidiDevices> unusable{};   // a device found busy
};

extern MidiSettings Midi;

// The settings from the 8 stored "MIDI" bytes and back; [0] (remote control on) is the
// caller's, as it also needs an open device.
void MidiSettingsFromBytes(const std::array<std::uint8_t, 8> &bytes, MidiSettings &m);
std::array<std::uint8_t, 8> MidiSettingsToBytes(const MidiSettings &m, bool on);

// What the dispatcher asks of the main window: one engine code ('G', 'H', 'C', 'S'),
// handled before the call returns.
struct MidiActions {
    std::function<void(std::uintptr_t code)> send;
};

// One packed message: status in bits 0-7, data1 in 8-14, data2 in 16-22. Acts only while
// MidiInputOn is set and the main window's message window exists. Its edits of the play
// fields hold the engine (a tick already inside is waited for); a sequence or cue number
// outside the table is dropped.
void MidiInputCallback(std::uint32_t packed, const MidiActions &actions);
