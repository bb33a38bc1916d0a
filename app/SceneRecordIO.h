// The scene record as stored in show, sequence and scene files (1052 bytes when written).
#pragma once

#include "BinaryStream.h"
#include "ShowModel.h"

constexpr int SceneRecordSize = 28 + MaxChannels;

// Writes the record with a level count of 1024.
void WriteSceneRecord(BinaryStream &stream, const SceneRecord &scene);
// Reads one record into `scene`, or skips it when `scene` is null. A level count of 0
// means 512 levels; a fade time below 50 becomes 50. Throws StreamError on a truncated
// record or a level count above 1024; the levels beyond those read stay untouched.
void ReadSceneRecord(BinaryStream &stream, SceneRecord *scene);
