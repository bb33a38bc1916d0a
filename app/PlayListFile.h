// The play-list byte codec: the *.pgl file and the play-list chunk of the show file.
// "PRG2" and four zero bytes (older lists "PRGL", without the fade), then the entries.
#pragma once

#include "BinaryStream.h"

#include <cstdint>

// Reads the magic and the entries up to `end` into PlayListEntries. A wrong magic shows
// "Program List Data Error" (caption "HLVR") and leaves the list unchanged (false).
// A truncated entry throws StreamError; the entries before it stay.
bool ReadPlayList(BinaryStream &stream, std::int64_t end);
// Writes "PRG2" and every entry with its fade.
void WritePlayList(BinaryStream &stream);
