// Tagged chunks of the show file and the 3D object file: a 4-character tag and the
// absolute stream offset of the end of the chunk's body. The writer puts 0 into the end
// field, writes the body, then patches the field.
#pragma once

#include "BinaryStream.h"

#include <cstdint>
#include <cstring>

constexpr int ChunkHeaderSize = 8;

struct ChunkHeader {
    char tag[4] = {};
    std::int32_t end = 0;           // absolute offset just past the body

    bool Is(const char *t) const { return std::memcmp(tag, t, 4) == 0; }
};

// Writes a header with end 0; returns the offset of its end field for EndChunk.
std::int64_t BeginChunk(BinaryStream &stream, const char *tag);
// Patches the end field at `endField` with the current position and seeks back there.
void EndChunk(BinaryStream &stream, std::int64_t endField);

// Frames one chunk: the header is written on construction, Finish patches it.
class ChunkWriter {
public:
    ChunkWriter(BinaryStream &stream, const char *tag) : stream_(stream), field_(BeginChunk(stream, tag)) {}
    void Finish() { EndChunk(stream_, field_); }

private:
    BinaryStream &stream_;
    std::int64_t field_;
};

// Reads a header; throws StreamError when fewer than 8 bytes are left.
ChunkHeader ReadChunkHeader(BinaryStream &stream);
// True when the end offset lies between the current position (just after the header)
// and the stream's size. Anything else would point back into the file or past its end.
bool ChunkEndValid(const ChunkHeader &header, const BinaryStream &stream);
// Bytes of body left before the chunk's end (0 when the position is past it).
std::int64_t ChunkBodyLeft(const ChunkHeader &header, const BinaryStream &stream);
