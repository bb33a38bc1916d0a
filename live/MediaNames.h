// Names and texts around media files: the open dialogs' filter of the media types the
// player knows, CD tracks named by ".cda" files, and the music player's time texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// "description|types" pairs: "Media files (all types)" first, "CD Audio|*.cda" last.
const std::string &MediaFileFilter();
// True when the name ends in ".cda" (any case).
bool IsCdTrackName(const std::string &path);
// The track number after "Track" (any case) in the file name of a ".cda" file.
std::optional<int> CdTrackNumber(const std::string &path);
// The URL the player opens for CD track `track`.
std::string CdTrackUrl(int track);
// The part of a path after its last slash or backslash.
std::string MediaBaseName(const std::string &path);

// The music player's position text "mm:ss:t"; the hours are dropped.
std::string FormatPlayerTime(std::int64_t ms);
// Reads "m:s:t" (blanks allowed around the numbers) as minutes, seconds and tenths;
// nothing when the text holds no such three numbers.
std::optional<std::int32_t> ParsePlayerTime(const std::string &text);
