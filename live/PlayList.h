// The play list's lines as the operator edits them: new and deleted lines, sorting by
// start time, shifting times, the jump target, and the texts the grid shows. Plain C++
// over PlayListEntries / PlayListCount (ShowModel.h); GUI thread only.
#pragma once

#include "ShowModel.h"

#include <cstdint>
#include <optional>
#include <string>

// The list was edited since it was last saved; a *.pgl file was opened.
extern std::uint8_t PlayListModified;
extern std::uint8_t PlayListFromFile;
// The "Go to" dialog's target line (0-based) and the "Time Shift" dialog's result.
extern int GotoTarget;
extern std::int32_t TimeShiftValue;

// After-end actions of a line.
enum PlayListAction : std::uint8_t {
    ActPlay = 0, ActStop, ActBlackOut, ActFavourite, ActGoto, ActEnd, ActExit, ActWaitGo
};
constexpr int PlayListActionCount = 8;
constexpr int PlayListTextLimit = 255;   // bytes of a media path or a comment

// The line after `current` (a copy of it, 10 s later, with nothing else set), or the first
// line of an empty list. Returns the new line's index.
int InsertPlayListLine(int current);
// Removes line `line`; false when there is no such line.
bool DeletePlayListLine(int line);
// Sorts the lines by start time, equal times keeping their order; returns where `marked`
// went. Sets PlayListModified.
int SortPlayList(int marked);
// True when line `line` stands before its predecessor's or after its successor's time.
bool PlayListLineOutOfOrder(int line);
// Adds `deltaMs` to line `from` and every line after it, then sorts; returns where line
// `from` went, or -1 (nothing changed) when it would start before 0.
int ShiftPlayListTimes(int from, std::int32_t deltaMs);
// The "Go to" dialog's number brought into 1..PlayListCount.
int ClampGotoNumber(int number);
// Lines whose index names no sequence or cue (any negative one included) get -1; true
// when a line changed.
bool ClearMissingPlayListIndices();

// Cell texts.
std::string FormatPlayListTime(std::int32_t ms);   // "hh:mm:ss:t", hours not wrapped
std::string FormatMediaTime(std::int32_t ms);      // "mmm:ss:t"; empty for -1
std::string FormatFadeTime(std::int32_t ms);       // "ss:hh", whole seconds up to 99
std::string PlayListActionName(const PlayListEntry &e);
extern const char *const PlayListActionNames[PlayListActionCount];
// "now <-> media end" in the list's time form.
std::string FormatPlayListClocks(std::int32_t now, std::int32_t mediaEnd);

// Editor texts back to ms; nothing when the text does not hold the numbers.
std::optional<std::int32_t> ParsePlayListTime(const std::string &text);   // "h:m:s:t"
std::optional<std::int32_t> ParseMediaTime(const std::string &text);      // "m:s:t"
std::optional<std::int32_t> ParseFadeTime(const std::string &text);       // "s:hh"
