// The cue list without windows: cues are named snapshots of the 32 player slots. Adding,
// deleting, updating, renaming, moving and applying cues; the cross-fade toward a cue;
// the status text and the debug listing; and the renumbering of cues and play-list lines
// when sequences are inserted, deleted or moved. GUI thread only.
#pragma once

#include "ShowModel.h"

#include <cstdint>
#include <string>

constexpr int MaxCueNameBytes = 254;

// True when 0 <= n < CueCount.
bool SelectableCue(int n);

// Adds a cue at index `at` clamped to 0..CueCount (0 for the first cue), named "Cue %d"
// with its 1-based position, holding the slots' present sequences and on flags.
// Play-list cue lines at or above the new index move up. Returns the new cue's index.
int AddCue(int at);
// Deletes cue `cue`; play-list cue lines on it get -1, those above move down. Returns
// the cue to select afterwards (the one before it, else the first), -1 when the list is
// empty or nothing was deleted.
int DeleteCue(int cue);
// The slots' present sequences and on flags into cue `cue`. False without such a cue.
bool UpdateCue(int cue);
// Gives cue `cue` the name (bytes), cut to 254 bytes. False without such a cue.
bool RenameCue(int cue, const std::string &name);
// Moves cue `from` to index `to` (past the end: the last cue); play-list cue lines
// follow. Returns the cue's new index, -1 when nothing moved.
int MoveCue(int from, int to);

// Applies cue `cue` to the player slots: a negative sequence index is mended in the
// record to off on sequence 0; then every slot takes the cue's on flag and sequence.
// While playing, the output first cross-fades toward the cue (`disabled`/`timeMs` are
// the main window's sequence cross-fade settings). False without such a cue.
bool ApplyCue(int cue, bool disabled, long timeMs);
// "NN=" and the 1-based sequence numbers of the on slots joined by "-"; "NN" with none.
std::string CueStatusText(int cue);
// The 1024 levels a cue fades to: the channel maximum of the first scenes of the
// sequences of its on slots; with no slot on, the off values of the fixture channels in
// state 0 and 0 elsewhere.
void CueTargetLevels(const CueRecord &cue, std::uint8_t (&target)[MaxChannels]);
// Starts a cross-fade from the present levels toward cue `cue` and moves the play clock
// on by its length (one tick when disabled, else timeMs, at least one tick). Returns the
// new play clock; without such a cue nothing starts and the clock is returned as it is.
std::int32_t MakeCrossFadeMSSequence(int cue, bool disabled, long timeMs);

// Sequence renumbering in the cues and the play list's sequence lines. Each marks the
// show modified when it changed anything and rebuilds the play-list window when shown.
void CueListSequenceMoved(int from, int to);
void CueListSequenceInserted(int at);
void CueListSequenceDeleted(int at);

// Two lines per cue: its name, then 32 items "<sequence> O ," (on) or "<sequence> _ ,".
std::string CueDebugListing();
