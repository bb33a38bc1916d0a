// The show: patched fixtures, fixture profiles on disk, sequences with their scenes and
// the tables that live beside them (position memory, cues, groups, play list, physical
// masters, DMX-input functions). Plain global tables, shared by every window and read by
// the engine on the timer thread.
#pragma once

#include "ScenePointerTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TDesign;
class QWidget;

constexpr int MaxChannels = 1024;        // logical and output channels, 0..1023
constexpr int MaxInputChannels = 512;    // DMX input
constexpr int MaxFixtureChannels = 32;
constexpr int MaxSequences = 16384;
constexpr int MaxScenes = 16384;         // per sequence
constexpr int PlayerSlotCount = 32;
constexpr int PhysicalMasterCount = 17;  // 16 masters and the main (super) master
constexpr int MaxPositionScenes = 255;
constexpr int MaxInputFunctions = 512;

// Fixed-size 8-bit text as stored in files (scene names, the show name).
using Name16 = std::array<char, 16>;

struct FixtureRecord {
    std::int16_t start = 0;                 // first logical channel
    std::uint8_t channelCount = 0;          // 1..32
    std::uint8_t used[MaxFixtureChannels] = {};
    std::uint8_t invert[MaxFixtureChannels] = {};
    std::uint8_t swapPanTilt = 0;           // 0, or 255 = pan/tilt exchange outputs
    std::uint8_t values[MaxFixtureChannels] = {};
    std::uint8_t states[MaxFixtureChannels] = {};  // 0 normal, 1 manual, 2 master-linked, 3 held
    std::int16_t deviceType = 0;            // index into DeviceTypes
    const std::string *profileFileName = nullptr;  // the device type's (not owned)
    std::string userHeader;                 // operator's label (owned)
    const std::string *deviceName = nullptr;       // the device type's (not owned)
    TDesign *panel = nullptr;               // shared by all fixtures of this type
    QWidget *planIcon = nullptr;
    QWidget *planLabel = nullptr;
    std::int16_t planX = 0, planY = 0;
    float placement[6] = {};                // x, y, z and three rotations in degrees
    std::uint8_t groupPan = 0, groupTilt = 0, groupPanFine = 0, groupTiltFine = 0;
    std::uint8_t planPage = 0;
    std::uint8_t iconOrientation = 0;       // 0..7
};

struct DeviceTypeEntry {
    std::string fileName;
    std::string deviceName;
    std::uint32_t usedMask = 0;             // bit j = channel j used
    std::uint8_t channelCount = 0;
    std::uint8_t functions[MaxFixtureChannels] = {};  // 1 Pan, 2 Tilt, 5 PanFine, 6 TiltFine, ...
};

struct SceneRecord {
    Name16 name = {};
    std::uint32_t sceneTime = 0;            // ms
    std::uint8_t positionRef = 0;           // 1..255 a position scene, 0 none
    std::uint8_t reserved = 0;              // kept and written back
    std::uint16_t levelCount = MaxChannels;
    std::uint32_t fadeTime = 0;             // ms, at least 50 after reading
    std::uint8_t levels[MaxChannels] = {};
};

// Sequence flag and mode bits.
constexpr std::uint8_t SeqFlagCycle = 0x01;
constexpr std::uint8_t SeqFlagFade = 0x02;
inline int StepModeOf(std::uint8_t modes) { return modes & 7; }          // 0 tempo, 1 scene time, 2 beat, 3 manual
inline int FadeModeOf(std::uint8_t modes) { return (modes >> 3) & 7; }   // 0 common, 1 whole step, 2 scene's own

struct SequenceRecord {
    std::string name;                       // at most 255 characters
    std::uint32_t tempo = 120;
    std::uint32_t commonFade = 50;
    std::uint8_t flags = 0;
    std::uint8_t modes = 0;
    std::int16_t sceneCount = 0;
    std::int16_t jumpTiming = 0;
    ScenePointerTable<MaxScenes> scenes;
};

struct PlayerSlot {
    std::int16_t sequence = 0;
    std::int16_t scene = 0;
    std::int16_t nextScene = 0;
    std::int32_t nextStepTime = 0;
    std::int32_t fadeEnd = 0;
    std::int32_t fadeTicks = 0;
    std::uint8_t active = 0;
    std::uint8_t restart = 0;
    std::uint8_t levels[MaxChannels] = {};
};

struct PositionScene {
    std::string name;                       // at most 254 characters
    std::uint8_t levels[MaxChannels] = {};
};

struct CueRecord {
    std::string name;                       // at most 254 characters
    std::int16_t sequence[PlayerSlotCount] = {};
    std::uint8_t on[PlayerSlotCount] = {};
};

struct GroupRecord {
    std::string name;                       // at most 254 characters
    std::uint8_t layers[5][MaxChannels] = {};  // membership, pan, tilt, fine pan, fine tilt references
};

struct PlayListEntry {
    std::int32_t startTime = 0;
    std::int16_t index = -1;
    std::uint8_t cueFlag = 0;
    std::string mediaFile;                  // empty = none
    std::int32_t mediaStart = -1;
    std::int32_t mediaStop = -1;
    std::uint8_t action = 0;
    std::int16_t gotoRow = 0;
    std::string comments;
    std::uint8_t sortMark = 0;
    std::int16_t sortPosition = 0;
    std::int32_t fade = 0;
};

struct InputFunctionEntry {
    std::uint8_t index = 0;                 // parameter
    std::uint8_t kind = 0;                  // 0 none, 1 master, 2 switch, 3 tempo, 4 select, 5 slot
};

struct PhysicalMasterRecord {
    std::uint8_t hotKey = 0;
    std::uint8_t keyHeld = 0;
    std::uint8_t savedLevel = 0;
    std::uint8_t flags = 0;                 // bit 0 follows the main master, bit 1 dimmer kind
    std::uint8_t level = 0;
};

// Fixtures and device types.
extern std::vector<FixtureRecord> Fixtures;   // grows one record at a time: keep indices, not pointers
extern std::int32_t FixtureCount;
extern std::int32_t SelectedFixture;
extern std::vector<DeviceTypeEntry> DeviceTypes;
extern std::int32_t DeviceTypeCount;

// Sequences and scenes.
extern std::array<SequenceRecord *, MaxSequences> Sequences;
extern std::int32_t SequenceCount;
extern std::int32_t CurSequence;
extern std::int32_t CurScene;

// Tables kept beside the sequences.
extern std::vector<PositionScene> PositionScenes;
extern std::int32_t PositionSceneCount;
extern std::vector<CueRecord> Cues;
extern std::int32_t CueCount;
extern std::vector<GroupRecord> Groups;
extern std::int32_t GroupCount;
extern std::vector<PlayListEntry> PlayListEntries;
extern std::int32_t PlayListCount;
extern std::array<PhysicalMasterRecord, PhysicalMasterCount> PhysicalMasters;
extern std::array<InputFunctionEntry, MaxInputFunctions> InputFunctions;
extern std::int16_t InputFunctionCount;

// Show state kept beside the file.
extern std::string ShowFileName;
extern Name16 ShowName;
extern std::uint8_t ShowFileState;      // 1 new show without a file, 2 show with a file
extern std::uint8_t FavouriteAssigned;

// Appends one zero-filled fixture and returns its index.
int AddFixture();
// Removes every fixture.
void ClearFixtures();

// A new sequence record: the first gets tempo 120 and common fade 50, later ones copy
// the tempo, fade, flags and modes of the sequence before `index`. Returns nullptr when
// memory runs out.
SequenceRecord *NewSequenceRecord(int index);
// A new scene record for `seq`: scene time copied from the selected scene (CurScene of
// the current sequence) when there is one, else 500.
SceneRecord *NewSceneRecord(const SequenceRecord *seq);
// Frees one sequence and its scenes.
void FreeSequence(SequenceRecord *seq);
// Frees every sequence with its scenes, the cue list, the groups and the play list.
void FreeShowTables();
