// The table side of the sequence and scene commands: inserting, removing, splitting and
// merging sequence records, inserting and removing scenes, the limits and their texts,
// scene and show names, the first scene of a new sequence and the scene clipboard.
// Plain C++ on the GUI thread; the main window's handlers call these and show the result.
#pragma once

#include "ShowModel.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// One whole scene kept by Copy for Insert and Replace; named "SCENE" until the first copy.
extern SceneRecord SceneClipboard;
// Set by the sequence loaders around the new-sequence command, which then asks no name
// and makes no first scene.
extern std::uint8_t SequenceFromFile;
// The graph editor's one-block undo is still valid (cleared by every table edit).
extern std::uint8_t UndoBlockValid;
// Confirmations: bit 0 scene deletion, bit 1 deletion of a non-empty sequence, bit 2 cues,
// bit 3 groups, bit 4 play-list lines.
extern std::uint8_t ConfirmOptions;
constexpr std::uint8_t ConfirmSceneDelete = 0x01;
constexpr std::uint8_t ConfirmSequenceDelete = 0x02;
constexpr std::uint8_t ConfirmCueDelete = 0x04;
constexpr std::uint8_t ConfirmGroupDelete = 0x08;
constexpr std::uint8_t ConfirmPlayListLineDelete = 0x10;
// Set while a show is loaded, created or saved; the sequence change does nothing then
// (the show file's own busy flag, so the auto-backup sees it too).
extern std::atomic<std::uint8_t> &ShowLoading;

// The limits' texts; "%d" takes the limit.
constexpr const char *SequenceLimitText = "You can't made more than %d SEQUENCES in SHOW";
constexpr const char *MergeSceneLimitText = "You can't made more than %d SCENES in one SEQUENCE";
constexpr const char *NewSceneLimitText = "You can't made more than %d SCENES in SEQUENCE\r\nCreate new SEQUENCE";
constexpr const char *InsertSceneLimitText = "You can't make more than %d SCENES in SEQUENCE\r\nCreate new SEQUENCE";
// `format` with its "%d" filled with `limit`.
std::string LimitMessage(const char *format, int limit);

// The sequence at `index`, nullptr when the index is outside the table.
SequenceRecord *SequenceAt(int index);
bool SequenceTableFull();
bool SceneTableFull(const SequenceRecord &seq);

// A new sequence record at `at` (0..SequenceCount): later sequences move up by one. Its
// settings come from the sequence before it; the first of the table gets tempo 120, common
// fade 50, fade and cycle on, step and fade kind 0. nullptr (table unchanged) when the
// table is full, `at` is outside it or memory runs out.
SequenceRecord *InsertNewSequence(int at);
// Takes the record at `index` out of the table (later ones move down) and returns it.
SequenceRecord *TakeSequence(int index);
// Frees the sequence at `index` with its scenes and closes the table up.
bool DeleteSequence(int index);
// Where index `i` goes when the record at `from` moves to `to`: `from` becomes `to`, the
// indices between shift by one toward `from`; others and -1 stay.
int MovedSequenceIndex(int i, int from, int to);
// Moves the record at `from` to `to` (both inside the table), holding the engine; a
// background play, the player slots and the current sequence follow their sequences. The
// graph editor's undo block, which names sequences by index, is dropped. False when nothing
// moved.
bool MoveSequence(int from, int to);

enum class EditResult { Done, Refused, Limit, NoMemory };
// Moves the scenes from `fromScene` to the end of sequence `index` into a new sequence
// inserted after it, which takes tempo, common fade, flags, modes and option of the
// first. Refused for fromScene < 1 or beyond the scenes.
EditResult SplitSequence(int index, int fromScene);
// Appends the scenes of sequence `index` to the one before it and frees its record.
// Refused for the first sequence; Limit when the two counts together reach the limit.
EditResult MergeWithPrevious(int index);

// A new scene after `current` (at 0 when `current` < 0) in `seq`: scene and fade time from
// the scene `current` when it exists (else 500 / 50 ms), levels from the scene before it,
// named "SCENE " + the new count. nullptr (nothing changed) when full or out of memory.
SceneRecord *InsertNewScene(SequenceRecord &seq, int current);
// Frees scene `index` of `seq`; later scenes move down.
bool DeleteScene(SequenceRecord &seq, int index);

// The first scene of a new sequence by the name dialog's choice: 1 the fixtures' panel
// defaults (`panelDefault` gives a fixture channel's default, -1 none; channels outside
// fixtures 0), 2 zeros, 3 levels, times and position reference of `before` (zeros when
// there is none).
void FillFirstScene(SceneRecord &scene, int choice, const SceneRecord *before,
                    const std::function<int(int fixture, int channel)> &panelDefault);

// Names: a scene keeps the first 14 bytes NUL-padded in its 16; the show the first 15,
// NUL-terminated.
void SetSceneName(SceneRecord &scene, const std::string &bytes);
std::string SceneNameBytes(const SceneRecord &scene);
void SetShowName(const std::string &bytes);
std::string ShowNameBytes();

// Stepping with wrap-around over `count` entries.
int NextWrapped(int current, int count);
int PreviousWrapped(int current, int count);
