// The control functions that DMX-input channels can drive in input mode 4, and the rules
// for assigning them: a function sits on one channel at most.
#pragma once

#include "app/ShowModel.h"

#include <array>
#include <optional>
#include <string>

struct InputFunctionName {
    std::string name;
    std::uint8_t index;
    std::uint8_t kind;
};

constexpr int InputFunctionNameCount = 69;

// The 69 functions in list order: 16 physical masters, the main master, black-out,
// favourite, play/stop, tempo, 32 sequence (cue) selections, 16 multi-sequence slots.
const std::array<InputFunctionName, InputFunctionNameCount> &InputFunctionNames();
// The row of the function an entry names; nothing for an empty or unknown pair.
std::optional<int> InputFunctionRow(const InputFunctionEntry &entry);
// What a channel row shows: the function's name, or a single space.
std::string InputFunctionText(const InputFunctionEntry &entry);

using InputFunctionTable = std::array<InputFunctionEntry, MaxInputFunctions>;

// The 1-based number of the highest channel with a function, 0 when none.
int HighestAssignedChannel(const InputFunctionTable &table);

// An edit copy of the table and the assignment rules (rows are 0-based channels).
class InputFunctionEdit {
public:
    explicit InputFunctionEdit(const InputFunctionTable &table) : entries_(table) {}

    const InputFunctionTable &Entries() const { return entries_; }
    // The 1-based channel that holds the function of list row `functionRow`, 0 when none.
    int ChannelOf(int functionRow) const;
    // Puts a function from the list onto `row`. Refused (returns the 1-based channel
    // already holding it) when the function is assigned; 0 when done or out of range.
    int DropFromFunctions(int functionRow, int row);
    // Moves the function of `from` onto `to`, replacing what `to` held; `from` becomes
    // free. False (nothing changes) for the same row, a free source or a row outside.
    bool DropFromChannel(int from, int to);
    void Clear(int row);
    void ClearAll();

private:
    InputFunctionTable entries_;
};
