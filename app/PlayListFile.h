// The play-list byte codec: the *.pgl file and the play-list chunk of the show file.
// "PRG2" and four zero bytes (older lists "PRGL", without the fade), then the entries.
#pragma once

#include "BinaryStream.h"

#include <cstdint>
#include <string>

// Reads the magic and the entries up to `end` into PlayListEntries. A wrong magic shows
// "Program List Data Error" (caption "HLVR") and leaves the list unchanged (false).
// A truncated entry throws StreamError and leaves the list unchanged.
bool ReadPlayList(BinaryStream &stream, std::int64_t end);
// Writes "PRG2" and every entry with its fade.
void WritePlayList(BinaryStream &stream);

// A *.pgl file into the list: a wrong magic, a truncated or unreadable file shows
// "Program List Data Error" (caption "HLVR") once and leaves the list as it was.
bool LoadPlayListFile(const std::string &path);
// The list into a *.pgl file; false when it cannot be written.
bool SavePlayListFile(const std::string &path);
