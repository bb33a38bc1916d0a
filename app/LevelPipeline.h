// The 1024-channel level pipeline: logical levels, per-channel maps and the frames handed
// to the interface, plus the scalars of the output and input side.
#pragma once

#include "ShowModel.h"

#include <atomic>
#include <cstdint>

struct ChannelOwnerEntry {
    std::int16_t channel = -1;   // channel within the fixture
    std::int16_t fixture = -1;   // fixture index
};

// Fade kinds per logical channel.
constexpr std::uint8_t FadeJump = 0;
constexpr std::uint8_t Fade8Bit = 1;
constexpr std::uint8_t Fade16Coarse = 2;
constexpr std::uint8_t Fade16Fine = 3;

extern std::uint8_t DmxOutLevels[MaxChannels];
extern std::uint8_t DmxInvert[MaxChannels];
extern std::uint8_t DmxInverted[MaxChannels];
extern std::int16_t DmxPatch[MaxChannels];
extern std::uint8_t DmxScale[MaxChannels];
extern std::uint8_t DmxOutFrame[MaxChannels];
extern std::uint8_t DmxPrevFrame[MaxChannels];
extern std::uint8_t FadeKind[MaxChannels];
extern std::int16_t FineChannel[MaxChannels];
extern std::int16_t ChannelOffValues[MaxChannels];
extern std::uint8_t ChannelUsed[MaxChannels];
extern std::uint8_t ChannelActive[MaxChannels];
extern std::uint8_t FixtureStart[MaxChannels];
extern ChannelOwnerEntry ChannelOwner[MaxChannels];
extern std::uint8_t CrossFadeFrom[MaxChannels];
extern std::uint8_t CrossFadeTo[MaxChannels];
extern std::uint8_t CrossFadeLevels[MaxChannels];
extern std::uint8_t MultiMergeLevels[MaxChannels];
extern std::uint8_t FavouriteLevels[MaxChannels];
extern std::uint8_t PhysMasterMap[MaxChannels];
extern std::uint8_t DmxInLevels[MaxInputChannels];
extern std::uint8_t DmxInPrev[MaxInputChannels];

extern std::int32_t DmxOutChannels;      // 512 or 1024 (1024 without a device)
extern std::int32_t DeviceState;         // -1 no device, 0 open
extern std::uint16_t InterfaceKind;      // 888 parallel port, another base, or 21333 USB
extern std::uint8_t HardwareRevision[4];
extern std::uint8_t DmxOutEnabled;
extern std::atomic<std::uint8_t> SendFullFrame;
extern std::uint8_t DmxInEnabled;
extern std::uint8_t DmxInThrough;
// DMX input comes from the LAN link instead of the interface (the tick reads none).
extern std::uint8_t DmxInFromLan;
extern std::uint8_t DmxInMode;           // 0..4
extern std::int32_t InputClock;

// Resets the channel maps to an empty patch: identity patch table, no owners.
void ResetChannelMaps();
// The start-up state of the masters and input: PhysMasterMap and DmxScale 255,
// InputFunctions cleared.
void ResetMasterTables();
