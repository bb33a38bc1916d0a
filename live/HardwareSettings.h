// The settings of the hardware and synchronisation window: the bytes kept in the settings
// store under the main window's key, the flash capacity of the interface and the media
// options of the play list. Plain values, read at the window's creation and written when
// it is destroyed.
#pragma once

#include <array>
#include <cstdint>
#include <string>

using SettingsBytes = std::array<std::uint8_t, 8>;

// "MIDI": [0] remote control on; [1] device index; [2] channel - 1; [3] mode (0 Full Control,
// 1 Sequences, 2 controller); [4] use start/stop; [5] LSB controller; [6] MSB controller;
// [7] transpose octave 0..3.
extern SettingsBytes MidiSettingsBytes;
// "AUDIO": [0] beat detector on; [1] device index; [2] AGC on; [3] compression depth;
// [4] volume; [5] hold (delay ms / 50); [6] trigger level; [7] bit 0 detector display,
// bit 1 low-frequency filter on, bits 2-7 filter depth 1..8.
extern SettingsBytes AudioSettingsBytes;
// "DMXIN": [0] DMX input on; [1] input mode 0..4; [2] beat from the interface; [3] its
// audio delay / 50; [4] synchronise media in the play list; [5] media player option;
// [6] DMX output on (written only); [7] 0.
extern SettingsBytes DmxInSettingsBytes;

inline constexpr SettingsBytes DefaultMidiSettings = {0, 0, 15, 0, 1, 0, 32, 0};
inline constexpr SettingsBytes DefaultAudioSettings = {0, 0, 1, 32, 50, 5, 65, 1};
inline constexpr SettingsBytes DefaultDmxInSettings = {0, 0, 0, 10, 0, 0, 1, 0};

// Records the interface's flash holds (2040, 4080 or 8160; 0 unknown), from its flash id.
extern std::int32_t FlashCapacity;
// "Synchronize Media in Play List" and the media player option (0 internal, 1 plug-in),
// read by the play list.
extern std::uint8_t SynchMediaPlayList;
extern std::uint8_t MediaPlayerOption;

// Auto-backup minutes ("ABackTime", 0 off, at most a day).
constexpr std::int32_t MaxBackupMinutes = 1440;

struct HardwareSettingsRead {
    std::int32_t backupMinutes = 0;   // "ABackTime"
    std::uint8_t confirmOptions = 2;  // "Confirmation"
};

// Reads the five values into the byte arrays above and returns the other two. A missing
// value, or one of the wrong type or size, takes its default; "ABackTime" and
// "Confirmation" are then written back. An input mode above 4 reads as 0 and minutes
// outside 0..1440 as 0.
HardwareSettingsRead ReadHardwareSettings();
// Writes "MIDI", "AUDIO", "DMXIN" and "Confirmation".
void WriteHardwareSettings(std::uint8_t confirmOptions);
// Writes "ABackTime".
void WriteBackupMinutes(std::int32_t minutes);
// The capacity for a flash id: (id AND 0x38) 0x20 2040, 0x28 4080, 0x30 8160, else 0.
std::int32_t FlashCapacityForId(std::uint8_t id);

// The LAN link's ports and address, under the main window's key: "LanPort" (the server
// slot), "LanPeerPort" (where replies go; the server's port when missing) and
// "LanBindAddress" (empty: every interface). A value out of range takes the default.
constexpr std::uint16_t DefaultLanPort = 42024;
struct LanSettings {
    std::uint16_t port = DefaultLanPort;
    std::uint16_t peerPort = DefaultLanPort;
    std::string bindAddress;
};
LanSettings ReadLanSettings();
