// The sequence list's grid arithmetic without widgets: how many column pairs (number,
// name) and rows the sequences take in the room there is, which cell holds which
// sequence, the sizes of the normal and double-size faces, and what a click on a player
// slot's cell does.
#pragma once

#include <optional>

struct SequenceGridLayout {
    int rows = 2;        // with the header row
    int pairs = 1;       // column pairs (number, name)
    int PerPair() const { return rows - 1; }
    int Columns() const { return pairs * 2; }
};

struct SequenceGridRoom {
    int clientWidth = 0, clientHeight = 0;
    int rowHeight = 20, lineWidth = 1;
    int numberWidth = 40, nameWidth = 120;
};

// The layout for `count` sequences; nothing when fewer than 5 rows fit (the layout stays).
std::optional<SequenceGridLayout> LayOutSequenceGrid(const SequenceGridRoom &room, int count);

// The sequence of a cell (column, row), -1 for the header row or beyond the last.
int SequenceOfCell(const SequenceGridLayout &g, int column, int row, int count);
// The number cell of sequence `index` (its name cell is one column to the right).
struct GridCell {
    int column = 0, row = 1;
};
GridCell NumberCellOf(const SequenceGridLayout &g, int index);
inline bool IsNameColumn(int column) { return column % 2 == 1; }

// Sizes of the normal face and of double size.
struct GridFaceSizes {
    int rowHeight, fontPoints, separator;
};
GridFaceSizes FaceSizes(bool doubleSize);

// A click on a player slot's cell in the row of `sequence`: an inactive slot takes this
// sequence and goes on; a slot on this sequence goes off; a slot on another takes this
// one and stays on.
struct SlotToggle {
    int sequence;
    bool on;
};
SlotToggle ToggleSlot(int slotSequence, bool slotOn, int sequence);
