// The values editor's block clipboard and its one-block undo, on the scene tables: the
// selection held inside the fixture and the sequence, copy, paste, clear and fill of a
// rectangle of channels x scenes, and the saved block that "Refresh Scene" writes back.
#pragma once

#include <cstdint>
#include <vector>

// Copied levels, channel-major: CopyBufferChannels rows of CopyBufferScenes bytes.
extern std::vector<std::uint8_t> CopyBuffer;
extern int CopyBufferChannels, CopyBufferScenes;
extern std::uint8_t CopyBufferValid;

// The one undo block (UndoBlockValid says whether it holds one).
struct UndoBlock {
    int fixture = -1, sequence = -1;
    int firstScene = 0, sceneCount = 0, firstChannel = 0, channelCount = 0;
    std::vector<std::uint8_t> bytes;   // channel-major
};
extern UndoBlock UndoBuffer;

// A block of a fixture's channels over scenes, inclusive.
struct BlockRange {
    int firstScene = 0, lastScene = -1, firstChannel = 0, lastChannel = -1;
    int Scenes() const { return lastScene - firstScene + 1; }
    int Channels() const { return lastChannel - firstChannel + 1; }
};

// Holds the selection to the fixture's channels and the current sequence's scenes
// (never past channel 1023); false, with the selection cleared, when nothing is left.
bool ClampSelection(int fixture);
BlockRange SelectionRange();

// Saves one block of `fixture` in `sequence`; replaces any earlier block.
void SaveUndoBlock(int fixture, int sequence, int firstScene, int sceneCount, int firstChannel, int channelCount);
// Writes the saved block back into the scenes. Does nothing (and forgets the block) when
// the fixture, the sequence or the scene range is gone. True when it wrote.
bool RestoreUndoTable();
// Forgets the undo block and the copy buffer (a new editor starts with both empty).
void ForgetBlocks();

// Copy: the selection's levels into the buffer (an unused channel's row as zeros); the
// selection is cleared. False without a selection.
bool CopyBlock(int fixture);
// Where a paste lands: from CurScene and ChosenChannel, as much of the buffer as fits.
BlockRange PasteRange(int fixture);
// Paste, after saving the target block for undo; unused targets get zeros.
bool PasteBlock(int fixture);
// Clear: used channels of the selection set to 0; selection and buffer cleared.
bool ClearBlock(int fixture);
// Fill: how often the buffer fits into the selected scenes (0: the span is shorter than
// the buffer, the operator is told to paste).
int FillRepeats();
// The channels a fill writes, from SelFirstChannel.
BlockRange FillRange(int fixture);
bool FillBlock(int fixture);
