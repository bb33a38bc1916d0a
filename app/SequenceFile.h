// Single sequences (*.sqn, and the sequence clipboard "copysq$$.tmp") and single scenes
// (*.scn) on disk, so that material moves between shows. Both carry the show file's
// scene record. Reading fills a staging record that the caller inserts only when the
// whole file was read.
#pragma once

#include "BinaryStream.h"
#include "ShowModel.h"

#include <memory>
#include <string>

constexpr const char *SequenceClipboardFile = "copysq$$.tmp";
constexpr std::int32_t SequenceFileVersion = 51;

// Writes "SQNL", the version, the header of `seq` and its scenes; a scene time of 0 is
// written as 500 (the record in memory keeps 0).
void WriteSequenceFile(BinaryStream &stream, const SequenceRecord &seq);
// Writes one scene record, a scene time of 0 written as 500.
void WriteSceneFile(BinaryStream &stream, const SceneRecord &scene);

enum class SequenceReadResult { Ok, Bad, NoMemory };

// Owns a sequence record that is not (yet) in the show's table: its scenes are freed
// with it unless they were moved out.
struct StagedSequence {
    StagedSequence();
    ~StagedSequence();
    StagedSequence(const StagedSequence &) = delete;
    StagedSequence &operator=(const StagedSequence &) = delete;
    // Moves header and scenes into `target` (whose own scenes are freed first).
    void MoveInto(SequenceRecord &target);
    std::unique_ptr<SequenceRecord> record;
};

// Reads a sequence file into `staged`: the current layout ("SQNL", 51) or, for anything
// else, the older one (16-byte name, a scene table, scene times stored as tempo in BPM).
// Bad for a short file, a scene count outside 0..16384 or beyond what the file can hold,
// or a level count above 1024; `staged` is then emptied again.
SequenceReadResult ReadSequenceFile(BinaryStream &stream, StagedSequence &staged);
// Reads one scene record over `scene` (zero it first); scene time 0 becomes 500. False
// when the record is short or its level count is above 1024.
bool ReadSceneFile(BinaryStream &stream, SceneRecord &scene);
