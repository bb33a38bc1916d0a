#include "Chunk.h"

std::int64_t BeginChunk(BinaryStream &stream, const char *tag)
{
    stream.Write(tag, 4);
    std::int64_t field = stream.Position();
    stream.WriteU32(0);
    return field;
}

void EndChunk(BinaryStream &stream, std::int64_t endField)
{
    std::int64_t end = stream.Position();
    if (end > INT32_MAX)
        throw StreamError("chunk end beyond 2 GB");
    stream.Seek(endField);
    stream.WriteI32(static_cast<std::int32_t>(end));
    stream.Seek(end);
}

ChunkHeader ReadChunkHeader(BinaryStream &stream)
{
    ChunkHeader h;
    stream.Read(h.tag, 4);
    h.end = stream.ReadI32();
    return h;
}

bool ChunkEndValid(const ChunkHeader &header, const BinaryStream &stream)
{
    return header.end >= stream.Position() && header.end <= stream.Size();
}

std::int64_t ChunkBodyLeft(const ChunkHeader &header, const BinaryStream &stream)
{
    std::int64_t left = header.end - stream.Position();
    return left > 0 ? left : 0;
}
