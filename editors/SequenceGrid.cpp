#include "SequenceGrid.h"

#include <algorithm>

namespace {

int CeilDiv(int a, int b)
{
    return b > 0 ? (a + b - 1) / b : 0;
}

SequenceGridLayout LayOut(int perPair, int count)
{
    perPair = std::max(perPair, 1);
    SequenceGridLayout g;
    g.pairs = std::max(1, CeilDiv(count, perPair));
    g.rows = std::max(2, count < perPair ? count + 1 : perPair + 1);
    return g;
}

} // namespace

std::optional<SequenceGridLayout> LayOutSequenceGrid(const SequenceGridRoom &room, int count)
{
    const int r = (room.clientHeight - 2) / std::max(1, room.rowHeight + room.lineWidth);
    if (r < 5)
        return std::nullopt;
    SequenceGridLayout g = LayOut(r - 1, count);
    if (g.pairs * (room.numberWidth + room.nameWidth + 2) + 2 > room.clientWidth)
        g = LayOut(r - 2, count);   // room for the horizontal scroll bar
    return g;
}

int SequenceOfCell(const SequenceGridLayout &g, int column, int row, int count)
{
    if (row < 1 || row >= g.rows || column < 0 || column >= g.Columns())
        return -1;
    const int i = (column / 2) * g.PerPair() + row - 1;
    return i < count ? i : -1;
}

GridCell NumberCellOf(const SequenceGridLayout &g, int index)
{
    const int per = std::max(1, g.PerPair());
    return GridCell{(index / per) * 2, index % per + 1};
}

GridFaceSizes FaceSizes(bool doubleSize)
{
    return doubleSize ? GridFaceSizes{40, 16, 48} : GridFaceSizes{20, 8, 24};
}

SlotToggle ToggleSlot(int slotSequence, bool slotOn, int sequence)
{
    if (slotOn && slotSequence == sequence)
        return {slotSequence, false};
    return {sequence, true};
}
