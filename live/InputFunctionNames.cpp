#include "InputFunctionNames.h"

namespace {

std::array<InputFunctionName, InputFunctionNameCount> MakeNames()
{
    std::array<InputFunctionName, InputFunctionNameCount> t;
    int r = 0;
    auto add = [&](std::string name, int index, int kind) {
        t[static_cast<std::size_t>(r++)] =
            InputFunctionName{std::move(name), static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(kind)};
    };
    for (int i = 0; i < 16; ++i)
        add("Physical Master " + std::to_string(i + 1), i, 1);
    add("Main Master", 16, 1);
    add("BlackOut", 0, 2);
    add("Favorite", 1, 2);
    add("Play/Stop", 2, 2);
    add("Tempo (analog)", 0, 3);
    for (int i = 0; i < 32; ++i)
        add("Sequence" + std::to_string(i + 1) + "(Cue" + std::to_string(i + 1) + ")", i, 4);
    for (int i = 0; i < 16; ++i)
        add("Multisequence" + std::to_string(i + 1) + " On/Off", i, 5);
    return t;
}

bool ValidRow(int row)
{
    return row >= 0 && row < MaxInputFunctions;
}

} // namespace

const std::array<InputFunctionName, InputFunctionNameCount> &InputFunctionNames()
{
    static const auto names = MakeNames();
    return names;
}

std::optional<int> InputFunctionRow(const InputFunctionEntry &e)
{
    if (e.kind == 0)
        return std::nullopt;
    const auto &names = InputFunctionNames();
    for (int r = 0; r < InputFunctionNameCount; ++r) {
        if (names[static_cast<std::size_t>(r)].index == e.index && names[static_cast<std::size_t>(r)].kind == e.kind)
            return r;
    }
    return std::nullopt;
}

std::string InputFunctionText(const InputFunctionEntry &e)
{
    const std::optional<int> row = InputFunctionRow(e);
    return row ? InputFunctionNames()[static_cast<std::size_t>(*row)].name : std::string(" ");
}

int HighestAssignedChannel(const InputFunctionTable &table)
{
    for (int i = MaxInputFunctions - 1; i >= 0; --i) {
        if (table[static_cast<std::size_t>(i)].kind != 0)
            return i + 1;
    }
    return 0;
}

int InputFunctionEdit::ChannelOf(int functionRow) const
{
    if (functionRow < 0 || functionRow >= InputFunctionNameCount)
        return 0;
    const InputFunctionName &f = InputFunctionNames()[static_cast<std::size_t>(functionRow)];
    for (int i = 0; i < MaxInputFunctions; ++i) {
        const InputFunctionEntry &e = entries_[static_cast<std::size_t>(i)];
        if (e.kind == f.kind && e.index == f.index)
            return i + 1;
    }
    return 0;
}

int InputFunctionEdit::DropFromFunctions(int functionRow, int row)
{
    if (functionRow < 0 || functionRow >= InputFunctionNameCount || !ValidRow(row))
        return 0;
    if (const int held = ChannelOf(functionRow))
        return held;
    const InputFunctionName &f = InputFunctionNames()[static_cast<std::size_t>(functionRow)];
    entries_[static_cast<std::size_t>(row)] = InputFunctionEntry{f.index, f.kind};
    return 0;
}

bool InputFunctionEdit::DropFromChannel(int from, int to)
{
    if (!ValidRow(from) || !ValidRow(to) || from == to || entries_[static_cast<std::size_t>(from)].kind == 0)
        return false;
    entries_[static_cast<std::size_t>(to)] = entries_[static_cast<std::size_t>(from)];
    entries_[static_cast<std::size_t>(from)] = InputFunctionEntry{};
    return true;
}

void InputFunctionEdit::Clear(int row)
{
    if (ValidRow(row))
        entries_[static_cast<std::size_t>(row)] = InputFunctionEntry{};
}

void InputFunctionEdit::ClearAll()
{
    entries_.fill(InputFunctionEntry{});
}
