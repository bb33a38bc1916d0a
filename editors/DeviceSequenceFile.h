// The device-sequence file (*.sqd): one fixture's levels over a range of scenes with the
// fixture's profile file name and channel count, and the range rules of the dialog that
// copies, saves, loads and inserts them.
//
// Layout (little-endian): u8 L, L bytes profile file name, u8 K channel count, int16 N
// scene count, then K x N levels channel-major (all scenes of channel 0, then channel 1...).
#pragma once

#include "ShowModel.h"

#include <cstdint>
#include <string>
#include <vector>

class BinaryStream;

struct DeviceSequenceData {
    std::string profileName;
    int channels = 0;                    // K
    int scenes = 0;                      // N
    std::vector<std::uint8_t> values;    // K x N
};

// The levels of `f` over scenes first..last of `seq` (both 0-based, inside the sequence).
DeviceSequenceData DeviceSequenceOf(const FixtureRecord &f, const SequenceRecord &seq, int first, int last);
void WriteDeviceSequence(BinaryStream &s, const DeviceSequenceData &d);
// Reads one file; false (nothing taken) for a negative count or a file shorter than its
// levels. Bytes after the levels are ignored.
bool ReadDeviceSequence(BinaryStream &s, DeviceSequenceData &d);

// Saves the selected range of `f` atomically; "Error writing file" on failure.
// ".sqd" is appended to a name without extension.
bool SaveDeviceSequenceFile(const std::string &path, const FixtureRecord &f, const SequenceRecord &seq,
                            int first, int last);
// Loads a file into the device-sequence clipboard (type by the lower-cased profile name,
// 0 when none matches); "Error reading file" and the clipboard unchanged on failure.
bool LoadDeviceSequenceFile(const std::string &path);

// The "From Scene" and "To Scene" up-downs, 1-based.
struct SceneRangeChoice {
    int fromMin = 1, fromMax = 1, from = 1;
    int toMin = 1, toMax = 1, to = 1;
};
// Mode 0 (copy/save) or 1 (insert/load) at current scene `current` (0-based) of a sequence
// of `sceneCount` scenes, with `stored` scenes on the clipboard (mode 1).
SceneRangeChoice InitialSceneRange(int mode, int current, int sceneCount, int stored);
// The To up-down after From changed to `from`.
void FromSceneChanged(SceneRangeChoice &r, int mode, int from, int sceneCount, int stored);
