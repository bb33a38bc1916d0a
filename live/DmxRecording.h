// The DMX-input recording: "Record$$.tmp" in the program folder holds the input state at
// the start (512 bytes), then per change the time (ms since the start) and the new state,
// then the time of the stop; all integers u32 little-endian. Read back in 516-byte pairs,
// each pair is (a state, the time at which it ended).
#pragma once

#include "app/ShowModel.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FileStream;

inline const char *const RecordFileName = "Record$$.tmp";
inline const char *const RecordSplitFileName = "Rec$$.tmp";
constexpr int RecordPairSize = 4 + MaxInputChannels;
// A recording stops by itself after this many changes.
constexpr int MaxRecordedChanges = 16384;
// No scene of a recording lasts longer: a longer hold is split.
constexpr std::uint32_t MaxRecordedHoldMs = 30000;
// A scene of no length lasts one tick.
constexpr std::uint32_t MinRecordedSceneMs = 50;

struct RecordedPair {
    std::array<std::uint8_t, MaxInputChannels> state{};
    std::uint32_t end = 0;
};

// Writes a recording. Each call throws StreamError when the file cannot take it.
class DmxRecordWriter {
public:
    // Creates the file anew with the start state.
    DmxRecordWriter(const std::string &path, const std::uint8_t *start);
    ~DmxRecordWriter();
    void Change(std::int32_t clock, const std::uint8_t *state);
    // The stop time; the file is flushed and closed.
    void Finish(std::int32_t clock);

private:
    std::unique_ptr<FileStream> file_;
};

// The whole pairs the file holds (a missing file holds none; a short tail is left out).
std::vector<RecordedPair> ReadRecordedPairs(const std::string &path);
// Splits every hold longer than 30000 ms into 30000 ms pieces: a hold of exactly 30000 ms
// stays one piece.
std::vector<RecordedPair> SplitLongHolds(const std::vector<RecordedPair> &pairs);
// Writes pairs as a recording file (states and their end times).
void WriteRecordedPairs(const std::string &path, const std::vector<RecordedPair> &pairs);
// Rewrites the recording in `folder` with its long holds split, through "Rec$$.tmp"
// renamed over it. Returns the pairs it now holds.
std::vector<RecordedPair> SplitRecordingFile(const std::string &folder);

// Fills a scene from one pair: the state into levels 0-511 (`low`) or 512-1023, the other
// half 0; the time since `previousEnd` (0 becomes 50 ms), fade 50 ms, no position
// reference, 1024 levels.
void FillRecordedScene(SceneRecord &scene, const RecordedPair &pair, std::uint32_t previousEnd, bool low);

// "00:00:00:0": hours (mod 24), minutes, seconds and tenths of a clock in ms.
std::string RecordClockText(std::int32_t ms);
